// The codec's message reaches a real message box captioned with the application title.
#include "dict/meaning.h"
#include "app/meaning_box.h"
#include "support/msgbox_catcher.h"
#include "ui/strconv.h"

#include <gtest/gtest.h>

namespace wl {
namespace {

TEST(MeaningMessageBox, OddLengthShowsTheBoxWithTheTitle) {
    MessageSink previous = SetMeaningMessageSink({});
    ConnectMeaningMessageBox([] { return Utf8ToAnsi("Wordlark \xE8\xAF\x8D\xE5\x85\xB8"); });
    test::MessageBoxCatcher catcher;
    std::string result;
    DecodeMeaning("ABC", kMeaningKey, result);
    SetMeaningMessageSink(previous);
    EXPECT_EQ(result, "");
    ASSERT_EQ(catcher.Boxes().size(), 1u);
    EXPECT_EQ(catcher.Boxes()[0].caption, "Wordlark \xE8\xAF\x8D\xE5\x85\xB8");
    EXPECT_EQ(catcher.Boxes()[0].text, std::string(kBadCipherText));
}

} // namespace
} // namespace wl
