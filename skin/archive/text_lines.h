// Text helpers shared by the archive and INI readers: splitting a text into lines the way the
// skin formats define them, and lowering ASCII letters only (trimming is in base/strings.h).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace wl {

// Splits at CR, at LF, or at a CR LF pair (one break, not two). A zero byte ends the text.
// A break at the very end adds no empty last line; an empty line inside the text is kept.
std::vector<std::string_view> SplitLines(std::string_view text);

// Lowers the letters A to Z; every other byte (including the bytes of double-byte characters)
// is left as it is.
std::string LowerAscii(std::string_view text);

} // namespace wl
