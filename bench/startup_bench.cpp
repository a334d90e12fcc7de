// Start-up of programs to a visible main window, taken in turns so that the machine's load
// falls on all of them alike (run under Wine):
//   startup_bench RUNS PROGRAM...
// Each PROGRAM is started RUNS times (after one warm-up start each), one after the other in
// turn. Two moments of each start are taken, by the same tests for every program:
//  - visible: a visible top-level window of the new process holds a visible edit field (the
//    bare window's edit, the program's keyword field), seen from outside without asking the
//    program anything;
//  - ready: that window answers a message, which its thread can only do once it is back in its
//    message loop after showing the window. The program's window must answer SKM_ISSKINNED
//    with 1 (skinned); the bare window answers WM_NULL.
// The start ends at the ready moment and the window is then closed. Reports the medians and
// best of each program and their ratios to the first program's. A program whose file name
// holds "probe" is the stamped start-up (startup_probe): its phases are reported too, as
// medians of the time from the start of the process to each stamp and of each phase alone.
#include "bench/bench_timing.h"
#include "skin/forms/skin_messages.h"

#include <windows.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using namespace wl::bench;

namespace {

// Whether a shown top-level window holds a shown edit field (class "Edit", or a class whose
// name ends so, as the program's "TEdit"). Reads styles and class names only: no message is
// sent to the window, so a busy program is not waited for.
bool HoldsEditField(HWND h) {
    for (HWND child = FindWindowExA(h, nullptr, nullptr, nullptr); child;
         child = FindWindowExA(h, child, nullptr, nullptr)) {
        std::string name = ClassOf(child);
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const bool edit = name.size() >= 4 && name.compare(name.size() - 4, 4, "edit") == 0;
        if (edit && (GetWindowLongPtrA(child, GWL_STYLE) & WS_VISIBLE)) return true;
    }
    return false;
}

// Whether the window answers: the bare window any message, the program's window that it is
// skinned.
bool IsReady(HWND h, bool bare) {
    if (!bare) return AnswersOne(h, wl::SKM_ISSKINNED);
    DWORD_PTR answer = 0;
    return HoldsEditField(h) && SendMessageTimeoutA(h, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 200, &answer) != 0;
}

bool IsProbe(const std::string& exe) { return exe.find("probe") != std::string::npos; }
bool IsBare(const std::string& exe) { return exe.find("bare") != std::string::npos; }

// The stamps a probe wrote, relative to `start`.
std::map<std::string, double> ReadStamps(const std::string& file, double start) {
    std::map<std::string, double> stamps;
    std::ifstream in(file);
    std::string name;
    double at = 0;
    while (in >> name >> at) stamps[name] = at - start;
    return stamps;
}

struct Run {
    double visible = -1; // the visible moment, ms after the start
    double total = -1;   // the ready moment
    std::map<std::string, double> stamps;
};

Run StartOnce(const std::string& exe, int index) {
    Run run;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string stampFile = std::string(temp) + "wl-startup-" + std::to_string(index) + ".txt";
    DeleteFileA(stampFile.c_str());
    std::string command = "\"" + exe + "\"";
    if (IsProbe(exe)) command += " " + stampFile;
    const std::string dir = exe.substr(0, exe.find_last_of("/\\"));
    const double start = NowMs();
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi)) {
        std::fprintf(stderr, "startup_bench: cannot start %s (error %lu)\n", exe.c_str(), GetLastError());
        return run;
    }
    const bool bare = IsBare(exe);
    HWND shown = nullptr;
    while (NowMs() - start < 30000) {
        // The ready test waits for the program's answer; it is asked only once the visible
        // moment is taken, so that the wait cannot delay it.
        if (run.visible < 0) {
            if (FindShownWindow(pi.dwProcessId, HoldsEditField)) {
                run.visible = NowMs() - start;
                continue;
            }
        } else if ((shown = FindShownWindow(pi.dwProcessId, [bare](HWND h) { return IsReady(h, bare); }))) {
            run.total = NowMs() - start;
            break;
        }
        Sleep(1);
    }
    if (IsProbe(exe)) {
        // The probe stamps its later phases on its own; wait for its last line.
        while (NowMs() - start < 30000 && !ReadStamps(stampFile, start).count("end")) Sleep(5);
        run.stamps = ReadStamps(stampFile, start);
    }
    if (shown) PostMessageA(shown, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    DeleteFileA(stampFile.c_str());
    return run;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: startup_bench RUNS PROGRAM...\n");
        return 2;
    }
    const int runs = std::max(1, std::atoi(argv[1]));
    std::vector<std::string> programs(argv + 2, argv + argc);
    std::vector<std::vector<Run>> results(programs.size());
    for (size_t p = 0; p < programs.size(); ++p) StartOnce(programs[p], static_cast<int>(p)); // warm-up
    for (int i = 0; i < runs; ++i)
        for (size_t p = 0; p < programs.size(); ++p) results[p].push_back(StartOnce(programs[p], static_cast<int>(p)));

    double firstVisible = 0, firstReady = 0;
    int failed = 0;
    for (size_t p = 0; p < programs.size(); ++p) {
        std::vector<double> visible, ready;
        for (const Run& r : results[p])
            if (r.total >= 0) {
                visible.push_back(r.visible);
                ready.push_back(r.total);
            }
        failed += static_cast<int>(results[p].size() - ready.size());
        if (p == 0) {
            firstVisible = Median(visible);
            firstReady = Median(ready);
        }
        std::printf("%s  (%zu runs)\n", programs[p].c_str(), ready.size());
        std::printf("    visible window with its edit field   median %7.1f ms  best %7.1f ms  ratio %.2f\n",
                    Median(visible), Best(visible), firstVisible > 0 ? Median(visible) / firstVisible : 0.0);
        std::printf("    ready (answering%-14s median %7.1f ms  best %7.1f ms  ratio %.2f\n",
                    IsBare(programs[p]) ? " any message)" : " skinned)", Median(ready), Best(ready),
                    firstReady > 0 ? Median(ready) / firstReady : 0.0);
        if (!IsProbe(programs[p])) continue;
        // Phases: loader (process start to WinMain), main window created (FormCreate done),
        // picture window created, main window shown, skin start pass done, dictionary open.
        const char* order[] = {"main", "form", "picture", "shown", "skinned", "store"};
        const char* label[] = {"loader (start to WinMain)", "WinMain to main window created",
                               "picture window created", "main window shown", "skin start pass done",
                               "dictionary open"};
        for (int k = 0; k < 6; ++k) {
            std::vector<double> at, phase;
            for (const Run& r : results[p]) {
                auto it = r.stamps.find(order[k]);
                if (it == r.stamps.end()) continue;
                at.push_back(it->second);
                double before = 0;
                for (int j = k - 1; j >= 0; --j)
                    if (auto prev = r.stamps.find(order[j]); prev != r.stamps.end()) {
                        before = prev->second;
                        break;
                    }
                phase.push_back(it->second - before);
            }
            if (at.empty()) {
                std::printf("    %-34s (never stamped)\n", label[k]);
                continue;
            }
            std::printf("    %-34s at %7.1f ms   phase %7.1f ms   (medians)\n", label[k], Median(at), Median(phase));
        }
    }
    if (failed) std::fprintf(stderr, "startup_bench: %d starts did not reach their window\n", failed);
    return failed ? 1 : 0;
}
