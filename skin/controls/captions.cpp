// Caption routines shared by tab strips, status bars and header controls (see captions.h).
#include "skin/controls/captions.h"

#include "ui/comctl32_calls.h"
#include "ui/graphics_colors.h"

#include <algorithm>

namespace wl {

namespace {

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

constexpr UINT kLine = DT_EXPANDTABS | DT_SINGLELINE | DT_END_ELLIPSIS;

} // namespace

TImageCaptionLayout LayoutImageCaption(HDC dc, const RECT& rect, int alignment, const std::wstring& text,
                                       int imageIndex, HIMAGELIST images) {
    TImageCaptionLayout l;
    int iw = 0, ih = 0;
    if (imageIndex != -1 && images && comctl32::ImageList_GetIconSize(images, &iw, &ih) && iw < Width(rect)) {
        l.UseImage = true;
        l.ImageSize = SIZE{iw, ih};
    } else {
        iw = ih = 0;
    }
    // The caption may use only what the image leaves of the rectangle.
    RECT box = rect;
    if (l.UseImage) box.right = std::max(box.left, box.right - iw - 2);
    int tw = 0, th = 0;
    if (!text.empty()) {
        const int room = Width(box);
        DrawTextWide(dc, text, box, kLine | DT_CALCRECT | DT_NOCLIP);
        // A text longer than the room is drawn shortened to it.
        tw = std::min(Width(box), room);
        th = Height(box);
    }
    int x = 3;
    if (alignment == 1) x = (Width(rect) - iw - tw) / 2;
    else if (alignment == 2) x = Width(rect) - iw - tw - 2;
    if (x < 2) x = 1;
    l.ImageAt = POINT{rect.left + x, rect.top + (Height(rect) - ih) / 2};
    if (!text.empty()) {
        l.Text.left = rect.left + x + iw;
        l.Text.top = rect.top + (Height(rect) - th) / 2;
        l.Text.right = std::min<LONG>(l.Text.left + tw, rect.right);
        l.Text.bottom = l.Text.top + th;
    }
    return l;
}

void DrawImageCaption(const TSkinControl& companion, HDC dc, const RECT& rect, int alignment,
                      const std::wstring& text, int imageIndex, HIMAGELIST images) {
    TImageCaptionLayout l = LayoutImageCaption(dc, rect, alignment, text, imageIndex, images);
    if (l.UseImage) comctl32::ImageList_Draw(images, imageIndex, dc, l.ImageAt.x, l.ImageAt.y, ILD_TRANSPARENT);
    if (text.empty()) return;
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = companion.IsEnabled() ? GetTextColor(dc) : SetTextColor(dc, ColorToRGB(clBtnShadow));
    DrawTextWide(dc, text, l.Text, BiDiFlags(companion, kLine));
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
}

void DrawCenteredCaption(const TSkinControl& companion, HDC dc, const RECT& rect, UINT alignment, bool enabled,
                         const std::wstring& text) {
    RECT t = rect;
    DrawTextWide(dc, text, t, alignment | DT_CALCRECT | DT_NOCLIP | DT_EXPANDTABS);
    const int dy = (Height(rect) - Height(t)) / 2 - 1;
    if (alignment & DT_CENTER) {
        OffsetRect(&t, (Width(rect) - Width(t)) / 2, dy);
    } else {
        OffsetRect(&t, 0, dy);
        t.left = rect.left;
        t.right = rect.right;
    }
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = enabled ? GetTextColor(dc) : SetTextColor(dc, ColorToRGB(clBtnShadow));
    DrawTextWide(dc, text, t, BiDiFlags(companion, alignment | DT_EXPANDTABS));
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
}

} // namespace wl
