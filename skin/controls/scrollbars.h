// Skinned scroll bars. The system's scroll bars stay where they are and keep doing the
// scrolling; each visible one is covered by a small window of ours, TWScrollbar, that paints
// the bar from the skin, follows the native bar's place, size, state and thumb, and hands every
// press back to the native bar underneath (whose tracking loop then scrolls the control).
//
// The companions that own such overlays:
//   TSkinScrollbar   scrollable controls (memo, list box, tree view, scroll box, ...): one
//                    horizontal and one vertical overlay, and a thin skin border;
//   TSkinScrollbarH  a bare window with scroll bars and no control object (a combo's list);
//   TSkinScControl   a stand-alone scroll-bar control: one overlay over the whole control;
//   TSkinListView    a list view: TSkinScrollbar plus a header companion for its column header.
#pragma once

#include "skin/controls/scroll_geometry.h"
#include "skin/controls/skin_control.h"
#include "ui/extctrls.h"

#include <windows.h>

#include <cstdint>
#include <optional>

namespace wl {

// Overlay kinds (TWScrollbar::FKind).
enum : uint8_t { sbkHorizontal = 0, sbkVertical = 1, sbkControl = 2 };

// GetScrollBarInfo of user32, looked up by name once; null where the system lacks it (the
// overlays of windows then never show and the native bars stay in use).
using GetScrollBarInfoFn = BOOL(WINAPI*)(HWND, LONG, PSCROLLBARINFO);
GetScrollBarInfoFn ScrollBarInfoEntry();
// Stands in for the looked-up entry (null: as if user32 lacked it); nullopt puts it back.
void OverrideScrollBarInfoEntry(std::optional<GetScrollBarInfoFn> entry);

// What the system shows of one bar: its rectangle in screen coordinates, the thumb relative to
// the bar's top (vertical) or left (horizontal), and the bar's first state entry.
struct TScrollBarState {
    RECT Bar{0, 0, 0, 0};
    scrollgeom::TSpan Thumb;
    DWORD State = 0;
};

class TWScrollbar : public TCustomPanel {
    WL_CLASS(TWScrollbar, TCustomPanel)
public:
    explicit TWScrollbar(TComponent* owner);

    // Covers the bar of kind `kind` of a control object (kind 2: the scroll-bar control itself).
    // Nothing is placed yet: the first UpdateBar, when the covered window paints, makes the
    // overlay's window if the bar shows.
    void SetupForControl(TSkinControl* companion, TWinControl* control, int kind);
    // The same for a bare window.
    void SetupForWindow(TSkinControl* companion, HWND window, int kind);
    // Places the overlay over the native bar of `window` and shows it (making its window the
    // first time), or hides it when the bar is not shown.
    void UpdateBar(HWND window);
    void HideBar();
    // Reads the native bar; false when the system cannot tell (the overlay then stays as is).
    bool ReadBar(TScrollBarState& state) const;

    uint8_t FKind = sbkHorizontal;
    int FVertical = 0;
    HWND FTarget = nullptr;
    TControl* FTargetControl = nullptr; // kind 2 only; read at set-up
    TSkinControl* FOwnerSkin = nullptr;
    int FArrowSize = 0;
    int FLength = 0;
    int FThumbStart = 0, FThumbEnd = 0;
    POINT FScreenOrigin{0, 0};
    POINT FDownCursor{0, 0};
    int FDownThumbStart = 0;
    int FHotPart = scrollgeom::spNone;
    bool FTracking = false;
    RECT FBarRect{0, 0, 0, 0}; // in FTarget's client coordinates
    bool FShown = false;

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& m) override;
    void Paint() override;

private:
    void Setup(TSkinControl* companion, HWND window, int kind);
    void MouseMoved(TMessage& m);
    void MouseLeft();
    void Press(TMessage& m);
    void Release(TMessage& m);
    int PartAt(POINT p) const;
    void DragThumb();
    // The press point as the native bar takes it (screen coordinates for a window's bars).
    LPARAM NativePoint(POINT p) const;
    // Composes the bar into FBuffer; false when there is nothing to show.
    bool Compose(RECT& target);

    HWND FParentWindow = nullptr;
    TBitmap FBuffer; // kept between paints, resized to the bar
};

class TSkinScrollbar : public TSkinControl {
    WL_CLASS(TSkinScrollbar, TSkinControl)
public:
    explicit TSkinScrollbar(TComponent* owner);
    ~TSkinScrollbar() override;

    bool OnAttach(const TAttachContext& context) override;
    void Restore() override;
    void SkinChanged() override;
    bool BeforeMessage(TMessage& m) override;
    void AfterMessage(TMessage& m) override;
    void DrawSkin(HDC dc, const RECT& rect) override;
    // The thin skin border around the control, into its window DC `dc`.
    void DrawBorder(HDC dc);

    std::unique_ptr<TWScrollbar> FHorzBar; // the overlay over the horizontal bar
    std::unique_ptr<TWScrollbar> FVertBar; // the overlay over the vertical bar
    bool FDrawBorder = false;

protected:
    void FreeBars();
    // Makes the two overlays when the skin paints bars (each makes its window only when its
    // bar shows), frees them when it does not.
    void MakeBars();
    void HideBars();
    void UpdateBars();
    // Places the overlay of each bar the control shows whose overlay is not shown yet.
    void PlaceNewBars();
};

class TSkinScrollbarH : public TSkinControl {
    WL_CLASS(TSkinScrollbarH, TSkinControl)
public:
    explicit TSkinScrollbarH(TComponent* owner);
    ~TSkinScrollbarH() override;

    bool OnAttach(const TAttachContext& context) override;
    void Restore() override;
    void SkinChanged() override;
    void AfterMessage(TMessage& m) override;
    void DrawSkin(HDC dc, const RECT& rect) override;

    std::unique_ptr<TWScrollbar> FHorzBar; // the overlay over the horizontal bar
    std::unique_ptr<TWScrollbar> FVertBar; // the overlay over the vertical bar

private:
    void FreeBars();
    void MakeBars(); // as TSkinScrollbar's
};

class TSkinScControl : public TSkinControl {
    WL_CLASS(TSkinScControl, TSkinControl)
public:
    explicit TSkinScControl(TComponent* owner);
    ~TSkinScControl() override;

    bool OnAttach(const TAttachContext& context) override;
    void Restore() override;
    void SkinChanged() override;
    bool BeforeMessage(TMessage& m) override;
    void AfterMessage(TMessage& m) override;
    void DrawSkin(HDC dc, const RECT& rect) override;

    // The overlay over the scroll bar control; none while the skin paints no bars.
    std::unique_ptr<TWScrollbar> FBar;

private:
    void FreeBar();
    void MakeBar(); // the overlay when the skin paints bars, none when it does not
    void Recreated();
};

class TSkinListView : public TSkinScrollbar {
    WL_CLASS(TSkinListView, TSkinScrollbar)
public:
    explicit TSkinListView(TComponent* owner);
    ~TSkinListView() override;
    void Notification(TComponent* component, TOperation operation) override;

    bool OnAttach(const TAttachContext& context) override;

    // The companion of the column header window (a "TSkinHeader" when that kind is linked in).
    std::unique_ptr<TSkinControl> FHeader;
};

} // namespace wl
