// Fixture and builders of the window skinning tests.
#include "forms_fixture.h"

#include "support/gui.h"
#include "support/swallowed_check.h"
#include "ui/forms.h"

#include <fstream>
#include <iterator>

namespace skinforms {

using namespace wl;

namespace {

INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

void PushWord(std::vector<WORD>& t, WORD w) { t.push_back(w); }
void PushText(std::vector<WORD>& t, const std::string& s) {
    for (unsigned char c : s) t.push_back(c);
    t.push_back(0);
}
void Align4(std::vector<WORD>& t) {
    if (t.size() % 2) t.push_back(0);
}

} // namespace

HWND MakeDialog(const DialogShape& shape) {
    std::vector<WORD> t;
    // DLGTEMPLATE: style, exStyle, cdit, x, y, cx, cy; then menu, class, title.
    const DWORD style = shape.style;
    PushWord(t, LOWORD(style));
    PushWord(t, HIWORD(style));
    PushWord(t, 0);
    PushWord(t, 0);
    PushWord(t, static_cast<WORD>(shape.buttons.size()));
    PushWord(t, 20);
    PushWord(t, 20);
    PushWord(t, static_cast<WORD>(shape.cx));
    PushWord(t, static_cast<WORD>(shape.cy));
    PushWord(t, 0);
    PushWord(t, 0);
    PushText(t, shape.caption);
    int id = 100;
    for (POINT p : shape.buttons) {
        Align4(t);
        const DWORD bs = WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON;
        PushWord(t, LOWORD(bs));
        PushWord(t, HIWORD(bs));
        PushWord(t, 0);
        PushWord(t, 0);
        PushWord(t, static_cast<WORD>(p.x));
        PushWord(t, static_cast<WORD>(p.y));
        PushWord(t, 40);
        PushWord(t, 14);
        PushWord(t, static_cast<WORD>(id++));
        PushWord(t, 0xFFFF);
        PushWord(t, 0x0080); // button
        PushText(t, "OK");
        PushWord(t, 0);
    }
    HINSTANCE instance = shape.instance ? shape.instance : GetModuleHandleA(nullptr);
    return CreateDialogIndirectParamA(instance, reinterpret_cast<const DLGTEMPLATE*>(t.data()), nullptr,
                                      QuietDialogProc, 0);
}

HWND MakeWindow(const WindowShape& shape) {
    // Classes are registered by this program for every process module, so a window can be made
    // with another module's instance handle (as a foreign window has).
    HINSTANCE own = GetModuleHandleA(nullptr);
    HINSTANCE instance = shape.instance ? shape.instance : own;
    WNDCLASSA wc{};
    if (!GetClassInfoA(own, shape.className, &wc)) {
        wc = WNDCLASSA{};
        wc.style = CS_GLOBALCLASS;
        wc.lpfnWndProc = shape.proc ? shape.proc : DefWindowProcA;
        wc.hInstance = own;
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = shape.className;
        RegisterClassA(&wc);
    }
    const RECT& b = shape.bounds;
    return CreateWindowExA(shape.exStyle, shape.className, "Test window", shape.style, b.left, b.top,
                           b.right - b.left, b.bottom - b.top, shape.parent, shape.menu, instance, nullptr);
}

std::string ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

SIZE ClientSize(HWND window) {
    RECT r{0, 0, 0, 0};
    GetClientRect(window, &r);
    return SIZE{r.right, r.bottom};
}

void SkinFormsTest::SetUpTestSuite() {
    Application->Initialize();
    TSkinManage::Register();
}

void SkinFormsTest::SetUp() {
    errors_.clear();
    Application->OnException = [this](TObject*, const std::string& message) { errors_.push_back(message); };
    TSkinManagerLink::Destroy();
    manager_ = dynamic_cast<TSkinManage*>(&TSkinManagerLink::Create());
    ASSERT_NE(manager_, nullptr);
    data_ = std::make_unique<TSkinData>(nullptr);
    data_->SkinBytes = ReadFile(WL_DEFAULT_SKIN);
    ASSERT_TRUE(data_->LoadSkin());
    ASSERT_FALSE(data_->NotLoaded);
    manager_->AddSkinData(data_.get());
    manager_->SetSkinning(true);
    manager_->MarkRunning();
}

void SkinFormsTest::TearDown() {
    TSkinManagerLink::Destroy();
    manager_ = nullptr;
    for (HWND h : windows_)
        if (IsWindow(h)) DestroyWindow(h);
    windows_.clear();
    data_.reset();
    wl::test::PumpMessages(0);
    Application->OnException = nullptr;
    EXPECT_TRUE(errors_.empty()) << errors_.front();
    wl::test::ExpectNoSwallowedFailures();
}

TWinSkinForm* SkinFormsTest::Skin(HWND window) {
    if (!manager_->SkinWindow(window)) return nullptr;
    TWinSkinForm* f = manager_->FindForm(window);
    wl::test::PumpUntil([f] { return f->State() != sfsCreated; }, 2000);
    wl::test::PumpMessages(0); // the start message of a window whose frame stays the system's
    return f;
}

void SkinFormsTest::RunAction(int action, TSkinData* data) {
    manager_->SetPendingSkinData(data ? data : data_.get());
    manager_->Schedule(action, 1);
    manager_->TimerTick();
}

} // namespace skinforms
