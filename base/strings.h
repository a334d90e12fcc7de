// Portable text helpers every layer shares: the exception root with the conversion error and its
// platform text, trimming, ASCII case-blind comparison, and integer conversion in the platform's
// formats. No <windows.h>: the native build uses this too.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace wl {

// Root of the program's exceptions; what() is the text shown to the user.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

// A text that is not a number in the expected format.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// Removes every leading and trailing byte whose code is 32 or less; the result views `text`.
std::string_view TrimBlanks(std::string_view text);
// The same as an owned string.
inline std::string Trim(std::string_view text) {
    return std::string(TrimBlanks(text));
}

// Equality of two texts ignoring the case of ASCII letters (names of classes, properties,
// members and sections are ASCII); other bytes compare as they are.
bool SameText(std::string_view a, std::string_view b);

// Integer conversion as the platform does it: optional leading blanks, an optional sign, then
// decimal digits, or "$" / "0x" / "0X" followed by hexadecimal digits. Decimal values must fit
// 32 signed bits; hexadecimal ones may use all 32 bits ("$FFFFFFFF" is -1). Nothing may follow
// the digits. Reports failure by returning false, `value` untouched.
bool TryStrToInt(std::string_view text, int32_t& value);

// Like TryStrToInt, but a text that is not such a number throws EConvertError
// "'<text>' is not a valid integer value".
int32_t StrToInt(std::string_view text);

} // namespace wl
