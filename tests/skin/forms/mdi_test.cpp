// MDI windows and message boxes under the manager's hook: an MDI parent gets its client window
// subclassed, MDI children are skinned as they are created, and a message box is skinned when
// it appears and gives everything back when it closes.
#include "forms_fixture.h"

#include "support/gui.h"

using namespace wl;
using namespace skinforms;

namespace {

HWND g_client = nullptr;

LRESULT CALLBACK FrameProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefFrameProcA(h, g_client, msg, wParam, lParam);
}
LRESULT CALLBACK ChildProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefMDIChildProcA(h, msg, wParam, lParam);
}

struct BoxSeen {
    bool skinned = false;
    bool dialogKind = false;
    bool running = false;
    int checks = 0;
};
BoxSeen g_box;

void CALLBACK InspectBox(HWND, UINT, UINT_PTR id, DWORD) {
    HWND box = FindWindowA("#32770", "Skinned box");
    if (!box) return;
    TSkinManage* m = TSkinManage::Instance();
    TWinSkinForm* f = m ? m->FindForm(box) : nullptr;
    if (f && f->State() != sfsRunning) return; // not started yet
    ++g_box.checks;
    g_box.skinned = SendMessageA(box, SKM_ISSKINNED, 0, 0) == 1;
    g_box.dialogKind = f && f->IsDialog() && f->BorderKind() == bkDialog;
    g_box.running = f && f->State() == sfsRunning;
    KillTimer(nullptr, id);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

} // namespace

TEST_F(SkinFormsTest, MdiParentClientAndChildren) {
    manager_->InstallHook();
    WindowShape frameShape;
    frameShape.className = "WlMdiFrame";
    frameShape.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    frameShape.proc = FrameProc;
    frameShape.bounds = {40, 40, 540, 440};
    HWND frame = MakeWindow(frameShape);
    ASSERT_TRUE(frame);
    windows_.push_back(frame);
    CLIENTCREATESTRUCT ccs{nullptr, 1000};
    g_client = CreateWindowExA(0, "MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, 0, 0, 400,
                               300, frame, nullptr, GetModuleHandleA(nullptr), &ccs);
    ASSERT_TRUE(g_client);
    EXPECT_EQ(manager_->FindForm(frame), nullptr); // not activated yet
    ShowWindow(frame, SW_SHOW);
    TWinSkinForm* parent = manager_->FindForm(frame);
    ASSERT_NE(parent, nullptr);
    EXPECT_TRUE(test::PumpUntil([parent] { return parent->State() == sfsRunning; }));
    EXPECT_EQ(parent->FormKind(), fkMdiParent);
    EXPECT_EQ(parent->ClientWnd(), g_client);
    EXPECT_TRUE(parent->ClientSubclassed());
    EXPECT_EQ(manager_->MdiClient, g_client);
    // Without xoMDIScrollbar the client shows no scroll bars once its frame is recomputed.
    SetWindowPos(g_client, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    EXPECT_EQ(GetWindowLongPtrA(g_client, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL), 0);

    WNDCLASSA wc{};
    wc.lpfnWndProc = ChildProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "WlMdiChild";
    RegisterClassA(&wc);
    MDICREATESTRUCTA mcs{"WlMdiChild", "Child", GetModuleHandleA(nullptr), 10, 10, 200, 150, 0, 0};
    HWND child = reinterpret_cast<HWND>(SendMessageA(g_client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
    ASSERT_TRUE(child);
    TWinSkinForm* c = manager_->FindForm(child); // skinned at its creation
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(test::PumpUntil([c] { return c->State() == sfsRunning; }));
    EXPECT_EQ(c->FormKind(), fkMdiChild);
    EXPECT_EQ(SendMessageA(child, SKM_ISSKINNED, 0, 0), 1);
    const RECT b = c->Borders();
    EXPECT_GE(b.top + c->MenuBarHeight(), GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CXFRAME));
    // The menu update flag is off while MDI children are being made.
    EXPECT_FALSE(data_->MenuUpdate());
    SendMessageA(g_client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(child), 0);
    EXPECT_FALSE(manager_->MaximizedChildren);
    manager_->PurgeForms();
    EXPECT_EQ(manager_->FindForm(child), nullptr);

    RunAction(skaUnskinAll);
    EXPECT_FALSE(IsWindow(child));
    EXPECT_EQ(SendMessageA(frame, SKM_ISSKINNED, 0, 0), 0);
    DestroyWindow(frame);
    g_client = nullptr;
    data_->SetMenuUpdate(true);
}

TEST_F(SkinFormsTest, MessageBoxSkinnedWhileShown) {
    manager_->InstallHook();
    g_box = BoxSeen{};
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, InspectBox);
    ASSERT_NE(timer, 0u);
    const int answer = MessageBoxA(nullptr, "A message", "Skinned box", MB_OK);
    KillTimer(nullptr, timer);
    EXPECT_EQ(answer, IDOK);
    EXPECT_EQ(g_box.checks, 1);
    EXPECT_TRUE(g_box.skinned);
    EXPECT_TRUE(g_box.dialogKind);
    EXPECT_TRUE(g_box.running);
    // The box is gone and its skin object with it once the manager tidies up.
    manager_->PurgeForms();
    EXPECT_TRUE(manager_->Forms().empty());
}
