// Streams: memory, file and resource streams, their positions and their errors.
#include "ui/streams.h"

#include "support/testdata.h"

#include <gtest/gtest.h>

namespace wl {
namespace {

TEST(Streams, MemoryStreamReadsWritesAndSeeks) {
    TMemoryStream s;
    s.WriteBuffer("hello", 5);
    s.Seek(-2, soEnd);
    s.WriteBuffer("LO!", 3); // overwrites and grows
    EXPECT_EQ(s.Bytes(), "helLO!");
    struct Case {
        int64_t offset;
        TSeekOrigin origin;
        int64_t position;
        std::string rest;
    } cases[] = {
        {0, soBeginning, 0, "helLO!"},
        {2, soBeginning, 2, "lLO!"},
        {-1, soEnd, 5, "!"},
        {10, soBeginning, 10, ""}, // past the end reads nothing
    };
    for (const auto& c : cases) {
        EXPECT_EQ(s.Seek(c.offset, c.origin), c.position);
        EXPECT_EQ(s.ReadAll(), c.rest) << c.offset;
    }
    EXPECT_THROW(s.Seek(-1, soBeginning), EStreamError);
    s.SetPosition(4);
    char buf[4];
    EXPECT_EQ(s.Read(buf, 4), 2);
    s.SetPosition(4);
    EXPECT_THROW(s.ReadBuffer(buf, 4), EReadError);
    s.SetSize(3);
    EXPECT_EQ(s.Position(), 3);
    EXPECT_EQ(s.Bytes(), "hel");
}

TEST(Streams, FilesRoundTripAndReportThePlatformsError) {
    std::string path = test::ArtifactDir() + "/streams-test.bin";
    {
        TFileStream out(path, fmCreate);
        std::string bytes("a\0b\xFF", 4);
        out.WriteBuffer(bytes.data(), 4);
        EXPECT_EQ(out.Size(), 4);
    }
    TMemoryStream m;
    m.LoadFromFile(path);
    EXPECT_EQ(m.Bytes(), std::string("a\0b\xFF", 4));
    {
        TFileStream rw(path, fmOpenReadWrite);
        rw.Seek(0, soEnd);
        rw.WriteBuffer("zz", 2);
        rw.SetSize(5);
        EXPECT_EQ(rw.Size(), 5);
    }
    m.LoadFromFile(path);
    EXPECT_EQ(m.Bytes(), std::string("a\0b\xFFz", 5));
    {
        TFileStream reader(path, fmOpenRead);
        EXPECT_THROW(reader.WriteBuffer("x", 1), EWriteError);
    }
    try {
        TFileStream missing(test::ArtifactDir() + "/no-such-dir/none.bin", fmOpenRead);
        ADD_FAILURE() << "opened a missing file";
    } catch (const EFOpenError& e) {
        std::string what = e.what();
        EXPECT_EQ(what.find("Cannot open file \""), 0u) << what;
        EXPECT_GT(what.size(), what.find("none.bin\". ") + 12) << "no system text: " << what;
    }
}

TEST(Streams, ResourcesAreReadOnlyViews) {
    // The gallery form definition is compiled into this program.
    TResourceStream r(GetModuleHandleA(nullptr), "TGALLERYFORM");
    std::string text = r.ReadAll();
    EXPECT_EQ(text.rfind("object Gallery: TGalleryForm", 0), 0u);
    EXPECT_EQ(r.Size(), static_cast<int64_t>(text.size()));
    EXPECT_THROW(r.WriteBuffer("x", 1), EWriteError);
    EXPECT_THROW(TResourceStream(GetModuleHandleA(nullptr), "NO_SUCH_RESOURCE"), EResNotFound);
}

} // namespace
} // namespace wl
