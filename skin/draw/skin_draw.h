// Drawing primitives shared by all skin painting: a skin element is a bitmap holding `frames`
// equal cells (side by side, or stacked when `vertical`), drawn with fixed margins as a
// nine-grid, a three-slice bar, a single stretched or centred cell, and so on. The key colour
// 0xFF00FF marks transparent pixels throughout.
//
// Conventions: frame indexes count from 1; a frame count of 0 or below counts as 1 and an index
// outside 1..frames is clamped, so a malformed skin draws something sane instead of dividing by
// zero or reading outside the image. Every function that takes a rectangle draws nothing when
// it is inverted (right < left or bottom < top). Margins are a RECT of pixel counts: left, top,
// right, bottom.
#pragma once

#include "ui/graphics.h"

#include <windows.h>

#include <memory>

namespace wl {

class TControl;

inline constexpr TColor kSkinKeyColor = 0xFF00FF;

// Where cell `index` of `frames` lies in `source`: origin and size.
struct TFrameCell {
    int X = 0, Y = 0, Width = 0, Height = 0;
};
TFrameCell SelectFrame(const TBitmap& source, bool vertical, int frames, int index);

// Renders one cell as a nine-grid into a new bitmap of the rectangle's size (24 bits). The
// corners keep their size, the edges stretch along their length and the centre is stretched,
// or tiled with `tile`. A target (or a cell) narrower than left + right margins drops both side
// margins; one lower than top + bottom drops both end margins.
std::unique_ptr<TBitmap> BuildElementImage(const RECT& dest, TBitmap& source, const RECT& margins,
                                           bool vertical, bool tile, int frames, int index);

// BuildElementImage drawn at the rectangle: colour-keyed with `transparent`, else opaque.
void DrawElement(HDC dc, const RECT& rect, TBitmap& source, const RECT& margins, bool vertical,
                 bool tile, int frames, int index, bool transparent);

// Three slices along x: left cap, the middle tiled along x (scaled along y), right cap; only
// the left and right margins are used. When the cell has no middle (its width is at most
// left + right) the whole cell is stretched once between the caps.
void DrawSkinBar(TCanvas& canvas, const RECT& rect, TBitmap& source, bool vertical,
                 bool transparent, int frames, int index, const RECT& margins);

// One cell of a horizontal strip, stretched to the rectangle.
void DrawFrameStretched(HDC dc, const RECT& rect, TBitmap& source, bool transparent, int frames,
                        int index);
// One cell of a horizontal strip at its own size, centred in the rectangle.
void DrawFrameCentered(HDC dc, const RECT& rect, TBitmap& source, bool transparent, int frames,
                       int index);

// Three slices scaled straight into the DC (with COLORONCOLOR, the DC's mode restored after),
// no work bitmap. A rectangle narrower than one cell gets the whole cell squeezed into it.
void StretchSkinStrip(HDC dc, const RECT& rect, TBitmap& source, bool vertical, int frames,
                      int index, const RECT& margins);

// Draws the bitmap unscaled at the rectangle's top-left corner, clipped to its size, leaving
// the destination unchanged where the bitmap has the key colour.
void TransparentBlit(HDC dc, const RECT& rect, TBitmap& source, TColor key);

// The region of the bitmap's opaque pixels, moved by (xOffset, yOffset); the caller owns it.
// A pixel is transparent when each of its channels lies between the key's channel and that
// plus the channel's tolerance (capped at 255). The bitmap is converted to 32 bits per pixel.
UniqueRegion RegionFromBitmap(TBitmap& bitmap, int xOffset, int yOffset, int blueTolerance,
                              int greenTolerance, int redTolerance, TColor key);

// Repeats sourceRect of `source` over `dest` from its top-left corner; the last row and column
// of tiles may run past dest's right and bottom edges (callers draw over them).
void TileBitmap(TCanvas& canvas, const RECT& dest, TBitmap& source, const RECT& sourceRect);

// Paints into `dc` (the control's client coordinates) what the parent window shows under the
// control: the parent's background erase and paint, shifted by the control's position and
// clipped to the control. Nothing for a window without a parent.
void PaintParentBackground(HWND control, HDC dc);
// The same for a control object: its parent control paints through its own WindowProc.
// Exceptions while the parent paints end the painting and are swallowed.
void PaintParentBackground(TControl& control, HDC dc);

} // namespace wl
