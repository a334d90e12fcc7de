// LZHUF encoder of the host packer: the same parameters and adaptive tree as the program's
// decoder (4096-byte ring pre-filled with spaces, matches of 3 to 60 bytes). Host tool only:
// the program itself contains no compressor.
#pragma once

#include <string>
#include <string_view>

namespace wl::skinpack {

// The stored form: the size as 32-bit little-endian, then the bit stream. Inputs of 2 GiB or
// more cannot be described by the size field and are refused (std::length_error).
std::string LzhCompress(std::string_view data);

} // namespace wl::skinpack
