// Timing harness (run under Wine) for skinned windows:
//   frame_bench ncpaint [ARCHIVE]     full non-client repaint (WM_NCPAINT) of an 800 x 600
//                                     skinned window: median and best in milliseconds
//   frame_bench startup PROGRAM BARE [RUNS]
//                                     start-up of PROGRAM to a visible, skinned main window
//                                     against BARE (a plain window with one edit control),
//                                     started alternately the same way; medians and their ratio
#include "skin/data/skin_data.h"
#include "skin/forms/skin_manage.h"
#include "skin/forms/win_skin_form.h"
#include "ui/forms.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>
#include "bench/bench_timing.h"

using namespace wl;
using namespace wl::bench;

namespace {

int NcPaint(const char* archivePath) {
    std::ifstream f(archivePath, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    Application->Initialize();
    TSkinManage::Register();
    TSkinData data(nullptr);
    data.SkinBytes = bytes;
    if (!data.LoadSkin() || data.NotLoaded) {
        std::fprintf(stderr, "frame_bench: cannot load %s\n", archivePath);
        return 1;
    }
    auto* manager = dynamic_cast<TSkinManage*>(&TSkinManagerLink::Create());
    manager->AddSkinData(&data);
    manager->SetSkinning(true);
    manager->MarkRunning();
    TForm form(nullptr);
    form.SetBounds(10, 10, 800, 600);
    form.SetCaption("Frame bench");
    form.Show();
    Pump();
    HWND h = form.Handle();
    if (!manager->SkinWindow(h)) {
        std::fprintf(stderr, "frame_bench: window not skinned\n");
        return 1;
    }
    for (int i = 0; i < 50; ++i) {
        Pump();
        Sleep(1);
    }
    SetWindowPos(h, nullptr, 0, 0, 800, 600, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    std::vector<double> t;
    SendMessageA(h, WM_NCPAINT, 1, 0); // warm up
    for (int i = 0; i < 500; ++i) {
        const double start = NowMs();
        SendMessageA(h, WM_NCPAINT, 1, 0);
        t.push_back(NowMs() - start);
    }
    std::printf("WM_NCPAINT 800x600 skinned: median %.3f ms, best %.3f ms (%zu runs)\n", Median(t),
                *std::min_element(t.begin(), t.end()), t.size());

    // Hover feedback: the title strip is covered with a marker colour, then the mouse moves
    // onto the close button and off it again; only pixels inside the button may change.
    TWinSkinForm* skin = manager->FindForm(h);
    const TWinSysButton* close = nullptr;
    for (const auto& b : skin->Buttons())
        if (b->Visible() && b->SkinElement() && b->SkinElement()->Action == 0 && !IsRectEmpty(&b->Bounds()))
            close = b.get();
    if (!close) {
        std::fprintf(stderr, "frame_bench: no close button\n");
        return 1;
    }
    RECT wr;
    GetWindowRect(h, &wr);
    const RECT bounds = close->Bounds();
    const POINT onto{wr.left + (bounds.left + bounds.right) / 2, wr.top + (bounds.top + bounds.bottom) / 2};
    const POINT away{wr.left + 300, wr.top + skin->Borders().top / 2};
    const RECT strip{0, 0, wr.right - wr.left, skin->Borders().top};
    const COLORREF marker = RGB(1, 2, 3);
    HDC dc = GetWindowDC(h);
    HBRUSH brush = CreateSolidBrush(marker);
    FillRect(dc, &strip, brush);
    GdiFlush();
    std::vector<double> onto_t, off_t;
    for (int i = 0; i < 200; ++i) {
        double start = NowMs();
        SendMessageA(h, WM_NCMOUSEMOVE, HTCAPTION, MAKELPARAM(onto.x, onto.y));
        onto_t.push_back(NowMs() - start);
        start = NowMs();
        SendMessageA(h, WM_NCMOUSEMOVE, HTCAPTION, MAKELPARAM(away.x, away.y));
        off_t.push_back(NowMs() - start);
    }
    GdiFlush();
    long inside = 0, outside = 0;
    // Pixels cut off by the window region (the rounded corners) are not the window's.
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    const bool shaped = GetWindowRgn(h, shape) != ERROR;
    for (int y = strip.top; y < strip.bottom; ++y)
        for (int x = strip.left; x < strip.right; ++x) {
            if (shaped && !PtInRegion(shape, x, y)) continue;
            if (GetPixel(dc, x, y) == marker) continue;
            const POINT p{x, y};
            ++(PtInRect(&bounds, p) ? inside : outside);
        }
    DeleteObject(shape);
    DeleteObject(brush);
    ReleaseDC(h, dc);
    std::printf("hover onto the close button: median %.3f ms; off it: median %.3f ms; pixels repainted in the "
                "title strip: %ld inside the button's %ldx%ld bounds, %ld outside\n",
                Median(onto_t), Median(off_t), inside, bounds.right - bounds.left, bounds.bottom - bounds.top,
                outside);
    TSkinManagerLink::Destroy();
    return 0;
}

// The window that ends a start: a skinned one, or the bare or main window unskinned.
bool EndsStart(HWND h, bool skinned) {
    if (skinned) return AnswersOne(h, SKM_ISSKINNED);
    const std::string name = ClassOf(h);
    return name == "WlBareWindow" || name == "TFmain";
}

// Starts `exe` and waits until a visible top-level window of the new process is shown (and,
// with `skinned`, answers SKM_ISSKINNED); returns the time taken, then closes the process.
double StartOnce(const std::string& exe, bool skinned) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string command = "\"" + exe + "\"";
    const std::string dir = exe.substr(0, exe.find_last_of("/\\"));
    const double start = NowMs();
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi)) {
        std::fprintf(stderr, "frame_bench: cannot start %s (error %lu)\n", exe.c_str(), GetLastError());
        return -1;
    }
    HWND shown = nullptr;
    double took = -1;
    while (NowMs() - start < 30000) {
        shown = FindShownWindow(pi.dwProcessId, [skinned](HWND h) { return EndsStart(h, skinned); });
        if (shown) {
            took = NowMs() - start;
            break;
        }
        Sleep(1);
    }
    if (shown) PostMessageA(shown, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return took;
}

int Startup(const std::string& program, const std::string& bare, int runs) {
    std::vector<double> p, b;
    StartOnce(bare, false); // warm up the loader's caches for both
    StartOnce(program, true);
    for (int i = 0; i < runs; ++i) {
        b.push_back(StartOnce(bare, false));
        p.push_back(StartOnce(program, true));
    }
    if (std::find(p.begin(), p.end(), -1.0) != p.end() || std::find(b.begin(), b.end(), -1.0) != b.end()) {
        for (size_t i = 0; i < p.size(); ++i)
            std::fprintf(stderr, "run %zu: program %.1f ms, bare %.1f ms\n", i, p[i], b[i]);
        std::fprintf(stderr, "frame_bench: a start did not reach its window (-1)\n");
        return 1;
    }
    const double mp = Median(p), mb = Median(b);
    std::printf("start-up to a shown window (median of %d): program %.1f ms, bare window %.1f ms, ratio %.2f\n",
                runs, mp, mb, mp / mb);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "ncpaint";
    if (mode == "ncpaint") return NcPaint(argc > 2 ? argv[2] : WL_DEFAULT_SKIN);
    if (mode == "startup" && argc > 3) return Startup(argv[2], argv[3], argc > 4 ? std::atoi(argv[4]) : 9);
    std::fprintf(stderr, "usage: frame_bench ncpaint [ARCHIVE] | startup PROGRAM BARE [RUNS]\n");
    return 2;
}
