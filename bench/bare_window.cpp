// The yardstick of the start-up benchmark: a bare Win32 window with one edit control, started
// like the program and closed by WM_CLOSE.
#include <windows.h>

namespace {
LRESULT CALLBACK BareProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(h, msg, wParam, lParam);
}
} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = BareProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "WlBareWindow";
    RegisterClassA(&wc);
    HWND h = CreateWindowExA(0, "WlBareWindow", "Bare", WS_OVERLAPPEDWINDOW, 100, 100, 308, 163, nullptr, nullptr,
                             instance, nullptr);
    CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE, 6, 3, 163, 22, h, nullptr, instance,
                    nullptr);
    ShowWindow(h, SW_SHOW);
    UpdateWindow(h);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
