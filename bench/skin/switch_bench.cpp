// Timing harness (run under Wine): the controls gallery switched from one skin to another.
// Each run asks the gallery's skin component for the other archive (read, loaded, handed to the
// manager), carries the manager's re-skin out at once and repaints the window with all its
// children; the time runs from the request to the last window repainted. The two archives are
// the default skin and the build's second skin (other colours and geometry); without it the
// default archive is loaded again each time. Above the total, the median of each phase: the
// archive loaded (read, decoded, records filled), the manager's re-skin (frame metrics, colours,
// every companion told), and the repaint of the window with all its children.
//   switch_bench [RUNS] [OTHER_ARCHIVE]
#include "bench/bench_timing.h"
#include "skin/forms/skin_manage.h"
#include "skin/forms/win_skin_form.h"
#include "tools/gallery/gallery_main.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using namespace wl;
using namespace wl::bench;

namespace {

int CountControls(const TWinControl* parent) {
    int n = 0;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        ++n;
        if (auto* w = dynamic_cast<const TWinControl*>(parent->Controls(i))) n += CountControls(w);
    }
    return n;
}

bool FileExists(const std::string& path) {
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(2, std::atoi(argv[1])) : 20;
    std::string other = argc > 2 ? argv[2] : WL_OTHER_SKIN;
    const std::string first = WL_DEFAULT_SKIN;
    const bool sameArchive = !FileExists(other);
    if (sameArchive) other = first;

    TSkinManage::Register();
    Application->Initialize();
    auto form = std::make_unique<TGalleryMain>(nullptr);
    form->ReadDefinitionResource();
    form->SetBounds(10, 10, form->Width(), form->Height());
    if (!form->UseSkin(first)) {
        std::fprintf(stderr, "switch_bench: cannot load %s\n", first.c_str());
        return 1;
    }
    form->Show();
    TSkinManage* m = TSkinManage::Instance();
    m->TimerTick();
    TWinSkinForm* f = m->FindForm(form->Handle());
    if (!f) {
        std::fprintf(stderr, "switch_bench: the gallery is not skinned\n");
        return 1;
    }
    for (int i = 0; i < 200 && f->State() != sfsRunning; ++i) {
        Pump();
        Sleep(1);
    }
    Pump();
    // Every page is shown once, so every control has its window and its companion.
    for (int i = 0; i < form->PageControl1->PageCount(); ++i) form->PageControl1->SetActivePageIndex(i);
    form->PageControl1->SetActivePageIndex(0);
    Pump();

    std::vector<double> t, load, reskin, repaint;
    for (int i = 0; i <= runs; ++i) {
        const std::string& next = (i % 2 == 0) ? other : first;
        const double start = NowMs();
        form->SkinData1->SetSkinFile(next); // reads, loads and asks the manager to re-skin
        const double loaded = NowMs();
        m->TimerTick(); // what the manager's timer does when it fires
        const double reskinned = NowMs();
        Pump();
        RedrawWindow(form->Handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Pump();
        const double end = NowMs();
        if (form->SkinData1->NotLoaded) {
            std::fprintf(stderr, "switch_bench: cannot load %s\n", next.c_str());
            return 1;
        }
        if (i == 0) continue; // the first switch warms the caches up
        t.push_back(end - start);
        load.push_back(loaded - start);
        reskin.push_back(reskinned - loaded);
        repaint.push_back(end - reskinned);
    }
    std::sort(t.begin(), t.end());
    std::printf("gallery controls (all pages)                  %d, %zu companions\n", CountControls(form.get()),
                f->Controls().size());
    std::printf("archives                                       %s <-> %s%s\n", first.c_str(), other.c_str(),
                sameArchive ? " (no second archive: the same one reloaded)" : "");
    const struct {
        const char* what;
        const std::vector<double>& times;
    } phases[] = {{"  archive loaded (read, decode, records)", load},
                  {"  re-skin (metrics, colours, companions)", reskin},
                  {"  repaint (window and all children)", repaint}};
    for (const auto& p : phases)
        std::printf("%-44s median %8.3f ms   best %8.3f ms\n", p.what, Median(p.times), Best(p.times));
    std::printf("%-44s median %8.3f ms   best %8.3f ms   (%d runs)\n", "skin switch, request to last repaint",
                t[t.size() / 2], t.front(), runs);
    form.reset();
    TSkinManagerLink::Destroy();
    return 0;
}
