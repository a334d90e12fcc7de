// Placement of glyph and caption in buttons: every layout, given and automatic margins and
// spacings, a missing glyph or caption, speed-button centring and content larger than the button.
#include "ui/button_layout.h"

#include <gtest/gtest.h>

namespace wl {
namespace {

struct Case {
    const char* name;
    TGlyphLayoutInput in;
    TGlyphLayout expected;
};

TGlyphLayoutInput In(int cw, int ch, int gw, int gh, int tw, int th, TButtonLayout layout, int margin,
                     int spacing, bool speed = false) {
    TGlyphLayoutInput in;
    in.clientWidth = cw;
    in.clientHeight = ch;
    in.glyphWidth = gw;
    in.glyphHeight = gh;
    in.textWidth = tw;
    in.textHeight = th;
    in.layout = layout;
    in.margin = margin;
    in.spacing = spacing;
    in.speedButton = speed;
    return in;
}

TEST(ButtonLayout, GlyphAndCaptionPositions) {
    const Case cases[] = {
        // Centred pair: margin = (75 - (16 + 4 + 20)) / 2.
        {"left, centred", In(75, 25, 16, 16, 20, 13, blGlyphLeft, -1, 4), {17, 5, 37, 6}},
        {"right, centred", In(75, 25, 16, 16, 20, 13, blGlyphRight, -1, 4), {42, 5, 18, 6}},
        {"top, centred", In(60, 50, 16, 16, 30, 13, blGlyphTop, -1, 4), {22, 8, 15, 28}},
        {"bottom, centred", In(60, 50, 16, 16, 30, 13, blGlyphBottom, -1, 4), {22, 26, 15, 9}},
        // Both automatic: the free room in three equal parts.
        {"margin and spacing automatic", In(75, 25, 16, 16, 20, 13, blGlyphLeft, -1, -1), {13, 5, 42, 6}},
        // Given margin, automatic spacing: the caption centred in what is left.
        {"spacing automatic", In(75, 25, 16, 16, 20, 13, blGlyphLeft, 2, -1), {2, 5, 36, 6}},
        {"margin and spacing given, left", In(75, 25, 16, 16, 20, 13, blGlyphLeft, 5, 3), {5, 5, 24, 6}},
        {"margin and spacing given, right", In(75, 25, 16, 16, 20, 13, blGlyphRight, 5, 3), {54, 5, 31, 6}},
        // Without a caption (or a glyph) there is no gap.
        {"no caption", In(75, 25, 16, 16, 0, 0, blGlyphLeft, -1, 4), {29, 5, 45, 13}},
        {"no glyph", In(75, 25, 0, 0, 20, 13, blGlyphLeft, -1, 4), {27, 13, 27, 6}},
        // Speed buttons centre one pixel further along.
        {"speed button", In(23, 22, 16, 16, 0, 0, blGlyphLeft, -1, 4, true), {4, 3, 20, 11}},
        {"push button of the same size", In(23, 22, 16, 16, 0, 0, blGlyphLeft, -1, 4), {3, 3, 19, 11}},
        // More content than room: the margin goes negative, truncated toward zero.
        {"content wider than the button", In(41, 20, 16, 16, 40, 13, blGlyphLeft, -1, 4), {-9, 2, 11, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TGlyphLayout out = LayoutGlyphAndCaption(c.in);
        EXPECT_EQ(out.glyphX, c.expected.glyphX);
        EXPECT_EQ(out.glyphY, c.expected.glyphY);
        EXPECT_EQ(out.textX, c.expected.textX);
        EXPECT_EQ(out.textY, c.expected.textY);
    }
}

} // namespace
} // namespace wl
