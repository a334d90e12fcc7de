// ANSI code page conversions for native builds, through iconv. The dictionary's code page is
// 936, so that is the default; tools may name another.
#include "store/text.h"

#include <iconv.h>

#include <cerrno>
#include <mutex>

namespace wl::store {
namespace {

std::string g_codePage = "CP936";
std::mutex g_mutex;

// Converts with iconv; a character the target cannot hold (or a malformed source sequence)
// becomes `replacement` and the conversion goes on after one source unit.
std::string Convert(const char* to, const char* from, const char* data, size_t size, size_t unit,
                    std::string_view replacement) {
    iconv_t cd = iconv_open(to, from);
    if (cd == iconv_t(-1)) return {};
    std::string out;
    char buf[4096];
    char* in = const_cast<char*>(data);
    size_t left = size;
    while (left > 0) {
        char* o = buf;
        size_t room = sizeof buf;
        size_t r = iconv(cd, &in, &left, &o, &room);
        out.append(buf, size_t(o - buf));
        if (r == size_t(-1) && errno != E2BIG) {
            if (errno == EINVAL && left < unit) break;
            out.append(replacement);
            size_t skip = left < unit ? left : unit;
            in += skip;
            left -= skip;
        }
    }
    iconv_close(cd);
    return out;
}

} // namespace

void SetNativeAnsiCodePage(const std::string& iconvName) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_codePage = iconvName;
}

std::string Utf16ToAnsi(std::u16string_view text) {
    bool ascii = true;
    for (char16_t c : text)
        if (c >= 0x80) { ascii = false; break; }
    if (ascii) return std::string(text.begin(), text.end());
    std::string cp;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        cp = g_codePage;
    }
    std::string le;
    le.reserve(text.size() * 2);
    for (char16_t c : text) le.push_back(char(c & 0xFF)), le.push_back(char(c >> 8));
    return Convert(cp.c_str(), "UTF-16LE", le.data(), le.size(), 2, "?");
}

std::u16string AnsiToUtf16(std::string_view text) {
    bool ascii = true;
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) { ascii = false; break; }
    if (ascii) return std::u16string(text.begin(), text.end());
    std::string cp;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        cp = g_codePage;
    }
    std::string le = Convert("UTF-16LE", cp.c_str(), text.data(), text.size(), 1, std::string_view("\xFD\xFF", 2));
    std::u16string out(le.size() / 2, u'\0');
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = char16_t(static_cast<unsigned char>(le[2 * i]) | static_cast<unsigned char>(le[2 * i + 1]) << 8);
    return out;
}

} // namespace wl::store
