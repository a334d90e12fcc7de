// Meaning encoder: the inverse of DecodeMeaning, for the tools that make dictionaries and for
// tests. The program only decodes, so it does not link this.
#pragma once

#include "dict/meaning.h"

#include <string>
#include <string_view>

namespace wl {

// Every plain byte combined by exclusive-or with all bytes of `key`, as upper-case digit pairs.
std::string EncodeMeaning(std::string_view plain, std::string_view key);

} // namespace wl
