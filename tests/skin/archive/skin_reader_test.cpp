// Skin archive reader: lookups by name and by contained text, name-list splitting, the version
// check and its message, and damaged containers that must be refused without reading past them.
#include "skin/archive/skin_reader.h"
#include "support/testdata.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace wl {
namespace {

void PutLe32(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>(v >> (8 * i)));
}

// A container with a literal name list (so tests control every line break) and given sizes.
std::string Container(std::string_view nameList, const std::vector<uint32_t>& sizes,
                      std::string_view data, int32_t version = 20000) {
    std::string c;
    PutLe32(c, static_cast<uint32_t>(version));
    PutLe32(c, static_cast<uint32_t>(nameList.size()));
    c.append(8, '\x55');
    c += nameList;
    for (uint32_t s : sizes) PutLe32(c, s);
    c += data;
    return c;
}

struct SinkRecorder {
    std::vector<std::string> messages;
    SkinMessageSink previous;
    SinkRecorder() {
        previous = SetSkinMessageSink([this](std::string_view t) { messages.emplace_back(t); });
    }
    ~SinkRecorder() { SetSkinMessageSink(previous); }
};

TEST(SkinReader, SharedArchiveEntries) {
    WL_SHARED_OR_SKIP(packed, "lzhuf/archive-20000.lzh");
    WL_SHARED_OR_SKIP(plain, "lzhuf/archive-20000.bin");
    TSkinReader reader;
    ASSERT_TRUE(reader.LoadArchive(test::ReadFileBytes(packed))) << reader.LastError();
    EXPECT_EQ(reader.Names(), (std::vector<std::string>{"skin.ini", "radiobutton.bmp", "",
                                                        "top.bmp", "top.bmp"}));
    EXPECT_EQ(reader.Header().Version, 20000);
    EXPECT_EQ(reader.Header().Reserved[0], 0x11);

    // The entries' bytes, located independently from the expanded file's own fields.
    const std::string bin = test::ReadFileBytes(plain);
    auto le32 = [&](size_t at) {
        return static_cast<uint32_t>(static_cast<uint8_t>(bin[at]) |
                                     static_cast<uint8_t>(bin[at + 1]) << 8 |
                                     static_cast<uint8_t>(bin[at + 2]) << 16 |
                                     static_cast<uint8_t>(bin[at + 3]) << 24);
    };
    const size_t table = 16 + le32(4);
    std::vector<std::string> expected;
    size_t offset = table + 4 * 5;
    for (int i = 0; i < 5; ++i) {
        expected.push_back(bin.substr(offset, le32(table + 4 * i)));
        offset += expected.back().size();
    }
    ASSERT_EQ(offset, bin.size());

    for (const char* name : {"radiobutton.bmp", "RADIOBUTTON.BMP", "RadioButton.bmp"})
        EXPECT_EQ(reader.GetEntryByName(name), expected[1]) << name;
    EXPECT_EQ(reader.GetEntryByName("Top.bmp"), expected[3]) << "the first of duplicates wins";
    EXPECT_NE(expected[3], expected[4]);
    EXPECT_EQ(reader.GetEntryByName(""), expected[2]);

    std::string target = "old", name = "unchanged";
    EXPECT_TRUE(reader.GetEntryContaining(".ini", target, name));
    EXPECT_EQ(target, expected[0]);
    EXPECT_EQ(name, "skin.ini");

    name = "unchanged";
    EXPECT_FALSE(reader.GetEntryContaining(".INI", target, name)) << "text is not lowered";
    EXPECT_TRUE(target.empty());
    EXPECT_EQ(name, "unchanged");
    EXPECT_FALSE(reader.GetEntryByName("missing.bmp", target));
    EXPECT_TRUE(target.empty());
    EXPECT_FALSE(reader.FindEntry("top.bmp ").has_value());
}

TEST(SkinReader, NameListLines) {
    struct Case {
        const char* what;
        std::string list;
        std::vector<std::string> names;
    } cases[] = {
        {"CR LF", "A.bmp\r\nB.ini", {"a.bmp", "b.ini"}},
        {"trailing break adds nothing", "a\r\nb\r\n", {"a", "b"}},
        {"LF only and CR only", "a\nb\rc", {"a", "b", "c"}},
        {"empty line inside is an entry", "a\r\n\r\nb", {"a", "", "b"}},
        {"LF CR is two breaks", "a\n\rb", {"a", "", "b"}},
        {"zero byte ends the list", std::string("a\r\nb\0c", 6), {"a", "b"}},
        {"empty list", "", {}},
        {"only letters are lowered", "\xC6\xBB.BMP", {"\xC6\xBB.bmp"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint32_t> sizes;
        std::string data;
        for (size_t i = 0; i < c.names.size(); ++i) {
            sizes.push_back(static_cast<uint32_t>(i + 1));
            data += std::string(i + 1, static_cast<char>('0' + i));
        }
        TSkinReader reader;
        ASSERT_TRUE(reader.LoadContainer(Container(c.list, sizes, data))) << reader.LastError();
        EXPECT_EQ(reader.Names(), c.names);
        for (size_t i = 0; i < c.names.size(); ++i)
            EXPECT_EQ(reader.GetEntryByName(c.names[i]),
                      std::string(i + 1, static_cast<char>('0' + i)));
    }
}

TEST(SkinReader, OtherVersionsShowTheMessageAndKeepWhatWasLoaded) {
    TSkinReader reader;
    ASSERT_TRUE(reader.LoadContainer(Container("keep.bmp", {3}, "abc")));
    for (int32_t version : {19999, 20001, 0, -20000}) {
        SCOPED_TRACE(version);
        SinkRecorder sink;
        EXPECT_FALSE(reader.LoadContainer(Container("new.bmp", {1}, "z", version)));
        ASSERT_EQ(sink.messages.size(), 1u);
        EXPECT_EQ(sink.messages[0], "This is Older Skin File\rPlease update to new version !");
        EXPECT_EQ(reader.Header().Version, version);
        EXPECT_EQ(reader.GetEntryByName("keep.bmp"), "abc");
        EXPECT_FALSE(reader.FindEntry("new.bmp"));
    }
    WL_SHARED_OR_SKIP(old, "lzhuf/archive-19999.lzh");
    SinkRecorder sink;
    EXPECT_FALSE(reader.LoadArchive(test::ReadFileBytes(old)));
    EXPECT_EQ(sink.messages.size(), 1u);
}

// Damaged containers are refused silently (no message box), with a reason, and the reader
// keeps its previous entries; nothing is ever read outside the container.
TEST(SkinReader, DamagedContainersAreRefused) {
    std::string header15 = Container("", {}, "").substr(0, 15);
    std::string hugeList = Container("a", {1}, "x");
    hugeList[4] = hugeList[5] = hugeList[6] = hugeList[7] = '\xFF';
    struct Case {
        const char* what;
        std::string container;
        const char* says = ""; // a part of LastError that names what is wrong
    } cases[] = {
        {"shorter than the header", header15},
        {"name list past the end", Container("a.bmp", {}, "").substr(0, 18)},
        {"name list length near 4 GiB", hugeList},
        {"size table past the end", Container("a\r\nb", {1}, "")},
        {"sizes add up to more than the data", Container("a\r\nb", {2, 2}, "xyz"),
         "entry 'b' of 2 bytes runs past the end (1 left"},
        {"one size near 4 GiB", Container("a", {0xFFFFFFFFu}, "x"), "entry 'a' of 4294967295 bytes"},
        {"sizes whose 32-bit sum wraps", Container("a\r\nb", {0xFFFFFFFFu, 2}, "x"), "entry 'a'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SinkRecorder sink;
        TSkinReader reader;
        ASSERT_TRUE(reader.LoadContainer(Container("keep", {1}, "k")));
        EXPECT_FALSE(reader.LoadContainer(c.container));
        EXPECT_FALSE(reader.LastError().empty());
        EXPECT_NE(reader.LastError().find(c.says), std::string::npos) << reader.LastError();
        EXPECT_TRUE(sink.messages.empty());
        EXPECT_EQ(reader.GetEntryByName("keep"), "k");
    }
}

TEST(SkinReader, ExtraDataAndManyEntries) {
    TSkinReader reader;
    ASSERT_TRUE(reader.LoadContainer(Container("a", {1}, "xyz")));
    EXPECT_EQ(reader.GetEntryByName("a"), "x");

    // More entries than the original fixed table held.
    std::string list;
    std::vector<uint32_t> sizes;
    std::string data;
    for (int i = 0; i < 1500; ++i) {
        list.append(1, 'e').append(std::to_string(i)).append("\r\n");
        sizes.push_back(static_cast<uint32_t>(i % 3));
        data += std::string(i % 3, static_cast<char>('a' + i % 26));
    }
    ASSERT_TRUE(reader.LoadContainer(Container(list, sizes, data)));
    EXPECT_EQ(reader.Count(), 1500);
    EXPECT_EQ(reader.GetEntryByName("e1499"), std::string(1499 % 3, 'a' + 1499 % 26));
    EXPECT_EQ(reader.GetEntryByName("E1001"), std::string(1001 % 3, 'a' + 1001 % 26));
}

TEST(SkinReader, CompressedArchiveFailures) {
    TSkinReader reader;
    EXPECT_FALSE(reader.LoadArchive("ab"));
    EXPECT_NE(reader.LastError().find("size field"), std::string::npos) << reader.LastError();
    EXPECT_FALSE(reader.LoadArchive(std::string("\xFF\xFF\xFF\x7F", 4)));
    EXPECT_NE(reader.LastError().find("limit"), std::string::npos) << reader.LastError();
    // A tiny stated size expands to 8 bytes of garbage: too short for the header.
    EXPECT_FALSE(reader.LoadArchive(std::string("\x08\0\0\0\x12\x34", 6)));
}

// Cut compressed data still loads (missing bits read as zero), and only then LastError says so.
TEST(SkinReader, CompressedDataCutShortIsReported) {
    WL_SHARED_OR_SKIP(packed, "lzhuf/archive-20000.lzh");
    const std::string whole = test::ReadFileBytes(packed);
    ASSERT_GT(whole.size(), 64u);
    const struct {
        const char* what;
        size_t keep;
        bool reported;
    } cases[] = {
        {"whole", whole.size(), false},
        {"last byte cut", whole.size() - 1, true},
        {"cut to two thirds", whole.size() * 2 / 3, true},
    };
    for (const auto& c : cases) {
        TSkinReader reader;
        // A cut may land in the header or name list; what matters is that nothing passes silently.
        const bool loaded = reader.LoadArchive(whole.substr(0, c.keep));
        EXPECT_EQ(!reader.LastError().empty(), c.reported || !loaded) << c.what << ": " << reader.LastError();
        if (loaded && c.reported) {
            EXPECT_NE(reader.LastError().find("too early"), std::string::npos) << c.what << ": " << reader.LastError();
        }
        if (!c.reported) {
            EXPECT_TRUE(loaded) << c.what;
        }
    }
}

} // namespace
} // namespace wl
