// Where a button puts its glyph and its caption: pure arithmetic on sizes, shared by the glyph
// buttons of the library (and testable without windows).
//
// The glyph and the caption are laid out along one axis (horizontal for a glyph left or right
// of the caption, vertical for a glyph above or below it) and centred across it. Margin is the
// distance from the edge the glyph is on to the glyph (-1: centre glyph and caption together);
// Spacing is the gap between glyph and caption (-1: spread what is left evenly). Divisions
// truncate toward zero.
#pragma once

namespace wl {

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

struct TGlyphLayoutInput {
    int clientWidth = 0, clientHeight = 0;
    int glyphWidth = 0, glyphHeight = 0; // 0 x 0: no glyph
    int textWidth = 0, textHeight = 0;   // 0 x 0: no caption
    TButtonLayout layout = blGlyphLeft;
    int margin = -1;
    int spacing = 4;
    // Speed buttons centre a glyph with a given spacing one pixel further along the axis.
    bool speedButton = false;
};

struct TGlyphLayout {
    int glyphX = 0, glyphY = 0;
    int textX = 0, textY = 0; // top-left of the caption box (textWidth x textHeight)
};

TGlyphLayout LayoutGlyphAndCaption(const TGlyphLayoutInput& in);

} // namespace wl
