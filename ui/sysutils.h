// Portable string and conversion helpers of the user-interface library: the exception root,
// the conversion error with the platform's texts, trimming and integer conversion.
// No <windows.h> here: the native build uses this too.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace wl {

// Root of the library's exceptions; what() is the text shown to the user.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

// A text that is not a number in the expected format.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// Removes every leading and trailing byte whose code is 32 or less.
std::string Trim(std::string_view text);

// Equality of two texts ignoring the case of ASCII letters (names of classes, properties,
// members and sections are ASCII).
bool SameText(std::string_view a, std::string_view b);

// Integer conversion as the platform does it: optional leading blanks, an optional sign, then
// decimal digits, or "$" / "0x" / "0X" followed by hexadecimal digits. Anything else, or a value
// outside 32 bits, throws EConvertError "'<text>' is not a valid integer value".
int32_t StrToInt(std::string_view text);

// Like StrToInt, but reports failure instead of throwing.
bool TryStrToInt(std::string_view text, int32_t& value);

} // namespace wl
