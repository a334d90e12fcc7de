// LZHUF encoder (see lzh_encoder.h). Matches are found with hash chains over the stream as the
// decoder sees it: 4036 spaces (the pre-filled ring) followed by the data, so a match may reach
// back into the spaces but never into ring bytes the decoder has not written.
#include "tools/skinpack/lzh_encoder.h"

#include "skin/archive/lzh_tree.h"

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <vector>

namespace wl::skinpack {
namespace {

using namespace wl::lzh;

class BitWriter {
public:
    explicit BitWriter(std::string& out) : FOut(out) {}
    // The low `n` bits of `v`, most significant first (n <= 24).
    void Put(uint32_t v, int n) {
        FAcc = FAcc << n | (v & ((1u << n) - 1));
        FCount += n;
        while (FCount >= 8) {
            FCount -= 8;
            FOut.push_back(static_cast<char>(FAcc >> FCount));
        }
    }
    void Flush() {
        if (FCount > 0) FOut.push_back(static_cast<char>(FAcc << (8 - FCount)));
        FCount = 0;
    }

private:
    std::string& FOut;
    uint32_t FAcc = 0;
    int FCount = 0;
};

// Code of the upper 6 bits of a position: the first table index holding that value, cut to
// its code length. Derived from the decoder's tables so the two cannot disagree.
struct PositionCode {
    uint8_t code[64];
    uint8_t len[64];
    constexpr PositionCode() : code(), len() {
        for (int i = 255; i >= 0; --i) {
            int u = kPosition.code[i];
            len[u] = kPosition.len[i];
            code[u] = static_cast<uint8_t>(i >> (8 - kPosition.len[i]));
        }
    }
};
constexpr PositionCode kPositionCode{};

void EncodeSymbol(Tree& t, BitWriter& w, unsigned c) {
    // Collect the path from the leaf up to the root, then send it root first.
    uint64_t path = 0;
    int n = 0;
    for (unsigned k = t.prnt[c + T]; k != R; k = t.prnt[k]) {
        path |= uint64_t{k & 1} << n;
        ++n;
    }
    while (n > 0) {
        int take = n > 24 ? 24 : n;
        n -= take;
        w.Put(static_cast<uint32_t>(path >> n), take);
    }
    t.Update(static_cast<int>(c));
}

} // namespace

std::string LzhCompress(std::string_view data) {
    if (data.size() > 0x7FFFFFFF) throw std::length_error("input too large for an LZHUF stream");
    std::string out(4, '\0');
    for (int i = 0; i < 4; ++i) out[i] = static_cast<char>(data.size() >> (8 * i));
    if (data.empty()) return out;

    std::string v(RING_START, ' ');
    v.append(data);
    const size_t total = v.size();

    constexpr int kHashBits = 15;
    constexpr int kMaxChain = 256;
    std::vector<int32_t> head(size_t{1} << kHashBits, -1);
    std::vector<int32_t> prev(total, -1);
    auto hash = [&](size_t p) {
        auto b = [&](size_t i) { return static_cast<uint32_t>(static_cast<uint8_t>(v[i])); };
        return ((b(p) << 10) ^ (b(p + 1) << 5) ^ b(p + 2)) & ((1u << kHashBits) - 1);
    };
    size_t inserted = 0;
    auto insertUpTo = [&](size_t end) {
        for (; inserted < end && inserted + 2 < total; ++inserted) {
            uint32_t h = hash(inserted);
            prev[inserted] = head[h];
            head[h] = static_cast<int32_t>(inserted);
        }
        if (inserted < end) inserted = end;
    };

    auto tree = std::make_unique<Tree>();
    tree->Start();
    BitWriter w(out);
    size_t pos = RING_START;
    while (pos < total) {
        insertUpTo(pos);
        const size_t maxLen = std::min<size_t>(F, total - pos);
        size_t bestLen = 0;
        size_t bestDist = 0;
        if (maxLen > THRESHOLD) {
            int chain = 0;
            for (int32_t cand = head[hash(pos)]; cand >= 0 && chain < kMaxChain;
                 cand = prev[cand], ++chain) {
                size_t dist = pos - static_cast<size_t>(cand);
                if (dist > N) break; // older candidates are further still
                size_t len = 0;
                while (len < maxLen && v[cand + len] == v[pos + len]) ++len;
                if (len > bestLen) {
                    bestLen = len;
                    bestDist = dist;
                    if (len == maxLen) break;
                }
            }
        }
        if (bestLen > THRESHOLD) {
            EncodeSymbol(*tree, w, static_cast<unsigned>(bestLen + 253));
            unsigned p = static_cast<unsigned>(bestDist - 1);
            unsigned upper = p >> 6;
            w.Put(kPositionCode.code[upper], kPositionCode.len[upper]);
            w.Put(p & 0x3F, 6);
            pos += bestLen;
        } else {
            EncodeSymbol(*tree, w, static_cast<uint8_t>(v[pos]));
            pos += 1;
        }
    }
    w.Flush();
    return out;
}

} // namespace wl::skinpack
