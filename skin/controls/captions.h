// Caption routines shared by the control families that draw text on skin cells (tab strips,
// tab sets, status-bar panels, header items). Not a family of its own: it registers nothing.
#pragma once

#include "skin/controls/skin_control.h"

#include <commctrl.h>

#include <string>

namespace wl {

// Where an image-list image and a one-line caption go inside a rectangle.
struct TImageCaptionLayout {
    bool UseImage = false;   // the image is drawn (an index, a list, narrower than the rectangle)
    POINT ImageAt{0, 0};     // its top-left corner
    SIZE ImageSize{0, 0};    // zero when the image is not used
    RECT Text{0, 0, 0, 0};   // the caption's box, clipped to the rectangle; empty without text
};

// Lays out `text` after an optional image of `images` in `rect` (measured with the font of
// `dc`), aligned 0 left, 1 centre, 2 right. The caption is measured in the room the image leaves
// (the rectangle narrowed by the image and a 2-pixel gap), so that a long caption is shortened
// with an ellipsis instead of running past the rectangle.
TImageCaptionLayout LayoutImageCaption(HDC dc, const RECT& rect, int alignment, const std::wstring& text,
                                       int imageIndex, HIMAGELIST images);

// A caption with an optional image-list image before it, laid out by LayoutImageCaption: the
// image drawn transparently, the text on one line with an ellipsis in the DC's text colour, or
// grey when the companion's control is disabled.
void DrawImageCaption(const TSkinControl& companion, HDC dc, const RECT& rect, int alignment,
                      const std::wstring& text, int imageIndex, HIMAGELIST images);

// Text centred both ways (DT_CENTER), or aligned across the whole width and centred vertically,
// in `rect`; grey when not enabled.
void DrawCenteredCaption(const TSkinControl& companion, HDC dc, const RECT& rect, UINT alignment, bool enabled,
                         const std::wstring& text);

} // namespace wl
