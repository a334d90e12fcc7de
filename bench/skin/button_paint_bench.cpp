// Timing harness (run under Wine): repaint of a skinned push button against the same push
// button painted by the system, in one run and interleaved, so both see the same machine load.
//   button_paint_bench [ARCHIVE] [RUNS]
// Prints the median and best time per paint of each and the ratio of the medians.
#include "bench/bench_timing.h"
#include "skin/controls/skin_control.h"
#include "skin/data/skin_data.h"
#include "ui/forms.h"
#include "ui/stdctrls.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace wl;
using namespace wl::bench;

namespace {

// One full repaint, erase included, done before returning.
double PaintOnce(HWND window) {
    const double start = NowMs();
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    GdiFlush();
    return NowMs() - start;
}

} // namespace

int main(int argc, char** argv) {
    const char* archive = argc > 1 ? argv[1] : WL_DEFAULT_SKIN;
    const int runs = argc > 2 ? std::max(10, std::atoi(argv[2])) : 1000;
    std::ifstream f(archive, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    Application->Initialize();
    TSkinData data(nullptr);
    data.SkinBytes = bytes;
    if (!data.LoadSkin() || data.NotLoaded) {
        std::fprintf(stderr, "button_paint_bench: cannot load %s\n", archive);
        return 1;
    }
    TForm form(nullptr);
    form.SetBounds(10, 10, 360, 140);
    form.SetCaption("Button bench");
    auto* plain = new TButton(&form);
    plain->SetParent(&form);
    plain->SetBounds(20, 30, 120, 32);
    plain->SetCaption("Look up");
    auto* skinned = new TButton(&form);
    skinned->SetParent(&form);
    skinned->SetBounds(180, 30, 120, 32);
    skinned->SetCaption("Look up");
    form.Show();
    Pump();
    TSkinControl* companion = CreateCompanion("TSkinButton", skinned);
    if (!companion) {
        std::fprintf(stderr, "button_paint_bench: TSkinButton is not linked in\n");
        return 1;
    }
    companion->Attach(TAttachContext::ForControl(nullptr, &data, nullptr, false));
    Pump();

    std::vector<double> own, skin;
    for (int i = 0; i < 20; ++i) { // warm up both
        PaintOnce(plain->Handle());
        PaintOnce(skinned->Handle());
    }
    for (int i = 0; i < runs; ++i) {
        own.push_back(PaintOnce(plain->Handle()));
        skin.push_back(PaintOnce(skinned->Handle()));
        if (i % 100 == 0) Pump();
    }
    const double ownMedian = Median(own), skinMedian = Median(skin);
    std::printf("push button 120 x 32, %d paints each, interleaved\n", runs);
    std::printf("%-28s median %8.4f ms   best %8.4f ms\n", "unskinned (system paint)", ownMedian,
                *std::min_element(own.begin(), own.end()));
    std::printf("%-28s median %8.4f ms   best %8.4f ms\n", "skinned (TSkinButton)", skinMedian,
                *std::min_element(skin.begin(), skin.end()));
    std::printf("ratio skinned / unskinned: %.2f\n", ownMedian > 0 ? skinMedian / ownMedian : 0.0);
    return 0;
}
