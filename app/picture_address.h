// Addresses the picture window shows: the image search for a keyword and the maker's
// information page. Both are constants of the program, kept here and nowhere else.
#pragma once

#include <string>
#include <string_view>

namespace wl {

inline constexpr std::string_view kImageSearchSite = "https://www.google.com";
inline constexpr std::string_view kInformationPage = "https://www.example.org/wordlark/";

// The search address for a trimmed keyword. The keyword is inserted as it is, without
// percent-encoding: the browser encodes it on the wire.
std::string ImageSearchAddress(std::string_view keyword);

// The picture window's caption for a trimmed keyword (UTF-8 suffix " - 图片" converted by the
// caller to the ANSI code page).
inline constexpr std::string_view kPictureCaptionSuffixUtf8 = " - \xE5\x9B\xBE\xE7\x89\x87";

} // namespace wl
