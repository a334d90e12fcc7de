// LZHUF decoder: expands a skin archive (LZSS matches over a 4096-byte ring buffer pre-filled
// with spaces, coded with an adaptive Huffman tree). Portable; decoding only: the program
// contains no compressor (the packer lives in tools/skinpack).
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace wl {

// Decoder failures (message only): tables that cannot be allocated, a stream too short to hold
// its size field, or a stated size beyond the decoder's limit.
class ElzhException : public std::runtime_error {
public:
    explicit ElzhException(const std::string& message) : std::runtime_error(message) {}
};

class TLZH {
public:
    // The default limit on one decoded size. A skin expands to a few hundred kilobytes; a size
    // field claiming more than this is damage, and honouring it would let a few input bytes
    // demand unbounded memory and time (missing input reads as zero bits and keeps decoding).
    static constexpr uint32_t kDefaultMaxSize = 64u << 20;

    explicit TLZH(uint32_t maxSize = kDefaultMaxSize) : FMaxSize(maxSize) {}

    // Decodes `size` bytes from the bit stream `bits` and appends them to `out`.
    // - size <= 0: nothing is written.
    // - size > the limit: ElzhException, `out` unchanged.
    // - `bits` shorter than the coded data: the missing bytes read as zero bits and decoding
    //   goes on to the stated size (no error); `bytesPastEnd`, when given, receives how many
    //   bytes of input the decoding reached beyond the end (0 for complete data).
    // Exactly `size` bytes are appended: a match that would run past the stated size (damaged
    // data only) is cut there.
    void Unpack(int32_t size, std::string_view bits, std::string& out, size_t* bytesPastEnd = nullptr) const;

    // A whole stored stream: the decoded size as 32-bit little-endian, then the bit stream.
    // Appends the decoded bytes to `out`. Fewer than 4 bytes: ElzhException.
    void Expand(std::string_view stream, std::string& out, size_t* bytesPastEnd = nullptr) const;
    std::string Expand(std::string_view stream) const {
        std::string out;
        Expand(stream, out);
        return out;
    }

    uint32_t MaxSize() const { return FMaxSize; }

private:
    uint32_t FMaxSize;
};

} // namespace wl
