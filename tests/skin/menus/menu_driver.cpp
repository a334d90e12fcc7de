// Helpers of the menu tests (see menu_driver.h).
#include "menu_driver.h"

#include "support/gui.h"

#include <cstdlib>

namespace skinmenus {

using namespace wl;

namespace {
MenuScript* g_script = nullptr;
}

MenuScript::MenuScript(DWORD timeoutMs) : timeout_(timeoutMs) {}

MenuScript::~MenuScript() {
    if (timer_) KillTimer(nullptr, timer_);
    if (g_script == this) g_script = nullptr;
}

MenuScript& MenuScript::Then(std::function<bool()> step) {
    steps_.push_back(std::move(step));
    return *this;
}

void MenuScript::Start() {
    g_script = this;
    deadline_ = GetTickCount() + timeout_;
    timer_ = SetTimer(nullptr, 0, 15, Tick);
}

void CALLBACK MenuScript::Tick(HWND, UINT, UINT_PTR, DWORD) {
    MenuScript* s = g_script;
    if (!s || s->failed_ || s->next_ >= s->steps_.size()) return;
    if (static_cast<LONG>(GetTickCount() - s->deadline_) > 0) {
        s->failed_ = true;
        EndMenu();
        return;
    }
    if (s->steps_[s->next_]()) ++s->next_;
}

bool MenuScript::Run() {
    if (!timer_) Start();
    test::PumpUntil([this] { return failed_ || next_ >= steps_.size(); }, timeout_ + 1000);
    // Whatever is still open closes, so that the next test starts without a menu.
    for (int i = 0; i < 20 && !OpenMenuWindows().empty(); ++i) {
        EndMenu();
        test::PumpUntil([] { return OpenMenuWindows().empty(); }, 200);
    }
    return !failed_ && next_ >= steps_.size();
}

std::vector<HWND> OpenMenuWindows() {
    std::vector<HWND> found;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND h, LPARAM data) -> BOOL {
            char name[16] = {};
            GetClassNameA(h, name, sizeof name);
            if (std::string(name) == "#32768" && IsWindowVisible(h))
                reinterpret_cast<std::vector<HWND>*>(data)->push_back(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

void PostKey(HWND window, UINT key) { PostMessageW(window, WM_KEYDOWN, key, 1); }

POINT ScreenCentre(HWND window, const RECT& r) {
    RECT wr;
    GetWindowRect(window, &wr);
    return POINT{wr.left + (r.left + r.right) / 2, wr.top + (r.top + r.bottom) / 2};
}

int CountNear(HDC dc, const RECT& r, COLORREF color, int tolerance) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            const COLORREF c = GetPixel(dc, x, y);
            if (c == CLR_INVALID) continue;
            if (std::abs(GetRValue(c) - GetRValue(color)) <= tolerance &&
                std::abs(GetGValue(c) - GetGValue(color)) <= tolerance &&
                std::abs(GetBValue(c) - GetBValue(color)) <= tolerance)
                ++n;
        }
    return n;
}

int CountNearOnScreen(HWND window, const RECT& r, COLORREF color, int tolerance) {
    HDC dc = GetWindowDC(window);
    const int n = CountNear(dc, r, color, tolerance);
    ReleaseDC(window, dc);
    return n;
}

std::unique_ptr<MenuForm> MakeMenuForm() {
    auto m = std::make_unique<MenuForm>();
    m->form = std::make_unique<TForm>(nullptr);
    m->form->SetBounds(80, 80, 420, 300);
    m->form->SetCaption("Menus");
    m->menu = new TMainMenu(m->form.get());
    auto add = [&](TMenuItem* parent, const std::string& caption) {
        auto* item = new TMenuItem(m->form.get());
        item->SetCaption(caption);
        parent->Add(item);
        return item;
    };
    m->file = add(m->menu->Items(), "&File");
    m->edit = add(m->menu->Items(), "&Edit");
    m->view = add(m->menu->Items(), "&View");
    m->fileNew = add(m->file, "&New");
    m->fileNew->SetShortCut(TextToShortCut("Ctrl+N"));
    MenuForm* raw = m.get();
    m->fileNew->OnClick = [raw](TObject*) { ++raw->newClicks; };
    m->fileOpen = add(m->file, "&Open");
    add(m->file, "-");
    m->fileExit = add(m->file, "E&xit");
    m->editCut = add(m->edit, "Cu&t");
    m->editCut->SetEnabled(false);
    add(m->edit, "-");
    m->editWrap = add(m->edit, "&Wrap");
    m->editWrap->SetChecked(true);
    add(m->view, "&Status bar");
    m->form->SetMenu(m->menu);
    m->form->Show();
    test::PumpMessages(0);
    return m;
}

} // namespace skinmenus
