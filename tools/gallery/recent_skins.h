// The gallery's list of the skins opened last: at most five full paths, the most recent first,
// no path twice (paths compare without regard to ASCII case, as Windows file names do). The list
// is kept as a small INI text; a text that is not such a list, or is damaged, reads as an empty
// list rather than as whatever lines happen to parse. Portable code, no windows.h.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace wl {

inline constexpr std::size_t kRecentSkinCount = 5;
inline constexpr std::string_view kRecentSkinsSection = "[Recent skins]";

// The list held in `text`: the section line, then "1=path" to "5=path" in any order. Empty when
// the text has anything else (another section, a line without "=", a number out of range or
// given twice, an empty path, control bytes). Duplicate paths keep their first place.
std::vector<std::string> ParseRecentSkins(std::string_view text);

// The text ParseRecentSkins reads back as `paths` (the first kRecentSkinCount of them; CR LF
// line ends).
std::string FormatRecentSkins(const std::vector<std::string>& paths);

// Puts `path` first, drops its other occurrences and keeps at most kRecentSkinCount paths. An
// empty path changes nothing.
void PushRecentSkin(std::vector<std::string>& paths, std::string_view path);

} // namespace wl
