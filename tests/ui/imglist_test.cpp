// Image lists under Wine: adding with masks, drawing normally and disabled (pixels read back),
// list operations, and the images in form definitions (written back identically, damaged data
// refused).
#include "menus_test_support.h"

#include "support/leak_loop.h"

#include "ui/formfile.h"
#include "ui/imglist.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace wl::test {
namespace {

class ImageLists : public ::testing::Test {
protected:
    static void SetUpTestSuite() { Application->Initialize(); }
};

constexpr TColor kBackground = 0x0000C8C8; // olive, unlike any system colour used here

// Two 8 x 8 images side by side: a red 4 x 4 square at (2, 2) on fuchsia, and all green.
std::unique_ptr<TBitmap> Strip() {
    auto b = std::make_unique<TBitmap>(16, 8);
    TCanvas& c = b->Canvas();
    c.Brush().SetColor(clFuchsia);
    c.FillRect({0, 0, 8, 8});
    c.Brush().SetColor(clRed);
    c.FillRect({2, 2, 6, 6});
    c.Brush().SetColor(clLime);
    c.FillRect({8, 0, 16, 8});
    return b;
}

std::unique_ptr<TBitmap> Target() {
    auto b = std::make_unique<TBitmap>(12, 12);
    b->Canvas().Brush().SetColor(kBackground);
    b->Canvas().FillRect({0, 0, 12, 12});
    return b;
}

TEST_F(ImageLists, MaskedImagesDrawOverTheBackgroundAndDisabledOnesEngraved) {
    TImageList list(nullptr);
    list.SetWidth(8);
    list.SetHeight(8);
    auto strip = Strip();
    EXPECT_EQ(list.AddMasked(*strip, clFuchsia), 0);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(strip->Canvas().Pixel(0, 0), ColorToRGB(clFuchsia)) << "the caller's bitmap is left as it was";

    struct Case {
        int index;
        bool enabled;
        POINT at; // in image coordinates; drawn at (1, 1)
        TColor expected;
    } cases[] = {
        {0, true, {3, 3}, clRed},
        {0, true, {0, 0}, kBackground},     // masked: the background stays
        {0, true, {7, 7}, kBackground},
        {1, true, {7, 7}, clLime},
        {0, false, {3, 3}, clBtnShadow},    // the shape in the shadow colour
        {0, false, {6, 6}, clBtnHighlight}, // and its highlight one pixel down and right
        {0, false, {0, 0}, kBackground},
        {1, false, {0, 0}, clBtnShadow},
        {5, true, {3, 3}, kBackground},     // no such image: nothing drawn
        {-1, false, {3, 3}, kBackground},
    };
    for (const Case& c : cases) {
        auto target = Target();
        list.Draw(target->Canvas(), 1, 1, c.index, c.enabled);
        GdiFlush();
        EXPECT_EQ(target->Canvas().Pixel(1 + c.at.x, 1 + c.at.y), ColorToRGB(c.expected))
            << "image " << c.index << (c.enabled ? " enabled" : " disabled") << " at " << c.at.x << "," << c.at.y;
    }
}

TEST_F(ImageLists, ExplicitMasksAndListsWithoutMasks) {
    auto strip = Strip();
    TBitmap mask(16, 8, pf1bit);
    mask.Canvas().Brush().SetColor(clWhite);
    mask.Canvas().FillRect({0, 0, 16, 8});
    mask.Canvas().Brush().SetColor(clBlack);
    mask.Canvas().FillRect({0, 0, 8, 4}); // image 0: only the top half is opaque
    mask.Canvas().FillRect({8, 0, 16, 8});

    TImageList masked(nullptr);
    masked.SetWidth(8);
    masked.SetHeight(8);
    masked.Add(*strip, &mask);
    TImageList plain(nullptr);
    plain.SetWidth(8);
    plain.SetHeight(8);
    plain.SetMasked(false);
    plain.Add(*strip, nullptr);

    struct Case {
        TImageList* list;
        bool enabled;
        POINT at;
        TColor expected;
    } cases[] = {
        {&masked, true, {3, 3}, clRed},
        {&masked, true, {0, 1}, clFuchsia}, // opaque by the mask, though fuchsia
        {&masked, true, {3, 5}, kBackground},
        {&plain, true, {0, 6}, clFuchsia},  // no mask: every pixel is drawn
        {&plain, false, {3, 3}, clBtnShadow},
        {&plain, false, {0, 0}, kBackground}, // the bottom-left colour counts as background
    };
    for (const Case& c : cases) {
        auto target = Target();
        c.list->Draw(target->Canvas(), 1, 1, 0, c.enabled);
        GdiFlush();
        EXPECT_EQ(target->Canvas().Pixel(1 + c.at.x, 1 + c.at.y), ColorToRGB(c.expected))
            << (c.list == &plain ? "plain " : "masked ") << c.enabled << " at " << c.at.x << "," << c.at.y;
    }
}

TEST_F(ImageLists, ListOperations) {
    TImageList list(nullptr);
    list.SetWidth(8);
    list.SetHeight(8);
    auto strip = Strip();
    list.AddMasked(*strip, clFuchsia);
    list.AddMasked(*strip, clFuchsia);
    EXPECT_EQ(list.Count(), 4);

    TBitmap out;
    EXPECT_TRUE(list.GetBitmap(1, out));
    EXPECT_EQ(out.Width(), 8);
    EXPECT_EQ(out.Canvas().Pixel(4, 4), ColorToRGB(clLime));
    list.Delete(0);
    EXPECT_EQ(list.Count(), 3);
    ASSERT_TRUE(list.GetBitmap(0, out));
    EXPECT_EQ(out.Canvas().Pixel(4, 4), ColorToRGB(clLime)) << "the images after it moved up";
    TBitmap mask;
    ASSERT_TRUE(list.GetMask(1, mask));
    EXPECT_EQ(mask.Canvas().Pixel(0, 0), ColorToRGB(clWhite));
    EXPECT_EQ(mask.Canvas().Pixel(3, 3), ColorToRGB(clBlack));

    EXPECT_FALSE(list.GetBitmap(3, out));
    EXPECT_FALSE(list.GetMask(-1, mask));
    EXPECT_THROW(list.Delete(3), EInvalidGraphicOperation);
    TBitmap small(4, 8);
    EXPECT_THROW(list.Add(small, nullptr), EInvalidGraphicOperation);
    EXPECT_THROW(list.SetWidth(0), EInvalidGraphicOperation);
    EXPECT_EQ(list.Count(), 3);

    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    list.AddMasked(*strip, clFuchsia);
    list.SetWidth(16); // another size empties the list
    EXPECT_EQ(list.Count(), 0);
}

std::string ImagesOf(TCustomImageList& list) {
    std::vector<std::pair<std::string, std::string>> out;
    list.WriteBinaryProperties(out);
    return out.empty() ? std::string() : out.front().second;
}

TEST_F(ImageLists, ImagesTravelInFormDefinitionsAndComeBackIdentically) {
    const char* text = "object F: TMenuTestForm\n"
                       "  object ImageList1: TImageList\n"
                       "    Height = 8\n"
                       "    Width = 8\n"
                       "  end\n"
                       "end\n";
    auto form = std::make_unique<TMenuTestForm>(nullptr);
    form->ReadDefinitionText(text);
    auto* list = dynamic_cast<TImageList*>(form->FindComponent("ImageList1"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->Width(), 8);
    auto strip = Strip();
    list->AddMasked(*strip, clFuchsia);

    std::string written = WriteComponentText(*form);
    EXPECT_NE(written.find("Bitmap = {"), std::string::npos) << written;
    auto again = std::make_unique<TMenuTestForm>(nullptr);
    again->ReadDefinitionText(written);
    EXPECT_EQ(WriteComponentText(*again), written);
    auto* copy = dynamic_cast<TImageList*>(again->FindComponent("ImageList1"));
    ASSERT_NE(copy, nullptr);
    ASSERT_EQ(copy->Count(), 2);
    for (int i = 0; i < 2; ++i) {
        auto a = Target(), b = Target();
        list->Draw(a->Canvas(), 1, 1, i);
        copy->Draw(b->Canvas(), 1, 1, i);
        GdiFlush();
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x)
                ASSERT_EQ(a->Canvas().Pixel(x, y), b->Canvas().Pixel(x, y)) << i << " at " << x << "," << y;
    }
}

TEST_F(ImageLists, DamagedImageDataIsRefusedAndChangesNothing) {
    TImageList source(nullptr);
    source.SetWidth(8);
    source.SetHeight(8);
    auto strip = Strip();
    source.AddMasked(*strip, clFuchsia);
    const std::string good = ImagesOf(source);
    ASSERT_GT(good.size(), 13u);

    auto set32 = [](std::string s, size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>(v >> (8 * i));
        return s;
    };
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"header only", good.substr(0, 13)},
        {"truncated", good.substr(0, good.size() - 5)},
        {"extra bytes", good + "x"},
        {"more images than pixels", set32(good, 0, 3)},
        {"no images", set32(good, 0, 0)},
        {"zero width", set32(good, 4, 0)},
        {"wrong height", set32(good, 8, 9)},
        {"huge count", set32(good, 0, 0x7FFFFFFF)},
        {"bad mask flag", [&] { std::string s = good; s[12] = 2; return s; }()},
        {"image length past the end", set32(good, 13, 0xFFFFFF00)},
        {"not a bitmap", [&] { std::string s = good; s[17] = 'X'; return s; }()},
    };
    TImageList target(nullptr);
    target.SetWidth(4);
    target.SetHeight(4);
    TBitmap four(4, 4);
    target.Add(four, nullptr);
    for (const Case& c : cases) {
        EXPECT_THROW(target.ReadBinaryProperty("Bitmap", c.bytes), Exception) << c.what;
        EXPECT_EQ(target.Count(), 1) << c.what;
        EXPECT_EQ(target.Width(), 4) << c.what;
    }
    // And in a form definition the error names the form and the line.
    std::string text = "object F: TMenuTestForm\n  object ImageList1: TImageList\n    Bitmap = {\n      0100}\n  end\nend\n";
    auto form = std::make_unique<TMenuTestForm>(nullptr);
    try {
        form->ReadDefinitionText(text);
        ADD_FAILURE() << "no error";
    } catch (const EFormError& e) {
        EXPECT_NE(std::string(e.what()).find("line 3"), std::string::npos) << e.what();
    }
}

TEST_F(ImageLists, HandlesStayFlatOverCreateAndDestroyCycles) {
    auto strip = Strip();
    ExpectNoLeak([&](int) {
        TImageList list(nullptr);
        list.SetWidth(8);
        list.SetHeight(8);
        list.AddMasked(*strip, clFuchsia);
        auto target = Target();
        list.Draw(target->Canvas(), 0, 0, 0, false);
        ImagesOf(list);
    });
}

} // namespace
} // namespace wl::test
