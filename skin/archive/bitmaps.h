// Bitmap routines the skin engine applies to skin images, and the cached gradient fill:
// grey-out, key-colour replacement, mirroring, flipping, quarter turns, colour mixing and the
// colour-saturation measure. Bitmaps are 24 bits per pixel; the routines convert others first.
#pragma once

#include "ui/graphics.h"

#include <array>
#include <vector>

namespace wl {

// Every pixel becomes grey: each of its bytes := (R + G + B) / 3.
void GrayBitmap(TBitmap& bitmap);
// Pixels of exactly magenta (255, 0, 255) get the red, green and blue bytes of `color`
// (its low, middle and high byte, taken as they are: system colours are not resolved).
void ReplaceMagenta(TBitmap& bitmap, TColor color);
// Left-right mirror.
void MirrorBitmap(TBitmap& bitmap);
// Upside down.
void FlipBitmap(TBitmap& bitmap);
// Quarter turn counter-clockwise: the old top-right corner becomes the top-left one; a W x H
// bitmap becomes H x W.
void RotateLeft(TBitmap& bitmap);
// Quarter turn clockwise: the old top-left corner becomes the top-right one.
void RotateRight(TBitmap& bitmap);

// Mixes two colours (system colours resolved first). The weight of colour 1 is read in
// hundredths below 100 and in thousandths from 100 on: 70 gives it 70 %, 150 gives it 15 %.
TColor MixColors(TColor color1, TColor color2, int weight);

// 0 to 255 for colours with a bright channel (160 or more): (max - min) / max scaled to 255,
// rounded half to even; 200 for dark colours.
int ColorSaturation(TColor color);

// Colour tables of gradients, kept in 16 slots that are refilled in turn (0, 1, ..., 15, 0, ...).
class TGradientCache {
public:
    static constexpr int kSlots = 16;

    // Fills the next slot with a table of n (>= 1) colours from a to b; returns the slot.
    int Make(int n, TColor a, TColor b);
    // The last-filled matching slot (n entries, first a, last b), scanning 15 down to 0; -1 if none.
    int Find(int n, TColor a, TColor b) const;
    // Find, or else Make.
    int Get(int n, TColor a, TColor b);
    const std::vector<TColor>& Table(int slot) const { return FSlots.at(size_t(slot)); }
    int NextSlot() const { return FNext; }

private:
    std::array<std::vector<TColor>, kSlots> FSlots;
    int FNext = 0;
};

// The program's gradient cache (user-interface thread only).
TGradientCache& GradientCache();

// Paints `rect` of the device context with a gradient from `start` to `end`, top to bottom
// (vertical) or left to right, one solid fill per row or column. Only the rows or columns
// inside the clipping box are painted, with the colours they have in the whole gradient.
void GradientFill(HDC dc, const RECT& rect, TColor start, bool vertical, TColor end);

} // namespace wl
