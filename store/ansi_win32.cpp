// ANSI code page conversions under Windows: the system code page (CP_ACP), as every other
// 8-bit text of the program.
#include "store/text.h"

#include <windows.h>

namespace wl::store {

void SetNativeAnsiCodePage(const std::string&) {}

std::string Utf16ToAnsi(std::u16string_view text) {
    if (text.empty()) return {};
    const auto* w = reinterpret_cast<const wchar_t*>(text.data());
    int n = WideCharToMultiByte(CP_ACP, 0, w, int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(CP_ACP, 0, w, int(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::u16string AnsiToUtf16(std::string_view text) {
    if (text.empty()) return {};
    int n = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
    std::u16string out(size_t(n > 0 ? n : 0), u'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), reinterpret_cast<wchar_t*>(out.data()), n);
    return out;
}

} // namespace wl::store
