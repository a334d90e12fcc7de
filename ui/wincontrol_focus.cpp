// TWinControl: tab order, focus, keys and the mouse routed to windowless children.
#include "ui/controls.h"

#include "ui/forms.h"

#include <algorithm>

namespace wl {

int TWinControl::TabOrder() const {
    if (!parent_) return -1;
    auto& list = parent_->tabList_;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::Loaded() {
    TControl::Loaded();
    if (parent_ && tabKey_ >= 0) {
        // Tab orders read from a form file refer to the finished list: sort by them once every
        // sibling exists; siblings without one keep their place.
        auto& list = parent_->tabList_;
        std::vector<std::pair<int, TWinControl*>> keyed;
        for (size_t i = 0; i < list.size(); ++i)
            keyed.push_back({list[i]->tabKey_ >= 0 ? list[i]->tabKey_ : static_cast<int>(i), list[i]});
        std::stable_sort(keyed.begin(), keyed.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (size_t i = 0; i < list.size(); ++i) list[i] = keyed[i].second;
    }
    if (alignPending_) AlignControls();
}

void TWinControl::SetTabOrder(int order) {
    if (IsLoading()) {
        tabKey_ = order;
        return;
    }
    tabKey_ = -1;
    if (!parent_) return;
    auto& list = parent_->tabList_;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end()) return;
    list.erase(it);
    order = std::clamp(order, 0, static_cast<int>(list.size()));
    list.insert(list.begin() + order, this);
}

void TWinControl::SetTabStop(bool on) {
    if (on == tabStop_) return;
    tabStop_ = on;
    if (handle_) {
        LONG_PTR style = GetWindowLongPtrA(handle_, GWL_STYLE);
        SetWindowLongPtrA(handle_, GWL_STYLE, on ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
    }
    Perform(CM_TABSTOPCHANGED);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) const {
    for (TWinControl* c : tabList_) {
        list.push_back(c);
        c->GetTabOrderList(list);
    }
}

bool TWinControl::CanFocus() const {
    for (const TControl* c = this; c; c = c->Parent())
        if (!c->Visible() || !c->Enabled()) return false;
    return true;
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool forward, bool checkTabStop,
                                          bool checkParent) const {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty()) return nullptr;
    int n = static_cast<int>(list.size());
    int start = -1;
    for (int i = 0; i < n; ++i)
        if (list[i] == current) start = i;
    if (start < 0) start = forward ? n - 1 : 0;
    for (int step = 1; step <= n; ++step) {
        int i = forward ? (start + step) % n : (start - step + n) % n;
        TWinControl* c = list[i];
        if ((!checkTabStop || c->TabStop()) && (!checkParent || c->Parent() == this) && c->CanFocus())
            return c;
    }
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool forward, bool checkTabStop) {
    if (TWinControl* next = FindNextControl(current, forward, checkTabStop, false)) next->SetFocus();
}

bool TWinControl::Focused() const { return handle_ && GetFocus() == handle_; }

void TWinControl::SetFocus() {
    // A form that is not on the screen only remembers the control for when it is shown.
    if (TCustomForm* form = GetParentForm(); form && form != this && !form->Showing()) {
        form->SetActiveControl(this);
        return;
    }
    ::SetFocus(Handle());
}

bool TWinControl::DoKeyDown(WORD& key, TShiftState shift) {
    OnKeyDown(this, key, shift);
    return key == 0;
}

bool TWinControl::DoKeyPress(char& key) {
    OnKeyPress(this, key);
    return key == 0;
}

bool TWinControl::DoKeyUp(WORD& key, TShiftState shift) {
    OnKeyUp(this, key, shift);
    return key == 0;
}

bool TWinControl::WantsKey(WORD key) const {
    return const_cast<TWinControl*>(this)->Perform(CM_WANTSPECIALKEY, key) != 0 ||
           !(key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE || key == VK_LEFT ||
             key == VK_RIGHT || key == VK_UP || key == VK_DOWN);
}

bool TWinControl::WMFocus(TMessage& m) {
    TCustomForm* form = GetParentForm();
    if (m.Msg == WM_SETFOCUS && form && form != this) form->SetFocusedControl(this);
    return false;
}

bool TWinControl::WMKeyDown(TMessage& m) {
    WORD key = static_cast<WORD>(m.WParam);
    if (DoKeyDown(key, KeyboardShiftState())) return true;
    m.WParam = key;
    return false;
}

bool TWinControl::WMKeyUp(TMessage& m) {
    WORD key = static_cast<WORD>(m.WParam);
    if (DoKeyUp(key, KeyboardShiftState())) return true;
    m.WParam = key;
    return false;
}

bool TWinControl::WMChar(TMessage& m) {
    char key = static_cast<char>(m.WParam);
    if (DoKeyPress(key)) return true;
    m.WParam = static_cast<unsigned char>(key);
    return false;
}

bool TWinControl::CNKeyDown(TMessage& m) {
    // From the message loop, before the key is translated: menu shortcuts, then the form's
    // dialog keys.
    WORD key = static_cast<WORD>(m.WParam);
    if (TCustomForm* form = GetParentForm(); form && form->IsShortCut(key, KeyboardShiftState())) {
        m.Result = 1;
        return true;
    }
    if (!WantsKey(key))
        if (TCustomForm* form = GetParentForm()) m.Result = form->Perform(CM_DIALOGKEY, key, m.LParam);
    return true;
}

void TWinControl::SetMouseCapture(TControl* control) {
    captureControl_ = control;
    if (control) SetCapture(handle_);
    else if (GetCapture() == handle_) ReleaseCapture();
}

bool TWinControl::RouteMouseToChild(TMessage& m) {
    const TWMMouse mouse(m);
    TControl* target = captureControl_;
    if (!target) {
        TControl* at = ControlAtPos(mouse.Pos);
        if (at && !dynamic_cast<TWinControl*>(at)) target = at;
    }
    if (m.Msg == WM_MOUSEMOVE && target != mouseControl_ && !captureControl_) {
        if (mouseControl_) mouseControl_->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(mouseControl_));
        mouseControl_ = target;
        if (target) target->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(target));
    }
    if (!target) return false;
    const POINT childPoint{mouse.Pos.x - target->Left(), mouse.Pos.y - target->Top()};
    if (m.Msg == WM_LBUTTONDOWN || m.Msg == WM_RBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK)
        SetMouseCapture(target);
    m.Result = target->Perform(m.Msg, m.WParam, PointToLParam(childPoint));
    if ((m.Msg == WM_LBUTTONUP || m.Msg == WM_RBUTTONUP) && captureControl_ == target)
        SetMouseCapture(nullptr);
    return true;
}

bool TWinControl::WMSetCursor(TMessage& m) {
    const TWMSetCursor c(m);
    if (c.HitTest != HTCLIENT || c.Window != handle_) return false;
    POINT p;
    GetCursorPos(&p);
    ::ScreenToClient(handle_, &p);
    TControl* over = captureControl_ ? captureControl_ : ControlAtPos(p);
    TCursor cursor = over && !dynamic_cast<TWinControl*>(over) && over->Cursor() != crDefault ? over->Cursor()
                                                                                              : Cursor();
    if (cursor == crDefault) return false;
    ::SetCursor(CursorHandle(cursor));
    m.Result = 1;
    return true;
}

bool TWinControl::WMCaptureChanged(TMessage& m) {
    if (captureControl_ && reinterpret_cast<HWND>(m.LParam) != handle_) captureControl_ = nullptr;
    return false;
}

bool TWinControl::LeaveWindowlessChild() {
    if (mouseControl_) {
        mouseControl_->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(mouseControl_));
        mouseControl_ = nullptr;
    }
    return false;
}

} // namespace wl
