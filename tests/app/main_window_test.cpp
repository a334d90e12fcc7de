// The main window driven through real messages: lookups by button and by Enter against small
// dictionaries, failures and their message boxes, placement and layout, tooltips, copy, print,
// exit, and the requests handed to the speech service.
#include "forms_support.h"

#include "app/com.h"
#include "skin/forms/skin_manage.h"
#include "skin/forms/win_skin_form.h"
#include "support/capture.h"
#include "support/gui.h"
#include "support/leak_loop.h"
#include "support/msgbox_catcher.h"
#include "support/testdata.h"
#include "ui/clipbrd.h"
#include "ui/strconv.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace wl::test {
namespace {

const char* const kNotFound = "对不起,没有查询到词条.";
const char* const kApple = "n. 苹果；苹果树 (ABC), 1st";

const DictRows& SampleRows() {
    static const DictRows rows = {
        {"applet", Stored("n. 小程序")},
        {"apple", Stored("  " + std::string(kApple) + " \r\n")},
        {"苹果", Stored("apple")},
        {"cherry", Stored("樱桃")},
        {"cherry", Stored("第二个")},
        {"odd", "ABC"},
        {"nothex", "4G12"},
        {"latin", Stored("only English, 123!")},
    };
    return rows;
}

std::string SampleFolder() {
    static const std::string folder = DictionaryFolder("sample", SampleRows());
    return folder;
}

TEST(MainWindow, LooksUpByButtonAndByEnterAlike) {
    struct Case {
        const char* name;
        const char* field;      // typed (UTF-8)
        const char* fieldAfter; // the keyword field afterwards
        const char* memo;       // the memo afterwards ("previous" when unchanged)
        const char* box;        // message box text, or nullptr
        const wchar_t* spoken;  // the one request sent, or nullptr for none
    } cases[] = {
        {"blanks around", "  apple \t", "apple", kApple, nullptr, L"<LANG LANGID=\"804\">苹果；苹果树"},
        {"exact", "apple", "apple", kApple, nullptr, L"<LANG LANGID=\"804\">苹果；苹果树"},
        {"empty field", "", "", "previous", nullptr, nullptr},
        {"only blanks", "   ", "", kNotFound, nullptr, nullptr},
        {"prefix only", "appl", "appl", kNotFound, nullptr, nullptr},
        {"letter case", "Apple", "Apple", kNotFound, nullptr, nullptr},
        {"Chinese keyword", "苹果", "苹果", "apple", nullptr, L"<LANG LANGID=\"804\">"},
        {"duplicate word", "cherry", "cherry", "樱桃", nullptr, L"<LANG LANGID=\"804\">樱桃"},
        {"odd length", "odd", "odd", "", "密文错误！", L"<LANG LANGID=\"804\">"},
        {"not hexadecimal", "nothex", "nothex", "previous", "'$4G' is not a valid integer value", nullptr},
        {"only listed characters", "latin", "latin", "only English, 123!", nullptr, L"<LANG LANGID=\"804\">"},
        {"missing word", "zebra", "zebra", kNotFound, nullptr, nullptr},
    };
    ProgramWindows w(SampleFolder());
    for (bool byEnter : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (byEnter ? " (Enter)" : " (button)"));
            w.Main().Memo1->SetText("previous");
            w.spoken.clear();
            w.Type(Ansi(c.field));
            MessageBoxCatcher boxes;
            if (byEnter) w.PressEnter();
            else w.Click(w.Main().Bsearch);
            EXPECT_EQ(w.FieldUtf8(), c.fieldAfter);
            EXPECT_EQ(w.MemoUtf8(), c.memo);
            if (c.box) {
                ASSERT_EQ(boxes.Boxes().size(), 1u);
                EXPECT_EQ(boxes.Boxes()[0].text, c.box);
                EXPECT_EQ(boxes.Boxes()[0].caption, "Wordlark");
            } else {
                EXPECT_TRUE(boxes.Boxes().empty());
            }
            if (c.spoken) {
                ASSERT_EQ(w.spoken.size(), 1u);
                EXPECT_EQ(w.spoken[0].text, c.spoken);
                EXPECT_EQ(w.spoken[0].flags, 1);
            } else {
                EXPECT_TRUE(w.spoken.empty());
            }
        }
    }
}

TEST(MainWindow, SpeakButtonSendsTheKeywordAsItIs) {
    ProgramWindows w(SampleFolder());
    w.Type("");
    w.Click(w.Main().BSpeak);
    EXPECT_TRUE(w.spoken.empty());
    w.Type(" apple ");
    w.Click(w.Main().BSpeak);
    ASSERT_EQ(w.spoken.size(), 1u);
    EXPECT_EQ(w.spoken[0].text, L"<LANG LANGID=\"409\"> apple ");
    EXPECT_EQ(w.spoken[0].flags, 1);
    EXPECT_EQ(w.FieldUtf8(), " apple "); // speaking does not trim the field
}

TEST(MainWindow, TrailByteThatLooksLikeALetterStaysWithItsCharacter) {
    // GBK 0xB0 0x61: a Chinese character whose second byte is the code of "a".
    const std::string ansiMeaning = "a\xB0\x61z";
    ASSERT_EQ(AnsiToWide(ansiMeaning).size(), 3u) << "the test needs code page 936";
    std::string utf8Meaning = Utf8(ansiMeaning);
    ProgramWindows w(DictionaryFolder("trail", {{"word", Stored(utf8Meaning)}}));
    w.Type("word");
    w.Click(w.Main().Bsearch);
    ASSERT_EQ(w.spoken.size(), 1u);
    EXPECT_EQ(w.spoken[0].text, L"<LANG LANGID=\"804\">" + AnsiToWide("\xB0\x61"));
}

TEST(MainWindow, FailingSpeechIsReportedAndTheMeaningStays) {
    // Through a double that fails like the service does here, and through the real service:
    // either it queues the request, or its error is shown; the meaning is shown in both.
    for (bool real : {false, true}) {
        SCOPED_TRACE(real ? "real service" : "failing double");
        ProgramWindows w(SampleFolder(), false, real);
        if (!real)
            w.Main().SpVoice1->SetSpeaker(std::make_unique<RecordingSpeaker>(w.spoken, E_NOTIMPL));
        w.Type("apple");
        MessageBoxCatcher boxes;
        w.Click(w.Main().Bsearch);
        EXPECT_EQ(w.MemoUtf8(), kApple);
        if (!real || !boxes.Boxes().empty()) {
            ASSERT_EQ(boxes.Boxes().size(), 1u);
            EXPECT_EQ(boxes.Boxes()[0].caption, "Wordlark");
            EXPECT_FALSE(boxes.Boxes()[0].text.empty());
            if (!real) {
                EXPECT_EQ(boxes.Boxes()[0].text, Utf8(HResultText(E_NOTIMPL)));
            }
        }
        if (real) {
            auto* sapi = dynamic_cast<SapiSpeaker*>(&w.Main().SpVoice1->Speaker());
            ASSERT_NE(sapi, nullptr);
            std::printf("speech service: %s\n", boxes.Boxes().empty() ? "request queued" : "error reported");
        }
    }
}

TEST(MainWindow, EmptyKeywordDoesNotConnectTheSpeechService) {
    ProgramWindows w(SampleFolder(), false, true);
    w.Type("");
    MessageBoxCatcher boxes;
    w.Click(w.Main().BSpeak);
    auto* sapi = dynamic_cast<SapiSpeaker*>(&w.Main().SpVoice1->Speaker());
    ASSERT_NE(sapi, nullptr);
    EXPECT_FALSE(sapi->Connected());
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST(MainWindow, DamagedStoreIsReportedAndLaterLookupsFindTheTableClosed) {
    std::string folder = FolderWithFile("damaged", "words.mdb", std::string(4096, '\x5A'));
    MessageBoxCatcher boxes;
    ProgramWindows w(folder);
    // The store is read once the window has painted.
    w.PumpUntil([&] { return !boxes.Boxes().empty(); });
    w.Pump();
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_FALSE(boxes.Boxes()[0].text.empty());
    EXPECT_TRUE(IsWindowVisible(w.Main().Handle()));
    EXPECT_FALSE(w.QuitRequested()) << "a damaged store must not end the program";
    boxes.Clear();
    w.Main().Memo1->SetText("previous");
    w.Type(" apple ");
    w.Click(w.Main().Bsearch);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "Cannot perform this operation on a closed dataset");
    EXPECT_EQ(w.MemoUtf8(), "previous");
    EXPECT_EQ(w.FieldUtf8(), "apple");
}

// The dictionary's index is read after the window is in sight, and before the first lookup can
// use it: a lookup made at once finds its word, and left alone the table opens by itself.
TEST(MainWindow, DictionaryOpensAfterTheWindowIsShownAndBeforeTheFirstLookup) {
    for (bool lookUpAtOnce : {true, false}) {
        SCOPED_TRACE(lookUpAtOnce ? "looked up at once" : "left alone");
        MessageBoxCatcher boxes;
        ProgramWindows w(SampleFolder());
        if (lookUpAtOnce) {
            w.Type("cherry");
            w.Click(w.Main().Bsearch);
            EXPECT_EQ(w.MemoUtf8(), "樱桃");
        }
        EXPECT_TRUE(w.PumpUntil([&] { return w.Main().ADOTable1->Active(); })) << "the table never opened";
        EXPECT_TRUE(IsWindowVisible(w.Main().Handle()));
        EXPECT_TRUE(boxes.Boxes().empty()) << boxes.Boxes()[0].text;
        w.Type("cherry");
        w.Click(w.Main().Bsearch);
        EXPECT_EQ(w.MemoUtf8(), "樱桃");
    }
}

// A dictionary whose table `main` has no rows: every lookup shows the not-found text, with no
// message box and nothing spoken.
TEST(MainWindow, EmptyTableShowsTheNotFoundText) {
    ProgramWindows w(DictionaryFolder("empty-main", {}));
    MessageBoxCatcher boxes;
    for (const char* typed : {"apple", "   ", "苹果"}) {
        SCOPED_TRACE(typed);
        for (bool byEnter : {false, true}) {
            w.Main().Memo1->SetText("previous");
            w.Type(Ansi(typed));
            if (byEnter) w.PressEnter();
            else w.Click(w.Main().Bsearch);
            EXPECT_EQ(w.MemoUtf8(), kNotFound) << (byEnter ? "Enter" : "button");
        }
    }
    EXPECT_TRUE(boxes.Boxes().empty()) << boxes.Boxes()[0].text;
    EXPECT_TRUE(w.spoken.empty());
}

TEST(MainWindow, ReadsItsSkinAndFontsWithTheWindow) {
    ProgramWindows w(SampleFolder());
    TFmain& f = w.Main();
    // The skin stored with the window is loaded while the window is read.
    ASSERT_NE(f.SkinData1, nullptr);
    EXPECT_FALSE(f.SkinData1->SkinBytes.empty());
    EXPECT_FALSE(f.SkinData1->NotLoaded);
    EXPECT_TRUE(f.SkinData1->Active());
    EXPECT_EQ(f.SkinData1->Skin3rd()->Count(), 115);
    EXPECT_EQ(GetPropertyText(*f.SkinData1, "DisableTag"), "99");
    EXPECT_EQ(GetPropertyText(*f.SkinData1, "Options"), "[xoPreview, xoToolbarBK]");
    EXPECT_EQ(f.SkinData1->Skin3rdKind("TAdvPageControl"), std::optional<std::string>("nil"));

    EXPECT_EQ(f.Font().Name(), "MS Sans Serif");
    EXPECT_EQ(f.Font().Height(), -11);
    for (TControl* field : {static_cast<TControl*>(f.Edit1), static_cast<TControl*>(f.Memo1)}) {
        SCOPED_TRACE(field->Name());
        EXPECT_EQ(field->Font().Name(), "MS Sans Serif");
        EXPECT_EQ(field->Font().Height(), -13);
        EXPECT_EQ(field->Font().Color(), clBlue);
        EXPECT_EQ(GetPropertyText(*field, "Font.Style"), "[fsBold]");
    }
    EXPECT_EQ(GetPropertyText(*f.BExit, "Font.Style"), "[]");
}

TEST(MainWindow, OpensAtTheTopRightCornerWithItsLayout) {
    ProgramWindows w(SampleFolder());
    TFmain& f = w.Main();
    RECT r;
    GetWindowRect(f.Handle(), &r);
    EXPECT_EQ(r.left, GetSystemMetrics(SM_CXSCREEN) - 308);
    EXPECT_EQ(r.top, 1);
    // The window wears the skin: its client area is the one of the designed 308 x 163 window
    // in the system's frame, framed by the skin's borders.
    TWinSkinForm* skin = TSkinManage::Instance() ? TSkinManage::Instance()->FindForm(f.Handle()) : nullptr;
    ASSERT_NE(skin, nullptr);
    const RECT system = TSystemFrameMetrics().FrameInsets(
        TFrameRequest{&f, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_THICKFRAME, 0, false});
    const RECT b = skin->Borders();
    RECT client;
    GetClientRect(f.Handle(), &client);
    EXPECT_EQ(client.right, 308 - system.left - system.right);
    EXPECT_EQ(client.bottom, 163 - system.top - system.bottom);
    EXPECT_EQ(r.right - r.left, client.right + b.left + b.right);
    EXPECT_EQ(r.bottom - r.top, client.bottom + b.top + b.bottom);
    EXPECT_EQ(skin->Caps() & (capSystemMenu | capMinimize | capMaximize), capSystemMenu | capMinimize);
    EXPECT_EQ(Utf8(f.Caption()), "Wordlark");
    EXPECT_EQ(Application->Title(), "Wordlark");
    EXPECT_FALSE(Application->Icon().Empty());
    EXPECT_EQ(GetFocus(), f.Edit1->Handle());

    struct Control {
        TWinControl* control;
        int left, top, width, height, tabOrder;
        const char* caption; // nullptr for the edits
        const char* hint;    // "" for none
    } controls[] = {
        {f.BExit, 246, 102, 44, 21, 0, "退出", "退出软件"},
        {f.BCopy, 63, 102, 50, 21, 1, "复制", ""},
        {f.BSpeak, 5, 102, 48, 22, 2, "朗读", ""},
        {f.BPrint, 124, 102, 50, 21, 3, "打印", ""},
        {f.Edit1, 6, 3, 163, 22, 4, nullptr, ""},
        {f.Memo1, 6, 29, 284, 68, 5, nullptr, ""},
        {f.Bsearch, 179, 3, 52, 20, 6, "查询", "查询输入关键字"},
        {f.BPicture, 235, 3, 52, 20, 7, "图片", "显示关键字相关图片(需联网)"},
    };
    for (const Control& c : controls) {
        SCOPED_TRACE(c.control->Name());
        RECT b;
        GetWindowRect(c.control->Handle(), &b);
        MapWindowPoints(nullptr, f.Handle(), reinterpret_cast<POINT*>(&b), 2);
        EXPECT_EQ(b.left, c.left);
        EXPECT_EQ(b.top, c.top);
        EXPECT_EQ(b.right - b.left, c.width);
        EXPECT_EQ(b.bottom - b.top, c.height);
        EXPECT_EQ(c.control->TabOrder(), c.tabOrder);
        if (c.caption) {
            EXPECT_EQ(Utf8(c.control->Caption()), c.caption);
        }
        EXPECT_EQ(Utf8(c.control->Hint()), c.hint);
        EXPECT_EQ(c.control->ShowHint(), *c.hint != '\0');
    }
    for (TCustomEdit* edit : {static_cast<TCustomEdit*>(f.Edit1), static_cast<TCustomEdit*>(f.Memo1)}) {
        EXPECT_EQ(edit->Color(), clWhite);
        EXPECT_FALSE(edit->Ctl3D());
        EXPECT_EQ(edit->Font().Height(), -13);
        EXPECT_EQ(edit->Font().Color(), clBlue);
        EXPECT_EQ(edit->Font().Style(), FontStyles({fsBold}));
    }
    EXPECT_FALSE(GetWindowLongA(f.Memo1->Handle(), GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL));
    EXPECT_EQ(f.BExit->Font().Height(), -11);
    EXPECT_EQ(f.ADOTable1->TableName(), "main");
    EXPECT_EQ(f.ADOTable1->ConnectionString(),
              "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + SampleFolder() +
                  "\\words.mdb;Persist Security Info=False");
    EXPECT_FALSE(f.SpVoice1->AutoConnect());
}

TEST(MainWindow, KeywordTooltipFollowsClicksAndFocus) {
    ProgramWindows w(SampleFolder());
    TEdit* edit = w.Main().Edit1;
    HWND tips = Application->HintWindow();
    ASSERT_NE(tips, nullptr);
    auto tools = [&] { return SendMessageA(tips, TTM_GETTOOLCOUNT, 0, 0); };
    LRESULT before = tools();
    EXPECT_FALSE(edit->ShowHint());
    EXPECT_EQ(edit->Hint(), "");
    const char* hint = "输入英文单词查意思,输入汉语查同义英文.";
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        SendMessageA(edit->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageA(edit->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        EXPECT_TRUE(edit->ShowHint());
        EXPECT_EQ(Utf8(edit->Hint()), hint);
        EXPECT_EQ(tools(), before + 1);
        w.Main().Bsearch->SetFocus();
        w.Pump(); // what the focus change posted
        EXPECT_FALSE(edit->ShowHint());
        EXPECT_EQ(Utf8(edit->Hint()), hint);
        EXPECT_EQ(tools(), before);
        edit->SetFocus();
    }
}

TEST(MainWindow, CopyPutsTheWholeMeaningOnTheClipboardAndKeepsItSelected) {
    ProgramWindows w(SampleFolder());
    w.Type("apple");
    w.Click(w.Main().Bsearch);
    Clipboard().SetAsText("something else");
    w.Click(w.Main().BCopy);
    EXPECT_EQ(Utf8(Clipboard().AsText()), kApple);
    EXPECT_EQ(w.Main().Memo1->SelStart(), 0);
    // Selection positions count characters.
    EXPECT_EQ(w.Main().Memo1->SelLength(), static_cast<int>(Utf8ToWide(kApple).size()));
}

TEST(MainWindow, PrintingWithoutAPrinterIsReportedAndTheProgramGoesOn) {
    ProgramWindows w(SampleFolder());
    {
        MessageBoxCatcher boxes;
        w.Click(w.Main().BPrint);
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        EXPECT_EQ(boxes.Boxes()[0].caption, "Wordlark");
        std::printf("print: %s\n", boxes.Boxes()[0].text.c_str());
    }
    EXPECT_FALSE(w.QuitRequested());
    w.Type("cherry");
    w.Click(w.Main().Bsearch);
    EXPECT_EQ(w.MemoUtf8(), "樱桃");
}

TEST(MainWindow, ExitEndsTheProgram) {
    ProgramWindows w(SampleFolder());
    EXPECT_FALSE(w.QuitRequested());
    w.Click(w.Main().BExit);
    EXPECT_TRUE(w.QuitRequested());
}

TEST(MainWindow, Screenshot) {
    ProgramWindows w(SampleFolder());
    w.Type("apple");
    w.Click(w.Main().Bsearch);
    SetForegroundWindow(w.Main().Handle());
    EXPECT_TRUE(WaitFlushed(w.Main().Handle()));
    // The title strip shows the window's caption in the skin's title colour.
    RECT title{0, 0, 0, 0};
    EXPECT_GT(TitleTextInk(w.Main().Handle(), &title), 20);
    EXPECT_GT(title.right - title.left, 30);
    EXPECT_TRUE(SaveWindowBitmap(w.Main().Handle(), ArtifactDir() + "/main-window.bmp"));
    // The same window inactive: another window takes the focus.
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE | WS_CAPTION, 0, 300, 120, 80, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(other);
    w.PumpUntil([&] { return GetForegroundWindow() == other; });
    EXPECT_TRUE(WaitFlushed(w.Main().Handle())); // repainted inactive
    EXPECT_NE(GetForegroundWindow(), w.Main().Handle());
    EXPECT_TRUE(SaveWindowBitmap(w.Main().Handle(), ArtifactDir() + "/main-window-inactive.bmp"));
    DestroyWindow(other);
}

// The skinned main window with a long meaning found and the memo scrolled down, pictured as
// main-window-scrolled.bmp: the memo shows later lines than before it was scrolled.
TEST(MainWindow, ScreenshotWithTheMeaningScrolled) {
    std::string meaning;
    for (int i = 1; i <= 40; ++i) meaning += std::to_string(i) + ". 苹果 apple tree, line " + std::to_string(i) + "\r\n";
    ProgramWindows w(DictionaryFolder("long-meaning", {{"apple", Stored(meaning)}}));
    w.Type("apple");
    w.Click(w.Main().Bsearch);
    SetForegroundWindow(w.Main().Handle());
    EXPECT_TRUE(WaitFlushed(w.Main().Handle()));
    TSkinManage* m = TSkinManage::Instance();
    ASSERT_NE(m, nullptr);
    ASSERT_NE(m->FindForm(w.Main().Handle()), nullptr);
    HWND memo = w.Main().Memo1->Handle();
    ASSERT_EQ(SendMessageA(memo, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    ASSERT_GT(SendMessageA(memo, EM_GETLINECOUNT, 0, 0), 20);
    RedrawWindow(memo, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    ASSERT_TRUE(WaitFlushed(memo));
    const TCapture top = TCapture::Client(memo);
    SendMessageA(memo, WM_VSCROLL, SB_PAGEDOWN, 0);
    SendMessageA(memo, WM_VSCROLL, SB_PAGEDOWN, 0);
    w.Pump(); // what the scrolling posted
    EXPECT_GT(SendMessageA(memo, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    RedrawWindow(w.Main().Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    ASSERT_TRUE(WaitFlushed(w.Main().Handle()));
    const TCapture scrolled = TCapture::Client(memo);
    ASSERT_EQ(top.Width(), scrolled.Width());
    ASSERT_EQ(top.Height(), scrolled.Height());
    const int differing = top.CountDiffering(scrolled, {0, 0, top.Width(), top.Height()});
    EXPECT_GT(differing, top.Width() * top.Height() / 100) << "the memo looks the same after scrolling";
    EXPECT_TRUE(SaveWindowBitmap(w.Main().Handle(), ArtifactDir() + "/main-window-scrolled.bmp"));
}

// The main window's skin switched off and on again through its component, each time carried out
// as the manager's timer does and painted: the window is restored and re-skinned every time and
// the handle counts stay flat.
TEST(MainWindow, SkinSwitchedOffAndOnKeepsHandleCountsFlat) {
    ProgramWindows w(SampleFolder());
    TFmain& f = w.Main();
    TSkinManage* m = TSkinManage::Instance();
    ASSERT_NE(m, nullptr);
    ASSERT_TRUE(w.PumpUntil([&] { return m->FindForm(f.Handle()) != nullptr; }));
    RECT client;
    GetClientRect(f.Handle(), &client);
    TLeakLoop loop;
    loop.Paint = [&] { PaintNow(f.Handle()); };
    ExpectNoLeak(
        [&](int) {
            f.SkinData1->SetActive(false);
            m->TimerTick();
            ASSERT_EQ(m->FindForm(f.Handle()), nullptr);
            PaintNow(f.Handle()); // unskinned
            f.SkinData1->SetActive(true);
            m->TimerTick();
            w.Pump();
            ASSERT_NE(m->FindForm(f.Handle()), nullptr);
        },
        loop);
    RECT after;
    GetClientRect(f.Handle(), &after);
    EXPECT_EQ(after.right, client.right);
    EXPECT_EQ(after.bottom, client.bottom);
}

// The default error handler's box wears the skin while it is shown.
TEST(MainWindow, ErrorBoxIsSkinned) {
    ProgramWindows w(SampleFolder());
    static bool skinned = false;
    static bool saved = false;
    static bool titled = false; // the box's title shows on its skinned title strip
    skinned = saved = titled = false;
    // A short repeating timer inside the box's modal loop: acts once the box shows skinned.
    const UINT_PTR timer = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, [](HWND, UINT, UINT_PTR id, DWORD) {
        HWND box = FindWindowA("#32770", nullptr);
        if (!box || !IsWindowVisible(box)) return;
        TSkinManage* m = TSkinManage::Instance();
        TWinSkinForm* f = m ? m->FindForm(box) : nullptr;
        if (!f || f->State() != sfsRunning) return;
        skinned = SendMessageA(box, SKM_ISSKINNED, 0, 0) == 1;
        RedrawWindow(box, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        titled = TitleTextInk(box) > 20;
        saved = SaveWindowBitmap(box, ArtifactDir() + "/error-box.bmp");
        KillTimer(nullptr, id);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    ASSERT_NE(timer, 0u);
    Application->ShowException("Something went wrong");
    KillTimer(nullptr, timer);
    EXPECT_TRUE(skinned);
    EXPECT_TRUE(saved);
    EXPECT_TRUE(titled);
}

} // namespace
} // namespace wl::test
