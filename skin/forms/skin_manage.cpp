// TSkinManage: the thread's CBT hook, the tests that decide whether a window is skinned, the
// action timer, and the lists of skin data components and form skin objects.
#include "skin/forms/skin_manage.h"

#include "skin/data/skin_data.h"
#include "skin/draw/swallowed.h"
#include "skin/forms/popup_menu.h"
#include "skin/forms/win_skin_form.h"
#include "ui/extctrls.h"
#include "ui/forms.h"

#include <algorithm>
#include <cctype>

namespace wl {

namespace {

std::string ClassNameOf(HWND window) {
    char name[101] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

HINSTANCE ModuleInstance() { return GetModuleHandleA(nullptr); }

// Open forms of the application, in the screen's order.
std::vector<TCustomForm*> OpenForms() {
    std::vector<TCustomForm*> forms;
    if (!Screen) return forms;
    for (int i = 0; i < Screen->FormCount(); ++i) forms.push_back(Screen->Forms(i));
    return forms;
}

// A dialog box of the system (a message box, DialogBox) runs its own modal loop: it shows
// while its owner is disabled.
BOOL CALLBACK FindModalDialog(HWND window, LPARAM found) {
    if (!IsWindowVisible(window) || ClassNameOf(window) != "#32770") return TRUE;
    const HWND owner = GetWindow(window, GW_OWNER);
    if (!owner || IsWindowEnabled(owner)) return TRUE;
    *reinterpret_cast<bool*>(found) = true;
    return FALSE;
}

bool ModalDialogShowing() {
    bool found = false;
    EnumThreadWindows(GetCurrentThreadId(), FindModalDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

TControl* ControlOfWindow(HWND window) {
    for (TCustomForm* f : OpenForms())
        if (f->HandleAllocated() && f->HandleValue() == window) return f;
    return FindControl(window);
}

} // namespace

TSkinManage::TSkinManage() {
    FTimer = std::make_unique<TTimer>(nullptr);
    FTimer->SetEnabled(false);
    FTimer->SetInterval(100);
    FTimer->OnTimer = [this](TObject* sender) { TimerTick(sender); };
}

TSkinManage::~TSkinManage() {
    BeginEnding();
    SetSkinning(false);
    FTimer.reset();
    std::vector<std::unique_ptr<TWinSkinForm>> forms;
    forms.swap(FForms);
    for (auto it = forms.rbegin(); it != forms.rend(); ++it) {
        (*it)->ReleaseSkin();
        it->reset();
    }
    FPopupMenus.clear();
    FSkinDatas.clear();
    if (FHook) UnhookWindowsHookEx(FHook);
    FHook = nullptr;
}

void TSkinManage::Register() {
    SetFactory([]() -> std::unique_ptr<TSkinManagerLink> { return std::make_unique<TSkinManage>(); });
}

TSkinManage* TSkinManage::Instance() { return dynamic_cast<TSkinManage*>(TSkinManagerLink::Instance()); }

bool TSkinManage::TimerEnabled() const { return FTimer && FTimer->Enabled(); }

// ---- skin data components ------------------------------------------------------------------------

void TSkinManage::AddSkinData(TSkinData* data) {
    if (!data || std::find(FSkinDatas.begin(), FSkinDatas.end(), data) != FSkinDatas.end()) return;
    FSkinDatas.push_back(data);
    if (!FMainSkinData && data->SkinFormtype() == sfMainform) FMainSkinData = data;
}

void TSkinManage::RemoveSkinData(TSkinData* data) {
    FSkinDatas.erase(std::remove(FSkinDatas.begin(), FSkinDatas.end(), data), FSkinDatas.end());
    ForgetSkinData(data);
}

// A component going away must not be used afterwards: the windows it skins give the skin back
// while the component's records still exist, and the manager stops naming it.
void TSkinManage::ForgetSkinData(TSkinData* data) {
    if (FMainSkinData == data) FMainSkinData = nullptr;
    if (PendingSkinData() == data) SetPendingSkinData(nullptr);
    if (Ending()) return;
    std::vector<TWinSkinForm*> users;
    for (const auto& f : FForms)
        if (f->SkinData() == data) users.push_back(f.get());
    for (TWinSkinForm* f : users) {
        if (f->State() == sfsDestroyed || f->State() == sfsDestroying || !IsWindow(f->Handle())) {
            std::unique_ptr<TWinSkinForm> gone = TakeForm(f);
            if (gone) gone->ReleaseSkin();
        } else {
            UnskinAndFree(f);
        }
    }
}

// ---- the hook ------------------------------------------------------------------------------------

void TSkinManage::InstallHook() {
    PlatformVersion = GetVersion();
    if (FHook) return;
    FHook = SetWindowsHookExA(WH_CBT, CbtHookProc, nullptr, GetCurrentThreadId());
}

LRESULT CALLBACK TSkinManage::CbtHookProc(int code, WPARAM wParam, LPARAM lParam) {
    TSkinManage* m = Instance();
    HHOOK hook = m ? m->FHook : nullptr;
    if (m && code >= 0) {
        // The skin engine reports nothing; the window is created or activated unskinned.
        SwallowFailures([&] {
            const HWND window = reinterpret_cast<HWND>(wParam);
            switch (code) {
            case HCBT_CREATEWND: m->HookCreate(window, reinterpret_cast<const CBT_CREATEWNDA*>(lParam)); break;
            case HCBT_DESTROYWND: m->PopupDestroyed(window); break;
            case HCBT_ACTIVATE:
                m->MarkRunning();
                m->SkinWindow(window);
                break;
            default: break;
            }
        });
    }
    return CallNextHookEx(hook, code, wParam, lParam);
}

void TSkinManage::HookCreate(HWND window, const CBT_CREATEWNDA* create) {
    const CREATESTRUCTA* cs = create ? create->lpcs : nullptr;
    if (!cs) return;
    const std::string name = ClassNameOf(window);
    if (name == "ScrollBar" && (cs->style & SBS_SIZEGRIP)) {
        if (TWinSkinForm* f = FindForm(cs->hwndParent)) f->SkinChildWindow(window);
    }
    if (!(cs->style & WS_CHILD) && name == "#32768") SkinPopupMenu(window);
    if (cs->dwExStyle & WS_EX_MDICHILD) SkinWindow(window);
}

// ---- the decision --------------------------------------------------------------------------------

bool TSkinManage::AcceptWindow(HWND window, const std::string& className) const {
    bool doSkin = true;
    if (FMainSkinData) {
        if (!(FMainSkinData->Options() & SkinOptionBit(xoPreview)) &&
            Lower(className).find("preview") != std::string::npos)
            doSkin = false;
        FMainSkinData->FilterWindow(window, className, doSkin);
    }
    return doSkin;
}

TSkinData* TSkinManage::ChooseSkinData(HWND window) const {
    for (auto it = FSkinDatas.rbegin(); it != FSkinDatas.rend(); ++it) {
        TSkinData* d = *it;
        if (d->SkinFormtype() != sfOnlyThisForm) continue;
        auto* owner = dynamic_cast<TWinControl*>(d->Owner());
        if (owner && owner->HandleAllocated() && owner->HandleValue() == window) return d;
    }
    const std::string name = Lower(ClassNameOf(window));
    if (name == "tmessageform" || name == "#32770") {
        for (auto it = FSkinDatas.rbegin(); it != FSkinDatas.rend(); ++it)
            if ((*it)->SkinFormtype() == sfDialog) return *it;
    }
    for (auto it = FSkinDatas.rbegin(); it != FSkinDatas.rend(); ++it)
        if ((*it)->SkinFormtype() == sfMainform) return *it;
    return FSkinDatas.empty() ? nullptr : FSkinDatas.front();
}

bool TSkinManage::AcceptsWindow(HWND window, std::string* reason) {
    auto fail = [reason](const char* why) {
        if (reason) *reason = why;
        return false;
    };
    if (!Skinning()) return fail("not skinning");
    PurgeForms();
    if (!IsWindow(window)) return fail("no window");
    if (SendMessageA(window, SKM_ISSKINNED, 0, 0) == 1 || FindForm(window)) return fail("already skinned");
    TControl* control = ControlOfWindow(window);
    const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    const LONG_PTR exStyle = GetWindowLongPtrA(window, GWL_EXSTYLE);
    const std::string name = ClassNameOf(window);
    if (!Forced && (style & WS_CHILD) && !(exStyle & WS_EX_MDICHILD) &&
        Lower(ClassNameOf(GetParent(window))) != "mdiclient")
        return fail("embedded child");
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
    if (!control && instance != ModuleInstance() && name != "#32770") return fail("foreign window");
    RECT r{0, 0, 0, 0};
    GetWindowRect(window, &r);
    if ((r.right - r.left) * (r.bottom - r.top) == 0 && !(exStyle & WS_EX_MDICHILD)) return fail("empty rectangle");
    if (control && control->Tag() == 99) return fail("tag 99");
    if (name.find("TcxPopupEditPopupWindow") != std::string::npos || name == "TApplication")
        return fail("excluded class");
    if (!AcceptWindow(window, name)) return fail("filtered");
    TSkinData* data = ChooseSkinData(window);
    if (!data || data->NotLoaded) return fail("no loaded skin");
    return true;
}

bool TSkinManage::SkinWindow(HWND window) {
    if (!AcceptsWindow(window)) return false;
    TSkinData* data = ChooseSkinData(window);
    TControl* control = ControlOfWindow(window);
    auto* form = dynamic_cast<TCustomForm*>(control);
    auto skin = std::make_unique<TWinSkinForm>(nullptr);
    skin->SetHandle(window);
    if (control) skin->FreeWith(control);
    if (form) skin->AttachForm(data, form);
    else skin->AttachWindow(data);
    FForms.push_back(std::move(skin));
    PostMessageA(window, SKM_STARTSKIN, 0, 1000);
    return true;
}

// ---- scheduled actions ---------------------------------------------------------------------------

void TSkinManage::Schedule(int action, int delayMs) {
    FPendingAction = action;
    FTimer->SetInterval(static_cast<unsigned>(std::max(1, delayMs)));
    if (Phase() != TManagerPhase::Idle) FTimer->SetEnabled(true);
    else if (action == skaSkinAll || action == skaUnskinAll) SetSkinning(action == skaSkinAll);
}

std::unique_ptr<TWinSkinForm> TSkinManage::TakeForm(TWinSkinForm* form) {
    auto it = std::find_if(FForms.begin(), FForms.end(), [form](const auto& f) { return f.get() == form; });
    if (it == FForms.end()) return nullptr;
    std::unique_ptr<TWinSkinForm> taken = std::move(*it);
    FForms.erase(it);
    return taken;
}

void TSkinManage::UnskinAndFree(TWinSkinForm* form) {
    std::unique_ptr<TWinSkinForm> gone = TakeForm(form);
    if (!gone) return;
    gone->Unskin();
    if (IsWindow(gone->Handle())) gone->RepaintWindow();
}

bool TSkinManage::Quiet() const {
    if (ModalLoopDepth() > 0 || ModalDialogShowing()) return false;
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (GetGUIThreadInfo(GetCurrentThreadId(), &info) &&
        (info.flags & (GUI_INMENUMODE | GUI_INMOVESIZE | GUI_POPUPMENUMODE | GUI_SYSTEMMENUMODE)))
        return false;
    for (const auto& f : FForms) {
        if (f->MenuTracking() || f->InDispatch()) return false;
        for (TSkinCompanion* c : f->Controls())
            if (c && c->InDispatch()) return false;
    }
    return true;
}

void TSkinManage::TimerTick(TObject*) {
    // The timer also runs inside nested loops (a modal form or dialog box, a menu, a scroll-bar
    // drag, moving a window) and may be reached from inside a skinned window's own message
    // handling: freeing or re-skinning form objects and companions then would pull them from
    // under code still on the stack. The action stays pending; the next tick tries again.
    if (!Quiet()) return;
    FTimer->SetEnabled(false);
    TSkinData* data = PendingSkinData();
    if (!data) return;
    const int action = FPendingAction;
    if (data->SkinFormtype() == sfOnlyThisForm) {
        if (action == skaSkinAll) {
            SetSkinning(true);
            Forced = true;
            std::vector<TCustomForm*> forms = OpenForms();
            for (auto it = forms.rbegin(); it != forms.rend(); ++it) {
                if (*it != data->Owner()) continue;
                HWND h = (*it)->HandleAllocated() ? (*it)->HandleValue() : nullptr;
                if (h && IsWindowVisible(h) && !(GetWindowLongPtrA(h, GWL_STYLE) & WS_CHILD)) SkinWindow(h);
                break;
            }
            Forced = false;
        } else if (action == skaUnskinAll) {
            SetSkinning(false);
            PurgeForms();
            for (auto it = FForms.rbegin(); it != FForms.rend(); ++it) {
                if ((*it)->SkinData() != data) continue;
                UnskinAndFree(it->get());
                break;
            }
        } else if (action == skaReskin) {
            PurgeForms();
            for (const auto& f : FForms) {
                if (f->SkinData() != data) continue;
                f->FreeButtons();
                f->LoadFrameMetrics();
                f->ApplySkinColors();
                break;
            }
        }
    } else if (action == skaSkinAll) {
        SetSkinning(true);
        Forced = true;
        PurgeForms();
        std::vector<TCustomForm*> forms = OpenForms();
        for (auto it = forms.rbegin(); it != forms.rend(); ++it) {
            HWND h = (*it)->HandleAllocated() ? (*it)->HandleValue() : nullptr;
            if (h && IsWindowVisible(h) && !(GetWindowLongPtrA(h, GWL_STYLE) & WS_CHILD)) SkinWindow(h);
        }
        Forced = false;
    } else if (action == skaUnskinAll) {
        SetSkinning(false);
        PurgeForms();
        while (!FForms.empty()) UnskinAndFree(FForms.front().get());
    } else if (action == skaReskin) {
        PurgeForms();
        std::vector<TWinSkinForm*> users;
        for (const auto& f : FForms)
            if (f->SkinData() == data) users.push_back(f.get());
        for (TWinSkinForm* f : users) {
            f->FreeButtons();
            f->LoadFrameMetrics();
        }
        for (TWinSkinForm* f : users) f->ApplySkinColors();
    }
    // The handler may free the component; it is read before.
    if (PendingSkinData() == data) {
        SetPendingSkinData(nullptr);
        data->DoSkinChanged();
    }
}

void TSkinManage::RefreshSkinData() {
    for (const auto& f : FForms)
        if (f->SkinData() == PendingSkinData()) f->FreeButtons();
}

// The title-bar buttons of a form point at the component's button records: they go before the
// records are refilled, and the metrics and buttons are rebuilt from the new records after.
void TSkinManage::SkinDataReloading(TSkinData* data) {
    for (const auto& f : FForms)
        if (f->SkinData() == data) f->FreeButtons();
}

void TSkinManage::SkinDataReloaded(TSkinData* data) {
    if (data->NotLoaded) return;
    for (const auto& f : FForms)
        if (f->SkinData() == data && f->SkinFrame() && f->State() != sfsDestroyed) f->LoadFrameMetrics();
}

// ---- form skin objects ---------------------------------------------------------------------------

TWinSkinForm* TSkinManage::FindForm(HWND window) const {
    for (const auto& f : FForms)
        if (f->Handle() == window) return f.get();
    return nullptr;
}

void TSkinManage::FreeForm(TWinSkinForm* form) {
    if (Ending()) return;
    TakeForm(form);
}

void TSkinManage::PurgeForms() {
    if (Ending()) return;
    for (size_t i = FForms.size(); i-- > 0;) {
        const TWinSkinForm& f = *FForms[i];
        // A form whose drop-down is still being tracked, or whose message handling is still on
        // the stack, is freed once that has returned.
        if (f.State() != sfsDestroyed || f.MenuTracking() || f.InDispatch()) continue;
        std::unique_ptr<TWinSkinForm> gone = std::move(FForms[i]);
        FForms.erase(FForms.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

// ---- popup menu windows --------------------------------------------------------------------------

void TSkinManage::SkinPopupMenu(HWND window) {
    if (!Skinning() || !IsWindow(window) || SendMessageA(window, SKM_ISSKINNED, 0, 0) == 1) return;
    for (const auto& p : FPopupMenus)
        if (p->Handle() == window) return;
    TSkinData* data = ChooseSkinData(window);
    if (!data || data->NotLoaded) return;
    const TSkinControlTypes controls = data->SkinControls();
    bool allowed = false;
    switch (MenuKind) {
    case 0: allowed = (controls & SkinControlBit(xcPopupMenu)) != 0; break;
    case 1: allowed = (controls & (SkinControlBit(xcMainMenu) | SkinControlBit(xcMenuItem))) != 0; break;
    case 2: allowed = (controls & SkinControlBit(xcSystemMenu)) != 0; break;
    default: break;
    }
    if (!allowed) return;
    auto popup = std::make_unique<TWinSkinPopMenu>();
    popup->Attach(window, data, nullptr);
    if (popup->Attached()) FPopupMenus.push_back(std::move(popup));
}

bool TSkinManage::PopupDestroyed(HWND window) {
    auto it = std::find_if(FPopupMenus.begin(), FPopupMenus.end(),
                           [window](const auto& p) { return p->Handle() == window; });
    if (it == FPopupMenus.end()) return false;
    std::unique_ptr<TWinSkinPopMenu> popup = std::move(*it);
    FPopupMenus.erase(it);
    popup->Detach();
    if (FPopupMenus.empty()) MenuKind = 0;
    return true;
}

void TSkinManage::AssignPopupMenu(HMENU menu) {
    if (!menu) return;
    for (const auto& p : FPopupMenus)
        if (p->Menu() == menu) return;
    // The menu window itself knows which menu it shows; asking it keeps a cascade of submenus
    // from being mixed up when items are drawn out of opening order.
    for (auto it = FPopupMenus.rbegin(); it != FPopupMenus.rend(); ++it) {
        if ((*it)->Menu() || !IsWindow((*it)->Handle())) continue;
        if (reinterpret_cast<HMENU>(SendMessageW((*it)->Handle(), MN_GETHMENU, 0, 0)) == menu) {
            (*it)->SetMenu(menu);
            return;
        }
    }
    for (auto it = FPopupMenus.rbegin(); it != FPopupMenus.rend(); ++it) {
        if (!(*it)->Menu()) {
            (*it)->SetMenu(menu);
            return;
        }
    }
}

TBitmap* TSkinManage::PopupBackground(HMENU menu) {
    if (!menu) return nullptr;
    for (const auto& p : FPopupMenus)
        if (p->Menu() == menu) return p->ComposedBackground();
    return nullptr;
}

void TSkinManage::SetMaximizedChildren(bool on) {
    if (on == MaximizedChildren) return;
    MaximizedChildren = on;
    if (FMainSkinData && (FMainSkinData->Options() & SkinOptionBit(xoMDIChildBorder))) return;
    for (const auto& f : FForms) {
        if (f->FormKind() != fkMdiChild) continue;
        if (on) {
            if (f->Region()) f->DropRegion();
            f->SetCaptionStyle(true);
        } else if (f->WindowState() == wstMinimized) {
            f->SetCaptionStyle(true);
        } else {
            f->SetWindowStateNormal();
            f->UpdateRegion();
            f->SetCaptionStyle(false);
            if (!f->Region()) f->RefreshFrame();
        }
    }
}

} // namespace wl
