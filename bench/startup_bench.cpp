// Start-up of programs to a visible main window, taken in turns so that the machine's load
// falls on all of them alike (run under Wine):
//   startup_bench RUNS PROGRAM...
// Each PROGRAM is started RUNS times (after one warm-up start each), one after the other in
// turn. A start ends when a visible top-level window of the new process is found: the bare
// window's class "WlBareWindow", or any window of the process that answers SKM_ISSKINNED with 1
// (the skinned main window); the window is then closed. Reports the median and best of each
// program and its ratio to the first one. A program whose file name holds "probe" is the
// stamped start-up (startup_probe): its phases are reported too, as medians of the time from
// the start of the process to each stamp and of each phase alone.
#include "bench/bench_timing.h"
#include "skin/forms/skin_messages.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using namespace wl::bench;

namespace {

// The window that ends a start: the bare window's, or a skinned one.
bool EndsStart(HWND h, bool bare) {
    return bare ? ClassOf(h) == "WlBareWindow" : AnswersOne(h, wl::SKM_ISSKINNED);
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
    double total = -1;
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
        shown = FindShownWindow(pi.dwProcessId, [bare](HWND h) { return EndsStart(h, bare); });
        if (shown) {
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

    double first = 0;
    int failed = 0;
    for (size_t p = 0; p < programs.size(); ++p) {
        std::vector<double> totals;
        for (const Run& r : results[p])
            if (r.total >= 0) totals.push_back(r.total);
        failed += static_cast<int>(results[p].size() - totals.size());
        const double median = Median(totals);
        if (p == 0) first = median;
        std::printf("%-60s to a visible window: median %7.1f ms  best %7.1f ms  ratio %.2f  (%zu runs)\n",
                    programs[p].c_str(), median, Best(totals), first > 0 ? median / first : 0.0, totals.size());
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
