// Check boxes and radio buttons of other control libraries that draw themselves from a glyph
// strip they are given: TSkinObjImage builds such a strip from the skin's check or radio image
// and hands it to the control through its published properties. It never takes over the
// control's messages; the control paints itself from the new glyphs.
#pragma once

#include "skin/controls/skin_control.h"

#include <utility>
#include <vector>

namespace wl {

// ImageKind values.
enum : int {
    ikCheckCustomGlyphs = 1,   // check box, 9-cell strip in "CustomGlyphs"
    ikRadioCustomGlyphs = 2,   // radio button, 6-cell strip in "CustomGlyphs"
    ikCheckPropertiesGlyph = 3 // check box, 6-cell strip in "Properties"."Glyph"
};

// Which cells of the strip copy which frames (both from 0) of a skin image of `frames` cells:
// the strip's cell count and the (cell, frame) pairs. Frames the image lacks are left out, so
// those cells stay blank. An unknown kind gives no cells.
struct TGlyphStripPlan {
    int Cells = 0;
    std::vector<std::pair<int, int>> Copies;
};
TGlyphStripPlan GlyphStripPlan(int kind, int frames);

// Builds the strip of `kind` from `image` (`frames` cells side by side, each image width div
// frames wide and the full height); blank cells hold the key colour. False, leaving `strip`
// alone, when the image is missing or empty or the kind unknown.
bool BuildGlyphStrip(int kind, TBitmap& image, int frames, TBitmap& strip);

class TSkinObjImage : public TSkinControl {
    WL_CLASS(TSkinObjImage, TSkinControl)
public:
    explicit TSkinObjImage(TComponent* owner);

    bool OnAttach(const TAttachContext& context) override;
    void Restore() override;
    void SkinChanged() override;

    int ImageKind() const { return FImageKind; }
    void SetImageKind(int kind) { FImageKind = kind; }

    int FImageKind = 0;

private:
    // Builds the strip for the kind and gives it to the control; false when nothing was handed.
    bool HandOverGlyphs();
    // Gives the control its own glyphs back.
    void TakeBackGlyphs();
    TObject* Target() const;
};

} // namespace wl
