// Decoding speed of the skin archive decoder against the literal byte-at-a-time decoder, on the
// shared large mixed stream and on a generated 3 MB skin-like archive. Both decoders must
// produce identical bytes; the run stops with an error otherwise. After the benchmarks, a
// best-of-N summary prints MB/s of decoded output and the speed ratio.
#include "lzh_reference.h"
#include "skin/archive/lzh.h"
#include "tools/skinpack/container.h"
#include "tools/skinpack/lzh_encoder.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>

namespace {

struct Input {
    const char* name;
    std::string packed;
    std::string plain;
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void Le32(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>(v >> (8 * i)));
}

// A 24-bit bottom-up bitmap file: a frame with magenta corners, a gradient body, a little noise.
std::string SkinLikeBitmap(int w, int h, uint32_t seed) {
    std::mt19937 gen(seed);
    int stride = (w * 3 + 3) & ~3;
    std::string b = "BM";
    Le32(b, 54 + stride * h);
    Le32(b, 0);
    Le32(b, 54);
    Le32(b, 40);
    Le32(b, w);
    Le32(b, h);
    b += std::string("\x01\x00\x18\x00", 4);
    Le32(b, 0);
    Le32(b, stride * h);
    Le32(b, 2835);
    Le32(b, 2835);
    Le32(b, 0);
    Le32(b, 0);
    for (int y = 0; y < h; ++y) {
        std::string row;
        for (int x = 0; x < w; ++x) {
            bool corner = (x < 3 || x >= w - 3) && (y < 3 || y >= h - 3);
            bool edge = x == 0 || y == 0 || x == w - 1 || y == h - 1;
            uint8_t r, g, bl;
            if (corner) r = 255, g = 0, bl = 255;
            else if (edge) r = g = bl = 64;
            else {
                r = static_cast<uint8_t>(120 + y * 100 / h);
                g = static_cast<uint8_t>(140 + y * 80 / h);
                bl = static_cast<uint8_t>(200 + (seed % 40));
                if (gen() % 16 == 0) r = static_cast<uint8_t>(r ^ (gen() & 7));
            }
            row += static_cast<char>(bl);
            row += static_cast<char>(g);
            row += static_cast<char>(r);
        }
        row.resize(stride, '\0');
        b += row;
    }
    return b;
}

Input MakeSkinArchive() {
    std::vector<wl::skinpack::SkinEntry> entries;
    std::string ini;
    for (int i = 0; ini.size() < 15000; ++i)
        ini += "[Element" + std::to_string(i) + "]\r\nBitmap=element" + std::to_string(i % 60) +
               ".bmp\r\nFrame=" + std::to_string(1 + i % 4) + "\r\nTopMargin=4\r\n";
    entries.push_back({"Skin.ini", ini});
    size_t total = ini.size();
    for (int i = 0; total < 3u << 20; ++i) {
        std::string bmp = SkinLikeBitmap(96 + (i % 5) * 24, 96 + (i % 3) * 32, static_cast<uint32_t>(i));
        total += bmp.size();
        entries.push_back({"element" + std::to_string(i) + ".bmp", std::move(bmp)});
    }
    Input in{"skin-3mb", {}, wl::skinpack::BuildSkinContainer(entries)};
    in.packed = wl::skinpack::LzhCompress(in.plain);
    return in;
}

std::vector<Input>& Inputs() {
    static std::vector<Input> inputs = [] {
        std::vector<Input> v;
        std::string dir = std::string(WL_SHARED_DIR) + "/testdata/lzhuf/";
        Input mixed{"large-mixed", ReadFile(dir + "large-mixed.lzh"), ReadFile(dir + "large-mixed.bin")};
        if (!mixed.packed.empty()) v.push_back(std::move(mixed));
        v.push_back(MakeSkinArchive());
        return v;
    }();
    return inputs;
}

std::string DecodeOurs(const std::string& packed) { return wl::TLZH().Expand(packed); }

// The caller's sequence of the original: memory streams, the size read first, then one
// callback per byte each way.
std::string DecodeReference(const std::string& packed) {
    size_t pos = 0;
    std::string out;
    auto read = [&](uint8_t* buffer, int count) {
        int n = 0;
        while (n < count && pos < packed.size()) buffer[n++] = static_cast<uint8_t>(packed[pos++]);
        return n;
    };
    auto write = [&](const uint8_t* buffer, int count) {
        out.append(reinterpret_cast<const char*>(buffer), static_cast<size_t>(count));
    };
    uint8_t sizeField[4] = {};
    read(sizeField, 4);
    int32_t size = static_cast<int32_t>(sizeField[0] | sizeField[1] << 8 | sizeField[2] << 16 |
                                        static_cast<uint32_t>(sizeField[3]) << 24);
    wl::bench::ReferenceLzh().Unpack(size, write, read);
    return out;
}

void BM_Decoder(benchmark::State& state, int index, bool reference) {
    const Input& in = Inputs()[static_cast<size_t>(index)];
    for (auto _ : state) {
        std::string out = reference ? DecodeReference(in.packed) : DecodeOurs(in.packed);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.plain.size()));
}

double BestSeconds(const std::string& packed, bool reference, int runs) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        auto t0 = std::chrono::steady_clock::now();
        std::string out = reference ? DecodeReference(packed) : DecodeOurs(packed);
        benchmark::DoNotOptimize(out.data());
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    for (const Input& in : Inputs()) {
        std::string ours = DecodeOurs(in.packed);
        std::string ref = DecodeReference(in.packed);
        if (ours != in.plain || ref != in.plain) {
            std::fprintf(stderr, "%s: decoders disagree (ours %s, reference %s)\n", in.name,
                         ours == in.plain ? "ok" : "WRONG", ref == in.plain ? "ok" : "WRONG");
            return 1;
        }
        std::printf("%s: %zu packed -> %zu bytes, both decoders identical\n", in.name,
                    in.packed.size(), in.plain.size());
    }
    for (size_t i = 0; i < Inputs().size(); ++i) {
        std::string n = Inputs()[i].name;
        benchmark::RegisterBenchmark(("Decode/" + n).c_str(), BM_Decoder, static_cast<int>(i), false);
        benchmark::RegisterBenchmark(("ReferenceByteAtATime/" + n).c_str(), BM_Decoder,
                                     static_cast<int>(i), true);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    std::printf("\nbest of 7 runs:\n");
    for (const Input& in : Inputs()) {
        double ours = BestSeconds(in.packed, false, 7);
        double ref = BestSeconds(in.packed, true, 7);
        double mb = static_cast<double>(in.plain.size()) / 1e6;
        std::printf("%-12s ours %7.1f MB/s  reference %7.1f MB/s  ratio %.2fx\n", in.name,
                    mb / ours, mb / ref, ref / ours);
    }
    return 0;
}
