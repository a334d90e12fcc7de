// Skin archive reader. A skin archive is a 4-byte expanded size followed by LZHUF data; expanded
// it is a container of named entries (all integers 32-bit little-endian):
//   0        version, must be 20000
//   4        L, length of the name list in bytes
//   8        8 reserved bytes (never read)
//   16       name list: names as text lines (CR, LF or CR LF; a zero byte ends the list)
//   16+L     one size per name, in list order
//   16+L+4n  the entries' data back to back, in list order
// The reader expands an archive once and then hands out entries by name. Names are used in
// lower case (A to Z only), so the case stored in the archive does not matter. Portable code.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wl {

// Shown when an archive has another version than 20000: two lines joined by one CR.
inline constexpr std::string_view kOlderSkinMessage =
    "This is Older Skin File\rPlease update to new version !";

// Where the reader's one user message (kOlderSkinMessage) goes; the Windows skin layer connects
// it to a message box with one OK button. Empty by default (silent). Returns the previous sink.
using SkinMessageSink = std::function<void(std::string_view text)>;
SkinMessageSink SetSkinMessageSink(SkinMessageSink sink);

struct TSkinArchiveHeader {
    int32_t Version = 0;
    uint32_t NameListLength = 0;
    uint8_t Reserved[8] = {};
};

class TSkinReader {
public:
    static constexpr int32_t kVersion = 20000;

    // Expands a stored archive (4-byte size + LZHUF data) and loads its container.
    // Returns false, keeping the entries loaded before, when:
    // - the version is not 20000: kOlderSkinMessage goes to the message sink (only the stored
    //   header is replaced);
    // - the data is damaged (too short for its size field or header, a name list or size table
    //   running past the end, entry sizes adding up to more than the data, or an expanded size
    //   beyond the decoder's limit): nothing is shown; LastError() says what was wrong.
    // Compressed data that ends before its stated size still loads (the missing bits read as
    // zero), but LastError() then says so; it is empty after a load of complete data.
    // Never throws for bad input.
    bool LoadArchive(std::string_view archive);

    // The same for a container that is already expanded.
    bool LoadContainer(std::string_view container);

    // The entry whose lower-cased name equals the lower-cased `name`; the first one when several
    // share a name. Absent: nothing (GetEntryByName gives an empty view; callers treat an empty
    // entry as missing). Views stay valid until the next successful load or destruction.
    std::optional<std::string_view> FindEntry(std::string_view name) const;
    std::string_view GetEntryByName(std::string_view name) const {
        return FindEntry(name).value_or(std::string_view());
    }
    // Copies the entry into `target` (cleared first); false when absent.
    bool GetEntryByName(std::string_view name, std::string& target) const;

    // The first entry whose lower-cased name contains `text` byte for byte. `text` is NOT
    // lowered, so a text with an upper-case letter never matches; an empty text matches
    // nothing. When found, `name` receives
    // the entry's lower-cased name; otherwise `name` is left unchanged and the result is empty.
    std::string_view GetEntryContaining(std::string_view text, std::string& name) const;
    bool GetEntryContaining(std::string_view text, std::string& target, std::string& name) const;

    int Count() const { return static_cast<int>(FNames.size()); }
    const std::vector<std::string>& Names() const { return FNames; } // lower-cased, list order
    const std::vector<uint32_t>& Sizes() const { return FSizes; }
    const std::string& Data() const { return FData; } // all entry data back to back
    const TSkinArchiveHeader& Header() const { return FHeader; }
    const std::string& LastError() const { return FLastError; }

private:
    bool Fail(std::string message);
    std::optional<size_t> IndexOf(std::string_view lowered) const;
    std::optional<size_t> IndexContaining(std::string_view text) const;
    std::string_view EntryAt(size_t index) const;

    std::vector<std::string> FNames;
    std::vector<uint32_t> FSizes;   // sized from the name list, however many entries it has
    std::vector<size_t> FOffsets;   // offset of each entry in FData
    std::string FData;
    TSkinArchiveHeader FHeader;
    std::string FLastError;
};

// The names of a container as stored (case kept), in list order; used by tools that must
// reproduce names exactly. Same line rules as the reader.
std::vector<std::string> SkinContainerStoredNames(std::string_view container);

} // namespace wl
