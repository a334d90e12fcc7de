// Drawing primitives shared by all skin painting: a skin element is a bitmap holding `Frames`
// equal cells (side by side, or stacked when `Vertical`), drawn with fixed margins as a
// nine-grid, a three-slice bar, a single stretched or centred cell, and so on. The key colour
// 0xFF00FF marks transparent pixels throughout.
//
// Conventions: frame indexes count from 1; a frame count of 0 or below counts as 1 and an index
// outside 1..frames is clamped, so a malformed skin draws something sane instead of dividing by
// zero or reading outside the image. A cell of no pixels (more frames than the image is wide)
// draws nothing. Negative margins count as 0. Every function that takes a rectangle draws
// nothing when it is inverted (right < left or bottom < top).
//
// The element painters compose in a scratch bitmap kept per thread (grown as needed, freed when
// the thread ends) and copy the finished image to the target in one blit, so callers never show
// partial drawing and no bitmap is made per call.
#pragma once

#include "ui/graphics.h"

#include <windows.h>

#include <memory>

namespace wl {

inline constexpr TColor kSkinKeyColor = 0xFF00FF;

// What to draw of a skin element: which image and cell, and how. Built field by field with
// designated initializers ({.Image = &bmp, .Frames = 4, .Index = 2, .Transparent = true}) or
// from an element record (ElementDraw in skin/data/skin_elements.h). Each painter reads the
// fields that apply to it and says which.
struct TElementDraw {
    TBitmap* Image = nullptr; // nothing is drawn without an image
    RECT Margins{0, 0, 0, 0}; // pixel counts that keep their size: left, top, right, bottom
    int Frames = 1;           // equal cells in the image
    int Index = 1;            // the cell to draw, from 1
    bool Vertical = false;    // cells stacked top to bottom instead of side by side
    bool Tile = false;        // repeat the centre instead of stretching it
    bool Transparent = false; // leave out pixels of the key colour

    // The same element at another cell.
    TElementDraw Cell(int index) const {
        TElementDraw d = *this;
        d.Index = index;
        return d;
    }
};

// Where cell `index` of `frames` lies in `source`: origin and size.
struct TFrameCell {
    int X = 0, Y = 0, Width = 0, Height = 0;
};
TFrameCell SelectFrame(const TBitmap& source, bool vertical, int frames, int index);

// Renders one cell as a nine-grid into a new bitmap of the rectangle's size (24 bits). The
// corners keep their size, the edges stretch along their length and the centre is stretched,
// or tiled with Tile. A target (or a cell) narrower than left + right margins drops both side
// margins; one lower than top + bottom drops both end margins. Transparent is not used: the
// image keeps its key pixels.
std::unique_ptr<TBitmap> BuildElementImage(const RECT& dest, const TElementDraw& element);

// The nine-grid of BuildElementImage drawn at the rectangle: colour-keyed with Transparent,
// else opaque.
void DrawElement(HDC dc, const RECT& rect, const TElementDraw& element);

// Three slices along x: left cap, the middle tiled along x (scaled along y), right cap; only
// the left and right margins are used (and not Tile). When the cell has no middle (its width is
// at most left + right) the whole cell is stretched once between the caps. Caps that do not fit
// the cell or the rectangle are dropped and the whole cell is repeated along x.
void DrawSkinBar(HDC dc, const RECT& rect, const TElementDraw& element);

// One cell stretched to the rectangle (margins and Tile not used).
void DrawFrameStretched(HDC dc, const RECT& rect, const TElementDraw& element);
// One cell at its own size, centred in the rectangle (margins and Tile not used).
void DrawFrameCentered(HDC dc, const RECT& rect, const TElementDraw& element);

// Three slices scaled straight into the DC (with COLORONCOLOR, the DC's mode restored after),
// no work bitmap; left and right margins only, never transparent. A rectangle narrower than one
// cell, or a cell narrower than its margins, gets the whole cell squeezed into it.
void StretchSkinStrip(HDC dc, const RECT& rect, const TElementDraw& element);

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

} // namespace wl
