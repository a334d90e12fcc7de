// What the gallery needs around a skin archive file: reading it and checking that it loads as a
// skin before the gallery lets go of the skin it wears, the stamp (write time and size) that
// tells a changed file, and the file in the user's application-data folder that keeps the list
// of skins opened last.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace wl {

// Why `bytes` are no skin archive the gallery can switch to, in words for the status bar and
// message texts ("not a skin archive …", "damaged: …"); empty when they load as a skin with a
// definition. Compressed data cut short counts as damaged, although the engine would load it.
// The archive reader's version message is not shown (the caller tells the reason).
std::string SkinArchiveProblem(std::string_view bytes);

struct TSkinFileRead {
    bool Ok = false;
    // The file could not be opened just now (it is held by a writer, or missing): a later try
    // may succeed without the file changing its stamp.
    bool Busy = false;
    std::string Bytes;
    std::string Problem; // why the file cannot be used (empty when Ok)
};

// Reads the whole file (shared with writers) and checks it with SkinArchiveProblem.
TSkinFileRead ReadSkinArchiveFile(const std::string& path);

struct TFileStamp {
    bool Exists = false;
    uint64_t Written = 0; // last write time, FILETIME units
    uint64_t Size = 0;
    bool operator==(const TFileStamp&) const = default;
};
TFileStamp FileStampOf(const std::string& path);

// "<application data>\Wordlark\gallery-skins.ini" (the folder is made when missing); empty when
// the system names no application-data folder.
std::string DefaultRecentSkinsFile();
// The list the file holds; empty for a missing, unreadable, oversized or damaged file.
std::vector<std::string> LoadRecentSkinsFile(const std::string& file);
bool SaveRecentSkinsFile(const std::string& file, const std::vector<std::string>& paths);

// The file name part of a path ("C:\a\b.skn" gives "b.skn").
std::string FileNameOf(const std::string& path);

} // namespace wl
