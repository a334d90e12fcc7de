// Timing harness (run under Wine) for skinned menus:
//   menu_bench [RUNS]   opening a drop-down of 20 items from the menu bar, from the click to
//                       the end of the drop-down's first paint (every item painted), on a
//                       skinned window and on an unskinned one, alternately in the same run:
//                       both medians and their ratio
#include "skin/data/skin_data.h"
#include "skin/forms/menu_bar.h"
#include "skin/forms/skin_manage.h"
#include "skin/forms/win_skin_form.h"
#include "ui/forms.h"
#include "ui/menus.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>
#include "bench/bench_timing.h"

using namespace wl;
using namespace wl::bench;

namespace {

double g_painted = 0; // when the drop-down's first paint returned
HHOOK g_cbt = nullptr;

// Outermost subclass of a menu window: the end of its first WM_PAINT is the end of the
// measurement (the items are drawn inside it), and the menu is closed right after.
LRESULT CALLBACK PaintWatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR) {
    const LRESULT r = DefSubclassProc(hwnd, msg, wParam, lParam);
    if (msg == WM_PAINT && g_painted == 0) {
        g_painted = NowMs();
        EndMenu();
    }
    if (msg == WM_NCDESTROY) RemoveWindowSubclass(hwnd, PaintWatch, id);
    return r;
}

// Installed before the manager's hook, so it runs after it: its subclass goes on top of the
// skin's.
LRESULT CALLBACK CbtWatch(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        char name[16] = {};
        GetClassNameA(reinterpret_cast<HWND>(wParam), name, sizeof name);
        if (std::string(name) == "#32768") SetWindowSubclass(reinterpret_cast<HWND>(wParam), PaintWatch, 1, 0);
    }
    return CallNextHookEx(g_cbt, code, wParam, lParam);
}

std::unique_ptr<TForm> MakeForm(int left, const char* caption) {
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBounds(left, 40, 360, 300);
    form->SetCaption(caption);
    auto* menu = new TMainMenu(form.get());
    auto* file = new TMenuItem(form.get());
    file->SetCaption("&File");
    menu->Items()->Add(file);
    for (int i = 0; i < 20; ++i) {
        auto* item = new TMenuItem(form.get());
        item->SetCaption(i % 7 == 6 ? "-" : "Item number &" + std::to_string(i));
        if (i % 5 == 0) item->SetShortCut(TextToShortCut("Ctrl+" + std::string(1, static_cast<char>('A' + i))));
        if (i % 4 == 1) item->SetChecked(true);
        if (i % 9 == 8) item->SetEnabled(false);
        file->Add(item);
    }
    form->SetMenu(menu);
    return form;
}

// One opening: the click, the menu loop until the first paint ended it.
double Open(HWND window, POINT screen) {
    g_painted = 0;
    const double start = NowMs();
    SendMessageA(window, WM_NCLBUTTONDOWN, HTMENU, MAKELPARAM(screen.x, screen.y));
    const double end = g_painted;
    Pump();
    return end > 0 ? end - start : -1;
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(10, std::atoi(argv[1])) : 200;
    std::ifstream f(WL_DEFAULT_SKIN, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    Application->Initialize();
    TSkinManage::Register();
    TSkinData data(nullptr);
    data.SkinBytes = bytes;
    if (!data.LoadSkin() || data.NotLoaded) {
        std::fprintf(stderr, "menu_bench: cannot load %s\n", WL_DEFAULT_SKIN);
        return 1;
    }
    auto* manager = dynamic_cast<TSkinManage*>(&TSkinManagerLink::Create());
    manager->AddSkinData(&data);
    manager->MarkRunning();
    manager->SetSkinning(false);
    std::unique_ptr<TForm> plain = MakeForm(20, "Unskinned"), skinned = MakeForm(400, "Skinned");
    plain->Show();
    skinned->Show();
    Pump();
    manager->SetSkinning(true);
    if (!manager->SkinWindow(skinned->Handle())) {
        std::fprintf(stderr, "menu_bench: window not skinned\n");
        return 1;
    }
    for (int i = 0; i < 30; ++i) {
        Pump();
        Sleep(2);
    }
    g_cbt = SetWindowsHookExA(WH_CBT, CbtWatch, nullptr, GetCurrentThreadId());
    manager->InstallHook();
    TWinSkinForm* skin = manager->FindForm(skinned->Handle());
    if (!skin || !skin->MenuBar() || !skin->MenuBar()->Button(0)) {
        std::fprintf(stderr, "menu_bench: no skinned menu bar\n");
        return 1;
    }
    RECT wr;
    GetWindowRect(skinned->Handle(), &wr);
    const RECT b = skin->MenuBar()->Button(0)->Bounds();
    const POINT skinnedPoint{wr.left + (b.left + b.right) / 2, wr.top + (b.top + b.bottom) / 2};
    RECT item;
    GetMenuItemRect(plain->Handle(), GetMenu(plain->Handle()), 0, &item);
    const POINT plainPoint{(item.left + item.right) / 2, (item.top + item.bottom) / 2};

    std::vector<double> skinnedTimes, plainTimes;
    int failed = 0;
    for (int i = 0; i < runs + 1; ++i) {
        // Unskinned first, then skinned; the manager skins no popup of the unskinned window.
        manager->SetSkinning(false);
        SetForegroundWindow(plain->Handle());
        Pump();
        const double p = Open(plain->Handle(), plainPoint);
        manager->SetSkinning(true);
        SetForegroundWindow(skinned->Handle());
        Pump();
        const double s = Open(skinned->Handle(), skinnedPoint);
        if (i == 0) continue; // warm-up
        if (p < 0 || s < 0) {
            ++failed;
            continue;
        }
        plainTimes.push_back(p);
        skinnedTimes.push_back(s);
    }
    const double ms = Median(skinnedTimes), mp = Median(plainTimes);
    std::printf("drop-down of 20 items, click to last item painted (%zu runs, %d incomplete):\n", skinnedTimes.size(),
                failed);
    std::printf("  unskinned: median %.3f ms, best %.3f ms\n", mp,
                plainTimes.empty() ? 0 : *std::min_element(plainTimes.begin(), plainTimes.end()));
    std::printf("  skinned:   median %.3f ms, best %.3f ms\n", ms,
                skinnedTimes.empty() ? 0 : *std::min_element(skinnedTimes.begin(), skinnedTimes.end()));
    std::printf("  ratio skinned / unskinned: %.2f\n", mp > 0 ? ms / mp : 0);
    UnhookWindowsHookEx(g_cbt);
    skinned.reset();
    plain.reset();
    TSkinManagerLink::Destroy();
    return 0;
}
