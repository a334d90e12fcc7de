// Text conversions between the program's 8-bit texts (system ANSI code page), UTF-8 (source
// literals, test output) and UTF-16 (the wide Win32 boundaries). Windows only.
#pragma once

#include <string>
#include <string_view>

namespace wl {

std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);
std::wstring AnsiToWide(std::string_view text);
std::string WideToAnsi(std::wstring_view text);
// A UTF-8 literal as a text of the system ANSI code page.
std::string Utf8ToAnsi(std::string_view text);
std::string AnsiToUtf8(std::string_view text);

} // namespace wl
