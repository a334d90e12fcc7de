// Meaning codec: encoding, decoding, the two failures, and the inverse used for dictionaries.
#include "dict/meaning_encode.h"
#include "base/strings.h"

#include <gtest/gtest.h>

namespace wl {
namespace {

// "$" + pair, built by appending: GCC 12 warns falsely (-Wrestrict) about operator+ here.
int32_t PairValue(const std::string& hex, size_t index) {
    std::string text = "$";
    text.append(hex, 2 * index, 2);
    return StrToInt(text);
}

// The decoder as the program was first written: one full hexadecimal round trip per key byte,
// from the last key byte to the first. The fast decoder must agree with it byte for byte.
std::string DecodeByPasses(std::string_view encoded, std::string_view key) {
    std::string keyHex = HexEncode(key);
    std::string current(encoded);
    for (size_t r = keyHex.size() / 2; r >= 1; --r) {
        std::string result;
        unsigned char b = static_cast<unsigned char>(PairValue(keyHex, r - 1));
        for (size_t j = 0; j < current.size() / 2; ++j) {
            unsigned char a = static_cast<unsigned char>(PairValue(current, j));
            result += HexEncode(std::string(1, static_cast<char>(a ^ b)));
        }
        current = result;
    }
    return HexDecode(current);
}

struct SinkRecorder {
    std::vector<std::string> messages;
    MessageSink previous;
    SinkRecorder() {
        previous = SetMeaningMessageSink([this](std::string_view t) { messages.emplace_back(t); });
    }
    ~SinkRecorder() { SetMeaningMessageSink(previous); }
};

TEST(HexCodec, EncodeAndDecode) {
    struct Case {
        std::string plain;
        std::string hex;
    } cases[] = {
        {"", ""},
        {std::string("A\n"), "410A"},
        {std::string("\x00\xFF\x7F", 3), "00FF7F"},
        {"\xC6\xBB\xB9\xFB", "C6BBB9FB"}, // GBK for a two-character Chinese word
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HexEncode(c.plain), c.hex);
        EXPECT_EQ(HexDecode(c.hex), c.plain);
    }
}

TEST(HexCodec, DecodePadsOddLengthAndAcceptsLowerCase) {
    EXPECT_EQ(HexDecode("410"), std::string("A\0", 2));
    EXPECT_EQ(HexDecode("4"), std::string("\x40", 1));
    EXPECT_EQ(HexDecode("c6bb"), HexDecode("C6BB"));
}

TEST(HexCodec, BadPairRaisesConversionError) {
    struct Case {
        std::string hex;
        std::string message;
    } cases[] = {
        {"41G1", "'$G1' is not a valid integer value"},
        {"4 41", "'$4 ' is not a valid integer value"},
        {"-1", "'$-1' is not a valid integer value"},
        {"+1", "'$+1' is not a valid integer value"},
        {"4", ""}, // padded to 40: valid
    };
    for (const auto& c : cases) {
        if (c.message.empty()) {
            EXPECT_NO_THROW(HexDecode(c.hex));
            continue;
        }
        try {
            HexDecode(c.hex);
            ADD_FAILURE() << "no error for " << c.hex;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.what(), c.message);
        }
    }
}

TEST(DecodeMeaning, MatchesThePassByPassDecoder) {
    const std::string plains[] = {"", "a", "apple", "\xC6\xBB\xB9\xFB\r\nn. apple",
                                  std::string("\x00\x01\xFE\xFF", 4)};
    const std::string keys[] = {"71q845", "", "k", "\xFF\x01"};
    for (const auto& key : keys) {
        for (const auto& plain : plains) {
            // Any byte string is a valid encoded text: feed both decoders the same input.
            std::string encoded = HexEncode(plain);
            std::string fast;
            DecodeMeaning(encoded, key, fast);
            EXPECT_EQ(fast, DecodeByPasses(encoded, key)) << "key " << key << " plain " << plain;
        }
    }
}

TEST(DecodeMeaning, InvertsEncodeMeaning) {
    const std::string plains[] = {"", "n. \xC6\xBB\xB9\xFB", std::string(1000, '\x80')};
    for (const auto& plain : plains) {
        std::string encoded = EncodeMeaning(plain, kMeaningKey);
        EXPECT_EQ(encoded.size(), plain.size() * 2);
        std::string decoded;
        DecodeMeaning(encoded, kMeaningKey, decoded);
        EXPECT_EQ(decoded, plain);
    }
    // A known value: 'a' (0x61) with all key bytes of "71q845" combined (0x4E) is 0x2F.
    EXPECT_EQ(EncodeMeaning("a", kMeaningKey), "2F");
}

TEST(DecodeMeaning, LowerCaseDigitsDecodeLikeUpperCase) {
    std::string upper, lower;
    DecodeMeaning("16B2C4", kMeaningKey, upper);
    DecodeMeaning("16b2c4", kMeaningKey, lower);
    EXPECT_EQ(upper, lower);
    EXPECT_EQ(upper.size(), 3u);
}

TEST(DecodeMeaning, OddLengthShowsMessageAndLeavesResultEmpty) {
    SinkRecorder sink;
    for (std::string encoded : {"161", "1", "16G"}) {
        std::string result;
        DecodeMeaning(encoded, kMeaningKey, result);
        EXPECT_EQ(result, "");
    }
    ASSERT_EQ(sink.messages.size(), 3u);
    EXPECT_EQ(sink.messages[0], "\xE5\xAF\x86\xE6\x96\x87\xE9\x94\x99\xE8\xAF\xAF\xEF\xBC\x81");
}

TEST(DecodeMeaning, EmptyTextIsEmptyMeaningWithoutMessage) {
    SinkRecorder sink;
    std::string result;
    DecodeMeaning("", kMeaningKey, result);
    EXPECT_EQ(result, "");
    EXPECT_TRUE(sink.messages.empty());
}

TEST(DecodeMeaning, FirstBadPairIsReportedAndResultUntouched) {
    SinkRecorder sink;
    std::string result = "previous";
    try {
        DecodeMeaning("16ZZ1X", kMeaningKey, result);
        ADD_FAILURE() << "no conversion error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'$ZZ' is not a valid integer value");
    }
    EXPECT_EQ(result, "previous");
    EXPECT_TRUE(sink.messages.empty());
}

} // namespace
} // namespace wl
