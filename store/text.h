// Text conversions of the store: the file's UTF-16 to UTF-8 (tools, messages) and to and from
// the system ANSI code page (what the program works in). Under Windows the ANSI code page is
// the system's (CP_ACP); natively it is code page 936, the dictionary's Chinese code page,
// unless SetNativeAnsiCodePage names another iconv encoding.
#pragma once

#include <string>
#include <string_view>

namespace wl::store {

std::string Utf16ToUtf8(std::u16string_view text);
// Invalid UTF-8 bytes become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);

// Characters the code page cannot hold become '?'.
std::string Utf16ToAnsi(std::u16string_view text);
std::u16string AnsiToUtf16(std::string_view text);

// Equality ignoring the case of ASCII letters (table, column and connection-string names).
bool EqualNoCase(std::string_view a, std::string_view b);

// Native builds only (ignored under Windows): the iconv name of the ANSI code page.
void SetNativeAnsiCodePage(const std::string& iconvName);

} // namespace wl::store
