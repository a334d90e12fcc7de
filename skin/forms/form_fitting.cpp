// The fitting of a skinned window to its client area: the original frame read at attach, the
// window sized for the skinned frame (a dialog widened for its title), the frame-metrics step
// handed to the form object, and the original frame put back on unskin.
#include "skin/forms/form_fitting.h"

#include "skin/data/skin_data.h"
#include "skin/forms/frame_paint.h"
#include "skin/forms/win_skin_form.h"
#include "ui/graphics.h"

#include <algorithm>
#include <vector>

namespace wl {

namespace {

RECT WindowRectOf(HWND window) {
    RECT r{0, 0, 0, 0};
    GetWindowRect(window, &r);
    return r;
}

} // namespace

// ---- frame metrics handed to the form object ---------------------------------------------------

RECT TSkinFrameMetrics::FrameInsets(const TFrameRequest& request) const {
    const TWinSkinForm* owner = FOwner;
    if (owner && owner->SkinFrame() && owner->State() != sfsCreated && owner->BorderKind() != bkNone &&
        owner->Subclassed()) {
        const RECT b = owner->Borders();
        return RECT{b.left, b.top + owner->MenuBarHeight(), b.right, b.bottom};
    }
    if (FFallback) return FFallback->FrameInsets(request);
    static const TSystemFrameMetrics system;
    return system.FrameInsets(request);
}

// ---- the original frame ------------------------------------------------------------------------

void TFormFitting::MeasureOriginalFrame(bool final) {
    const HWND window = FOwner.Handle();
    GetClientRect(window, &FClientRect);
    const RECT wr = WindowRectOf(window);
    FOrigFrameWidth = (wr.right - wr.left) - FClientRect.right;
    FOrigFrameHeight = (wr.bottom - wr.top) - FClientRect.bottom;
    if (final) FFrameMeasured = true;
}

void TFormFitting::PutOriginalFrameBack(SIZE skinnedFrame) {
    const HWND window = FOwner.Handle();
    // The frame the window wears now is taken off and the one it had before put back, so
    // the client area stays. (The frame now is the skinned one, or still the system's for
    // a window whose frame the skin leaves alone.)
    RECT r = WindowRectOf(window);
    const int width = (r.right - r.left) - skinnedFrame.cx + FOrigFrameWidth;
    const int height = (r.bottom - r.top) - skinnedFrame.cy + FOrigFrameHeight;
    if (FOwner.FormKind() == fkMdiChild) {
        if (HWND parent = GetParent(window)) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    }
    SetWindowPos(window, nullptr, r.left, r.top, width, height, SWP_FRAMECHANGED | SWP_NOACTIVATE | SWP_NOZORDER);
}

// ---- the frame-metrics step --------------------------------------------------------------------

void TFormFitting::ForgetFrameMetrics() {
    if (FFrameMetrics) FFrameMetrics->Forget();
}

void TFormFitting::GiveBackFrameMetrics() {
    TCustomForm* form = FOwner.Form();
    if (!form || !FFrameMetrics) return;
    form->SetFrameMetrics(FSavedFrameMetrics);
    FFrameMetrics.reset();
    FSavedFrameMetrics.reset();
}

// ---- layout --------------------------------------------------------------------------------------

void TFormFitting::ClientAreaChanged() {
    RECT after{0, 0, 0, 0};
    GetClientRect(FOwner.Handle(), &after);
    if (FOwner.Form() && (after.right != FLaidOutClient.right || after.bottom != FLaidOutClient.bottom))
        FOwner.Form()->AlignControls();
    FLaidOutClient = after;
}

// ---- fitting ---------------------------------------------------------------------------------------

void TFormFitting::WidenDialog(int& width) {
    const HWND window = FOwner.Handle();
    HDC dc = GetWindowDC(window);
    if (!dc) return;
    SIZE extent{0, 0};
    if (FOwner.Unicode()) {
        const int n = GetWindowTextLengthW(window);
        FCaption.assign(static_cast<size_t>(std::max(0, n)) + 1, L'\0');
        const int got = GetWindowTextW(window, FCaption.data(), n + 1);
        FCaption.resize(static_cast<size_t>(std::max(0, got)));
        HGDIOBJ old = SelectObject(dc, FOwner.CaptionFont()->Handle());
        GetTextExtentPoint32W(dc, FCaption.c_str(), static_cast<int>(FCaption.size()), &extent);
        SelectObject(dc, old);
    } else {
        char text[1000] = {};
        const LRESULT got = SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
        const int n = static_cast<int>(std::clamp<LRESULT>(got, 0, sizeof text - 1));
        FCaption.assign(text, text + n);
        HGDIOBJ old = SelectObject(dc, FOwner.CaptionFont()->Handle());
        GetTextExtentPoint32A(dc, text, n, &extent);
        SelectObject(dc, old);
    }
    ReleaseDC(window, dc);
    FCaptionWidth = extent.cx;
    const int shift = FOwner.SkinData() && FOwner.SkinData()->Title ? FOwner.SkinData()->Title->LeftWidth : 0;
    const int clip = FOwner.SkinData() && FOwner.SkinData()->Title ? FOwner.SkinData()->Title->RightWidth : 0;
    const int needed = shift + FCaptionWidth + clip;
    if (width >= needed) return;
    const int move = (needed - width) / 2;
    std::vector<HWND> children;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    for (HWND child : children) {
        RECT r = WindowRectOf(child);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
        SetWindowPos(child, nullptr, r.left + move, r.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSENDCHANGING | SWP_NOOWNERZORDER);
    }
    width = needed;
}

bool TFormFitting::FrameFitsMetrics() const {
    const HWND window = FOwner.Handle();
    RECT client{0, 0, 0, 0};
    POINT origin{0, 0};
    if (!GetClientRect(window, &client) || !ClientToScreen(window, &origin)) return false;
    const RECT wr = WindowRectOf(window);
    const RECT b = FOwner.Borders();
    return origin.x - wr.left == b.left && origin.y - wr.top == b.top + FOwner.MenuBarHeight() &&
           wr.right - (origin.x + client.right) == b.right && wr.bottom - (origin.y + client.bottom) == b.bottom;
}

void TFormFitting::FitWindowToClient(bool keepCurrentClient) {
    const HWND window = FOwner.Handle();
    if (FOwner.WindowState() == wstMaximized) {
        FOwner.RefreshFrame();
        return;
    }
    if (FOwner.IsDialog() || FOwner.State() == sfsReapplying) GetClientRect(window, &FClientRect);
    int clientWidth = FClientRect.right - FClientRect.left;
    int clientHeight = FClientRect.bottom - FClientRect.top;
    if (keepCurrentClient) {
        RECT r;
        GetClientRect(window, &r);
        clientWidth = r.right;
        clientHeight = r.bottom;
    } else if (FOwner.Form() && !FFrameMeasured) {
        RECT r;
        GetClientRect(window, &r);
        clientWidth = r.right;
        clientHeight = r.bottom - (FOwner.FormKind() == fkMdiChild ? 0 : FOwner.MenuBarHeight());
    }
    const RECT b = FOwner.Borders();
    int width = clientWidth + b.left + b.right;
    const int height = clientHeight + b.top + b.bottom + FOwner.MenuBarHeight();
    if (FOwner.IsDialog() && !keepCurrentClient) WidenDialog(width);
    // The form object measures client sizes through the skinned frame from now on.
    if (TCustomForm* form = FOwner.Form(); form && !FFrameMetrics) {
        FFrameMetrics = std::make_shared<TSkinFrameMetrics>(&FOwner);
        FFrameMetrics->SetFallback(form->FrameMetrics());
        FSavedFrameMetrics = form->FrameMetrics();
        form->SetFrameMetrics(FFrameMetrics);
    }
    // A skin change repaints the window afterwards: the erase is deferred (otherwise the system
    // erases the window and all its children synchronously here).
    const UINT erase = FOwner.State() == sfsReapplying ? SWP_DEFERERASE : 0;
    SetWindowPos(window, nullptr, 0, 0, width, height,
                 SWP_FRAMECHANGED | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | erase);
}

} // namespace wl
