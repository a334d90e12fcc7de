// TWinControl's message dispatch: WndProc only routes; each message kind has a small named
// handler that answers whether it consumed the message (true) or lets it go on to the mouse
// routing and TControl's handling (false).
#include "ui/controls.h"

#include "ui/forms.h"

namespace wl {

namespace {
bool IsControlMessage(UINT msg) { return msg >= CM_BASE && msg < CN_BASE + 0x400; }
} // namespace

void TWinControl::WndProc(TMessage& m) {
    if (Application && IsMouseMessage(m.Msg)) Application->RelayHintMessage(this, m);
    if (DispatchWindowMessage(m)) return;
    if (IsMouseMessage(m.Msg) && !controls_.empty() && RouteMouseToChild(m)) return;
    TControl::WndProc(m);
}

bool TWinControl::DispatchWindowMessage(TMessage& m) {
    switch (m.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS: return WMFocus(m);
    case CM_ENTER: return CMEnter();
    case CM_EXIT: return CMExit();
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: return WMKeyDown(m);
    case WM_KEYUP:
    case WM_SYSKEYUP: return WMKeyUp(m);
    case WM_CHAR: return WMChar(m);
    case CN_KEYDOWN: return CNKeyDown(m);
    case WM_COMMAND: return WMCommand(m);
    case WM_NOTIFY: return WMNotify(m);
    case WM_HSCROLL:
    case WM_VSCROLL: return WMScroll(m);
    case WM_DRAWITEM: return WMDrawItem(m);
    case WM_MEASUREITEM: return WMMeasureItem(m);
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX: return WMCtlColor(m);
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORSTATIC:
    case CN_CTLCOLORBTN:
    case CN_BASE + WM_CTLCOLORLISTBOX: return CNCtlColor(m);
    case WM_ERASEBKGND: return WMEraseBkgnd(m);
    case WM_PAINT: return WMPaint(m);
    case WM_NCPAINT: return WMNCPaint(m);
    case WM_PRINTCLIENT: return WMPrintClient(m);
    case WM_WINDOWPOSCHANGED: return WMWindowPosChanged(m);
    case WM_SETCURSOR: return WMSetCursor(m);
    case WM_CAPTURECHANGED: return WMCaptureChanged(m);
    case WM_MOUSELEAVE: return LeaveWindowlessChild();
    case CM_RECREATEWND: return CMRecreateWnd();
    case CM_ENABLEDCHANGED: return CMEnabledChanged();
    case WM_NCDESTROY: return WMNCDestroy(m);
    default: return false;
    }
}

void TWinControl::DefaultHandler(TMessage& m) {
    if (!handle_ || IsControlMessage(m.Msg) || m.Msg == 0) return;
    m.Result = CallWindowProcA(defWndProc_, handle_, m.Msg, m.WParam, m.LParam);
}

// ---- handlers ----------------------------------------------------------------------------------

bool TWinControl::CMEnter() {
    OnEnter(this);
    return true;
}

bool TWinControl::CMExit() {
    OnExit(this);
    return true;
}

void TWinControl::ReflectToChild(TMessage& m, HWND child) {
    if (TControl* c = FindControl(child); c && c != this) {
        m.Result = c->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
        return;
    }
    DefaultHandler(m);
}

bool TWinControl::WMCommand(TMessage& m) {
    // Menus and accelerators send no control window; their commands go on to the default.
    if (!m.LParam) return false;
    ReflectToChild(m, reinterpret_cast<HWND>(m.LParam));
    return true;
}

bool TWinControl::WMNotify(TMessage& m) {
    ReflectToChild(m, TWMNotify(m).Header->hwndFrom);
    return true;
}

bool TWinControl::WMScroll(TMessage& m) {
    // From a scroll bar control; lParam 0 means the window's own scroll bars.
    const TWMScroll scroll(m);
    if (!scroll.ScrollBar) return false;
    ReflectToChild(m, scroll.ScrollBar);
    return true;
}

bool TWinControl::WMDrawItem(TMessage& m) {
    // Owner-drawn controls draw themselves; menu items stay with the window.
    const TWMDrawItem item(m);
    if (!item.Item || item.Item->CtlType == ODT_MENU) return false;
    ReflectToChild(m, item.Item->hwndItem);
    return true;
}

bool TWinControl::WMMeasureItem(TMessage& m) {
    // Only the control's id names it here; owner-drawn controls give themselves one.
    const TWMMeasureItem item(m);
    if (!item.Item || item.Item->CtlType == ODT_MENU || !item.Item->CtlID) return false;
    ReflectToChild(m, GetDlgItem(handle_, static_cast<int>(item.Item->CtlID)));
    return true;
}

bool TWinControl::WMCtlColor(TMessage& m) {
    ReflectToChild(m, TWMCtlColor(m).Child);
    return true;
}

bool TWinControl::CNCtlColor(TMessage& m) {
    HDC dc = TWMCtlColor(m).DC;
    SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(Font().Color())));
    SetBkColor(dc, static_cast<COLORREF>(ColorToRGB(Color())));
    m.Result = reinterpret_cast<LRESULT>(ColorBrush());
    return true;
}

bool TWinControl::WMWindowPosChanged(TMessage& m) {
    DefaultHandler(m);
    UpdateBoundsFromWindow();
    return true;
}

bool TWinControl::CMEnabledChanged() {
    if (handle_) EnableWindow(handle_, Enabled());
    return false;
}

bool TWinControl::WMNCDestroy(TMessage& m) {
    DefaultHandler(m);
    DetachWindow();
    return true;
}

} // namespace wl
