// The per-window chain behind subclass records, under Wine: records removed in every order and
// by one another during a message, a procedure installed on top of the chain by someone else,
// the window's character set, and the window's last message.
#include "ui/forms.h"
#include "ui/subclass.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <cwchar>
#include <string>

namespace wl::test {
namespace {

// Who saw a WM_SETTEXT, in order: a record's letter, 'f' for a foreign procedure, 'o' for the
// window's own procedure.
std::string g_log;
int g_ncDestroys = 0;
UINT g_lastMessage = 0;

LRESULT OwnMessage(UINT msg) {
    if (msg == WM_SETTEXT) g_log += 'o';
    if (msg == WM_NCDESTROY) ++g_ncDestroys;
    g_lastMessage = msg;
    return 0;
}
LRESULT CALLBACK OwnProcA(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
    OwnMessage(msg);
    return DefWindowProcA(h, msg, wParam, lParam);
}
LRESULT CALLBACK OwnProcW(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
    OwnMessage(msg);
    return DefWindowProcW(h, msg, wParam, lParam);
}

// A procedure put on top of the window with SetWindowLongPtrA, as another module would.
WNDPROC g_foreignPrevious = nullptr;
LRESULT CALLBACK ForeignProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SETTEXT) g_log += 'f';
    return CallWindowProcA(g_foreignPrevious, h, msg, wParam, lParam);
}

class SubclassChain : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        Application->Initialize();
        WNDCLASSA a{};
        a.lpfnWndProc = OwnProcA;
        a.hInstance = GetModuleHandleA(nullptr);
        a.lpszClassName = "WlChainAnsi";
        RegisterClassA(&a);
        WNDCLASSW w{};
        w.lpfnWndProc = OwnProcW;
        w.hInstance = GetModuleHandleW(nullptr);
        w.lpszClassName = L"WlChainUnicode";
        RegisterClassW(&w);
    }
    void TearDown() override {
        for (HWND w : windows_)
            if (IsWindow(w)) DestroyWindow(w);
    }

    HWND Make(bool unicode = false) {
        g_log.clear();
        g_ncDestroys = 0;
        g_lastMessage = 0;
        HWND w = unicode ? CreateWindowExW(0, L"WlChainUnicode", L"", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                                           GetModuleHandleW(nullptr), nullptr)
                         : CreateWindowExA(0, "WlChainAnsi", "", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                                           GetModuleHandleA(nullptr), nullptr);
        windows_.push_back(w);
        return w;
    }
    static LONG_PTR Proc(HWND w) { return GetWindowLongPtrA(w, GWLP_WNDPROC); }
    // A record that notes its letter for WM_SETTEXT and passes every message on.
    static void Watch(TWindowSubclass& sub, HWND w, char letter) {
        ASSERT_TRUE(sub.Attach(w, [&sub, letter](TMessage& m) {
            if (m.Msg == WM_SETTEXT) g_log += letter;
            sub.CallPrevious(m);
        }));
    }
    // Who saw one WM_SETTEXT.
    static std::string Send(HWND w) {
        g_log.clear();
        SendMessageA(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("t"));
        return g_log;
    }

    std::vector<HWND> windows_;
};

TEST_F(SubclassChain, ThreeRecordsRemovedInEveryOrderLeaveTheOthersAndFinallyTheOriginal) {
    std::array<int, 3> order{0, 1, 2};
    do {
        const std::string name = {char('a' + order[0]), char('a' + order[1]), char('a' + order[2])};
        HWND w = Make();
        const LONG_PTR original = Proc(w);
        std::array<TWindowSubclass, 3> subs;
        for (int i = 0; i < 3; ++i) Watch(subs[i], w, char('a' + i));
        EXPECT_EQ(Send(w), "cbao") << name; // the latest record first, the window's own last
        std::string remaining = "abc";
        for (int i : order) {
            subs[i].Detach();
            remaining.erase(remaining.find(char('a' + i)), 1);
            std::string expected(remaining.rbegin(), remaining.rend());
            EXPECT_EQ(Send(w), expected + "o") << name << " after removing " << char('a' + i);
        }
        EXPECT_EQ(Proc(w), original) << name;
        DestroyWindow(w);
        EXPECT_EQ(g_ncDestroys, 1) << name;
    } while (std::next_permutation(order.begin(), order.end()));
}

TEST_F(SubclassChain, RecordsRemovedByAnotherDuringAMessage) {
    struct Case {
        const char* what;
        char remover;        // the record that removes others while handling the first WM_SETTEXT
        const char* removes; // before passing the message on
        const char* during;  // who saw that message
        const char* after;   // who sees the next one
    } cases[] = {
        {"the top removes the one beneath it", 'c', "b", "cao", "cao"},
        {"the middle removes the top that called it", 'b', "c", "cbao", "bao"},
        {"the middle removes both others", 'b', "ac", "cbo", "bo"},
        {"the bottom removes all above it", 'a', "bc", "cbao", "ao"},
    };
    for (const Case& c : cases) {
        HWND w = Make();
        const LONG_PTR original = Proc(w);
        std::array<TWindowSubclass, 3> subs;
        bool done = false;
        for (int i = 0; i < 3; ++i) {
            const char letter = char('a' + i);
            TWindowSubclass& self = subs[i];
            ASSERT_TRUE(self.Attach(w, [&, letter](TMessage& m) {
                if (m.Msg == WM_SETTEXT) {
                    g_log += letter;
                    if (letter == c.remover && !done) {
                        done = true;
                        for (const char* r = c.removes; *r; ++r) subs[*r - 'a'].Detach();
                    }
                }
                self.CallPrevious(m);
            }));
        }
        EXPECT_EQ(Send(w), c.during) << c.what;
        EXPECT_EQ(Send(w), c.after) << c.what;
        for (TWindowSubclass& s : subs) s.Detach();
        EXPECT_EQ(Proc(w), original) << c.what;
        EXPECT_EQ(Send(w), "o") << c.what;
        DestroyWindow(w);
        EXPECT_EQ(g_ncDestroys, 1) << c.what;
    }
}

TEST_F(SubclassChain, AProcedureInstalledOnTopIsNeverCutOff) {
    enum Ending { foreignLeavesFirst, recordsLeaveFirst, windowDestroyedUnderBoth };
    const std::pair<const char*, Ending> cases[] = {
        {"the foreign procedure leaves first", foreignLeavesFirst},
        {"the records leave first", recordsLeaveFirst},
        {"the window is destroyed under both", windowDestroyedUnderBoth},
    };
    for (const auto& [what, ending] : cases) {
        HWND w = Make();
        const LONG_PTR original = Proc(w);
        TWindowSubclass a;
        int notified = 0;
        ASSERT_TRUE(a.Attach(
            w,
            [&a](TMessage& m) {
                if (m.Msg == WM_SETTEXT) g_log += 'a';
                a.CallPrevious(m);
            },
            [&] { ++notified; }));
        g_foreignPrevious = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ForeignProc)));
        EXPECT_EQ(Send(w), "fao") << what;
        switch (ending) {
        case foreignLeavesFirst:
            SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_foreignPrevious));
            EXPECT_EQ(Send(w), "ao") << what;
            a.Detach();
            EXPECT_EQ(Proc(w), original) << what;
            EXPECT_EQ(Send(w), "o") << what;
            break;
        case recordsLeaveFirst: {
            a.Detach();
            // Putting the original back would cut the foreign procedure off the window.
            EXPECT_EQ(Proc(w), reinterpret_cast<LONG_PTR>(&ForeignProc)) << what;
            EXPECT_EQ(Send(w), "fo") << what;
            // A record added now sits beneath the foreign procedure.
            TWindowSubclass b;
            Watch(b, w, 'b');
            EXPECT_EQ(Send(w), "fbo") << what;
            b.Detach();
            SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_foreignPrevious));
            EXPECT_EQ(Send(w), "o") << what;
            break;
        }
        case windowDestroyedUnderBoth:
            DestroyWindow(w);
            EXPECT_EQ(notified, 1) << what;
            EXPECT_FALSE(a.Attached()) << what;
            break;
        }
        DestroyWindow(w);
        EXPECT_EQ(g_ncDestroys, 1) << what;
        EXPECT_EQ(g_lastMessage, static_cast<UINT>(WM_NCDESTROY)) << what;
    }
}

TEST_F(SubclassChain, TheWindowKeepsItsCharacterSet) {
    for (bool unicode : {false, true}) {
        const char* what = unicode ? "Unicode window" : "ANSI window";
        HWND w = Make(unicode);
        auto procOf = [unicode](HWND h) {
            return unicode ? GetWindowLongPtrW(h, GWLP_WNDPROC) : GetWindowLongPtrA(h, GWLP_WNDPROC);
        };
        const LONG_PTR original = procOf(w);
        TWindowSubclass sub;
        bool textInWindowSet = false;
        ASSERT_TRUE(sub.Attach(w, [&](TMessage& m) {
            // The text arrives in the window's own set, whatever set it was sent in.
            if (m.Msg == WM_SETTEXT)
                textInWindowSet = unicode ? std::wcscmp(reinterpret_cast<const wchar_t*>(m.LParam), L"abc") == 0
                                          : std::strcmp(reinterpret_cast<const char*>(m.LParam), "abc") == 0;
            sub.CallPrevious(m);
        })) << what;
        EXPECT_EQ(IsWindowUnicode(w) != FALSE, unicode) << what;
        SetWindowTextW(w, L"abc");
        EXPECT_TRUE(textInWindowSet) << what;
        SetWindowTextA(w, "abc");
        EXPECT_TRUE(textInWindowSet) << what;
        wchar_t text[8] = {};
        GetWindowTextW(w, text, 8);
        EXPECT_STREQ(text, L"abc") << what; // the original procedure got it in its own set
        sub.Detach();
        EXPECT_EQ(procOf(w), original) << what;
        EXPECT_EQ(IsWindowUnicode(w) != FALSE, unicode) << what;
    }
}

TEST_F(SubclassChain, TheLastMessageReachesEveryRecordAndTheWindowOnce) {
    enum Handling { passesOn, topKeepsIt, topDetachesTheMiddle };
    const std::tuple<const char*, Handling, const char*> cases[] = {
        {"every record passes it on", passesOn, "abc"},
        {"the top keeps it", topKeepsIt, "abc"},
        {"the top detaches the middle record first", topDetachesTheMiddle, "ac"},
    };
    for (const auto& [what, handling, notifiedExpected] : cases) {
        HWND w = Make();
        std::array<TWindowSubclass, 3> subs;
        std::string notified;
        for (int i = 0; i < 3; ++i) {
            const char letter = char('a' + i);
            TWindowSubclass& self = subs[i];
            ASSERT_TRUE(self.Attach(
                w,
                [&, letter, handling = handling](TMessage& m) {
                    if (m.Msg == WM_NCDESTROY && letter == 'c') {
                        if (handling == topKeepsIt) return;
                        if (handling == topDetachesTheMiddle) subs[1].Detach();
                    }
                    self.CallPrevious(m);
                },
                [&notified, letter] { notified += letter; }))
                << what;
        }
        DestroyWindow(w);
        // Each record hears of the end after what lies beneath it has had the message.
        EXPECT_EQ(notified, notifiedExpected) << what;
        EXPECT_EQ(g_ncDestroys, 1) << what;
        EXPECT_EQ(g_lastMessage, static_cast<UINT>(WM_NCDESTROY)) << what;
        for (const TWindowSubclass& s : subs) EXPECT_FALSE(s.Attached()) << what;
    }
}

} // namespace
} // namespace wl::test
