// Store benchmark on a large dictionary, each figure from one run:
//  - open of the file plus the first lookup, wall time, with the file first dropped from the
//    page cache (cold; the kernel may keep pages another process maps) and then warm;
//  - resident memory of the process after that open and lookup;
//  - latency of one lookup (locate + read word and mean + decode), 50th and 99th percentile,
//    on first touch of the pages and again;
//  - CPU time of the open against mdb-export's CPU time for the whole table;
//  - with --compare: the on-disk search and the full read answer 10,000 random keys alike.
// Usage: bench_store FILE.mdb [--compare] [google-benchmark flags].
#include "dict/meaning.h"
#include "dict/store_words.h"
#include "store/ado_table.h"
#include "store/text.h"
#include "store/cursor.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

// Asks the kernel to drop the file's pages from the page cache; returns how many of its pages
// are still cached afterwards (pages some other process maps stay), or -1 when unknown.
long DropFromPageCache(const std::string& file) {
    int fd = open(file.c_str(), O_RDONLY);
    if (fd < 0) return -1;
    struct stat st {};
    fstat(fd, &st);
    posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    long resident = -1;
    size_t page = size_t(sysconf(_SC_PAGESIZE)), pages = (size_t(st.st_size) + page - 1) / page;
    void* m = st.st_size > 0 ? mmap(nullptr, size_t(st.st_size), PROT_READ, MAP_SHARED, fd, 0)
                             : MAP_FAILED;
    if (m != MAP_FAILED) {
        std::vector<unsigned char> in(pages);
        if (mincore(m, size_t(st.st_size), in.data()) == 0)
            resident =
                long(std::count_if(in.begin(), in.end(), [](unsigned char c) { return c & 1; }));
        munmap(m, size_t(st.st_size));
    }
    close(fd);
    return resident;
}

// CPU time (user + system) of mdb-export over the table, output discarded.
double ExporterCpuSeconds() {
    pid_t pid = fork();
    if (pid == 0) {
        if (!freopen("/dev/null", "w", stdout)) _exit(127);
        execlp("mdb-export", "mdb-export", "-H", "-d", "\t", "-q", "", g_file.c_str(), "main",
               (char*)nullptr);
        _exit(127);
    }
    int status = 0;
    rusage ru{};
    wait4(pid, &status, 0, &ru);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return double(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) +
           double(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

void OpenTable(wl::store::AdoTable& t) {
    t.SetConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + g_file +
                          ";Persist Security Info=False");
    t.SetTableName("main");
    t.Open();
}

// Wall milliseconds of opening the table and looking one word up.
double OpenAndFirstLookupMs() {
    auto t0 = std::chrono::steady_clock::now();
    wl::store::AdoTable t;
    OpenTable(t);
    auto r = wl::LookUpWord("apple", t);
    benchmark::DoNotOptimize(r.meaning.data());
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

// A random sample (fixed seed) of the table's headwords, one in ten made a miss.
std::vector<std::string> SampleWords(size_t count) {
    wl::store::Database db(g_file);
    auto table = db.OpenTable("main");
    std::mt19937 rng(42);
    std::vector<std::string> out;
    for (size_t i = 0; i < count; ++i) {
        std::string w = wl::store::Utf16ToAnsi(table->Text(rng() % table->RowCount(), 0));
        if (i % 10 == 9) w += "qx";
        out.push_back(w);
    }
    return out;
}

// Both ways of locating on the same file: the meaning found (or none) must agree for every key
// and for every prefix of it.
size_t CompareSearchPaths(const std::vector<std::string>& words) {
    auto db = std::make_shared<const wl::store::Database>(g_file);
    wl::store::TableCursor onDisk(db, "main"),
        fullRead(db, "main", wl::store::TableCursor::Search::FullRead);
    if (!onDisk.SearchesOnDisk())
        std::printf("  (the file declares no row order: both ways are the full read)\n");
    size_t differences = 0;
    for (const auto& w : words) {
        for (size_t len : {w.size(), w.size() / 2}) {
            std::string key = w.substr(0, len);
            bool a = onDisk.Locate("word", key, true), b = fullRead.Locate("word", key, true);
            if (a != b || (a && onDisk.FieldUtf16("mean") != fullRead.FieldUtf16("mean")))
                ++differences;
        }
    }
    return differences;
}

void BM_OpenAndFirstLookup(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(OpenAndFirstLookupMs());
}
BENCHMARK(BM_OpenAndFirstLookup)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_store FILE.mdb [--compare] [benchmark flags]\n");
        return 2;
    }
    g_file = argv[1];
    bool compare = argc > 2 && std::strcmp(argv[2], "--compare") == 0;
    int shift = compare ? 2 : 1;
    for (int i = 1; i + shift < argc; ++i)
        argv[i] = argv[i + shift];
    argc -= shift;
    wl::SetMeaningMessageSink([](std::string_view) {});
    struct stat st {};
    stat(g_file.c_str(), &st);

    // Cold first, in this fresh process, so that the resident figure is a lookup process's.
    long left = DropFromPageCache(g_file);
    long rssStart = ResidentKb();
    double cold = OpenAndFirstLookupMs();
    wl::store::AdoTable table;
    OpenTable(table);
    (void)wl::LookUpWord("apple", table);
    long rssOpen = ResidentKb();
    std::vector<double> warm;
    for (int i = 0; i < 5; ++i)
        warm.push_back(OpenAndFirstLookupMs());
    std::sort(warm.begin(), warm.end());

    double c0 = CpuSeconds();
    {
        wl::store::AdoTable t;
        OpenTable(t);
    }
    double openCpu = CpuSeconds() - c0;
    double exporter = ExporterCpuSeconds();

    // Lookup latency over a random sample, twice: the first pass also pays for the first touch
    // of each page in this process (a page fault, a disk read when not cached), the second
    // not.
    auto words = SampleWords(20000);
    std::vector<double> passes[2];
    for (auto& micros : passes) {
        micros.reserve(words.size());
        for (const auto& w : words) {
            auto t0 = std::chrono::steady_clock::now();
            auto r = wl::LookUpWord(w, table);
            benchmark::DoNotOptimize(r.meaning.data());
            micros.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count());
        }
        std::sort(micros.begin(), micros.end());
    }
    std::printf("file: %s (%.1f MB, %zu rows)\n", g_file.c_str(), double(st.st_size) / 1e6,
                table.RecordCount());
    std::printf("open + first lookup, cold cache: %8.2f ms  (%ld of %lld pages still cached after "
                "dropping)\n",
                cold, left, (long long)(st.st_size / 4096));
    std::printf("open + first lookup, warm cache: %8.2f ms  (median of 5; best %.2f ms)\n", warm[2],
                warm[0]);
    std::printf("resident memory after open + first lookup: %.1f MB (process start %.1f MB)\n",
                double(rssOpen) / 1024, double(rssStart) / 1024);
    for (int i = 0; i < 2; ++i) {
        const auto& micros = passes[i];
        std::printf("lookup latency, %s pass: p50 %.2f us, p99 %.2f us, max %.2f us (%zu lookups)\n",
                    i == 0 ? "first" : "second", micros[micros.size() / 2], micros[micros.size() * 99 / 100],
                    micros.back(), micros.size());
    }
    std::printf("open CPU %.2f ms; mdb-export CPU for the whole table %.1f ms\n", openCpu * 1e3,
                exporter * 1e3);
    if (compare) {
        words.resize(10000);
        std::printf("on-disk search against full read, 10,000 random keys and their halves: %zu "
                    "differences\n",
                    CompareSearchPaths(words));
    }
    std::fflush(stdout);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
