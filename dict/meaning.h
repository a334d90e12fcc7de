// Meaning decoder: the dictionary stores each meaning as hexadecimal digit pairs of its bytes,
// every byte combined by exclusive-or with all bytes of a fixed key. Portable code; the one
// message it shows goes through a sink that the Windows build connects to a message box.
// The encoder, which only dictionary makers need, is in meaning_encode.h.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace wl {

// The key every dictionary entry is prepared with.
inline constexpr std::string_view kMeaningKey = "71q845";

// The message shown when an encoded meaning has an odd number of characters (UTF-8).
inline constexpr std::string_view kBadCipherText = "\xE5\xAF\x86\xE6\x96\x87\xE9\x94\x99\xE8\xAF\xAF\xEF\xBC\x81"; // 密文错误！

// Every byte as two upper-case hexadecimal digits.
std::string HexEncode(std::string_view text);

// Digit pairs back to bytes; an odd-length input is padded with a trailing "0". A pair that is
// not hexadecimal throws EConvertError "'$XY' is not a valid integer value".
std::string HexDecode(std::string_view hex);

// Decodes an encoded meaning with the key into `result`, which the caller has emptied.
// Odd length: the bad-cipher message is shown and `result` is left untouched.
// A non-hexadecimal pair: EConvertError, raised on the first bad pair, `result` untouched.
void DecodeMeaning(std::string_view encoded, std::string_view key, std::string& result);

// Where the codec's message goes; receives UTF-8 text. Returns the previous sink.
using MessageSink = std::function<void(std::string_view utf8Text)>;
MessageSink SetMeaningMessageSink(MessageSink sink);

} // namespace wl
