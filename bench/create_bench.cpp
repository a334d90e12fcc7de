// Timing harness (run under Wine): what window creation costs, and what the library's creation
// hook (a thread CBT hook that attaches the control to its window at HCBT_CREATEWND) adds.
// Each line times COUNT child windows of class BUTTON created in a row (destroyed afterwards,
// untimed), a hundred to a parent (Wine's cost of a window grows with its siblings):
//   plain             CreateWindowEx alone
//   hook per window   a CBT hook installed before and removed after every CreateWindowEx
//   one hook held     one CBT hook installed for all of them (its calls are the only cost)
//   TButton           the library's own buttons, each created on its own (TWinControl::CreateWnd)
//   TButton in form   the same buttons as children of a form whose window is created after
//                     them: the form's window and theirs in one go
//   create_bench [COUNT] [RUNS]   COUNT defaults to 1000, RUNS to 5
#include "ui/forms.h"
#include "ui/stdctrls.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>
#include "bench/bench_timing.h"

using namespace wl;
using wl::bench::NowMs;
using wl::bench::Pump;

namespace {

LRESULT CALLBACK PassHook(int code, WPARAM wParam, LPARAM lParam) {
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

constexpr int kPerParent = 100;

HWND Button(HWND parent, int i) {
    return CreateWindowExA(0, "BUTTON", "Button", WS_CHILD | WS_VISIBLE, (i % 20) * 10,
                           (i / 20) * 4, 75, 25, parent, nullptr, GetModuleHandleA(nullptr),
                           nullptr);
}

// Median of RUNS timings of `create` (COUNT windows), each followed by `destroy`, untimed.
double Time(int runs, const std::function<void()>& create, const std::function<void()>& destroy) {
    std::vector<double> t;
    create(); // warm up
    destroy();
    for (int r = 0; r < runs; ++r) {
        double start = NowMs();
        create();
        t.push_back(NowMs() - start);
        destroy();
        Pump();
    }
    return wl::bench::Median(t);
}

} // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    if (count <= 0 || runs <= 0) {
        std::fprintf(stderr, "usage: create_bench [COUNT] [RUNS]\n");
        return 2;
    }
    Application->Initialize();
    std::vector<HWND> parents;
    for (int i = 0; i < count; i += kPerParent)
        parents.push_back(CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 10, 10, 400, 300,
                                          nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
    auto parent = [&](int i) { return parents[static_cast<size_t>(i / kPerParent)]; };
    std::vector<HWND> windows;
    auto destroyWindows = [&] {
        for (HWND w : windows)
            DestroyWindow(w);
        windows.clear();
    };
    const DWORD thread = GetCurrentThreadId();

    double plain = Time(
        runs,
        [&] {
            for (int i = 0; i < count; ++i)
                windows.push_back(Button(parent(i), i));
        },
        destroyWindows);
    double perWindow = Time(
        runs,
        [&] {
            for (int i = 0; i < count; ++i) {
                HHOOK hook = SetWindowsHookExA(WH_CBT, PassHook, nullptr, thread);
                windows.push_back(Button(parent(i), i));
                UnhookWindowsHookEx(hook);
            }
        },
        destroyWindows);
    double held = Time(
        runs,
        [&] {
            HHOOK hook = SetWindowsHookExA(WH_CBT, PassHook, nullptr, thread);
            for (int i = 0; i < count; ++i)
                windows.push_back(Button(parent(i), i));
            UnhookWindowsHookEx(hook);
        },
        destroyWindows);

    std::vector<std::unique_ptr<TForm>> forms;
    for (int i = 0; i < count; i += kPerParent) {
        forms.push_back(std::make_unique<TForm>(nullptr));
        forms.back()->SetBounds(10, 10, 400, 300);
        forms.back()->Show();
    }
    std::vector<std::unique_ptr<TButton>> buttons;
    double library = Time(
        runs,
        [&] {
            for (int i = 0; i < count; ++i) {
                auto b = std::make_unique<TButton>(nullptr);
                b->SetBounds((i % 20) * 10, (i / 20) * 4, 75, 25);
                b->SetParent(forms[static_cast<size_t>(i / kPerParent)].get());
                b->Handle();
                buttons.push_back(std::move(b));
            }
        },
        [&] { buttons.clear(); });

    std::vector<std::unique_ptr<TButton>> children;
    std::vector<std::unique_ptr<TForm>> holders;
    double inForm = Time(
        runs,
        [&] {
            for (int i = 0; i < count; ++i) {
                if (i % kPerParent == 0) {
                    if (!holders.empty()) holders.back()->Handle();
                    holders.push_back(std::make_unique<TForm>(nullptr));
                    holders.back()->SetBounds(10, 10, 400, 300);
                }
                auto b = std::make_unique<TButton>(nullptr);
                b->SetBounds((i % 20) * 10, (i / 20) * 4, 75, 25);
                b->SetParent(holders.back().get());
                children.push_back(std::move(b));
            }
            holders.back()->Handle();
        },
        [&] {
            children.clear();
            holders.clear();
        });

    std::printf("%d BUTTON windows (median of %d runs):\n", count, runs);
    std::printf("  plain CreateWindowEx   %9.1f ms\n", plain);
    std::printf("  hook per window        %9.1f ms  (+%.1f %%)\n", perWindow,
                100.0 * (perWindow - plain) / plain);
    std::printf("  one hook held          %9.1f ms  (+%.1f %%)\n", held,
                100.0 * (held - plain) / plain);
    std::printf("  TButton                %9.1f ms\n", library);
    std::printf("  TButton in form        %9.1f ms  (forms and objects included)\n", inForm);
    for (HWND p : parents)
        DestroyWindow(p);
    return 0;
}
