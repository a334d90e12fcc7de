// skinpack: the encoder against the program's decoder, the container writer, and the commands
// round-tripping folders and archives (odd names, duplicates, an upper-case .ini).
#include "skin/archive/lzh.h"
#include "skin/archive/skin_reader.h"
#include "support/testdata.h"
#include "tools/skinpack/container.h"
#include "tools/skinpack/lzh_encoder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

namespace wl::skinpack {
namespace {

std::string Random(size_t n, uint32_t seed) {
    std::mt19937 gen(seed);
    std::string s(n, '\0');
    for (char& c : s) c = static_cast<char>(gen());
    return s;
}

fs::path FreshDir(const std::string& name) {
    fs::path dir = fs::path(test::ArtifactDir()) / ("skinpack-" + name);
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

void WriteFile(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

int RunSkinpack(std::vector<std::string> args, std::string* out = nullptr) {
    args.insert(args.begin(), "skinpack");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    std::ostringstream o, e;
    int rc = Main(static_cast<int>(argv.size()), argv.data(), o, e);
    if (out) *out = o.str() + e.str();
    return rc;
}

TEST(SkinpackEncoder, RoundTripsThroughTheDecoder) {
    std::string block = Random(4096, 7);
    struct Case {
        const char* what;
        std::string data;
        size_t maxPacked; // catches an encoder that stops finding matches
    } cases[] = {
        {"empty", "", 4},
        {"one byte", "A", 6},
        {"spaces from the pre-filled ring", std::string(5000, ' '), 200},
        {"long run", std::string(10000, 'x'), 300},
        {"text", [] {
             std::string s;
             for (int i = 0; i < 300; ++i) s += "[Buttons]\r\nBitmap=button" + std::to_string(i % 7) + ".bmp\r\n";
             return s;
         }(), 2000},
        {"repeat at the full ring distance", block + block + block, 5000},
        {"random", Random(100000, 3), 120000},
        {"all byte values", [] {
             std::string s;
             for (int i = 0; i < 256 * 40; ++i) s += static_cast<char>(i * 37 % 256);
             return s;
         }(), 4000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string packed = LzhCompress(c.data);
        EXPECT_LE(packed.size(), c.maxPacked);
        std::string back = TLZH().Expand(packed);
        ASSERT_EQ(back.size(), c.data.size());
        EXPECT_TRUE(back == c.data);
    }
}

TEST(SkinpackEncoder, SharedVectorsRoundTrip) {
    for (const char* name : {"bitmap", "large-mixed", "archive-20000"}) {
        SCOPED_TRACE(name);
        WL_SHARED_OR_SKIP(plain, std::string("lzhuf/") + name + ".bin");
        std::string data = test::ReadFileBytes(plain);
        EXPECT_TRUE(TLZH().Expand(LzhCompress(data)) == data);
    }
}

TEST(SkinpackContainer, NameListAndRejectedNames) {
    struct Case {
        std::vector<std::string> names;
        std::string list;
    } cases[] = {
        {{}, ""},
        {{"a", "B"}, "a\r\nB"},
        {{"a", ""}, "a\r\n\r\n"}, // a final empty name needs its line break
        {{""}, "\r\n"},
        {{"", "x"}, "\r\nx"},
    };
    for (const auto& c : cases) {
        std::vector<SkinEntry> entries;
        for (const auto& n : c.names) entries.push_back({n, "d" + n});
        std::string container = BuildSkinContainer(entries);
        EXPECT_EQ(container.substr(16, c.list.size()), c.list);
        TSkinReader reader;
        ASSERT_TRUE(reader.LoadContainer(container)) << reader.LastError();
        ASSERT_EQ(reader.Count(), static_cast<int>(c.names.size()));
        for (const auto& n : c.names) EXPECT_EQ(reader.GetEntryByName(n), "d" + n);
    }
    for (const char* bad : {"a\nb", "a\rb", "a\0b"}) {
        std::vector<SkinEntry> entries{{std::string(bad, 3), "x"}};
        EXPECT_THROW(BuildSkinContainer(entries), std::invalid_argument);
    }
}

TEST(SkinpackCommands, FolderRoundTrip) {
    fs::path src = FreshDir("src");
    WriteFile(src / "Skin.INI", "[Form]\r\nTop=Top.bmp\r\n");
    WriteFile(src / "RadioButton.bmp", Random(3000, 1));
    WriteFile(src / "Top.BMP", "first top");
    WriteFile(src / "top.bmp", "second top");
    WriteFile(src / "empty.bmp", "");
    fs::path out = FreshDir("out");
    std::string text;
    ASSERT_EQ(RunSkinpack({"pack", src.string(), (out / "a.skn").string()}, &text), 0) << text;

    TSkinReader reader;
    ASSERT_TRUE(reader.LoadArchive(test::ReadFileBytes((out / "a.skn").string())));
    std::string ini, name;
    EXPECT_TRUE(reader.GetEntryContaining(".ini", ini, name));
    EXPECT_EQ(name, "skin.ini");
    EXPECT_EQ(ini, "[Form]\r\nTop=Top.bmp\r\n");
    EXPECT_EQ(reader.GetEntryByName("radiobutton.bmp"), Random(3000, 1));
    EXPECT_EQ(reader.GetEntryByName("TOP.bmp"), "first top"); // files are taken in byte order

    ASSERT_EQ(RunSkinpack({"list", (out / "a.skn").string()}, &text), 0);
    EXPECT_EQ(text, "3000\tRadioButton.bmp\n21\tSkin.INI\n9\tTop.BMP\n0\tempty.bmp\n10\ttop.bmp\n");

    // Unpacking keeps every entry although two names differ only in case; packing the
    // result gives the same archive.
    ASSERT_EQ(RunSkinpack({"unpack", (out / "a.skn").string(), (out / "x").string()}, &text), 0) << text;
    EXPECT_EQ(test::ReadFileBytes((out / "x" / "Top.BMP").string()), "first top");
    ASSERT_EQ(RunSkinpack({"pack", (out / "x").string(), (out / "b.skn").string()}, &text), 0) << text;
    EXPECT_EQ(test::ReadFileBytes((out / "a.skn").string()),
              test::ReadFileBytes((out / "b.skn").string()));
}

// A manifest gives names no folder can hold: an empty one and exact duplicates.
TEST(SkinpackCommands, ManifestNamesRoundTrip) {
    fs::path src = FreshDir("manifest");
    WriteFile(src / "blank", "blank entry");
    WriteFile(src / "d1", "first dup");
    WriteFile(src / "d2", "second dup");
    WriteFile(src / "ini", "[Form]\r\n");
    WriteFile(src / "skinpack.lst", "\tblank\nDup.bmp\td1\ndup.bmp\td2\nDUP.BMP\td1\nSKIN.INI\tini\n");
    fs::path out = FreshDir("manifest-out");
    std::string text;
    ASSERT_EQ(RunSkinpack({"pack", src.string(), (out / "a.skn").string()}, &text), 0) << text;

    TSkinReader reader;
    ASSERT_TRUE(reader.LoadArchive(test::ReadFileBytes((out / "a.skn").string())));
    EXPECT_EQ(reader.Names(), (std::vector<std::string>{"", "dup.bmp", "dup.bmp", "dup.bmp",
                                                        "skin.ini"}));
    EXPECT_EQ(reader.GetEntryByName(""), "blank entry");
    EXPECT_EQ(reader.GetEntryByName("DUP.bmp"), "first dup");
    std::string ini, name;
    EXPECT_TRUE(reader.GetEntryContaining(".ini", ini, name));
    EXPECT_EQ(ini, "[Form]\r\n");

    ASSERT_EQ(RunSkinpack({"unpack", (out / "a.skn").string(), (out / "x").string()}, &text), 0);
    ASSERT_EQ(RunSkinpack({"pack", (out / "x").string(), (out / "b.skn").string()}, &text), 0);
    EXPECT_EQ(test::ReadFileBytes((out / "a.skn").string()),
              test::ReadFileBytes((out / "b.skn").string()));
}

TEST(SkinpackCommands, SharedArchiveWithEmptyAndDuplicateNames) {
    WL_SHARED_OR_SKIP(packed, "lzhuf/archive-20000.lzh");
    WL_SHARED_OR_SKIP(plain, "lzhuf/archive-20000.bin");
    fs::path dir = FreshDir("shared");
    std::string text;
    ASSERT_EQ(RunSkinpack({"unpack", packed, (dir / "x").string()}, &text), 0) << text;
    ASSERT_EQ(RunSkinpack({"pack", (dir / "x").string(), (dir / "re.skn").string()}, &text), 0) << text;
    ASSERT_EQ(RunSkinpack({"expand", (dir / "re.skn").string(), (dir / "re.bin").string()}, &text), 0);
    std::string expected = test::ReadFileBytes(plain);
    std::string again = test::ReadFileBytes((dir / "re.bin").string());
    ASSERT_EQ(again.size(), expected.size());
    // The writer zeroes the reserved bytes; everything else is reproduced exactly.
    EXPECT_EQ(again.substr(8, 8), std::string(8, '\0'));
    EXPECT_TRUE(again.substr(0, 8) == expected.substr(0, 8));
    EXPECT_TRUE(again.substr(16) == expected.substr(16));
}

TEST(SkinpackCommands, Failures) {
    fs::path dir = FreshDir("fail");
    std::string text;
    EXPECT_EQ(RunSkinpack({}, &text), 2);
    EXPECT_EQ(RunSkinpack({"pack", "only-one"}, &text), 2);
    EXPECT_EQ(RunSkinpack({"pack", (dir / "missing").string(), (dir / "a").string()}, &text), 1);
    EXPECT_NE(text.find("not a folder"), std::string::npos) << text;
    WriteFile(dir / "short", "ab");
    EXPECT_EQ(RunSkinpack({"list", (dir / "short").string()}, &text), 1);
    EXPECT_NE(text.find("size field"), std::string::npos) << text;

    WL_SHARED_OR_SKIP(old, "lzhuf/archive-19999.lzh");
    EXPECT_EQ(RunSkinpack({"unpack", old, (dir / "x").string()}, &text), 1);
    EXPECT_NE(text.find("version 19999"), std::string::npos) << text;
    EXPECT_EQ(text.find('\r'), std::string::npos);
}

} // namespace
} // namespace wl::skinpack
