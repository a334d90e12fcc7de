// Meaning encoder (see meaning_encode.h).
#include "dict/meaning_encode.h"

namespace wl {

std::string EncodeMeaning(std::string_view plain, std::string_view key) {
    unsigned char combined = 0;
    for (unsigned char k : key) combined ^= k;
    std::string mixed(plain);
    for (char& c : mixed) c = static_cast<char>(static_cast<unsigned char>(c) ^ combined);
    return HexEncode(mixed);
}

} // namespace wl
