// Glyph and caption placement of buttons (see button_layout.h).
#include "ui/button_layout.h"

namespace wl {

TGlyphLayout LayoutGlyphAndCaption(const TGlyphLayoutInput& in) {
    TGlyphLayout out;
    const bool horizontal = in.layout == blGlyphLeft || in.layout == blGlyphRight;
    // Across the axis both are centred on their own.
    if (horizontal) {
        out.glyphY = (in.clientHeight - in.glyphHeight + 1) / 2;
        out.textY = (in.clientHeight - in.textHeight + 1) / 2;
    } else {
        out.glyphX = (in.clientWidth - in.glyphWidth + 1) / 2;
        out.textX = (in.clientWidth - in.textWidth + 1) / 2;
    }
    // Along the axis.
    const int client = horizontal ? in.clientWidth : in.clientHeight;
    const int glyph = horizontal ? in.glyphWidth : in.glyphHeight;
    const int text = horizontal ? in.textWidth : in.textHeight;
    int margin = in.margin;
    int spacing = in.spacing;
    // A gap only exists between two things.
    if (in.textWidth == 0 || in.glyphWidth == 0) spacing = 0;
    if (margin == -1) {
        if (spacing == -1) {
            margin = (client - (glyph + text)) / 3;
            spacing = margin;
        } else {
            margin = (client - (glyph + spacing + text)) / 2 + (in.speedButton ? 1 : 0);
        }
    } else if (spacing == -1) {
        spacing = ((client - (margin + glyph)) - text) / 2;
    }
    switch (in.layout) {
    case blGlyphLeft:
        out.glyphX = margin;
        out.textX = out.glyphX + glyph + spacing;
        break;
    case blGlyphRight:
        out.glyphX = in.clientWidth - margin - glyph;
        out.textX = out.glyphX - spacing - text;
        break;
    case blGlyphTop:
        out.glyphY = margin;
        out.textY = out.glyphY + glyph + spacing;
        break;
    case blGlyphBottom:
        out.glyphY = in.clientHeight - margin - glyph;
        out.textY = out.glyphY - spacing - text;
        break;
    }
    return out;
}

} // namespace wl
