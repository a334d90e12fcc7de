// Timing harness (run under Wine): repainting a skinned scroll bar against the control's own
// scroll-bar paint in the same run.
//   scroll_paint_bench [ARCHIVE] [RUNS]
// Two stand-alone horizontal scroll bars of the same size and values on one form, one left to
// itself and one covered by its skinned overlay; then the vertical bar of a list box, unskinned
// and skinned. Each repaint is synchronous (RedrawWindow with RDW_UPDATENOW, then GdiFlush),
// own and skinned taken in turns; medians per paint and the ratio skinned / own are printed.
#include "skin/controls/scrollbars.h"
#include "skin/data/skin_data.h"
#include "skin/forms/skin_manage.h"
#include "ui/forms.h"
#include "ui/stdctrls.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "bench/bench_timing.h"

using namespace wl;
using namespace wl::bench;

namespace {

// Medians of `runs` synchronous repaints done by `own` and by `skinned`, taken in turns so that
// a change of the machine's load hits both alike (after one warm-up of each).
std::pair<double, double> MedianRepaints(const std::function<void()>& own, const std::function<void()>& skinned,
                                         int runs) {
    own();
    skinned();
    std::vector<double> a, b;
    for (int i = 0; i < runs; ++i) {
        double start = NowMs();
        own();
        GdiFlush();
        a.push_back(NowMs() - start);
        start = NowMs();
        skinned();
        GdiFlush();
        b.push_back(NowMs() - start);
    }
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    return {a[a.size() / 2], b[b.size() / 2]};
}

void Repaint(HWND window, UINT extra = 0) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | extra);
}

void Line(const char* what, std::pair<double, double> medians) {
    const auto [own, skinned] = medians;
    std::printf("%-48s own %8.4f ms   skinned %8.4f ms   ratio %5.2f\n", what, own, skinned,
                own > 0 ? skinned / own : 0.0);
}

} // namespace

int main(int argc, char** argv) {
    const char* archive = argc > 1 ? argv[1] : WL_DEFAULT_SKIN;
    const int runs = argc > 2 ? std::max(10, std::atoi(argv[2])) : 1000;
    std::ifstream f(archive, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    Application->Initialize();
    TSkinData data(nullptr);
    data.SkinBytes = bytes;
    if (!data.LoadSkin() || data.NotLoaded) {
        std::fprintf(stderr, "scroll_paint_bench: cannot load %s\n", archive);
        return 1;
    }

    TForm form(nullptr);
    form.SetBounds(20, 20, 520, 300);
    form.SetCaption("Scroll paint bench");
    const int height = GetSystemMetrics(SM_CYHSCROLL);
    auto makeBar = [&](int top) {
        auto* bar = new TScrollBar(&form);
        bar->SetParent(&form);
        bar->SetBounds(10, top, 400, height);
        bar->SetParams(30, 0, 100);
        bar->SetPageSize(10);
        return bar;
    };
    TScrollBar* own = makeBar(10);
    TScrollBar* skinned = makeBar(40);
    auto makeList = [&](int left) {
        auto* list = new TListBox(&form);
        list->SetParent(&form);
        list->SetBounds(left, 80, 150, 160);
        for (int i = 0; i < 100; ++i) list->Items().Add("item " + std::to_string(i));
        return list;
    };
    TListBox* ownList = makeList(10);
    TListBox* skinnedList = makeList(200);
    form.Show();
    Pump();

    TSkinControl* barSkin = CreateCompanion("TSkinScControl", skinned);
    TSkinControl* listSkin = CreateCompanion("TSkinScrollbar", skinnedList);
    if (!barSkin || !listSkin) {
        std::fprintf(stderr, "scroll_paint_bench: scroll-bar companions not linked in\n");
        return 1;
    }
    barSkin->Attach(TAttachContext::ForScrollControl(skinned, nullptr, &data, nullptr));
    listSkin->Attach(TAttachContext::ForScroll(skinnedList, nullptr, &data, nullptr));
    SendMessageW(ownList->Handle(), LB_SETTOPINDEX, 40, 0);
    SendMessageW(skinnedList->Handle(), LB_SETTOPINDEX, 40, 0);
    Pump();
    TWScrollbar* overlay = dynamic_cast<TSkinScControl*>(barSkin)->FBar.get();
    TWScrollbar* listOverlay = dynamic_cast<TSkinScrollbar*>(listSkin)->FVertBar.get();
    if (!overlay || !overlay->FShown || !listOverlay || !listOverlay->FShown) {
        std::fprintf(stderr, "scroll_paint_bench: overlays not shown\n");
        return 1;
    }

    std::printf("scroll-bar repaint, median of %d synchronous paints each\n", runs);
    const HWND ownBar = own->Handle(), skinnedBar = skinned->Handle(), bar = overlay->HandleValue();
    const HWND ownBox = ownList->Handle(), skinnedBox = skinnedList->Handle(), box = listOverlay->HandleValue();
    // The bar alone: the control paints its own bar; the overlay paints the skinned one.
    Line("stand-alone bar 400 px: the bar's paint", MedianRepaints([&] { Repaint(ownBar); }, [&] { Repaint(bar); }, runs));
    // The control's repaint as a whole: for the skinned one, the control's paint message and
    // the overlay's paint that its companion asks for.
    Line("stand-alone bar 400 px: control repaint", MedianRepaints([&] { Repaint(ownBar); },
                                                                   [&] {
                                                                       Repaint(skinnedBar);
                                                                       UpdateWindow(bar);
                                                                   },
                                                                   runs));
    // A list box with its frame and vertical bar, repainted whole; skinned, the overlay too.
    Line("list box 150 x 160 with bar: whole repaint", MedianRepaints([&] { Repaint(ownBox, RDW_FRAME); },
                                                                      [&] {
                                                                          Repaint(skinnedBox, RDW_FRAME);
                                                                          UpdateWindow(box);
                                                                      },
                                                                      runs));

    delete barSkin;
    delete listSkin;
    return 0;
}
