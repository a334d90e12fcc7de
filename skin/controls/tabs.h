// Tab controls and their pages drawn from the skin's tab cells and page frame: tab strips in all
// four positions (laid out flat in a buffer and turned into place for side tabs), the strip's
// scroll arrows kept visible, close boxes on the tabs of marked page controls, button-style tabs
// drawn as skin push buttons, the older tab-set control, the pages themselves and a page control
// of another library that takes its tab pictures from two properties. The tab captions are drawn
// by the shared caption routines (captions.h).
#pragma once

#include "skin/controls/skin_control.h"

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

namespace wl {

// Sent to the skinned form's window when a tab's close box is clicked: wParam the tab control's
// window, lParam the tab index. Answering 0 (what an unhandled message answers) lets the page go;
// anything else keeps it.
inline constexpr UINT SKM_TABCLOSE = 0x3507;

// ---- window-free rules -----------------------------------------------------------------------

enum : uint8_t { toTop = 0, toBottom = 1, toLeft = 2, toRight = 3 };

// The tab position a tab control's style gives.
uint8_t TabOrientation(LONG_PTR style);
// The page frame: the display area inflated by 4 and moved one pixel toward the tabs.
RECT TabPaneRect(const RECT& display, uint8_t orientation);
// The strip between the window's edge on the tabs' side and the page frame.
RECT TabStripRect(const RECT& window, const RECT& pane, uint8_t orientation);
// A tab's rectangle (window coordinates) in the strip buffer, which is always laid out flat with
// the tabs' outer edge at its top; `length` is the buffer's width.
RECT TabInStrip(const RECT& tab, uint8_t orientation, const RECT& window, const RECT& pane, int length);
// The cell of the tab strip for a tab: 2 for the selected tab, 1 for every other (hot and
// disabled tabs included); a strip of one cell draws that cell for all.
int TabFrame(bool selected, int frames);
// The close box of a tab: a 6-pixel square in its top-right corner.
RECT TabCloseBox(const RECT& tab);
// The page frame's fixed margins for the frame image turned to `orientation`.
RECT TurnedMargins(const RECT& margins, uint8_t orientation);
// Where the tabs of a tab set go: from `startMargin`, each tab as wide as its text + 9, skipping
// tabs that do not fit before `width - endMargin` (the scroller, when shown, needs 12 more).
// Tabs that do not fit get an empty rectangle.
std::vector<RECT> LayoutTabSet(const std::vector<int>& textWidths, int startMargin, int endMargin, int width,
                               int height, bool scrollerShown);

// ---- companions ------------------------------------------------------------------------------

// The up-down arrows a tab control shows when its tabs overflow, with their own companion when
// that kind is linked in.
class TTabArrows {
public:
    // Finds the arrows of `tab`, skins them once, and answers whether they are shown.
    bool Find(TSkinControl& owner, HWND tab);
    HWND Window() const { return FWindow; }
    TSkinControl* Companion() const { return FCompanion.get(); }

private:
    HWND FWindow = nullptr;
    std::unique_ptr<TSkinControl> FCompanion; // the arrows' companion
};

class TSkinTab : public TSkinControl {
    WL_CLASS(TSkinTab, TSkinControl)
public:
    using TSkinControl::TSkinControl;
    bool OnAttach(const TAttachContext& context) override;
    void SkinChanged() override;
    bool BeforeMessage(TMessage& m) override;
    void AfterMessage(TMessage& m) override;
    void DrawSkin(HDC dc, const RECT& rect) override;

    std::vector<RECT> FCloseRects; // per tab, in window coordinates
    uint8_t FOrientation = toTop;
    TBitmap FTabImage;
    TBitmap FPaneImage;
    TBitmap FStrip;
    TTabArrows FUpDown;
    bool FCloseButtons = false;
    int FHotTab = -1;

    // Whether this skin has the tab cells: without them the control draws its own tabs (and
    // only the page frame, when the skin has one, is drawn over its own).
    bool StripDrawn() const;

private:
    void PrepareTabImages();
    void DrawStrip(HDC dc, const RECT& window, const RECT& pane);
    void DrawPane(HDC dc, const RECT& pane);
    bool CloseBoxClicked(TMessage& m);
    void TrackHotTab(TMessage& m);
};

// Tabs drawn as skin push buttons (tab and page controls whose style is buttons).
class TSkinTabBtn : public TSkinControl {
    WL_CLASS(TSkinTabBtn, TSkinControl)
public:
    using TSkinControl::TSkinControl;
    bool BeforeMessage(TMessage& m) override;
    void DrawSkin(HDC dc, const RECT& rect) override;
};

// The older tab-set control: tabs along its top edge from an upside-down copy of the tab cells.
// Its tabs, selected tab and margins are read by property name.
class TSkinTab31 : public TSkinControl {
    WL_CLASS(TSkinTab31, TSkinControl)
public:
    using TSkinControl::TSkinControl;
    bool OnAttach(const TAttachContext& context) override;
    void SkinChanged() override;
    bool BeforeMessage(TMessage& m) override;
    void DrawSkin(HDC dc, const RECT& rect) override;

    TBitmap FTabImage;
    std::unique_ptr<TSkinControl> FUpDown; // the scroller's companion
    TWinControl* FScroller = nullptr; // the tab set's own scroller control, when it has one

private:
    void PrepareTabImage();
};

// The pages of a page control, filled with the skin's face colour.
class TSkinTabSheet : public TSkinControl {
    WL_CLASS(TSkinTabSheet, TSkinControl)
public:
    using TSkinControl::TSkinControl;
    bool BeforeMessage(TMessage& m) override;
    void DrawSkin(HDC dc, const RECT& rect) override;
};

// A page control of another library that draws its tabs from the pictures "TabBackGround" and
// "TabBackGroundActive"; with PageStyle 4 the companion fills them from the skin's tab cells.
class TSkinAdvPage : public TSkinControl {
    WL_CLASS(TSkinAdvPage, TSkinControl)
public:
    using TSkinControl::TSkinControl;
    bool OnAttach(const TAttachContext& context) override;
    void SkinChanged() override;
    void Restore() override;
    void DrawSkin(HDC dc, const RECT& rect) override;

    int PageStyle() const { return FPageStyle; }
    void SetPageStyle(int style) { FPageStyle = style; }

    TTabArrows FUpDown;
    int FPageStyle = 0;

private:
    void AssignPictures(bool empty);
};

} // namespace wl
