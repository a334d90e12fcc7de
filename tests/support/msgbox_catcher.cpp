// Message box catcher for GUI tests (see msgbox_catcher.h).
#include "support/msgbox_catcher.h"

#include "ui/strconv.h"

namespace wl::test {

namespace {

thread_local MessageBoxCatcher* g_current = nullptr;

std::string WindowTextUtf8(HWND hwnd) {
    int n = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), n + 1)));
    return WideToUtf8(text);
}

bool IsDialog(HWND hwnd) {
    char cls[16] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    return lstrcmpA(cls, "#32770") == 0;
}

struct StaticTexts {
    std::string text;
};

BOOL CALLBACK CollectStatic(HWND child, LPARAM param) {
    char cls[16] = {};
    GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") == 0) {
        std::string t = WindowTextUtf8(child);
        auto* out = reinterpret_cast<StaticTexts*>(param);
        if (!t.empty()) out->text += out->text.empty() ? t : "\n" + t;
    }
    return TRUE;
}

void PressButton(HWND dialog, int id) {
    // Posted, not sent: the box is still being activated and its modal loop has not started.
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

} // namespace

CaughtBox ReadMessageBox(HWND dialog) {
    StaticTexts texts;
    EnumChildWindows(dialog, CollectStatic, reinterpret_cast<LPARAM>(&texts));
    return {WindowTextUtf8(dialog), texts.text};
}

MessageBoxCatcher::MessageBoxCatcher(int answer) : answer_(answer) {
    previous_ = g_current;
    g_current = this;
    hook_ = SetWindowsHookExW(WH_CBT, CbtProc, nullptr, GetCurrentThreadId());
}

MessageBoxCatcher::~MessageBoxCatcher() {
    if (hook_) UnhookWindowsHookEx(hook_);
    g_current = previous_;
}

LRESULT CALLBACK MessageBoxCatcher::CbtProc(int code, WPARAM wParam, LPARAM lParam) {
    MessageBoxCatcher* self = g_current;
    HHOOK hook = self ? self->hook_ : nullptr;
    if (code == HCBT_ACTIVATE && self && IsDialog(reinterpret_cast<HWND>(wParam)))
        self->Catch(reinterpret_cast<HWND>(wParam));
    return CallNextHookEx(hook, code, wParam, lParam);
}

void MessageBoxCatcher::Catch(HWND dialog) {
    boxes_.push_back(ReadMessageBox(dialog));
    PressButton(dialog, answer_);
}

namespace {

struct FindDialog {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindDialogOf(HWND hwnd, LPARAM param) {
    auto* find = reinterpret_cast<FindDialog*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == find->pid && IsDialog(hwnd) && IsWindowVisible(hwnd)) {
        find->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

} // namespace

bool DismissMessageBoxOf(DWORD pid, DWORD timeoutMs, CaughtBox& box) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        FindDialog find{pid, nullptr};
        EnumWindows(FindDialogOf, reinterpret_cast<LPARAM>(&find));
        if (find.found) {
            box = ReadMessageBox(find.found);
            PressButton(find.found, IDOK);
            return true;
        }
        Sleep(20);
    }
    return false;
}

} // namespace wl::test
