// Clipboard text round trips (Chinese text in the ANSI code page included) and the printer's
// errors when no printer exists.
#include "ui/clipbrd.h"
#include "ui/printers.h"
#include "ui/strconv.h"

#include <gtest/gtest.h>

namespace wl {
namespace {

TEST(Clipboard, TextRoundTrips) {
    const std::string texts[] = {
        "hello",
        "",
        "two\r\nlines",
        Utf8ToAnsi("\xE8\xAF\x8D\xE5\x85\xB8 dictionary \xE4\xB8\xAD\xE6\x96\x87"),
        std::string(100000, 'x'),
    };
    for (const std::string& t : texts) {
        Clipboard().SetAsText(t);
        EXPECT_TRUE(Clipboard().HasFormat(CF_TEXT));
        EXPECT_EQ(Clipboard().AsText(), t) << t.substr(0, 20);
    }
}

TEST(Clipboard, ChineseTextReachesWideReaders) {
    ASSERT_EQ(GetACP(), 936u) << "the test locale must be Chinese";
    const std::wstring wide = L"\x8BCD\x5178";
    Clipboard().SetAsText(WideToAnsi(wide));
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    std::wstring got = data ? static_cast<const wchar_t*>(GlobalLock(data)) : L"";
    if (data) GlobalUnlock(data);
    CloseClipboard();
    EXPECT_EQ(got, wide);
}

TEST(Clipboard, ClearAndForeignData) {
    Clipboard().SetAsText("x");
    Clipboard().Clear();
    EXPECT_FALSE(Clipboard().HasFormat(CF_TEXT));
    EXPECT_EQ(Clipboard().AsText(), "");

    // Text put there by someone else without a terminating zero is read only up to its end.
    ASSERT_TRUE(OpenClipboard(Clipboard().OwnerWindow()));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, 3);
    memcpy(GlobalLock(memory), "abc", 3);
    GlobalUnlock(memory);
    SetClipboardData(CF_TEXT, memory);
    CloseClipboard();
    // Wine terminates such text itself by cutting its last byte; Windows may not.
    const std::string got = Clipboard().AsText();
    EXPECT_LE(got.size(), 3u);
    EXPECT_EQ(got, std::string("abc").substr(0, got.size()));
    EXPECT_GE(got.size(), 2u);
}

TEST(Clipboard, BusyClipboardIsAnError) {
    HWND other = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_TRUE(other);
    ASSERT_TRUE(OpenClipboard(other));
    EXPECT_THROW(Clipboard().SetAsText("x"), EClipboardException);
    CloseClipboard();
    DestroyWindow(other);
    EXPECT_NO_THROW(Clipboard().SetAsText("x"));
}

TEST(Printer, NoPrinterIsReportedAsAnException) {
    TPrinter printer;
    try {
        printer.PrinterName();
        FAIL() << "expected no default printer";
    } catch (const EPrinter& e) {
        EXPECT_STREQ(e.what(), "There is no default printer currently selected");
    }
    EXPECT_THROW(printer.BeginDoc("Wordlark"), EPrinter);
    EXPECT_FALSE(printer.Printing());
    EXPECT_THROW(printer.Canvas(), EPrinter);
    EXPECT_THROW(printer.PageWidth(), EPrinter);
    try {
        printer.EndDoc();
        FAIL() << "expected an error";
    } catch (const EPrinter& e) {
        EXPECT_STREQ(e.what(), "Printer is not currently printing");
    }
    EXPECT_THROW(Printer().BeginDoc(), Exception);
}

} // namespace
} // namespace wl
