// End-to-end proof of the Wine harness: locale, a thread CBT hook seeing a window's creation,
// owned subclassing, custom non-client painting read back from the screen, and the message box
// catcher.
#include "support/gui.h"
#include "support/msgbox_catcher.h"
#include "support/testdata.h"
#include "ui/strconv.h"
#include "ui/subclass.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace wl {
namespace {

TEST(Harness, ChineseCodePageIsActive) {
    EXPECT_EQ(GetACP(), 936u);
    // "中文" in GBK round-trips through UTF-16.
    EXPECT_EQ(AnsiToWide("\xD6\xD0\xCE\xC4"), L"\x4E2D\x6587");
}

std::vector<HWND> g_created;

LRESULT CALLBACK RecordCreation(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) g_created.push_back(reinterpret_cast<HWND>(wParam));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

const COLORREF kFrameColour = RGB(200, 30, 40);

void PaintWholeWindow(HWND hwnd, COLORREF colour) {
    HDC dc = GetWindowDC(hwnd);
    RECT r;
    GetWindowRect(hwnd, &r);
    OffsetRect(&r, -r.left, -r.top);
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    ReleaseDC(hwnd, dc);
}

TEST(Harness, HookSubclassAndNonClientPaint) {
    HHOOK hook = SetWindowsHookExW(WH_CBT, RecordCreation, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    HWND hwnd = CreateWindowExW(0, L"STATIC", L"smoke", WS_OVERLAPPEDWINDOW, 50, 50, 200, 120,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    UnhookWindowsHookEx(hook);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_NE(std::find(g_created.begin(), g_created.end(), hwnd), g_created.end());

    int ncPaints = 0;
    TWindowSubclass sub;
    ASSERT_TRUE(sub.Attach(hwnd, [&](TMessage& m) {
        if (m.Msg == WM_NCPAINT) {
            ++ncPaints;
            PaintWholeWindow(hwnd, kFrameColour);
            return;
        }
        sub.CallPrevious(m);
    }));
    ShowWindow(hwnd, SW_SHOWNORMAL);
    RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    ASSERT_TRUE(test::WaitFlushed(hwnd)); // the frame is read from the screen
    EXPECT_GT(ncPaints, 0);
    COLORREF c = test::WindowPixel(hwnd, 2, 2);
    EXPECT_EQ(c, kFrameColour) << std::hex << c;
    test::SaveWindowBitmap(hwnd, test::ArtifactDir() + "/smoke-window.bmp");

    // Detached, the window paints its own frame again and the subclass sees nothing more; the
    // messages it passed on reached the static control's procedure (it kept its text).
    sub.Detach();
    const int paintsBefore = ncPaints;
    RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    ASSERT_TRUE(test::WaitFlushed(hwnd)); // the frame is read from the screen
    EXPECT_EQ(ncPaints, paintsBefore);
    EXPECT_NE(test::WindowPixel(hwnd, 2, 2), kFrameColour);
    wchar_t text[16] = {};
    GetWindowTextW(hwnd, text, 16);
    EXPECT_STREQ(text, L"smoke");
    DestroyWindow(hwnd);
}

TEST(Harness, MessageBoxCatcherRecordsAndDismisses) {
    test::MessageBoxCatcher catcher;
    int answer = MessageBoxW(nullptr, L"\x5BC6\x6587", L"caption", MB_OK);
    EXPECT_EQ(answer, IDOK);
    ASSERT_EQ(catcher.Boxes().size(), 1u);
    EXPECT_EQ(catcher.Boxes()[0].caption, "caption");
    EXPECT_EQ(catcher.Boxes()[0].text, "\xE5\xAF\x86\xE6\x96\x87");
}

} // namespace
} // namespace wl
