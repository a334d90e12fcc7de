// Glyph-strip companions: the strip plan per kind, strips built from the skin's check and radio
// images, handing them to controls of another library through their properties (and the
// control drawing them, by pixels), a new skin, and giving the control its own glyphs back.
#include "controls_fixture.h"

#include "skin/controls/objimage.h"
#include "skin/data/skin_elements.h"
#include "support/gui.h"
#include "ui/extctrls.h"

namespace skincontrols {
namespace {

using namespace wl;

constexpr COLORREF kMagenta = RGB(255, 0, 255);

// A check box or radio button of "another library": it draws cell 0 (off) or 1 (on) of the glyph
// strip it loaded when custom glyphs were switched on, else a plain white box.
class TThirdCheck : public TCustomControl {
    WL_CLASS(TThirdCheck, TCustomControl)
public:
    explicit TThirdCheck(TComponent* owner) : TCustomControl(owner) {}
    int TransparentColor() const { return transparent_; }
    void SetTransparentColor(int c) { transparent_ = c; }
    bool UseCustomGlyphs() const { return use_; }
    void SetUseCustomGlyphs(bool on) {
        use_ = on;
        // Glyphs are taken when custom glyphs are switched on, as such controls do.
        if (on) {
            loaded_.Assign(CustomGlyphs);
            ++Reloads;
        }
        Invalidate();
    }
    bool Checked() const { return checked_; }
    void SetChecked(bool on) {
        checked_ = on;
        Invalidate();
    }
    int CellCount = 9;
    int Reloads = 0;
    TBitmap CustomGlyphs;

protected:
    void Paint() override {
        HDC dc = Canvas().Handle();
        FillColor(dc, RECT{0, 0, Width(), Height()}, RGB(255, 255, 255));
        if (!use_ || loaded_.Empty()) return;
        const int w = loaded_.Width() / CellCount;
        HDC source = loaded_.Canvas().Handle();
        for (int y = 0; y < loaded_.Height(); ++y)
            for (int x = 0; x < w; ++x) {
                const COLORREF c = GetPixel(source, (checked_ ? 1 : 0) * w + x, y);
                if (c != static_cast<COLORREF>(transparent_)) SetPixel(dc, x, y, c);
            }
    }

private:
    int transparent_ = 0;
    bool use_ = false, checked_ = false;
    TBitmap loaded_;
};
WL_DEFINE_CLASS(TThirdCheck, [](ClassBuilder<TThirdCheck>& c) {
    c.Object("CustomGlyphs", [](TThirdCheck& t) { return &t.CustomGlyphs; });
    c.Int("TransparentColor", &TThirdCheck::TransparentColor, &TThirdCheck::SetTransparentColor);
    c.Bool("UseCustomGlyphs", &TThirdCheck::UseCustomGlyphs, &TThirdCheck::SetUseCustomGlyphs);
    c.Bool("Checked", &TThirdCheck::Checked, &TThirdCheck::SetChecked);
})

// A check box whose glyph lives in a nested "Properties" object.
class TThirdProperties : public TPersistent {
    WL_CLASS(TThirdProperties, TPersistent)
public:
    TBitmap Glyph;
};
WL_DEFINE_CLASS(TThirdProperties, [](ClassBuilder<TThirdProperties>& c) {
    c.Object("Glyph", [](TThirdProperties& p) { return &p.Glyph; });
})

class TThirdPropsCheck : public TCustomControl {
    WL_CLASS(TThirdPropsCheck, TCustomControl)
public:
    using TCustomControl::TCustomControl;
    TThirdProperties Properties;
};
WL_DEFINE_CLASS(TThirdPropsCheck, [](ClassBuilder<TThirdPropsCheck>& c) {
    c.Object("Properties", [](TThirdPropsCheck& t) { return &t.Properties; });
})

TEST(GlyphStrip, PlanPerKindAndFrameCount) {
    using Copies = std::vector<std::pair<int, int>>;
    struct Case {
        int kind, frames, cells;
        Copies copies;
    } cases[] = {
        {1, 4, 9, {{0, 0}, {1, 1}, {3, 0}, {4, 1}, {6, 2}, {7, 3}}},
        {1, 5, 9, {{0, 0}, {1, 1}, {3, 0}, {4, 1}, {6, 2}, {7, 3}, {2, 4}, {5, 4}, {8, 4}}},
        {1, 12, 9, {{0, 0}, {1, 1}, {3, 0}, {4, 1}, {6, 2}, {7, 3}, {2, 4}, {5, 4}, {8, 4}}},
        {1, 2, 9, {{0, 0}, {1, 1}, {3, 0}, {4, 1}}}, // frames the image lacks stay blank
        {2, 4, 6, {{0, 0}, {1, 1}, {2, 0}, {3, 1}, {4, 2}, {5, 3}}},
        {2, 8, 6, {{0, 0}, {1, 1}, {2, 0}, {3, 1}, {4, 2}, {5, 3}}},
        {3, 4, 6, {{0, 0}, {1, 1}, {3, 0}, {4, 1}}},
        {3, 5, 6, {{0, 0}, {1, 1}, {3, 0}, {4, 1}, {2, 4}, {5, 4}}},
        {0, 5, 0, {}},
        {4, 5, 0, {}},
    };
    for (const Case& c : cases) {
        const TGlyphStripPlan plan = GlyphStripPlan(c.kind, c.frames);
        EXPECT_EQ(plan.Cells, c.cells) << "kind " << c.kind << " frames " << c.frames;
        EXPECT_EQ(plan.Copies, c.copies) << "kind " << c.kind << " frames " << c.frames;
    }
}

// An image of `frames` 5 x 4 cells, cell n filled with colour (10n, 20, 200).
TBitmap& FramedImage(TBitmap& image, int frames) {
    image.SetSize(5 * frames, 4);
    for (int n = 0; n < frames; ++n)
        FillColor(image.Canvas().Handle(), RECT{5 * n, 0, 5 * n + 5, 4}, RGB(10 * n, 20, 200));
    return image;
}

TEST(GlyphStrip, CellsCopyTheirFramesAndTheRestIsKeyColour) {
    struct Case {
        int kind, frames;
        std::vector<int> cellFrames; // -1: blank
    } cases[] = {
        {1, 4, {0, 1, -1, 0, 1, -1, 2, 3, -1}},
        {1, 5, {0, 1, 4, 0, 1, 4, 2, 3, 4}},
        {2, 8, {0, 1, 0, 1, 2, 3}},
        {3, 5, {0, 1, 4, 0, 1, 4}},
        {3, 4, {0, 1, -1, 0, 1, -1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("kind " + std::to_string(c.kind) + " frames " + std::to_string(c.frames));
        TBitmap image, strip;
        ASSERT_TRUE(BuildGlyphStrip(c.kind, FramedImage(image, c.frames), c.frames, strip));
        ASSERT_EQ(strip.Width(), 5 * static_cast<int>(c.cellFrames.size()));
        ASSERT_EQ(strip.Height(), 4);
        for (size_t cell = 0; cell < c.cellFrames.size(); ++cell) {
            const int f = c.cellFrames[cell];
            const COLORREF expected = f < 0 ? kMagenta : RGB(10 * f, 20, 200);
            EXPECT_EQ(GetPixel(strip.Canvas().Handle(), 5 * static_cast<int>(cell) + 2, 2),
                      expected)
                << "cell " << cell;
        }
    }
    TBitmap empty, strip;
    strip.SetSize(3, 3);
    EXPECT_FALSE(BuildGlyphStrip(1, empty, 4, strip));
    EXPECT_EQ(strip.Width(), 3) << "left alone";
    TBitmap image;
    EXPECT_FALSE(BuildGlyphStrip(9, FramedImage(image, 4), 4, strip));
    EXPECT_FALSE(BuildGlyphStrip(1, image, 0, strip));
}

class ObjImageSkin : public SkinControlsTest {
protected:
    TSkinObjImage* Skin(TWinControl* control, int kind) {
        TSkinControl* c = CreateCompanion("TSkinObjImage", control);
        if (!c) return nullptr;
        // The discovery code sets the kind by name before attaching.
        EXPECT_TRUE(SetPropertyText(c, "ImageKind", std::to_string(kind)));
        c->Attach(TAttachContext::ForControl(nullptr, data_.get(), nullptr, false));
        return dynamic_cast<TSkinObjImage*>(c);
    }
    // Pixel (x, y) of frame `frame` (from 0) of a skin image of `frames` cells.
    static COLORREF ImagePixel(TBitmap& image, int frames, int frame, int x, int y) {
        return GetPixel(image.Canvas().Handle(), frame * (image.Width() / frames) + x, y);
    }
};

TEST_F(ObjImageSkin, CheckAndRadioControlsTakeAStripAndDrawFromIt) {
    TDataSkinButton& b = *data_->Buttons;
    struct Case {
        int kind;
        TBitmap* image;
        int frames, cells;
    } cases[] = {
        {ikCheckCustomGlyphs, &b.CheckImage, b.CheckButtonFrame, 9},
        {ikRadioCustomGlyphs, &b.RadioImage, b.RadioButtonFrame, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("kind " + std::to_string(c.kind));
        ASSERT_FALSE(c.image->Empty());
        auto* check = Add<TThirdCheck>(RECT{10, 10, 40, 40});
        check->CellCount = c.cells;
        const int layers = check->WindowProc.LayerCount();
        TSkinObjImage* skin = Skin(check, c.kind);
        ASSERT_NE(skin, nullptr);
        EXPECT_EQ(skin->FImageKind, c.kind);
        EXPECT_EQ(skin->LifeState(), TLifeState::Attached);
        EXPECT_EQ(check->WindowProc.LayerCount(), layers) << "messages are not taken over";
        const int w = c.image->Width() / c.frames;
        EXPECT_EQ(check->CustomGlyphs.Width(), c.cells * w);
        EXPECT_EQ(check->CustomGlyphs.Height(), c.image->Height());
        EXPECT_EQ(check->TransparentColor(), 16711935);
        EXPECT_TRUE(check->UseCustomGlyphs());
        EXPECT_EQ(check->Reloads, 1) << "switched off and on once";

        // The control paints the skin's frame 0, then frame 1 when checked.
        const int x = w / 2, y = c.image->Height() / 2 + 1;
        for (bool checked : {false, true}) {
            check->SetChecked(checked);
            Repaint(check->Handle());
            COLORREF expected = ImagePixel(*c.image, c.frames, checked ? 1 : 0, x, y);
            if (expected == kMagenta) expected = RGB(255, 255, 255);
            EXPECT_EQ(wl::test::WindowPixel(check->Handle(), x, y), expected)
                << (checked ? "checked" : "unchecked");
        }
        EXPECT_NE(ImagePixel(*c.image, c.frames, 0, x, y), ImagePixel(*c.image, c.frames, 1, x, y));

        skin->Restore();
        EXPECT_FALSE(check->UseCustomGlyphs());
        Repaint(check->Handle());
        EXPECT_EQ(wl::test::WindowPixel(check->Handle(), x, y), RGB(255, 255, 255))
            << "its own look again";
        delete check;
    }
}

TEST_F(ObjImageSkin, NestedGlyphTakesASixCellStripAndIsEmptiedOnRestore) {
    auto* check = Add<TThirdPropsCheck>(RECT{10, 10, 40, 40});
    TSkinObjImage* skin = Skin(check, ikCheckPropertiesGlyph);
    ASSERT_NE(skin, nullptr);
    TDataSkinButton& b = *data_->Buttons;
    const int w = b.CheckImage.Width() / b.CheckButtonFrame;
    TBitmap& glyph = check->Properties.Glyph;
    EXPECT_EQ(glyph.Width(), 6 * w);
    EXPECT_EQ(glyph.TransparentColor(), static_cast<TColor>(0xFF00FF));
    EXPECT_FALSE(glyph.Transparent());
    // Cell 4 holds frame 1 (checked), cell 2 frame 4 (the default skin has twelve).
    const int y = b.CheckImage.Height() / 2;
    EXPECT_EQ(GetPixel(glyph.Canvas().Handle(), 4 * w + w / 2, y),
              ImagePixel(b.CheckImage, b.CheckButtonFrame, 1, w / 2, y));
    EXPECT_EQ(GetPixel(glyph.Canvas().Handle(), 2 * w + w / 2, y),
              ImagePixel(b.CheckImage, b.CheckButtonFrame, 4, w / 2, y));
    skin->Restore();
    EXPECT_TRUE(glyph.Empty());
}

TEST_F(ObjImageSkin, ANewSkinIsHandedOverAgain) {
    auto* check = Add<TThirdCheck>(RECT{10, 10, 40, 40});
    TSkinObjImage* skin = Skin(check, ikCheckCustomGlyphs);
    ASSERT_NE(skin, nullptr);
    TDataSkinButton& b = *data_->Buttons;
    // The next skin: four plain cells.
    FramedImage(b.CheckImage, 4);
    b.CheckButtonFrame = 4;
    skin->SkinChanged();
    EXPECT_EQ(check->Reloads, 2);
    ASSERT_EQ(check->CustomGlyphs.Width(), 9 * 5);
    HDC dc = check->CustomGlyphs.Canvas().Handle();
    EXPECT_EQ(GetPixel(dc, 7 * 5 + 2, 2), RGB(30, 20, 200)) << "cell 7 from frame 3";
    EXPECT_EQ(GetPixel(dc, 8 * 5 + 2, 2), kMagenta) << "no fifth frame: blank";
    Repaint(check->Handle());
    EXPECT_EQ(wl::test::WindowPixel(check->Handle(), 2, 2), RGB(0, 20, 200))
        << "drawn from the new strip";
}

TEST_F(ObjImageSkin, ControlsWithoutGlyphPropertiesAreLeftAlone) {
    struct Case {
        const char* what;
        int kind;
    } cases[] = {{"custom glyphs", ikCheckCustomGlyphs},
                 {"nested glyph", ikCheckPropertiesGlyph},
                 {"no kind", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto* panel = Add<TPanel>(RECT{10, 10, 60, 40});
        panel->SetColor(RGB(0, 100, 0));
        panel->SetBevelOuter(bvNone);
        TSkinObjImage* skin = Skin(panel, c.kind);
        ASSERT_NE(skin, nullptr);
        EXPECT_EQ(skin->LifeState(), TLifeState::Attached);
        skin->SkinChanged();
        skin->Restore();
        Repaint(panel->Handle());
        EXPECT_EQ(panel->Color(), RGB(0, 100, 0));
        EXPECT_EQ(wl::test::WindowPixel(panel->Handle(), 25, 15), RGB(0, 100, 0));
        delete panel;
    }
    // A kind given as a refused value keeps the last one.
    auto* check = Add<TThirdCheck>(RECT{10, 10, 40, 40});
    TSkinControl* c = CreateCompanion("TSkinObjImage", check);
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(SetPropertyText(c, "ImageKind", "2"));
    EXPECT_FALSE(SetPropertyText(c, "ImageKind", "radio"));
    EXPECT_EQ(GetOrdProperty(c, "ImageKind"), 2);
}

} // namespace
} // namespace skincontrols
