// Test inputs and artifact folder (see testdata.h).
#include "support/testdata.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace wl::test {

std::optional<std::string> SharedTestData(const std::string& relative) {
    std::string path = std::string(WL_SHARED_DIR) + "/testdata/" + relative;
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return std::nullopt;
    return path;
}

std::string ArtifactDir() {
    std::string dir = std::string(WL_BINARY_DIR) + "/artifacts";
#ifdef _WIN32
    dir = "Z:" + dir;
#endif
    std::filesystem::create_directories(dir);
    return dir;
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

} // namespace wl::test
