// The arithmetic of a skinned scroll bar, kept free of windows: which part of the bar a point
// falls on, where a dragged thumb goes, the thumb of a scroll-bar control computed from its
// values, and which cell of the skin's strips each part shows in each state.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace wl::scrollgeom {

// Parts of a bar, numbered like the scroll codes the system sends while it tracks a press, so
// that a scroll code names the part being pressed.
enum : int {
    spNone = -1,
    spFirstArrow = 0,  // SB_LINEUP / SB_LINELEFT
    spSecondArrow = 1, // SB_LINEDOWN / SB_LINERIGHT
    spTrackBefore = 2, // SB_PAGEUP
    spTrackAfter = 3,  // SB_PAGEDOWN
    spThumb = 5,       // SB_THUMBTRACK
};

// Cells of the skin's arrow strip (23 cells).
inline constexpr int kArrowCells = 23;
inline constexpr int kTrackCells = 4;

struct TSpan {
    int Start = 0;
    int End = 0;
    int Length() const { return End - Start; }
    friend bool operator==(const TSpan&, const TSpan&) = default;
};

// a * b / c rounded to nearest, -1 when c is 0 (the platform's MulDiv rule, without windows).
inline int MulDivRound(int a, int b, int c) {
    if (c == 0) return -1;
    const int64_t p = static_cast<int64_t>(a) * b;
    const bool negative = (p < 0) != (c < 0);
    const int64_t num = p < 0 ? -p : p;
    const int64_t den = c < 0 ? -static_cast<int64_t>(c) : c;
    const int64_t q = (num + den / 2) / den;
    return static_cast<int>(negative ? -q : q);
}

// The part of a bar of `length` pixels with arrows of `arrow` pixels under axis offset `a`.
inline int HitTest(int a, int arrow, const TSpan& thumb, int length) {
    if (a < arrow) return spFirstArrow;
    if (a < thumb.Start) return spTrackBefore;
    if (a < thumb.End) return spThumb;
    if (a < length - arrow) return spTrackAfter;
    return spSecondArrow;
}

// The arrows' length: `arrow`, or half the bar when two full arrows do not fit.
inline int ArrowLength(int length, int arrow) { return length < 2 * arrow ? length / 2 : arrow; }

// The start of a thumb dragged by `delta` pixels from `downStart`, kept between the arrows.
inline int DraggedThumbStart(int downStart, int delta, int arrow, int length, int thumbLength) {
    const int high = length - arrow - thumbLength;
    return std::max(arrow, std::min(downStart + delta, high));
}

// The thumb of a scroll-bar control of `length` pixels from its range, page and position, where
// the system cannot tell it: with a page the thumb covers (page - 1) / range of the track,
// without one it is an arrow long. An empty range has no thumb.
inline TSpan ControlThumb(int length, int arrow, int min, int max, int page, int position) {
    const int range = max - min;
    if (range <= 0) return {arrow, arrow};
    int thumb, start;
    if (page != 0) {
        thumb = MulDivRound(length - 2 * arrow, page - 1, range);
        start = position == min ? arrow : MulDivRound(length - 2 * arrow, position - min, range) + arrow;
    } else {
        thumb = arrow;
        start = position == min ? arrow : MulDivRound(length - 3 * arrow, position - min, range) + arrow;
    }
    thumb = std::max(thumb, 0);
    return {start, start + thumb};
}

// The bar's thickness: the skin's arrow cell height, unless it is more than 2 pixels off the
// system's arrow size (then the system's).
inline int BarThickness(int cellHeight, int arrowSize) {
    return std::abs(cellHeight - arrowSize) > 2 ? arrowSize : cellHeight;
}

// The arrow cell of the first (`second` false) or second arrow. The part being pressed shows
// its pressed cell, the part under the mouse its hot cell; a disabled bar's arrows their normal
// cells (the disabled look comes from the track and the missing thumb).
inline int ArrowCell(bool vertical, bool second, bool enabled, int hotPart, bool tracking) {
    int cell = vertical ? (second ? 13 : 9) : (second ? 5 : 1);
    if (!enabled) return cell;
    if (hotPart == (second ? spSecondArrow : spFirstArrow)) cell += tracking ? 1 : 3;
    return cell;
}

// The thumb element's cell: 1 normal, 2 pressed, 3 under the mouse.
inline int ThumbCell(int hotPart, bool tracking) {
    if (hotPart != spThumb) return 1;
    return tracking ? 2 : 3;
}

// The gripper drawn on the thumb, in the arrow strip.
inline int GripperCell(bool vertical, int hotPart, bool tracking) {
    const int cell = vertical ? 20 : 17;
    if (hotPart != spThumb) return cell;
    return cell + (tracking ? 1 : 2);
}

// Where the gripper of `gripLength` pixels sits on the thumb: centred, or nowhere (an empty
// span) when it is 2 or more pixels longer than the thumb.
inline TSpan GripperSpan(const TSpan& thumb, int gripLength) {
    if (gripLength >= thumb.Length() + 2) return {};
    const int start = thumb.Start + (thumb.Length() - gripLength) / 2;
    return {start, start + gripLength};
}

} // namespace wl::scrollgeom
