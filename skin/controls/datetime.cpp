// Date-time pickers: the picker's border in the skin's colours and a skin-drawn arrow button
// over the picker's own drop-down button (see datetime.h).
#include "skin/controls/datetime.h"

#include "skin/data/skin_data.h"
#include "skin/data/skin_elements.h"
#include "skin/draw/skin_draw.h"
#include "ui/graphics_colors.h"

#include <commctrl.h>

namespace wl {

WL_DEFINE_CLASS(TArrowButton, WL_NO_PROPERTIES)
WL_DEFINE_CLASS(TSkinDateTime, WL_NO_PROPERTIES)

RECT ArrowButtonBounds(int pickerWidth, int size, bool leftScrollBar) {
    const int left = leftScrollBar ? 2 : pickerWidth - size;
    return RECT{left, 0, left + size, size + 1};
}

// ---- TArrowButton
// --------------------------------------------------------------------------------

TArrowButton::TArrowButton(TComponent* owner) : TCustomControl(owner) {
    FSize = GetSystemMetrics(SM_CXHSCROLL);
    SetTabStop(false);
}

TArrowButton::~TArrowButton() {
    if (FPicker) FPicker->RemoveFreeNotification(this);
}

void TArrowButton::Notification(TComponent* component, TOperation operation) {
    TCustomControl::Notification(component, operation);
    if (operation == opRemove && component == FPicker) {
        FPicker = nullptr;
        FPickerWindow = nullptr;
    }
}

void TArrowButton::SetUp(TSkinDateTime* skin, TWinControl* picker) {
    FSkin = skin;
    FPicker = picker;
    FPicker->FreeNotification(this);
    FPickerWindow = picker->Handle();
    SetParent(picker);
    // The picker's client width, not its window width: the button then covers the drop-down
    // button flush with the client edge whether the picker has a border or not.
    RECT client{};
    GetClientRect(FPickerWindow, &client);
    const bool rtl = (GetWindowLongPtrW(FPickerWindow, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
    const RECT r = ArrowButtonBounds(client.right, FSize, rtl);
    SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
    HandleNeeded();
    BringToFront();
    // The picker paints its whole client area, the drop-down button included; without
    // WS_CLIPCHILDREN that paint would wipe the arrow drawn over it.
    const LONG_PTR style = GetWindowLongPtrW(FPickerWindow, GWL_STYLE);
    if (!(style & WS_CLIPCHILDREN))
        SetWindowLongPtrW(FPickerWindow, GWL_STYLE, style | WS_CLIPCHILDREN);
}

bool TArrowButton::PickerEnabled() const {
    return FPicker && FPicker->Enabled();
}

void TArrowButton::MouseHover(bool hot) {
    if (!PickerEnabled()) return;
    if (hot)
        FHot |= 1;
    else
        FHot &= static_cast<uint8_t>(~1u);
    Invalidate();
}

void TArrowButton::LButtonDown(TMessage& m) {
    TCustomControl::WndProc(m);
    if (!FPicker || !FPicker->HandleAllocated()) return;
    FPickerWindow = FPicker->HandleValue();
    // The picker opens its calendar on a press over its own drop-down button, which lies
    // under this one: hand it the press and the release at the same place in its coordinates.
    const int x = static_cast<short>(LOWORD(m.LParam)) + Left();
    const int y = static_cast<short>(HIWORD(m.LParam)) + Top();
    const LPARAM at = MAKELPARAM(x, y);
    PostMessageW(FPickerWindow, WM_LBUTTONDOWN, m.WParam, at);
    PostMessageW(FPickerWindow, WM_LBUTTONUP, m.WParam, at);
    Invalidate();
}

void TArrowButton::LButtonUp(TMessage& m) {
    TCustomControl::WndProc(m);
    if (FPicker && FPicker->HandleAllocated()) ::SetFocus(FPicker->HandleValue());
}

void TArrowButton::WndProc(TMessage& m) {
    switch (m.Msg) {
    case CM_MOUSEENTER:
        MouseHover(true);
        TCustomControl::WndProc(m);
        break;
    case CM_MOUSELEAVE:
        MouseHover(false);
        TCustomControl::WndProc(m);
        break;
    case WM_LBUTTONDOWN:
        LButtonDown(m);
        break;
    case WM_LBUTTONUP:
        LButtonUp(m);
        break;
    default:
        TCustomControl::WndProc(m);
        break;
    }
}

void TArrowButton::Paint() {
    TCanvas& canvas = Canvas();
    const RECT all{0, 0, Width(), Height()};
    TSkinData* data = FSkin ? FSkin->SkinData() : nullptr;
    FillColor(canvas.Handle(), all, data ? data->ButtonFace : clBtnFace);
    if (!data || !HasElement(data->ComboxArrow.get())) return;
    TDataSkinObject& arrow = *data->ComboxArrow;
    const TFrameCell cell = SelectFrame(arrow.Image, false, arrow.Frame, Hot() ? 4 : 1);
    if (cell.Width <= 0 || cell.Height <= 0) return;
    canvas.CopyRect(all, arrow.Image.Canvas(),
                    RECT{cell.X, cell.Y, cell.X + cell.Width, cell.Y + cell.Height});
}

// ---- TSkinDateTime
// -------------------------------------------------------------------------------

TSkinDateTime::TSkinDateTime(TComponent* owner) : TSkinControl(owner) {}

TSkinDateTime::~TSkinDateTime() {
    // Freed here rather than with the other components, while this companion is still whole:
    // the arrow's paint reads the skin through it.
    FArrow.reset();
}

void TSkinDateTime::Notification(TComponent* component, TOperation operation) {
    TSkinControl::Notification(component, operation);
}

bool TSkinDateTime::OnAttach(const TAttachContext& context) {
    if (context.Kind != TAttachKind::Control) return TSkinControl::OnAttach(context);
    if (!TSkinControl::OnAttach(context)) return false;
    UpdateArrow();
    return true;
}

bool TSkinDateTime::ArrowDrawn() const { return FSkinData && HasElement(FSkinData->ComboxArrow.get()); }

void TSkinDateTime::UpdateArrow() {
    if (!FControl || ControlGone() || !FHandle) return;
    // A picker with spin buttons instead of a drop-down button has nothing to cover.
    if (!ArrowDrawn() || (GetWindowLongPtrW(FHandle, GWL_STYLE) & DTS_UPDOWN)) {
        FArrow.reset();
        return;
    }
    if (FArrow) return;
    FArrow = std::make_unique<TArrowButton>(nullptr);
    FArrow->SetUp(this, FControl);
}

void TSkinDateTime::SkinChanged() {
    UpdateArrow();
    TSkinControl::SkinChanged();
}

void TSkinDateTime::DrawSkin(HDC dc, const RECT& rect) {
    RECT client{};
    if (!GetClientRect(FHandle, &client)) return;
    // A picker without a border has nothing of its own to frame.
    if (client.right >= rect.right - rect.left || client.bottom >= rect.bottom - rect.top) return;
    RECT r = rect;
    UniqueBrush shadow(
        CreateSolidBrush(ColorToRGB(FSkinData ? FSkinData->ButtonShadow : clBtnShadow)));
    UniqueBrush white(CreateSolidBrush(RGB(255, 255, 255)));
    if (shadow) FrameRect(dc, &r, shadow.get());
    InflateRect(&r, -1, -1);
    if (white) FrameRect(dc, &r, white.get());
}

} // namespace wl
