// The texts handed to the speech service: the keyword tagged as English, and the Chinese part
// of a meaning (Latin letters, digits, the blank and listed punctuation removed) tagged as
// Chinese. Portable: the code page's lead-byte test is passed in.
#pragma once

#include <string>
#include <string_view>

namespace wl {

inline constexpr std::string_view kEnglishTag = "<LANG LANGID=\"409\">";
inline constexpr std::string_view kChineseTag = "<LANG LANGID=\"804\">";

// Every request is asynchronous: the call returns at once and the service queues it.
inline constexpr int kSpeakAsync = 1;

// The characters removed from a meaning before it is spoken, in the order they are removed.
extern const std::string_view kSpeechRemovalList;

// True for a byte that starts a double-byte character of the code page in use.
using LeadBytePredicate = bool (*)(unsigned char);

// Lead bytes of code page 936 (GBK): 0x81 to 0xFE.
bool IsGbkLeadByte(unsigned char byte);

// Removes every listed character from `text`, character by character of the multi-byte code
// page: the second byte of a double-byte character is never taken for a listed character.
std::string RemoveSpokenNoise(std::string_view text, LeadBytePredicate isLeadByte);

// The full request texts.
std::string KeywordSpeechText(std::string_view keyword);
std::string MeaningSpeechText(std::string_view meaning, LeadBytePredicate isLeadByte);

} // namespace wl
