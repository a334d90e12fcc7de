// Timing harness (run under Wine): attaching companions to a shown form with 100 controls of
// mixed kinds (buttons, edits, memos, combo boxes, panels, group boxes, check boxes, list boxes,
// scroll bars, progress and track bars). Reports the median and best time of the whole scan
// (the form's controls found, decided and attached), and of the scan followed by one full
// repaint, with the number of companions the scan made (kinds not linked in make none).
//   attach_bench [RUNS] [KIND]   KIND 0..9: a hundred controls of that one kind (button, edit,
//                                memo, combo box, panel, group box, check box, list box, scroll
//                                bar, progress/track bar) to see what each kind costs
#include "bench/bench_timing.h"
#include "skin/controls/discovery.h"
#include "skin/controls/skin_control.h"
#include "skin/data/skin_data.h"
#include "skin/forms/skin_manage.h"
#include "skin/forms/win_skin_form.h"
#include "ui/comctrls.h"
#include "ui/extctrls.h"
#include "ui/forms.h"
#include "ui/stdctrls.h"

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

template <class T>
T* Place(TForm& form, int index) {
    auto* c = new T(&form);
    c->SetParent(&form);
    const int col = index % 10, row = index / 10;
    c->SetBounds(8 + col * 98, 8 + row * 62, 90, 54);
    return c;
}

// Ten controls of each of ten kinds; with `onlyKind` 0..9, a hundred of that one kind.
void Populate(TForm& form, int onlyKind) {
    for (int i = 0; i < 100; ++i) {
        switch (onlyKind >= 0 ? onlyKind : i % 10) {
        case 0: Place<TButton>(form, i)->SetCaption("Button"); break;
        case 1: Place<TEdit>(form, i)->SetText("Edit"); break;
        case 2: Place<TMemo>(form, i)->SetText("Memo\r\nline"); break;
        case 3: {
            auto* c = Place<TComboBox>(form, i);
            c->Items().Add("one");
            c->Items().Add("two");
            break;
        }
        case 4: Place<TPanel>(form, i)->SetCaption("Panel"); break;
        case 5: Place<TGroupBox>(form, i)->SetCaption("Group"); break;
        case 6: Place<TCheckBox>(form, i)->SetCaption("Check"); break;
        case 7: {
            auto* c = Place<TListBox>(form, i);
            for (int k = 0; k < 8; ++k) c->Items().Add("item " + std::to_string(k));
            break;
        }
        case 8: Place<TScrollBar>(form, i); break;
        case 9:
            if ((i / 10) % 2) Place<TProgressBar>(form, i)->SetPosition(40);
            else Place<TTrackBar>(form, i);
            break;
        }
    }
}

// Frees every companion of the form object (giving each control its own look back), so the
// next scan starts from nothing.
void FreeCompanions(TWinSkinForm& f) { f.Companions().FreeAll(); }

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
    const int onlyKind = argc > 2 ? std::atoi(argv[2]) : -1;
    std::ifstream in(WL_DEFAULT_SKIN, std::ios::binary);
    Application->Initialize();
    TSkinManage::Register();
    TSkinData data(nullptr);
    data.SkinBytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!data.LoadSkin() || data.NotLoaded) {
        std::fprintf(stderr, "attach_bench: cannot load %s\n", WL_DEFAULT_SKIN);
        return 1;
    }
    auto* manager = dynamic_cast<TSkinManage*>(&TSkinManagerLink::Create());
    manager->AddSkinData(&data);
    manager->SetSkinning(true);
    manager->MarkRunning();
    TForm form(nullptr);
    form.SetBounds(10, 10, 1000, 680);
    form.SetCaption("Attach bench");
    Populate(form, onlyKind);
    form.Show();
    Pump();
    HWND h = form.Handle();
    if (!manager->SkinWindow(h)) {
        std::fprintf(stderr, "attach_bench: window not skinned\n");
        return 1;
    }
    TWinSkinForm* f = manager->FindForm(h);
    for (int i = 0; i < 50 && f->State() != sfsRunning; ++i) {
        Pump();
        Sleep(1);
    }
    Pump();
    const size_t companions = f->Controls().size();

    std::vector<double> scan, scanPaint;
    FreeCompanions(*f);
    ScanForm(*f); // warm up
    for (int i = 0; i < runs; ++i) {
        FreeCompanions(*f);
        Pump();
        double start = NowMs();
        ScanForm(*f);
        scan.push_back(NowMs() - start);
        FreeCompanions(*f);
        Pump();
        start = NowMs();
        ScanForm(*f);
        RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Pump();
        scanPaint.push_back(NowMs() - start);
    }
    std::printf("controls on the form                          100 (%zu companions made by a scan)\n",
                f->Controls().size());
    std::printf("%-44s median %8.3f ms   best %8.3f ms   (%d runs)\n", "scan (find, decide, attach)", Median(scan),
                Best(scan), runs);
    std::printf("%-44s median %8.3f ms   best %8.3f ms   (%d runs)\n", "scan + full repaint", Median(scanPaint),
                Best(scanPaint), runs);
    std::printf("companions at the skinned start                %zu; goal for the scan: under 20 ms\n", companions);
    TSkinManagerLink::Destroy();
    return 0;
}
