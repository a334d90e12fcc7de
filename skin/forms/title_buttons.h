// The clickable objects of a skinned window's non-client area: the base TNCObject (state,
// bounds, hot tracking through the owner's hot object) and the title-bar button TWinSysButton,
// drawn from one system-button element of the skin; TTitleButtons, the form object's part that
// owns the buttons and drives them with the non-client mouse (hit testing, hover with its
// timer, press, release, double-click, right-click). The window-free rules of placement and
// visibility are here so they can be tested without windows.
#pragma once

#include "ui/classes.h"
#include "ui/messages.h"

#include <windows.h>

#include <memory>
#include <vector>

namespace wl {

class TWinSkinForm;
class TDataSkinSysButton;
class TCanvas;
class TTimer;

enum TNCButtonState : int { nbsNormal = 1, nbsPressed = 2, nbsHot = 3 };

class TNCObject {
public:
    explicit TNCObject(TWinSkinForm* owner) : FOwnerForm(owner) {}
    virtual ~TNCObject() = default;
    TNCObject(const TNCObject&) = delete;
    TNCObject& operator=(const TNCObject&) = delete;

    virtual void MouseDown();
    virtual void MouseUp();
    virtual void MouseMove();
    virtual void MouseLeave();
    virtual void Paint() {}

    TWinSkinForm* OwnerForm() const { return FOwnerForm; }
    const RECT& Bounds() const { return FBounds; }
    void SetBounds(const RECT& r) { FBounds = r; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool v) { FVisible = v; }
    int ButtonState() const { return FButtonState; }
    void SetButtonState(int s) { FButtonState = s; }

protected:
    TWinSkinForm* FOwnerForm = nullptr;
    RECT FBounds{0, 0, 0, 0}; // window coordinates (origin at the window's top-left corner)
    bool FVisible = false;
    int FButtonState = nbsNormal;
};

class TWinSysButton : public TNCObject {
public:
    TWinSysButton(TWinSkinForm* owner, TDataSkinSysButton* element)
        : TNCObject(owner), FSkinElement(element) {}
    void Paint() override;
    TDataSkinSysButton* SkinElement() const { return FSkinElement; }

private:
    TDataSkinSysButton* FSkinElement = nullptr; // not owned
};

// The title-bar buttons of one skinned window and its non-client mouse. Owned by the form
// object; the buttons point into the skin's button records and go before those are refilled.
class TTitleButtons {
public:
    explicit TTitleButtons(TWinSkinForm& owner);
    ~TTitleButtons();
    TTitleButtons(const TTitleButtons&) = delete;
    TTitleButtons& operator=(const TTitleButtons&) = delete;

    // ---- buttons ----
    void Free();
    // One button per button element of the skin; the icon buttons take the window's icon.
    void Create();
    void Layout();
    // Whether button `index` shows now (its bounds are laid out when it does).
    bool Visible(int index);
    void Draw(TCanvas& canvas);
    // The buttons shown in the menu-bar strip of an MDI parent (`strip`'s origin is the DC's).
    void DrawMdiButtons(HDC dc, const RECT& strip);
    const std::vector<std::unique_ptr<TWinSysButton>>& Buttons() const { return FButtons; }
    // The button at a window point.
    TNCObject* FindButton(POINT windowPoint) const;
    // The title-bar button at the point, else the menu-bar button.
    TNCObject* ObjectAt(POINT windowPoint) const;

    // ---- hot tracking ----
    TNCObject* HotObject() const { return FHotObject; }
    void SetHotObject(TNCObject* object) { FHotObject = object; }
    // The timer that takes the hot state off a button the mouse left (made at attach).
    void MakeHoverTimer();
    TTimer* HoverTimer() const { return FHoverTimer.get(); }
    void EnableHover(bool on);
    // Buttons, hot object and timer go (the form object is freed).
    void Clear();

    // ---- non-client mouse ----
    void NCHitTest(TMessage& m);
    void NCMouseMove(TMessage& m);
    void NCLButtonDown(TMessage& m);
    void NCLButtonUp(TMessage& m);
    void NCLButtonDblClk(TMessage& m);
    void NCRButtonDown(TMessage& m);

private:
    void HoverTimerTick(TObject* sender);
    void DoButtonAction(POINT screen);

    TWinSkinForm& FOwner;
    std::vector<std::unique_ptr<TWinSysButton>> FButtons;
    TNCObject* FHotObject = nullptr; // a button of this part or of the menu bar, not owned
    std::unique_ptr<TTimer> FHoverTimer;
};

// What the visibility and placement rules look at, read from the window once per layout.
struct TTitleButtonContext {
    int WindowWidth = 0;      // FWidth
    int BorderLeft = 0, BorderTop = 0, BorderRight = 0;
    int MenuBarHeight = 0;
    int MenuBarMargin = 0;    // first margin of the skin's menu-bar element, 0 without one
    bool RightToLeft = false;
    bool Maximized = false;
    bool Active = false;
    bool HasMaximizeBox = false;
    bool HasMinimizeBox = false;
    bool HasSystemMenu = false;
    bool DialogFrame = false;     // border kind 3
    bool DialogClass = false;     // "#32770" or "TMessageForm"
    bool MdiChildMaximized = false; // MDI parent whose active child is maximized, with a menu bar
};

// Whether an element's button shows (Visibility, Visibility1 and the action gate together).
// `askHost` answers the codes 1000..2000 (SKM_BUTTONVISIBLE); null means "not shown".
bool TitleButtonVisible(const TDataSkinSysButton& element, const TTitleButtonContext& context,
                        bool (*askHost)(void* data, int code, int action) = nullptr,
                        void* hostData = nullptr);

// The bounds of a button of width w and height h placed by its element's Align/Xcoord/Ycoord.
RECT TitleButtonBounds(const TDataSkinSysButton& element, int w, int h,
                       const TTitleButtonContext& context);

} // namespace wl
