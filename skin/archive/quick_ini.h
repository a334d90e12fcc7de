// In-memory INI reader for skin definitions. Loads a whole text once, then answers string and
// integer lookups and lists the sections. Rules:
// - Lines end at CR, LF or CR LF; a zero byte ends the text. Each line is trimmed (bytes <= 32).
// - Empty lines and lines starting with ";" are dropped (a ";" later in a line is text).
// - "[name]" lines are section headers; section names match without regard to letter case,
//   the first of duplicated headers wins, and the name is matched between the brackets as
//   written ("[ Buttons ]" is not section "Buttons").
// - Other lines are key lines: key = text before the first "=", trimmed and lowered (A-Z);
//   value = text after it, trimmed, case kept. A line without "=" has an empty key, no value.
// - Within a section the first line with the key decides: an empty value gives the default
//   and later lines with the key are not consulted. Lines before the first header are never
//   read. An empty key never yields a value.
// Portable code.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace wl {

class TQuickIni {
public:
    // Replaces the contents with the parsed `text` (the stream's bytes from its position on).
    void LoadFromText(std::string_view text);
    // A missing stream leaves the reader as it was.
    void LoadFromStream(const std::string* stream) {
        if (stream) LoadFromText(*stream);
    }

    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;

    // The value as a 32-bit signed integer: an optional sign, then decimal digits, or "$" or
    // "0x"/"0X" and hexadecimal digits (hexadecimal may use all 32 bits: "$FFFFFFFF" is -1).
    // Missing, empty, malformed or out of range: the default.
    int32_t ReadInteger(std::string_view section, std::string_view key,
                        int32_t defaultValue) const;

    // Section names in text order, without brackets, trimmed; duplicates included.
    std::vector<std::string> ReadSections() const;

    // Every kept line, trimmed, in text order (headers included).
    std::vector<std::string> Lines() const;

private:
    struct Line {
        std::string text;
        std::string key; // lowered; empty for headers and lines without "="
        std::string value;
        bool header = false;
    };
    struct Section {
        std::string header; // "[name]" as written
        size_t line;        // index of the header in FLines
    };

    std::vector<Line> FLines;
    std::vector<Section> FSections;
};

} // namespace wl
