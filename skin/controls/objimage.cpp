// Glyph strips for check and radio controls of other libraries (see objimage.h).
#include "skin/controls/objimage.h"

#include "skin/data/skin_data.h"
#include "skin/data/skin_elements.h"
#include "skin/draw/skin_draw.h"
#include "skin/forms/win_skin_form.h"

#include <string>

namespace wl {

WL_DEFINE_CLASS(TSkinObjImage, [](ClassBuilder<TSkinObjImage>& c) {
    c.Int("ImageKind", &TSkinObjImage::ImageKind, &TSkinObjImage::SetImageKind);
})

namespace {

constexpr TColor kMagenta = 0xFF00FF;

// Sets a colour property from its decimal text: integer properties through the companions'
// setter, colour-typed ones through the library's (which reads numbers too).
void SetColorText(TObject* instance, std::string_view name, const std::string& text) {
    if (SetPropertyText(instance, name, text)) return;
    try {
        if (instance && IsPublishedProp(*instance, name) &&
            PropKind(*instance, name) == TPropKind::Color)
            ::wl::SetPropertyText(*instance, name, text);
    } catch (const Exception&) {
        // A control that refuses the value keeps its own.
    }
}

TBitmap* BitmapProperty(TObject* instance, std::string_view name) {
    return dynamic_cast<TBitmap*>(GetObjectProperty(instance, name, "TBitmap"));
}

} // namespace

TGlyphStripPlan GlyphStripPlan(int kind, int frames) {
    TGlyphStripPlan plan;
    std::vector<std::pair<int, int>> all;
    switch (kind) {
    case ikCheckCustomGlyphs:
        plan.Cells = 9;
        all = {{0, 0}, {1, 1}, {3, 0}, {4, 1}, {6, 2}, {7, 3}};
        if (frames >= 5) all.insert(all.end(), {{2, 4}, {5, 4}, {8, 4}});
        break;
    case ikRadioCustomGlyphs:
        plan.Cells = 6;
        all = {{0, 0}, {1, 1}, {2, 0}, {3, 1}, {4, 2}, {5, 3}};
        break;
    case ikCheckPropertiesGlyph:
        plan.Cells = 6;
        all = {{0, 0}, {1, 1}, {3, 0}, {4, 1}};
        if (frames >= 5) all.insert(all.end(), {{2, 4}, {5, 4}});
        break;
    default:
        return plan;
    }
    for (const auto& copy : all)
        if (copy.second < frames) plan.Copies.push_back(copy);
    return plan;
}

bool BuildGlyphStrip(int kind, TBitmap& image, int frames, TBitmap& strip) {
    if (image.Empty() || frames < 1) return false;
    const TGlyphStripPlan plan = GlyphStripPlan(kind, frames);
    const int w = image.Width() / frames, h = image.Height();
    if (plan.Cells == 0 || w <= 0) return false;
    TBitmap made(plan.Cells * w, h);
    HDC dc = made.Canvas().Handle();
    // Cells the image has nothing for are blank: the key colour, which the control leaves out.
    FillColor(dc, RECT{0, 0, plan.Cells * w, h}, kMagenta);
    HDC source = image.Canvas().Handle();
    for (const auto& [cell, frame] : plan.Copies)
        BitBlt(dc, cell * w, 0, w, h, source, frame * w, 0, SRCCOPY);
    strip.Assign(made);
    return true;
}

TSkinObjImage::TSkinObjImage(TComponent* owner) : TSkinControl(owner) {}

TObject* TSkinObjImage::Target() const {
    if (ControlGone()) return nullptr;
    return Owner();
}

bool TSkinObjImage::OnAttach(const TAttachContext& context) {
    if (context.Kind != TAttachKind::Control) return TSkinControl::OnAttach(context);
    FColorize = context.Colorize;
    FControl = dynamic_cast<TWinControl*>(Owner());
    if (FControl) {
        FControl->FreeNotification(this);
        FHandle = FControl->Handle();
    }
    HandOverGlyphs();
    return true;
}

bool TSkinObjImage::HandOverGlyphs() {
    TObject* target = Target();
    if (!target || !FSkinData || !FSkinData->Buttons) return false;
    TDataSkinButton& buttons = *FSkinData->Buttons;
    const bool radio = FImageKind == ikRadioCustomGlyphs;
    TBitmap& image = radio ? buttons.RadioImage : buttons.CheckImage;
    const int frames = radio ? buttons.RadioButtonFrame : buttons.CheckButtonFrame;
    TBitmap strip;
    if (!BuildGlyphStrip(FImageKind, image, frames, strip)) return false;
    if (FImageKind == ikCheckPropertiesGlyph) {
        TBitmap* glyph =
            BitmapProperty(GetObjectProperty(target, "Properties", "TPersistent"), "Glyph");
        if (!glyph) return false;
        glyph->Assign(strip);
        glyph->SetTransparentColor(kMagenta);
        glyph->SetTransparent(false);
        return true;
    }
    TBitmap* glyphs = BitmapProperty(target, "CustomGlyphs");
    if (!glyphs) return false;
    glyphs->Assign(strip);
    SetColorText(target, "transparentcolor", std::to_string(kMagenta));
    // Switching custom glyphs off and on makes the control reload them.
    SetPropertyText(target, "UseCustomGlyphs", "false");
    SetPropertyText(target, "UseCustomGlyphs", "true");
    return true;
}

void TSkinObjImage::SkinChanged() {
    // A skin without the check or radio image leaves the control its own glyphs, not the
    // previous skin's.
    if (!HandOverGlyphs()) TakeBackGlyphs();
    if (FHandle && IsWindow(FHandle)) MarkForRepaint();
}

void TSkinObjImage::Restore() {
    TSkinControl::Restore();
    TakeBackGlyphs();
}

void TSkinObjImage::TakeBackGlyphs() {
    TObject* target = Target();
    if (!target) return;
    if (FImageKind == ikCheckPropertiesGlyph) {
        if (TBitmap* glyph =
                BitmapProperty(GetObjectProperty(target, "Properties", "TPersistent"), "Glyph"))
            glyph->Clear();
    } else if (FImageKind == ikCheckCustomGlyphs || FImageKind == ikRadioCustomGlyphs) {
        SetPropertyText(target, "UseCustomGlyphs", "false");
    }
}

} // namespace wl
