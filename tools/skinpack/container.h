// Skin container writer and the packer's commands: pack a folder into a skin archive, unpack an
// archive into a folder, list an archive, expand a bare LZHUF stream. Host tool only.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace wl::skinpack {

struct SkinEntry {
    std::string name; // as stored; any bytes except CR, LF and NUL
    std::string data;
};

// The expanded container: version, name list length, 8 zero reserved bytes, the names joined by
// CR LF (with a closing CR LF only when the last name is empty, so that it is not lost), the
// sizes, the data. A name with CR, LF or NUL: std::invalid_argument.
std::string BuildSkinContainer(const std::vector<SkinEntry>& entries, int32_t version = 20000);

// Name of the manifest that `unpack` writes and `pack` follows: one line per entry, in order,
// "stored name<TAB>file name". It keeps names that cannot be file names (an empty name, names
// that differ only in case, names with a slash) and the entry order.
inline constexpr std::string_view kManifestName = "skinpack.lst";

// The entries `pack` takes from a folder: as listed by its manifest when it has one, otherwise
// every regular file in byte order of the file names.
std::vector<SkinEntry> ReadFolder(const std::string& dir);

// The commands. Failures throw std::runtime_error with a message for the user.
void Pack(const std::string& dir, const std::string& archive);
void Unpack(const std::string& archive, const std::string& dir);
void List(const std::string& archive, std::ostream& out);
void Expand(const std::string& in, const std::string& out);

// Command-line entry point; returns the process exit code (0 ok, 1 failure, 2 usage).
int Main(int argc, char** argv, std::ostream& out, std::ostream& err);

} // namespace wl::skinpack
