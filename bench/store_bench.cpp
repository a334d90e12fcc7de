// Store benchmark on a large dictionary (words-ecdict-100k.mdb), measured in one run beside
// the independent exporter reading the same table:
//  - CPU time to open the file and prepare for lookups (AdoTable::Open builds the word index),
//    against mdb-export's CPU time for the whole table;
//  - latency of one lookup (locate + read word and mean + decode), 99th percentile;
//  - resident memory after open against the file size.
// Usage: bench_store FILE.mdb [google-benchmark flags]. Prints a summary with the targets.
#include "dict/meaning.h"
#include "dict/store_words.h"
#include "store/ado_table.h"
#include "store/text.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

std::string g_file;

double CpuSeconds() {
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

long ResidentKb() {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

// CPU time (user + system) of mdb-export over the table, output discarded.
double ExporterCpuSeconds() {
    pid_t pid = fork();
    if (pid == 0) {
        if (!freopen("/dev/null", "w", stdout)) _exit(127);
        execlp("mdb-export", "mdb-export", "-H", "-d", "\t", "-q", "", g_file.c_str(), "main", (char*)nullptr);
        _exit(127);
    }
    int status = 0;
    rusage ru{};
    wait4(pid, &status, 0, &ru);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return double(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) + double(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

void OpenTable(wl::store::AdoTable& t) {
    t.SetConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + g_file + ";Persist Security Info=False");
    t.SetTableName("main");
    t.Open();
}

std::vector<std::string> SampleWords(wl::store::AdoTable& t, size_t count) {
    // Every headword once, then a random sample (fixed seed) of existing and missing words.
    wl::store::Database db(g_file);
    auto table = db.OpenTable("main");
    std::vector<std::string> all;
    for (size_t r = 0; r < table->RowCount(); ++r) all.push_back(wl::store::Utf16ToAnsi(table->Text(r, 0)));
    std::mt19937 rng(42);
    std::vector<std::string> out;
    for (size_t i = 0; i < count; ++i) {
        std::string w = all[rng() % all.size()];
        if (i % 10 == 9) w += "qx"; // some misses
        out.push_back(w);
    }
    (void)t;
    return out;
}

void BM_OpenAndPrepare(benchmark::State& state) {
    for (auto _ : state) {
        wl::store::AdoTable t;
        OpenTable(t);
        benchmark::DoNotOptimize(t.RecordCount());
    }
}
BENCHMARK(BM_OpenAndPrepare)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

void BM_Lookup(benchmark::State& state) {
    wl::store::AdoTable t;
    OpenTable(t);
    auto words = SampleWords(t, 10000);
    size_t i = 0;
    for (auto _ : state) {
        auto r = wl::LookUpWord(words[i++ % words.size()], t);
        benchmark::DoNotOptimize(r.meaning.data());
    }
}
BENCHMARK(BM_Lookup)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_store FILE.mdb [benchmark flags]\n");
        return 2;
    }
    g_file = argv[1];
    for (int i = 1; i + 1 < argc; ++i) argv[i] = argv[i + 1];
    --argc;
    wl::SetMeaningMessageSink([](std::string_view) {});

    // One run, side by side: the exporter, then our open, each timed in CPU seconds.
    double exporter = ExporterCpuSeconds();
    long rssBefore = ResidentKb();
    double c0 = CpuSeconds();
    wl::store::AdoTable table;
    OpenTable(table);
    double open = CpuSeconds() - c0;
    long rssAfter = ResidentKb();
    struct stat st{};
    stat(g_file.c_str(), &st);

    auto words = SampleWords(table, 20000);
    std::vector<double> micros;
    micros.reserve(words.size());
    for (const auto& w : words) {
        auto t0 = std::chrono::steady_clock::now();
        auto r = wl::LookUpWord(w, table);
        benchmark::DoNotOptimize(r.meaning.data());
        micros.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count());
    }
    std::sort(micros.begin(), micros.end());
    double p50 = micros[micros.size() / 2], p99 = micros[micros.size() * 99 / 100], worst = micros.back();

    std::printf("file: %s (%.1f MB, %zu rows)\n", g_file.c_str(), double(st.st_size) / 1e6, table.RecordCount());
    std::printf("mdb-export CPU:        %8.1f ms\n", exporter * 1e3);
    std::printf("open + prepare CPU:    %8.1f ms  (%.2f of mdb-export; target <= 0.33)  %s\n", open * 1e3,
                exporter > 0 ? open / exporter : -1.0, exporter > 0 && open <= exporter / 3 ? "OK" : "MISSED");
    std::printf("lookup latency:        p50 %.2f us, p99 %.2f us, max %.2f us (target p99 <= 20 us)  %s\n", p50, p99, worst,
                p99 <= 20 ? "OK" : "MISSED");
    std::printf("resident after open:   %.1f MB total, %.1f MB for the table (file %.1f MB; target total <= 2x)  %s\n",
                double(rssAfter) / 1024, double(rssAfter - rssBefore) / 1024, double(st.st_size) / 1e6,
                double(rssAfter) * 1024 <= 2.0 * double(st.st_size) ? "OK" : "MISSED");
    std::fflush(stdout);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
