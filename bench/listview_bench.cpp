// Timing harness (run under Wine): a report-style list view with two columns, items added one
// by one (each with a caption and a sub-item), then deleted one by one from the front; and the
// same done with the system's messages alone on a bare list view window, as the yardstick.
//   listview_bench [ITEMS] [RUNS]   ITEMS defaults to 1000, RUNS to 3
#include "ui/comctrls.h"
#include "ui/forms.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include "bench/bench_timing.h"

using namespace wl;
using wl::bench::NowMs;
using wl::bench::Pump;

int main(int argc, char** argv) {
    const int items = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 3;
    if (items <= 0 || runs <= 0) {
        std::fprintf(stderr, "usage: listview_bench [ITEMS] [RUNS]\n");
        return 2;
    }
    Application->Initialize();
    TForm form(nullptr);
    form.SetBounds(10, 10, 400, 300);
    form.Show();
    Pump();
    for (int run = 0; run < runs; ++run) {
        HWND bare = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                                    WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 250, 150,
                                    form.Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
        for (int c = 0; c < 2; ++c) {
            LVCOLUMNA col{};
            col.mask = LVCF_TEXT | LVCF_WIDTH;
            col.cx = 100;
            col.pszText = const_cast<char*>("column");
            SendMessageA(bare, LVM_INSERTCOLUMNA, static_cast<WPARAM>(c),
                         reinterpret_cast<LPARAM>(&col));
        }
        double start = NowMs();
        for (int i = 0; i < items; ++i) {
            std::string text = "word " + std::to_string(i), count = std::to_string(i);
            LVITEMA li{};
            li.mask = LVIF_TEXT;
            li.iItem = i;
            li.pszText = text.data();
            SendMessageA(bare, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&li));
            li.iSubItem = 1;
            li.pszText = count.data();
            SendMessageA(bare, LVM_SETITEMTEXTA, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(&li));
        }
        double added = NowMs() - start;
        start = NowMs();
        for (int i = 0; i < items; ++i)
            SendMessageA(bare, LVM_DELETEITEM, 0, 0);
        double deleted = NowMs() - start;
        std::printf(
            "bare list view, %d items: added one by one %10.1f ms (%.3f ms each), deleted one "
            "by one %10.1f ms\n",
            items, added, added / items, deleted);
        DestroyWindow(bare);
        Pump();

        auto* view = new TListView(&form);
        view->SetParent(&form);
        view->SetViewStyle(vsReport);
        view->AddColumn("Word", 120);
        view->AddColumn("Count", 60);
        view->Handle();
        start = NowMs();
        for (int i = 0; i < items; ++i)
            view->AddItem("word " + std::to_string(i))->SubItems()->Add(std::to_string(i));
        added = NowMs() - start;
        Pump();
        if (SendMessageA(view->Handle(), LVM_GETITEMCOUNT, 0, 0) != items) {
            std::fprintf(stderr, "listview_bench: the control lost items\n");
            return 1;
        }
        start = NowMs();
        while (view->Items()->Count() > 0)
            view->Items()->Delete(0);
        deleted = NowMs() - start;
        std::printf(
            "TListView, %d items: added one by one %10.1f ms (%.3f ms each), deleted one by "
            "one %10.1f ms\n",
            items, added, added / items, deleted);
        delete view;
        Pump();
    }
    return 0;
}
