// Status bars and header controls drawn from the skin.
//
// TSkinStatusBar paints a status bar completely: background, panel frames (the skin's status
// bar edges or plain bevels), panel texts, the size grip, then the bar's window-less children
// and the application's owner-drawn panels on top. TSkinHeader paints header controls (and the
// column header of list views) from the skin's header element, with the item under the mouse
// shown hot.
#pragma once

#include "skin/controls/skin_control.h"

#include <windows.h>

#include <vector>

namespace wl {

class TSkinStatusBar : public TSkinControl {
    WL_CLASS(TSkinStatusBar, TSkinControl)
public:
    using TSkinControl::TSkinControl;
    bool BeforeMessage(TMessage& m) override;
    void DrawSkin(HDC dc, const RECT& rect) override;
    // Whether the skin has the panel edges the bar is drawn from; without them the bar paints
    // itself.
    bool Skinned() const;
};

class TSkinHeader : public TSkinControl {
    WL_CLASS(TSkinHeader, TSkinControl)
public:
    using TSkinControl::TSkinControl;
    bool OnAttach(const TAttachContext& context) override;
    bool BeforeMessage(TMessage& m) override;
    void AfterMessage(TMessage& m) override;
    void DrawSkin(HDC dc, const RECT& rect) override;

    // One rectangle per item (narrowed by 3 pixels at each side) for hover tests, from the
    // last paint.
    std::vector<RECT> FItemRects;
    int FHotItem = -1;

private:
    bool Skinned() const;
    void DrawItem(HDC buffer, int index, const RECT& rect, HIMAGELIST images);
    TBitmap FBuffer; // kept between paints, resized to the header
};

} // namespace wl
