// Timing harness (run under Wine): a full non-client repaint (WM_NCPAINT) of an 800 x 600
// window skinned with the default skin, and the hover feedback of a title-bar button: moving
// onto and off the close button, with a count of the window pixels that changed outside it.
//   title_bench [ARCHIVE]   prints the median and best times in milliseconds
#include "skin/data/skin_data.h"
#include "skin/forms/win_skin_form.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <vector>
#include "bench/bench_timing.h"

using namespace wl;
using wl::bench::NowMs;
using wl::bench::Report;

namespace {

// The window's pixels (non-client area included) as 32-bit values.
std::vector<DWORD> Snapshot(HWND w, int width, int height) {
    std::vector<DWORD> px(static_cast<size_t>(width) * height);
    HDC dc = GetWindowDC(w);
    HDC mem = CreateCompatibleDC(dc);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, width, height, dc, 0, 0, SRCCOPY);
    GdiFlush();
    std::copy_n(static_cast<DWORD*>(bits), px.size(), px.begin());
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(w, dc);
    return px;
}

} // namespace

int main(int argc, char** argv) {
    const char* path = argc > 1 ? argv[1] : WL_DEFAULT_SKIN;
    std::ifstream f(path, std::ios::binary);
    TSkinData data(nullptr);
    data.SkinBytes.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    if (!data.LoadSkin() || data.NotLoaded) {
        std::fprintf(stderr, "title_bench: cannot load %s\n", path);
        return 1;
    }
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "WlTitleBench";
    RegisterClassA(&wc);
    HWND w = CreateWindowExA(0, "WlTitleBench", "Title bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 800,
                             600, nullptr, nullptr, wc.hInstance, nullptr);
    auto form = std::make_unique<TWinSkinForm>(nullptr);
    form->SetHandle(w);
    form->AttachWindow(&data);
    SendMessageW(w, SKM_STARTSKIN, 0, 1000);
    // The skinned frame changed the window's size to keep the client: back to 800 x 600.
    SetWindowPos(w, nullptr, 0, 0, 800, 600, SWP_NOMOVE | SWP_NOZORDER);
    SetForegroundWindow(w);
    SendMessageW(w, WM_NCACTIVATE, TRUE, 0);

    Report("WM_NCPAINT, 800 x 600, active", 200, [&] { SendMessageW(w, WM_NCPAINT, 1, 0); });
    SendMessageW(w, WM_NCACTIVATE, FALSE, 0);
    Report("WM_NCPAINT, 800 x 600, inactive", 200, [&] { SendMessageW(w, WM_NCPAINT, 1, 0); });
    SendMessageW(w, WM_NCACTIVATE, TRUE, 0);

    TWinSysButton* close = nullptr;
    for (const auto& b : form->Buttons())
        if (b->Visible() && b->SkinElement()->Action == 0) close = b.get();
    if (!close) {
        std::fprintf(stderr, "title_bench: the skin shows no close button\n");
        return 1;
    }
    RECT wr;
    GetWindowRect(w, &wr);
    const RECT cb = close->Bounds();
    const LPARAM on = MAKELPARAM(wr.left + (cb.left + cb.right) / 2, wr.top + (cb.top + cb.bottom) / 2);
    const LPARAM off = MAKELPARAM(wr.left + 200, wr.top + 12);
    Report("hover onto and off the close button", 200, [&] {
        SendMessageW(w, WM_NCMOUSEMOVE, HTCAPTION, on);
        SendMessageW(w, WM_NCMOUSEMOVE, HTCAPTION, off);
    });

    // Which pixels a hover changes: every changed pixel must lie in the button.
    const int width = wr.right - wr.left, height = wr.bottom - wr.top;
    const std::vector<DWORD> before = Snapshot(w, width, height);
    SendMessageW(w, WM_NCMOUSEMOVE, HTCAPTION, on);
    const std::vector<DWORD> hot = Snapshot(w, width, height);
    long inside = 0, outside = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const size_t i = static_cast<size_t>(y) * width + x;
            if (before[i] == hot[i]) continue;
            const POINT p{x, y};
            (PtInRect(&cb, p) ? inside : outside) += 1;
        }
    std::printf("hover onto the close button: %ld pixels changed inside its %ldx%ld bounds, %ld outside\n", inside,
                cb.right - cb.left, cb.bottom - cb.top, outside);
    DestroyWindow(w);
    return 0;
}
