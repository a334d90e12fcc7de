// Speech texts and picture addresses: the removal of Latin letters, digits and listed
// punctuation by multi-byte character, the language tags, and the image search address.
#include "app/picture_address.h"
#include "app/speech_text.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

namespace wl {
namespace {

// GBK bytes of a few characters. 0x81 0x61 is a Chinese character whose second byte is 'a'.
const std::string kApple = "\xC6\xBB\xB9\xFB";  // 苹果
const std::string kSecondByteA = "\x81\x61";    // 乤
const std::string kFullStop = "\xA1\xA3";       // 。

TEST(SpeechText, RemovalListHasItsNinetyTwoCharactersInOrder) {
    EXPECT_EQ(kSpeechRemovalList.size(), 92u);
    EXPECT_EQ(kSpeechRemovalList.front(), 'a');
    EXPECT_EQ(kSpeechRemovalList.substr(52, 1), " ");
    EXPECT_EQ(kSpeechRemovalList.substr(53, 29), ",.;:'<>/\\?|[]{}()-_=+!@#$%^&*");
    EXPECT_EQ(kSpeechRemovalList.substr(82), "1234567890");
}

TEST(SpeechText, RemovesListedCharactersByMultiByteCharacter) {
    struct Case {
        std::string meaning;
        std::string spoken;
    } cases[] = {
        {"n. " + kApple, kApple},
        {"ABC" + kApple + "abc", kApple},
        {kSecondByteA + "a", kSecondByteA},         // the trail byte 'a' stays, the letter goes
        {"a" + kSecondByteA + "Z9", kSecondByteA},
        {"apple, 123 (n.)", ""},                    // only listed characters: nothing left
        {"\"`~\r\n" + kFullStop, "\"`~\r\n" + kFullStop}, // not listed: kept
        {"[1] " + kApple + "; [2] " + kApple, kApple + kApple},
        {"x\x81", "\x81"},                          // a lone lead byte at the end is kept
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RemoveSpokenNoise(c.meaning, IsGbkLeadByte), c.spoken) << c.meaning;
}

TEST(SpeechText, RequestsCarryTheirLanguageTag) {
    EXPECT_EQ(kEnglishTag.size(), 19u);
    EXPECT_EQ(kChineseTag.size(), 19u);
    EXPECT_EQ(KeywordSpeechText("  apple "), "<LANG LANGID=\"409\">  apple ");
    EXPECT_EQ(MeaningSpeechText("n. " + kApple, IsGbkLeadByte), "<LANG LANGID=\"804\">" + kApple);
    EXPECT_EQ(MeaningSpeechText("only english", IsGbkLeadByte), "<LANG LANGID=\"804\">");
}

#ifdef _WIN32
TEST(SpeechText, PlatformLeadByteTestAgreesUnderCodePage936) {
    ASSERT_EQ(GetACP(), 936u);
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(IsDBCSLeadByte(static_cast<BYTE>(b)) != FALSE, IsGbkLeadByte(static_cast<unsigned char>(b))) << b;
}
#endif

TEST(PictureAddress, KeywordIsInsertedWithoutEncoding) {
    struct Case {
        std::string keyword, query;
    } cases[] = {
        {"apple", "apple"},
        {"ice cream", "ice cream"},
        {kApple, kApple},
        {"a&b", "a&b"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ImageSearchAddress(c.keyword),
                  std::string(kImageSearchSite) + "/images?q=" + c.query +
                      "&hl=zh-CN&btnG=%E6%90%9C%E7%B4%A2%E5%9B%BE%E7%89%87");
}

TEST(PictureAddress, InformationPageIsAFileBesideTheProgram) {
    struct Case {
        const char* folder; // UTF-8
        const char* address;
    } cases[] = {
        {"C:\\Wordlark", "file:///C:/Wordlark/wordlark-info.html"},
        {"C:\\Wordlark\\", "file:///C:/Wordlark/wordlark-info.html"},
        {"C:", "file:///C:/wordlark-info.html"},
        {"C:\\Program Files (x86)\\Word lark", "file:///C:/Program%20Files%20(x86)/Word%20lark/wordlark-info.html"},
        {"D:\\a#b\\50%\\why?", "file:///D:/a%23b/50%25/why%3F/wordlark-info.html"},
        {"E:\\\xE8\xAF\x8D\xE5\x85\xB8", "file:///E:/%E8%AF%8D%E5%85%B8/wordlark-info.html"}, // 词典
        {"\\\\server\\share\\apps", "file://server/share/apps/wordlark-info.html"},
        {"Z:/work/build/app", "file:///Z:/work/build/app/wordlark-info.html"},
    };
    for (const auto& c : cases) EXPECT_EQ(InformationPageAddress(c.folder), c.address) << c.folder;
}

} // namespace
} // namespace wl
