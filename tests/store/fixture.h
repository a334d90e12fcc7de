// Helpers for the store tests: small dictionaries written by our own writer into the build
// tree, and UTF-16 literals from UTF-8.
#pragma once

#include "store/text.h"
#include "store/writer.h"
#include "support/testdata.h"

#include <fstream>
#include <string>
#include <vector>

namespace wl::test {

inline std::u16string U(std::string_view utf8) { return store::Utf8ToUtf16(utf8); }

// Writes `bytes` as ArtifactDir()/name and returns the path.
inline std::string WriteArtifact(const std::string& name, const std::string& bytes) {
    std::string path = ArtifactDir() + "/" + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    return path;
}

// Table `main` (word Text(255), mean Memo) with the given UTF-8 rows.
inline std::string DictBytes(const std::vector<std::pair<std::string, std::string>>& rows,
                             store::WriterOptions options = {}) {
    std::vector<store::WriterRow> r;
    for (const auto& [w, m] : rows) r.push_back({U(w), U(m)});
    return store::WriteJetTable("main", {{"word", false, 255}, {"mean", true, 0}}, r, options);
}

} // namespace wl::test
