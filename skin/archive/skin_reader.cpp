// Skin archive reader (see skin_reader.h).
#include "skin/archive/skin_reader.h"

#include "skin/archive/lzh.h"
#include "skin/archive/text_lines.h"

#include <cstring>
#include <new>
#include <utility>

namespace wl {
namespace {

SkinMessageSink& Sink() {
    static SkinMessageSink sink;
    return sink;
}

uint32_t ReadLe32(const char* p) {
    const auto* b = reinterpret_cast<const uint8_t*>(p);
    return b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(b[3]) << 24;
}

constexpr size_t kHeaderSize = 16;

} // namespace

SkinMessageSink SetSkinMessageSink(SkinMessageSink sink) {
    return std::exchange(Sink(), std::move(sink));
}

bool TSkinReader::Fail(std::string message) {
    FLastError = std::move(message);
    return false;
}

bool TSkinReader::LoadArchive(std::string_view archive) {
    std::string expanded;
    size_t missing = 0;
    try {
        TLZH().Expand(archive, expanded, &missing);
    } catch (const ElzhException& e) {
        return Fail(std::string("Skin archive cannot be expanded: ") + e.what());
    } catch (const std::bad_alloc&) {
        return Fail("Skin archive cannot be expanded: out of memory");
    }
    if (!LoadContainer(expanded)) return false;
    if (missing > 0)
        FLastError = "Skin archive is damaged: its compressed data ends " + std::to_string(missing) +
                     (missing == 1 ? " byte" : " bytes") + " too early";
    return true;
}

bool TSkinReader::LoadContainer(std::string_view c) {
    FLastError.clear();
    if (c.size() < kHeaderSize)
        return Fail("Skin archive is damaged: " + std::to_string(c.size()) +
                    " bytes are too few for its 16-byte header");
    TSkinArchiveHeader header;
    header.Version = static_cast<int32_t>(ReadLe32(c.data()));
    header.NameListLength = ReadLe32(c.data() + 4);
    std::memcpy(header.Reserved, c.data() + 8, 8);
    FHeader = header;
    if (header.Version != kVersion) {
        if (Sink()) Sink()(kOlderSkinMessage);
        return Fail(std::string(kOlderSkinMessage));
    }

    const uint64_t listEnd = kHeaderSize + uint64_t{header.NameListLength};
    if (listEnd > c.size())
        return Fail("Skin archive is damaged: its name list of " +
                    std::to_string(header.NameListLength) + " bytes runs past the end");
    std::vector<std::string> names;
    for (std::string_view line : SplitLines(c.substr(kHeaderSize, header.NameListLength)))
        names.push_back(LowerAscii(line));

    const uint64_t tableEnd = listEnd + 4 * uint64_t{names.size()};
    if (tableEnd > c.size())
        return Fail("Skin archive is damaged: the size table of " + std::to_string(names.size()) +
                    " entries runs past the end");
    std::vector<uint32_t> sizes(names.size());
    std::vector<size_t> offsets(names.size());
    uint64_t total = 0;
    for (size_t i = 0; i < names.size(); ++i) {
        sizes[i] = ReadLe32(c.data() + listEnd + 4 * i);
        offsets[i] = static_cast<size_t>(total);
        total += sizes[i];
    }
    const uint64_t dataSize = c.size() - tableEnd;
    if (total > dataSize) {
        // Name the first entry that does not fit: that is where the data was cut or the table broken.
        size_t bad = 0;
        uint64_t start = 0;
        while (bad + 1 < names.size() && start + sizes[bad] <= dataSize) start += sizes[bad++];
        const uint64_t left = start < dataSize ? dataSize - start : 0;
        return Fail("Skin archive is damaged: entry '" + names[bad] + "' of " + std::to_string(sizes[bad]) +
                    " bytes runs past the end (" + std::to_string(left) + " left; the entries need " +
                    std::to_string(total) + ", the archive holds " + std::to_string(dataSize) + ")");
    }

    FData.assign(c.substr(static_cast<size_t>(tableEnd)));
    FNames = std::move(names);
    FSizes = std::move(sizes);
    FOffsets = std::move(offsets);
    return true;
}

std::optional<size_t> TSkinReader::IndexOf(std::string_view lowered) const {
    for (size_t i = 0; i < FNames.size(); ++i)
        if (FNames[i] == lowered) return i;
    return std::nullopt;
}

std::string_view TSkinReader::EntryAt(size_t index) const {
    return std::string_view(FData).substr(FOffsets[index], FSizes[index]);
}

std::optional<std::string_view> TSkinReader::FindEntry(std::string_view name) const {
    auto index = IndexOf(LowerAscii(name));
    if (!index) return std::nullopt;
    return EntryAt(*index);
}

bool TSkinReader::GetEntryByName(std::string_view name, std::string& target) const {
    target.clear();
    auto entry = FindEntry(name);
    if (!entry) return false;
    target.assign(*entry);
    return true;
}

std::optional<size_t> TSkinReader::IndexContaining(std::string_view text) const {
    if (text.empty()) return std::nullopt; // an empty text names nothing
    for (size_t i = 0; i < FNames.size(); ++i)
        if (FNames[i].find(text) != std::string::npos) return i;
    return std::nullopt;
}

std::string_view TSkinReader::GetEntryContaining(std::string_view text, std::string& name) const {
    auto index = IndexContaining(text);
    if (!index) return {};
    name = FNames[*index];
    return EntryAt(*index);
}

bool TSkinReader::GetEntryContaining(std::string_view text, std::string& target,
                                     std::string& name) const {
    target.clear();
    auto index = IndexContaining(text);
    if (!index) return false;
    name = FNames[*index];
    target.assign(EntryAt(*index));
    return true;
}

std::vector<std::string> SkinContainerStoredNames(std::string_view c) {
    std::vector<std::string> names;
    if (c.size() < kHeaderSize) return names;
    uint64_t length = ReadLe32(c.data() + 4);
    if (kHeaderSize + length > c.size()) return names;
    for (std::string_view line : SplitLines(c.substr(kHeaderSize, static_cast<size_t>(length))))
        names.emplace_back(line);
    return names;
}

} // namespace wl
