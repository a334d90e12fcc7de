// Addresses the picture window shows: the image search for a keyword and the program's
// information page, a file installed beside the executable. Kept here and nowhere else.
#pragma once

#include <string>
#include <string_view>

namespace wl {

inline constexpr std::string_view kImageSearchSite = "https://www.google.com";
// The information page's file name, beside the executable.
inline constexpr std::string_view kInformationPageFile = "wordlark-info.html";

// The search address for a trimmed keyword. The keyword is inserted as it is, without
// percent-encoding: the browser encodes it on the wire.
std::string ImageSearchAddress(std::string_view keyword);

// The file address of the information page in `folder` (UTF-8, a Windows path without a
// trailing separator: "C:\\Program Files\\Wordlark" or "\\\\server\\share\\dir"). Blanks,
// "%", "#", "?" and every non-ASCII byte are percent-encoded, so the result is plain ASCII.
std::string InformationPageAddress(std::string_view folder);

// The picture window's caption for a trimmed keyword (UTF-8 suffix " - 图片" converted by the
// caller to the ANSI code page).
inline constexpr std::string_view kPictureCaptionSuffixUtf8 = " - \xE5\x9B\xBE\xE7\x89\x87";

} // namespace wl
