// Speech request texts (see speech_text.h).
#include "app/speech_text.h"

#include <array>

namespace wl {

const std::string_view kSpeechRemovalList =
    "abcdefghijklmnopqrstuvwxyz"
    "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
    " "
    ",.;:'<>/\\?|[]{}()-_=+!@#$%^&*"
    "1234567890";

bool IsGbkLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

std::string RemoveSpokenNoise(std::string_view text, LeadBytePredicate isLeadByte) {
    // Removing each listed character in turn over the whole text gives the same result as one
    // pass that drops any listed character: the listed characters are single ASCII bytes, so
    // dropping one never changes how the remaining bytes pair into double-byte characters.
    static const std::array<bool, 256> listed = [] {
        std::array<bool, 256> table{};
        for (unsigned char c : kSpeechRemovalList) table[c] = true;
        return table;
    }();
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (isLeadByte(c) && i + 1 < text.size()) {
            out.append(text.substr(i, 2));
            ++i;
        } else if (!listed[c]) {
            out.push_back(static_cast<char>(c));
        }
    }
    return out;
}

std::string KeywordSpeechText(std::string_view keyword) {
    std::string out(kEnglishTag);
    out.append(keyword);
    return out;
}

std::string MeaningSpeechText(std::string_view meaning, LeadBytePredicate isLeadByte) {
    std::string out(kChineseTag);
    out.append(RemoveSpokenNoise(meaning, isLeadByte));
    return out;
}

} // namespace wl
