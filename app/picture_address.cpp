// Picture window addresses (see picture_address.h).
#include "app/picture_address.h"

namespace wl {

std::string ImageSearchAddress(std::string_view keyword) {
    std::string out(kImageSearchSite);
    out += "/images?q=";
    out += keyword;
    out += "&hl=zh-CN&btnG=%E6%90%9C%E7%B4%A2%E5%9B%BE%E7%89%87";
    return out;
}

namespace {

// One path byte of a file address: separators become "/", bytes that would end or change the
// path (and every byte outside printable ASCII) are percent-encoded.
void AppendPathByte(std::string& out, unsigned char c) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    if (c == '\\' || c == '/') {
        out += '/';
    } else if (c <= 0x20 || c >= 0x7F || c == '%' || c == '#' || c == '?' || c == '"' || c == '<' || c == '>' ||
               c == '^' || c == '`' || c == '{' || c == '}' || c == '|') {
        out += '%';
        out += kHex[c >> 4];
        out += kHex[c & 15];
    } else {
        out += char(c);
    }
}

} // namespace

std::string InformationPageAddress(std::string_view folder) {
    std::string path(folder);
    while (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    path += '\\';
    path += kInformationPageFile;
    // "C:\dir" becomes file:///C:/dir, a share "\\server\share" becomes file://server/share.
    std::string out = "file://";
    size_t from = 0;
    if (path.size() >= 2 && (path[0] == '\\' || path[0] == '/') && (path[1] == '\\' || path[1] == '/')) from = 2;
    else out += '/';
    for (size_t i = from; i < path.size(); ++i) AppendPathByte(out, static_cast<unsigned char>(path[i]));
    return out;
}

} // namespace wl
