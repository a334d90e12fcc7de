// Companions of edits and combo boxes. TSkinEdit draws the border of a single-line edit in the
// skin's colours over what the edit painted and skins an up-down control placed inside the edit.
// TSkinComBox draws a combo box's frame and drop-down button from the skin, tracks the mouse
// over the button, follows the edit inside a drop-down combo and gives the always-visible list
// of a simple combo skinned scroll bars. Neither answers WM_PAINT itself: the control paints
// first and the skin is drawn over its frame through the window DC.
#pragma once

#include "skin/controls/skin_control.h"

#include <memory>

namespace wl {

// wParam = DC, lParam = SKM_MAGIC: the edit paints its client area into that DC; answers
// SKM_MAGIC.
inline constexpr UINT SKM_PAINTCLIENT = 0xBC4A;

class TSkinEdit : public TSkinControl {
    WL_CLASS(TSkinEdit, TSkinControl)
public:
    explicit TSkinEdit(TComponent* owner);

    bool BeforeMessage(TMessage& m) override;
    void AfterMessage(TMessage& m) override;
    void DrawSkin(HDC dc, const RECT& rect) override;
    void Restore() override;

    // The border alone into `dc` (the window DC when null), for WM_PRINT.
    void PrintBorder(HDC dc);

    void SkinChanged() override;

    // The companion of an up-down window found inside the edit (owned; kept out of the form's
    // list, so it lives exactly as long as this companion).
    std::unique_ptr<TSkinControl> FUpDown;

private:
    void FindUpDown();
};

class TSkinComBox : public TSkinControl {
    WL_CLASS(TSkinComBox, TSkinControl)
public:
    explicit TSkinComBox(TComponent* owner);
    ~TSkinComBox() override;

    bool OnAttach(const TAttachContext& context) override;
    void AfterMessage(TMessage& m) override;
    void DrawSkin(HDC dc, const RECT& rect) override;
    void Restore() override;
    void SkinChanged() override;

    LONG_PTR FStyle = 0;
    LONG_PTR FExStyle = 0;
    HWND FListWindow = nullptr;
    HWND FEditWindow = nullptr;
    bool FDroppedDown = false;
    // The scroll-bar companion of a simple combo's list; null when that kind is not linked in.
    std::unique_ptr<TSkinControl> FListSkin;
    COMBOBOXINFO FComboInfo{};
    // The drawn button in window coordinates; the mouse is over the button when inside it.
    RECT FButtonRect{0, 0, 0, 0};

    // The frame the next paint draws: 1 normal, 2 pressed, 3 disabled, 4 hot or focused.
    int DrawState();
    bool ButtonOnLeft() const { return (FExStyle & WS_EX_LEFTSCROLLBAR) != 0; }

private:
    void SetUpCombo(bool withListSkin);
    void HookEdit();
    void UnhookEdit();
    void EditWndProc(TMessage& m);
    void MouseMove(const TMessage& m);
    void DrawWhole(HDC dc, const RECT& r, int frame);
    void DrawParts(HDC dc, const RECT& r, int frame);
    void DrawFlat(HDC dc, const RECT& r, int frame);
    bool ReadComboInfo();

    TWindowSubclass FEditSubclass;
};

} // namespace wl
