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

} // namespace wl
