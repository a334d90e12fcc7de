// The gallery's recent skins list (see recent_skins.h).
#include "tools/gallery/recent_skins.h"

#include "base/strings.h"

#include <algorithm>
#include <array>
#include <optional>

namespace wl {
namespace {

bool HasControlBytes(std::string_view s) {
    return std::any_of(s.begin(), s.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 32; });
}

// The slot number of a key "1" to "5" (kRecentSkinCount), else nothing.
std::optional<std::size_t> SlotOf(std::string_view key) {
    if (key.size() != 1 || key[0] < '1' || key[0] > '0' + static_cast<int>(kRecentSkinCount))
        return std::nullopt;
    return static_cast<std::size_t>(key[0] - '1');
}

bool Contains(const std::vector<std::string>& paths, std::string_view path) {
    return std::any_of(paths.begin(), paths.end(),
                       [&](const std::string& p) { return SameText(p, path); });
}

} // namespace

std::vector<std::string> ParseRecentSkins(std::string_view text) {
    std::array<std::optional<std::string>, kRecentSkinCount> slots;
    bool inSection = false;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        line = TrimBlanks(line);
        if (line.empty()) continue;
        if (HasControlBytes(line)) return {};
        if (!inSection) {
            if (!SameText(line, kRecentSkinsSection)) return {};
            inSection = true;
            continue;
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) return {};
        const auto slot = SlotOf(TrimBlanks(line.substr(0, eq)));
        const std::string_view path = TrimBlanks(line.substr(eq + 1));
        if (!slot || slots[*slot] || path.empty()) return {};
        slots[*slot] = std::string(path);
    }
    std::vector<std::string> paths;
    for (const auto& s : slots)
        if (s && !Contains(paths, *s)) paths.push_back(*s);
    return paths;
}

std::string FormatRecentSkins(const std::vector<std::string>& paths) {
    std::string text(kRecentSkinsSection);
    text += "\r\n";
    for (std::size_t i = 0; i < paths.size() && i < kRecentSkinCount; ++i)
        text += std::to_string(i + 1) + "=" + paths[i] + "\r\n";
    return text;
}

void PushRecentSkin(std::vector<std::string>& paths, std::string_view path) {
    if (path.empty()) return;
    std::erase_if(paths, [&](const std::string& p) { return SameText(p, path); });
    paths.insert(paths.begin(), std::string(path));
    if (paths.size() > kRecentSkinCount) paths.resize(kRecentSkinCount);
}

} // namespace wl
