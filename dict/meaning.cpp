// Meaning decoder (see meaning.h).
#include "dict/meaning.h"

#include "base/strings.h"

#include <utility>

namespace wl {

namespace {

MessageSink& Sink() {
    static MessageSink sink;
    return sink;
}

// The value of one digit pair, converted the way the platform converts "$" + pair.
unsigned char PairValue(std::string_view hex, size_t index) {
    std::string text = "$";
    text.append(hex.substr(2 * index, 2));
    return static_cast<unsigned char>(StrToInt(text));
}

} // namespace

std::string HexEncode(std::string_view text) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size() * 2);
    for (unsigned char c : text) {
        out.push_back(kDigits[c >> 4]);
        out.push_back(kDigits[c & 15]);
    }
    return out;
}

std::string HexDecode(std::string_view hex) {
    std::string padded(hex);
    if (padded.size() % 2 != 0) padded.push_back('0');
    std::string out;
    out.reserve(padded.size() / 2);
    for (size_t i = 0; i < padded.size() / 2; ++i) out.push_back(static_cast<char>(PairValue(padded, i)));
    return out;
}

void DecodeMeaning(std::string_view encoded, std::string_view key, std::string& result) {
    if (encoded.size() % 2 != 0) {
        if (Sink()) Sink()(kBadCipherText);
        return;
    }
    // One pass per key byte, each exclusive-or-ing every byte, is the same as a single
    // exclusive-or with all key bytes combined. Converting the pairs in order raises the
    // conversion error on the first bad pair, as the first pass would.
    unsigned char combined = 0;
    for (unsigned char k : key) combined ^= k;
    std::string plain;
    plain.reserve(encoded.size() / 2);
    for (size_t i = 0; i < encoded.size() / 2; ++i)
        plain.push_back(static_cast<char>(PairValue(encoded, i) ^ combined));
    result = std::move(plain);
}

MessageSink SetMeaningMessageSink(MessageSink sink) {
    return std::exchange(Sink(), std::move(sink));
}

} // namespace wl
