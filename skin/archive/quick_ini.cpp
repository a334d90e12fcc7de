// In-memory INI reader (see quick_ini.h).
#include "skin/archive/quick_ini.h"

#include "skin/archive/text_lines.h"

namespace wl {
namespace {

char LowerChar(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (LowerChar(a[i]) != LowerChar(b[i])) return false;
    return true;
}

int DigitValue(char c, int base) {
    int v;
    if (c >= '0' && c <= '9') v = c - '0';
    else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    else return -1;
    return v < base ? v : -1;
}

} // namespace

bool IniStrToInt(std::string_view text, int32_t& value) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size()) return false;
    const uint64_t limit = base == 16 ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    uint64_t acc = 0;
    for (; i < text.size(); ++i) {
        int d = DigitValue(text[i], base);
        if (d < 0) return false;
        acc = acc * base + d;
        if (acc > limit) return false;
    }
    uint32_t bits = static_cast<uint32_t>(acc);
    if (negative) bits = 0u - bits;
    value = static_cast<int32_t>(bits);
    return true;
}

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
    std::string s = ReadString(section, key, "");
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) s.replace(0, 2, "$");
    int32_t value;
    if (s.empty() || !IniStrToInt(s, value)) return defaultValue;
    return value;
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
