// Timing harness (run under Wine): loading the default skin from its stored "SkinStream" bytes
// into a finished TSkinData, and rendering the four borders of an 800 x 600 window frame with
// BuildElementImage and copying them to a window-sized bitmap, as frame painting does.
//   skin_bench [ARCHIVE]   prints the median and best time of each, in milliseconds
#include "skin/data/skin_data.h"
#include "skin/data/skin_slots.h"
#include "skin/draw/skin_draw.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <vector>
#include "bench/bench_timing.h"

using namespace wl;
using wl::bench::NowMs;
using wl::bench::Report;

namespace {

// The frame of a window of w x h painted as the frame painter does: each border rendered
// into a bitmap of its own and copied opaquely (`direct` false), or drawn straight at its place.
void PaintFrame(TSkinData& d, HDC target, int w, int h, bool direct = false) {
    auto thickness = [](TDataSkinBorder& b, bool vertical) {
        const int frames = std::max(1, b.Frame);
        return vertical ? b.Image.Height() / frames : b.Image.Width() / frames;
    };
    const int top = thickness(*d.BorderTop, true), bottom = thickness(*d.BorderBottom, true);
    const int left = thickness(*d.BorderLeft, false), right = thickness(*d.BorderRight, false);
    struct Piece {
        const char* slot;
        TDataSkinBorder* b;
        RECT r;
    } pieces[] = {{"BorderTop", d.BorderTop.get(), {0, 0, w, top}},
                  {"BorderLeft", d.BorderLeft.get(), {0, top, left, h - bottom}},
                  {"BorderRight", d.BorderRight.get(), {w - right, top, w, h - bottom}},
                  {"BorderBottom", d.BorderBottom.get(), {0, h - bottom, w, h}}};
    for (const Piece& p : pieces) {
        TElementDraw what = SlotDraw(*FindSlot(p.slot), *p.b);
        what.Transparent = false;
        if (direct) {
            DrawElement(target, p.r, what);
            continue;
        }
        auto img = BuildElementImage(p.r, what);
        BitBlt(target, p.r.left, p.r.top, img->Width(), img->Height(), img->Canvas().Handle(), 0,
               0, SRCCOPY);
    }
}

} // namespace

int main(int argc, char** argv) {
    const char* path = argc > 1 ? argv[1] : WL_DEFAULT_SKIN;
    std::ifstream f(path, std::ios::binary);
    std::string archive((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    if (archive.empty()) {
        std::fprintf(stderr, "skin_bench: cannot read %s\n", path);
        return 1;
    }
    std::string stream(4, '\0');
    const int32_t n = static_cast<int32_t>(archive.size());
    std::memcpy(stream.data(), &n, 4);
    stream += archive;
    std::printf("skin archive: %d bytes\n", n);

    Report("load from SkinStream to TSkinData", 30, [&] {
        TSkinData d(nullptr);
        d.ReadBinaryProperty("SkinStream", stream);
        if (d.NotLoaded) std::fprintf(stderr, "skin_bench: the skin did not load\n");
    });

    TSkinData d(nullptr);
    d.ReadBinaryProperty("SkinStream", stream);
    TBitmap window(800, 600, pf24bit);
    HDC target = window.Canvas().Handle();
    Report("800x600 frame (four borders)", 200, [&] { PaintFrame(d, target, 800, 600); });
    // Title-bar and MDI buttons as their painters draw them: one keyed cell each.
    Report("800x600 frame (four borders), DrawElement", 200, [&] {
        PaintFrame(d, target, 800, 600, true);
    });
    // Control faces as their companions draw them: 60 push buttons of 75 x 25, keyed.
    Report("60 push buttons 75x25, keyed", 200, [&] {
        TDataSkinButton& b = *d.Buttons;
        for (int i = 0; i < 60; ++i) {
            const int x = (i % 10) * 78, y = 40 + (i / 10) * 28;
            TElementDraw face = ElementDraw(b, 1 + i % 5);
            face.Transparent = true;
            DrawElement(target, {x, y, x + 75, y + 25}, face);
        }
    });
    Report("11 title and MDI button cells, keyed", 200, [&] {
        for (auto& b : d.SysButtons)
            if (!b->Image.Empty()) {
                TElementDraw cell = ElementDraw(*b);
                cell.Transparent = true;
                DrawFrameStretched(target, {700, 4, 724, 22}, cell);
            }
    });
    return 0;
}
