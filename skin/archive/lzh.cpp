// LZHUF decoder (see lzh.h). The bits are read through a 64-bit buffer filled a byte at a time
// from memory; bytes past the end of the input read as zero, as the format's reader does.
#include "skin/archive/lzh.h"

#include "skin/archive/lzh_tree.h"

#include <cstring>
#include <memory>
#include <new>

namespace wl {
namespace {

using namespace wl::lzh;

class BitReader {
public:
    explicit BitReader(std::string_view in)
        : FPos(reinterpret_cast<const uint8_t*>(in.data())), FEnd(FPos + in.size()) {}

    unsigned Bit() {
        if (FCount == 0) Fill();
        unsigned b = static_cast<unsigned>(FBuf >> 63);
        FBuf <<= 1;
        --FCount;
        return b;
    }

    // n in 1..32
    unsigned Bits(int n) {
        if (FCount < n) Fill();
        unsigned v = static_cast<unsigned>(FBuf >> (64 - n));
        FBuf <<= n;
        FCount -= n;
        return v;
    }

private:
    // Tops the buffer up to at least 57 valid bits.
    void Fill() {
        if (FEnd - FPos >= 8 && FCount <= 56) {
            // Fast path: whole bytes, most significant bit first.
            int take = (64 - FCount) / 8;
            uint64_t v = 0;
            for (int k = 0; k < take; ++k) v = (v << 8) | FPos[k];
            FPos += take;
            FBuf |= v << (64 - FCount - 8 * take);
            FCount += 8 * take;
            return;
        }
        while (FCount <= 56) {
            uint64_t byte = 0;
            if (FPos < FEnd) byte = *FPos++;
            else ++FPadding;
            FBuf |= byte << (56 - FCount);
            FCount += 8;
        }
    }

public:
    // How many bytes past the end of the input the bits taken so far reach (the zero padding
    // sits last in the buffer, so the bits not yet taken are padding first).
    size_t BytesPastEnd() const {
        const uint64_t padBits = 8 * FPadding;
        return padBits > static_cast<uint64_t>(FCount) ? static_cast<size_t>((padBits - FCount + 7) / 8) : 0;
    }

private:

    const uint8_t* FPos;
    const uint8_t* FEnd;
    uint64_t FBuf = 0; // valid bits left-aligned
    int FCount = 0;
    uint64_t FPadding = 0; // zero bytes put into the buffer after the input ended
};

} // namespace

void TLZH::Unpack(int32_t size, std::string_view bits, std::string& out, size_t* bytesPastEnd) const {
    if (bytesPastEnd) *bytesPastEnd = 0;
    if (size <= 0) return;
    if (static_cast<uint32_t>(size) > FMaxSize)
        throw ElzhException("LZH : Decoded size " + std::to_string(size) +
                            " exceeds the limit of " + std::to_string(FMaxSize) + " bytes");

    std::unique_ptr<Tree> tree;
    try {
        tree = std::make_unique<Tree>();
    } catch (const std::bad_alloc&) {
        throw ElzhException("LZH : Cannot get memory for dictionary tables");
    }
    tree->Start();

    uint8_t ring[N];
    std::memset(ring, ' ', RING_START);
    std::memset(ring + RING_START, 0, N - RING_START);
    unsigned r = RING_START;

    const size_t start = out.size();
    out.resize(start + static_cast<size_t>(size));
    uint8_t* dst = reinterpret_cast<uint8_t*>(out.data()) + start;
    uint8_t* const end = dst + size;

    BitReader in(bits);
    Tree& t = *tree;
    while (dst < end) {
        unsigned c = t.son[R];
        while (c < T) c = t.son[c + in.Bit()];
        c -= T;
        t.Update(static_cast<int>(c));
        if (c < 256) {
            *dst++ = static_cast<uint8_t>(c);
            ring[r] = static_cast<uint8_t>(c);
            r = (r + 1) & (N - 1);
            continue;
        }
        unsigned first = in.Bits(8);
        unsigned extra = kPosition.len[first] - 2u;
        unsigned low = (first << extra | in.Bits(static_cast<int>(extra))) & 0x3F;
        unsigned pos = static_cast<unsigned>(kPosition.code[first]) << 6 | low;
        unsigned i = (r - pos - 1) & (N - 1);
        unsigned length = c - 253;
        if (length > static_cast<size_t>(end - dst)) length = static_cast<unsigned>(end - dst);
        for (unsigned k = 0; k < length; ++k) {
            uint8_t b = ring[(i + k) & (N - 1)];
            *dst++ = b;
            ring[r] = b;
            r = (r + 1) & (N - 1);
        }
    }
    if (bytesPastEnd) *bytesPastEnd = in.BytesPastEnd();
}

void TLZH::Expand(std::string_view stream, std::string& out, size_t* bytesPastEnd) const {
    if (stream.size() < 4)
        throw ElzhException("LZH : Stream of " + std::to_string(stream.size()) +
                            " bytes has no 4-byte size field");
    const auto* p = reinterpret_cast<const uint8_t*>(stream.data());
    uint32_t size = p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
    Unpack(static_cast<int32_t>(size), stream.substr(4), out, bytesPastEnd);
}

} // namespace wl
