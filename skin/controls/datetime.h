// Date-time pickers in drop-down mode: TSkinDateTime frames the picker and lays its own arrow
// button, TArrowButton, over the picker's drop-down button. The arrow is drawn from the skin's
// combo arrow and hands every click on to the picker, so the picker still opens its calendar
// itself.
#pragma once

#include "skin/controls/skin_control.h"
#include "ui/controls.h"

namespace wl {

class TSkinDateTime;

// Where the arrow button sits in a picker `pickerWidth` wide: at the left edge (2 pixels in)
// for a right-to-left picker, else at the right edge inside the picker's border.
RECT ArrowButtonBounds(int pickerWidth, int size, bool leftScrollBar);

class TArrowButton : public TCustomControl {
    WL_CLASS(TArrowButton, TCustomControl)
public:
    explicit TArrowButton(TComponent* owner);
    ~TArrowButton() override;
    void Notification(TComponent* component, TOperation operation) override;

    // Puts the button into `picker`'s window over its drop-down button.
    void SetUp(TSkinDateTime* skin, TWinControl* picker);
    bool Hot() const { return (FHot & 1) != 0; }

    int FSize = 0;                  // GetSystemMetrics(SM_CXHSCROLL) at construction
    TWinControl* FPicker = nullptr; // not owned
    TSkinDateTime* FSkin = nullptr; // not owned
    HWND FPickerWindow = nullptr;
    uint8_t FHot = 0; // bit 0: the mouse is over the button

protected:
    void Paint() override;
    void WndProc(TMessage& m) override;

private:
    void MouseHover(bool hot);
    void LButtonDown(TMessage& m);
    void LButtonUp(TMessage& m);
    bool PickerEnabled() const;
};

class TSkinDateTime : public TSkinControl {
    WL_CLASS(TSkinDateTime, TSkinControl)
public:
    explicit TSkinDateTime(TComponent* owner);
    ~TSkinDateTime() override;
    bool OnAttach(const TAttachContext& context) override;
    void SkinChanged() override;
    void DrawSkin(HDC dc, const RECT& rect) override;
    void Notification(TComponent* component, TOperation operation) override;
    // Whether the skin has the arrow cells; without them the picker keeps its own button.
    bool ArrowDrawn() const;

    std::unique_ptr<TArrowButton> FArrow; // the button over the picker's drop-down button

private:
    // Puts the arrow button over the picker's drop-down button, or takes it away, as the skin
    // and the picker's style say.
    void UpdateArrow();
};

} // namespace wl
