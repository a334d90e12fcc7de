// The program's start-up with time stamps: the same steps as app/main.cpp (application object,
// main window, hidden picture window, main window shown, message loop), run from beside the
// program's dictionary, writing the performance-counter time of each step to the file named on
// the command line. startup_bench starts it and reads the file: the counter is the same in
// every process of the machine, so the stamps line up with the moment the bench started it.
//   startup_probe OUTFILE
// Lines written: "main T" (WinMain entered), "form T" (main window created, its FormCreate
// done), "picture T" (picture window created), "shown T" (main window made visible), "skinned
// T" (the skin's start pass on the main window done), "store T" (the dictionary open), each T
// in milliseconds, then "end"; it then runs the message loop until its window is closed.
#include "app/fmain.h"
#include "app/com.h"
#include "app/fpicture.h"
#include "app/meaning_box.h"
#include "bench/bench_timing.h"
#include "skin/forms/skin_manage.h"
#include "skin/forms/win_skin_form.h"

#include <windows.h>

#include <cstdio>
#include <string>

using namespace wl;

namespace {

struct Stamps {
    std::FILE* out = nullptr;
    void Mark(const char* what) {
        if (out) std::fprintf(out, "%s %.3f\n", what, bench::NowMs());
    }
};

bool MainSkinRunning() {
    TSkinManage* manager = TSkinManage::Instance();
    if (!manager || !Application->MainForm() || !Application->MainForm()->HandleAllocated()) return false;
    TWinSkinForm* f = manager->FindForm(Application->MainForm()->HandleValue());
    return f && f->State() == sfsRunning;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    Stamps stamps;
    std::string path = commandLine ? commandLine : "";
    while (!path.empty() && (path.back() == ' ' || path.back() == '"')) path.pop_back();
    while (!path.empty() && (path.front() == ' ' || path.front() == '"')) path.erase(path.begin());
    if (!path.empty()) stamps.out = std::fopen(path.c_str(), "w");
    stamps.Mark("main");
    int exitCode = 0;
    try {
        ConnectMeaningMessageBox([] { return Application->Title(); });
        TSkinManage::Register();
        Application->Initialize();
        Application->CreateForm<TFmain>();
        stamps.Mark("form");
        Application->CreateForm<TFPicture>();
        stamps.Mark("picture");
        if (!Application->Terminated() && Application->MainForm()) {
            Application->MainForm()->Show();
            stamps.Mark("shown");
            const double deadline = bench::NowMs() + 10000;
            bool skinned = false, open = false;
            while (bench::NowMs() < deadline && !(skinned && open) && !Application->Terminated()) {
                Application->ProcessMessages();
                if (!skinned && MainSkinRunning()) {
                    skinned = true;
                    stamps.Mark("skinned");
                }
                if (!open && Fmain && Fmain->ADOTable1 && Fmain->ADOTable1->Active()) {
                    open = true;
                    stamps.Mark("store");
                }
                if (!(skinned && open)) MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
            }
        }
        stamps.Mark("end");
        if (stamps.out) std::fclose(stamps.out);
        stamps.out = nullptr;
        if (!Application->Terminated()) Application->Run();
    } catch (...) {
        Application->HandleException(nullptr);
        exitCode = 1;
    }
    TSkinManagerLink::Destroy();
    Application->DestroyComponents();
    OleDone();
    return exitCode;
}
