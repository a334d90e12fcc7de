// In-memory INI reader (see quick_ini.h).
#include "skin/archive/quick_ini.h"

#include "base/strings.h"
#include "skin/archive/text_lines.h"

namespace wl {

void TQuickIni::LoadFromText(std::string_view text) {
    std::vector<Line> lines;
    std::vector<Section> sections;
    for (std::string_view raw : SplitLines(text)) {
        std::string_view s = TrimBlanks(raw);
        if (s.empty() || s.front() == ';') continue;
        Line line;
        line.text = std::string(s);
        if (s.front() == '[' && s.back() == ']') {
            line.header = true;
            sections.push_back({line.text, lines.size()});
        } else if (size_t eq = s.find('='); eq != std::string_view::npos) {
            line.key = LowerAscii(TrimBlanks(s.substr(0, eq)));
            line.value = std::string(TrimBlanks(s.substr(eq + 1)));
        }
        lines.push_back(std::move(line));
    }
    FLines = std::move(lines);
    FSections = std::move(sections);
}

std::string TQuickIni::ReadString(std::string_view section, std::string_view key,
                                  std::string_view defaultValue) const {
    std::string result(defaultValue);
    const std::string lowered = LowerAscii(key);
    if (FLines.empty() || lowered.empty()) return result;
    std::string header(1, '[');
    header.append(section).push_back(']');
    const Section* found = nullptr;
    for (const Section& s : FSections)
        if (SameText(s.header, header)) {
            found = &s;
            break;
        }
    if (!found) return result;
    for (size_t i = found->line + 1; i < FLines.size() && !FLines[i].header; ++i)
        if (FLines[i].key == lowered) {
            if (!FLines[i].value.empty()) result = FLines[i].value;
            break;
        }
    return result;
}

int32_t TQuickIni::ReadInteger(std::string_view section, std::string_view key,
                               int32_t defaultValue) const {
    int32_t value = defaultValue;
    return TryStrToInt(ReadString(section, key, ""), value) ? value : defaultValue;
}

std::vector<std::string> TQuickIni::ReadSections() const {
    std::vector<std::string> names;
    for (const Section& s : FSections) {
        std::string_view t = TrimBlanks(s.header);
        t = t.size() >= 2 ? t.substr(1, t.size() - 2) : std::string_view();
        names.emplace_back(TrimBlanks(t));
    }
    return names;
}

std::vector<std::string> TQuickIni::Lines() const {
    std::vector<std::string> out;
    out.reserve(FLines.size());
    for (const Line& l : FLines) out.push_back(l.text);
    return out;
}

} // namespace wl
