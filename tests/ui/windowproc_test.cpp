// Taking over messages under Wine: WindowProc layers of real controls, subclass records of
// foreign windows, freeing forms and companions in the middle of their own messages, the control
// object seen by a CBT hook at HCBT_CREATEWND, exceptions that must not cross a window
// procedure or the message loop, and frame metrics.
#include "support/capture.h"
#include "support/gdi_count.h"
#include "support/gui.h"
#include "support/leak_loop.h"
#include "ui/forms.h"
#include "ui/stdctrls.h"
#include "ui/subclass.h"

#include "ui/comctl32_calls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace wl::test {
namespace {

class WindowProcs : public ::testing::Test {
protected:
    static void SetUpTestSuite() { Application->Initialize(); }
    void SetUp() override {
        errors_.clear();
        Application->OnException = [this](TObject*, const std::string& message) { errors_.push_back(message); };
    }
    void TearDown() override { Application->OnException = nullptr; }

    std::unique_ptr<TForm> MakeForm() {
        auto form = std::make_unique<TForm>(nullptr);
        form->SetBounds(80, 80, 300, 200);
        return form;
    }
    std::vector<std::string> errors_;
};

// A layer that records its letter for the messages of one kind, then passes them on.
TWindowProcChain::LayerHandler Recorder(char letter, UINT msg, std::string& log) {
    return [letter, msg, &log](TMessage& m, const TWindowProcChain::Previous& previous) {
        if (m.Msg == msg) log += letter;
        previous(m);
    };
}

TEST_F(WindowProcs, ThreeLayersOnARealControlRemovedInEveryOrder) {
    auto form = MakeForm();
    auto* edit = new TEdit(form.get());
    edit->SetParent(form.get());
    HWND h = edit->Handle();
    std::array<int, 3> order{0, 1, 2};
    int permutations = 0;
    do {
        std::string log;
        std::array<TWindowProcLayer, 3> layers;
        for (int i = 0; i < 3; ++i) layers[i] = edit->WindowProc.Add(Recorder(static_cast<char>('a' + i), WM_SETTEXT, log));
        std::string remaining = "cba";
        std::vector<std::string> seen;
        int n = 0;
        auto send = [&] {
            log.clear();
            std::string text = std::to_string(100 + n++);
            SendMessageA(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
            seen.push_back(log);
            // The edit's own procedure got the message at the end of the chain.
            EXPECT_EQ(edit->Text(), text);
        };
        send();
        std::vector<std::string> expected{"cba"};
        for (int i : order) {
            layers[i].Remove();
            remaining.erase(remaining.find(static_cast<char>('a' + i)), 1);
            expected.push_back(remaining);
            send();
        }
        EXPECT_EQ(seen, expected) << "removal order " << order[0] << order[1] << order[2];
        ++permutations;
    } while (std::next_permutation(order.begin(), order.end()));
    EXPECT_EQ(permutations, 6);
}

TEST_F(WindowProcs, LayerRemovedDuringItsOwnMessageStillPassesItOn) {
    auto form = MakeForm();
    auto* edit = new TEdit(form.get());
    edit->SetParent(form.get());
    edit->HandleNeeded();
    std::string log;
    TWindowProcLayer below = edit->WindowProc.Add(Recorder('b', WM_SETTEXT, log));
    TWindowProcLayer top;
    top = edit->WindowProc.Add([&](TMessage& m, const TWindowProcChain::Previous& previous) {
        if (m.Msg == WM_SETTEXT) {
            log += 't';
            top.Remove();
        }
        previous(m);
    });
    edit->SetText("first");
    edit->SetText("second");
    EXPECT_EQ(log, "tbb");
    EXPECT_EQ(edit->Text(), "second");
    EXPECT_FALSE(top.Active());
    EXPECT_TRUE(below.Active());
}

// A form that tells when it is freed, and a component it owns holding a layer over the form's
// WindowProc (the way a skin companion does).
class TReleasedForm : public TForm {
public:
    using TForm::TForm;
    ~TReleasedForm() override { *freed = true; }
    bool* freed = nullptr;
    int value = 42;
};

class TCompanion : public TComponent {
public:
    TCompanion(TReleasedForm* form, std::vector<std::string>& log) : TComponent(form) {
        layer = form->WindowProc.Add([this, form, &log](TMessage& m, const TWindowProcChain::Previous& previous) {
            if (m.Msg != CM_RELEASE) {
                previous(m);
                return;
            }
            log.push_back("before");
            previous(m);
            // Both the form and this companion must still be there after the form asked to go.
            log.push_back("after " + std::to_string(form->value) + " " + name);
        });
    }
    ~TCompanion() override { *freed = true; }
    TWindowProcLayer layer;
    std::string name = "companion";
    bool* freed = nullptr;
};

TEST_F(WindowProcs, FormReleasedInsideItsOwnMessageIsFreedAfterTheLayersUnwind) {
    struct Case {
        const char* name;
        bool post; // Release (posted CM_RELEASE) or CM_RELEASE sent at once
    } cases[] = {{"posted", true}, {"sent", false}};
    for (const auto& c : cases) {
        bool formFreed = false, companionFreed = false;
        std::vector<std::string> log;
        auto* form = new TReleasedForm(nullptr);
        form->freed = &formFreed;
        form->OnDestroy = [&](TObject*) { log.push_back("destroy"); };
        auto* companion = new TCompanion(form, log);
        companion->freed = &companionFreed;
        HWND h = form->Handle();
        if (c.post) {
            form->Release();
            EXPECT_FALSE(formFreed) << c.name;
            Application->ProcessMessages();
        } else {
            SendMessageA(h, CM_RELEASE, 0, 0);
        }
        EXPECT_EQ(log, (std::vector<std::string>{"before", "after 42 companion", "destroy"})) << c.name;
        EXPECT_TRUE(formFreed) << c.name;
        EXPECT_TRUE(companionFreed) << c.name;
        EXPECT_FALSE(IsWindow(h)) << c.name;
    }
}

// A button that tells when it is freed.
class TWatchedButton : public TButton {
public:
    using TButton::TButton;
    ~TWatchedButton() override { *freed = true; }
    bool* freed = nullptr;
};

// `delete` of a control while one of its messages is being handled: the control leaves its
// owner at once, and is freed (window and all) once the outermost dispatch of its window has
// returned, also when its owner goes first.
TEST_F(WindowProcs, ControlDeletedInsideItsOwnMessageIsFreedWhenTheDispatchUnwinds) {
    enum class Trigger { Click, Layer, OwnerFreed };
    struct Case {
        const char* name;
        Trigger trigger;
    } cases[] = {
        {"deleted in its OnClick (the system button's click)", Trigger::Click},
        {"deleted by a layer of its own WindowProc", Trigger::Layer},
        {"its owner form freed from its message", Trigger::OwnerFreed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        bool freed = false, freedInside = true, ownedInside = true;
        auto* form = new TForm(nullptr);
        form->SetBounds(80, 80, 300, 200);
        auto* button = new TWatchedButton(form);
        button->freed = &freed;
        button->SetName("Doomed");
        button->SetParent(form);
        button->SetBounds(10, 10, 100, 30);
        form->Show();
        HWND formWindow = form->Handle();
        HWND window = button->Handle();
        int after = 0; // what the layer saw of the button once the handler had returned
        auto doIt = [&] {
            if (c.trigger == Trigger::OwnerFreed) delete form;
            else delete button;
            freedInside = freed;
            ownedInside = c.trigger != Trigger::OwnerFreed && form->FindComponent("Doomed") != nullptr;
        };
        button->OnClick = [&](TObject*) { doIt(); };
        TWindowProcLayer layer = button->WindowProc.Add([&](TMessage& m, const TWindowProcChain::Previous& previous) {
            if (m.Msg == WM_APP && c.trigger != Trigger::Click) {
                doIt();
                after = button->Tag() + 1; // still whole until this dispatch unwinds
                return;
            }
            previous(m);
        });
        if (c.trigger == Trigger::Click) SendMessageA(window, BM_CLICK, 0, 0);
        else SendMessageA(window, WM_APP, 0, 0);
        test::PumpMessages(0);

        EXPECT_FALSE(freedInside) << "freed while its own message was still being handled";
        EXPECT_FALSE(ownedInside) << "its owner still lists it";
        EXPECT_TRUE(freed);
        EXPECT_FALSE(IsWindow(window));
        if (c.trigger != Trigger::Click) {
            EXPECT_EQ(after, 1);
        }
        if (c.trigger == Trigger::OwnerFreed) {
            EXPECT_FALSE(IsWindow(formWindow));
        } else {
            EXPECT_EQ(form->ControlCount(), 0);
            delete form;
        }
        EXPECT_TRUE(errors_.empty()) << (errors_.empty() ? "" : errors_.front());
    }
}

TEST_F(WindowProcs, CompanionFreeingItselfInsideTheMessage) {
    auto form = MakeForm();
    auto* edit = new TEdit(form.get());
    edit->SetParent(form.get());
    edit->HandleNeeded();
    struct Companion {
        TWindowProcLayer layer;
        std::string* log;
    };
    std::string log;
    auto* companion = new Companion{{}, &log};
    companion->layer = edit->WindowProc.Add([companion](TMessage& m, const TWindowProcChain::Previous& previous) {
        if (m.Msg == WM_SETTEXT) {
            *companion->log += 'c';
            delete companion; // its layer goes with it, in the middle of the message
        }
        previous(m);
    });
    std::string after;
    TWindowProcLayer watcher = edit->WindowProc.Add(Recorder('w', WM_SETTEXT, after));
    edit->SetText("one");
    edit->SetText("two");
    EXPECT_EQ(log, "c");
    EXPECT_EQ(after, "ww");
    EXPECT_EQ(edit->Text(), "two");
    EXPECT_EQ(edit->WindowProc.LayerCount(), 1);
}

// ---- subclass records --------------------------------------------------------------------------

// Foreign windows of the kinds the skin engine subclasses.
HWND MakeForeign(const std::string& kind, HWND parent, HWND& owner) {
    owner = nullptr;
    if (kind == "static")
        return CreateWindowExA(0, "STATIC", "x", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, parent, nullptr, nullptr, nullptr);
    if (kind == "tooltip") {
        InitCommonControlClasses(ICC_BAR_CLASSES);
        return CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP, 0, 0, 0, 0, parent, nullptr,
                               nullptr, nullptr);
    }
    // The edit inside a combo box goes when the combo box goes.
    owner = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWN, 0, 0, 100, 120, parent,
                            nullptr, nullptr, nullptr);
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    GetComboBoxInfo(owner, &info);
    return info.hwndItem;
}

TEST_F(WindowProcs, SubclassedForeignWindowDestroyedWhileSubclassed) {
    auto form = MakeForm();
    HWND parent = form->Handle();
    for (std::string kind : {"static", "tooltip", "combo edit"}) {
        HWND owner;
        HWND w = MakeForeign(kind, parent, owner);
        ASSERT_TRUE(IsWindow(w)) << kind;
        const LONG_PTR original = GetWindowLongPtrA(w, GWLP_WNDPROC);
        std::vector<UINT> seen;
        int notified = 0;
        auto sub = std::make_unique<TWindowSubclass>();
        ASSERT_TRUE(sub->Attach(
            w,
            [&](TMessage& m) {
                seen.push_back(m.Msg);
                sub->CallPrevious(m);
            },
            [&] {
                ++notified;
                EXPECT_FALSE(sub->Attached());
            }))
            << kind;
        EXPECT_NE(GetWindowLongPtrA(w, GWLP_WNDPROC), original) << kind;
        SendMessageA(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("y"));
        DestroyWindow(owner ? owner : w);
        EXPECT_FALSE(IsWindow(w)) << kind;
        EXPECT_EQ(notified, 1) << kind;
        EXPECT_FALSE(sub->Attached()) << kind;
        EXPECT_EQ(sub->Window(), w) << kind;
        ASSERT_FALSE(seen.empty()) << kind;
        EXPECT_EQ(seen.front(), static_cast<UINT>(WM_SETTEXT)) << kind;
        EXPECT_EQ(seen.back(), static_cast<UINT>(WM_NCDESTROY)) << kind;
        EXPECT_NE(std::find(seen.begin(), seen.end(), static_cast<UINT>(WM_DESTROY)), seen.end()) << kind;
        sub.reset(); // freeing the record after its window has gone is harmless
    }
}

// A message box subclassed when it is activated, the way the skin engine takes over system
// dialogs; the box then closes by its OK button and is destroyed while subclassed.
struct BoxWatch {
    TWindowSubclass sub;
    HWND box = nullptr;
    std::vector<UINT> seen;
    int destroyed = 0;
    HHOOK hook = nullptr;
};
BoxWatch* g_watch = nullptr;

LRESULT CALLBACK WatchMessageBoxes(int code, WPARAM wParam, LPARAM lParam) {
    HWND h = reinterpret_cast<HWND>(wParam);
    char cls[16] = {};
    if (code == HCBT_ACTIVATE && g_watch && !g_watch->box && GetClassNameA(h, cls, sizeof cls) &&
        std::string(cls) == "#32770") {
        g_watch->box = h;
        g_watch->sub.Attach(
            h,
            [](TMessage& m) {
                g_watch->seen.push_back(m.Msg);
                g_watch->sub.CallPrevious(m);
            },
            [] { ++g_watch->destroyed; });
        PostMessageA(h, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(h, IDOK)));
    }
    return CallNextHookEx(g_watch ? g_watch->hook : nullptr, code, wParam, lParam);
}

TEST_F(WindowProcs, SubclassedMessageBoxClosesAndReleasesItsRecord) {
    BoxWatch watch;
    g_watch = &watch;
    watch.hook = SetWindowsHookExA(WH_CBT, WatchMessageBoxes, nullptr, GetCurrentThreadId());
    ASSERT_NE(watch.hook, nullptr);
    int answer = MessageBoxA(nullptr, "text", "caption", MB_OKCANCEL);
    UnhookWindowsHookEx(watch.hook);
    g_watch = nullptr;
    EXPECT_EQ(answer, IDOK); // the command went through the subclass to the dialog's procedure
    ASSERT_NE(watch.box, nullptr);
    EXPECT_FALSE(IsWindow(watch.box));
    EXPECT_EQ(watch.destroyed, 1);
    EXPECT_FALSE(watch.sub.Attached());
    EXPECT_NE(std::find(watch.seen.begin(), watch.seen.end(), static_cast<UINT>(WM_COMMAND)), watch.seen.end());
    ASSERT_FALSE(watch.seen.empty());
    EXPECT_EQ(watch.seen.back(), static_cast<UINT>(WM_NCDESTROY));
}

// A popup menu window ("#32768") subclassed as soon as it exists, the way popup menus are
// skinned; the menu is closed by a timer and its window destroyed while subclassed.
struct MenuWatch {
    TWindowSubclass sub;
    HWND window = nullptr;
    int paints = 0;
    int destroyed = 0;
    HHOOK hook = nullptr;
};
MenuWatch* g_menuWatch = nullptr;

LRESULT CALLBACK WatchMenuWindows(int code, WPARAM wParam, LPARAM lParam) {
    HWND h = reinterpret_cast<HWND>(wParam);
    char cls[16] = {};
    if (code == HCBT_CREATEWND && g_menuWatch && !g_menuWatch->window && GetClassNameA(h, cls, sizeof cls) &&
        std::string(cls) == "#32768") {
        g_menuWatch->window = h;
        g_menuWatch->sub.Attach(
            h,
            [](TMessage& m) {
                if (m.Msg == WM_PAINT) ++g_menuWatch->paints;
                g_menuWatch->sub.CallPrevious(m);
            },
            [] { ++g_menuWatch->destroyed; });
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Runs from a short repeating thread timer inside the menu's loop: ends the menu once its window
// has painted.
void CALLBACK CloseMenu(HWND, UINT, UINT_PTR id, DWORD) {
    if (!g_menuWatch || g_menuWatch->paints == 0) return;
    KillTimer(nullptr, id);
    EndMenu();
}

TEST_F(WindowProcs, SubclassedPopupMenuWindowIsDestroyedWhileSubclassed) {
    auto form = MakeForm();
    form->Show();
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 1, "one");
    AppendMenuA(menu, MF_STRING, 2, "two");
    MenuWatch watch;
    g_menuWatch = &watch;
    watch.hook = SetWindowsHookExA(WH_CBT, WatchMenuWindows, nullptr, GetCurrentThreadId());
    ASSERT_NE(watch.hook, nullptr);
    const UINT_PTR timer = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, CloseMenu);
    SetForegroundWindow(form->Handle());
    TrackPopupMenu(menu, TPM_RETURNCMD, 150, 150, 0, form->Handle(), nullptr);
    KillTimer(nullptr, timer); // in case the menu never painted
    PumpMessages(); // what the menu's end posted
    UnhookWindowsHookEx(watch.hook);
    g_menuWatch = nullptr;
    DestroyMenu(menu);
    ASSERT_NE(watch.window, nullptr);
    EXPECT_GT(watch.paints, 0); // the menu window's messages went through the subclass
    EXPECT_FALSE(IsWindow(watch.window));
    EXPECT_EQ(watch.destroyed, 1);
    EXPECT_FALSE(watch.sub.Attached());
}

TEST_F(WindowProcs, TwoSubclassesRemovedInEitherOrderRestoreTheOriginalProcedure) {
    auto form = MakeForm();
    for (bool topFirst : {true, false}) {
        HWND w = CreateWindowExA(0, "STATIC", "x", WS_CHILD, 0, 0, 50, 20, form->Handle(), nullptr, nullptr, nullptr);
        const LONG_PTR original = GetWindowLongPtrA(w, GWLP_WNDPROC);
        std::string log;
        TWindowSubclass a, b;
        a.Attach(w, [&](TMessage& m) {
            if (m.Msg == WM_SETTEXT) log += 'a';
            a.CallPrevious(m);
        });
        b.Attach(w, [&](TMessage& m) {
            if (m.Msg == WM_SETTEXT) log += 'b';
            b.CallPrevious(m);
        });
        auto setText = [&](const char* t) {
            log.clear();
            SendMessageA(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(t));
            char buf[8] = {};
            GetWindowTextA(w, buf, sizeof buf);
            EXPECT_STREQ(buf, t); // the static's own procedure still got it
            return log;
        };
        EXPECT_EQ(setText("1"), "ba"); // the later subclass sees messages first
        (topFirst ? b : a).Detach();
        EXPECT_EQ(setText("2"), topFirst ? "a" : "b");
        (topFirst ? a : b).Detach();
        EXPECT_EQ(setText("3"), "");
        EXPECT_EQ(GetWindowLongPtrA(w, GWLP_WNDPROC), original) << (topFirst ? "top first" : "bottom first");
        DestroyWindow(w);
    }
}

TEST_F(WindowProcs, SubclassFreedInsideItsOwnHandlerAndInsideTheDestroyNotification) {
    auto form = MakeForm();
    struct Case {
        const char* name;
        bool inHandler; // freed while handling WM_SETTEXT, else from the WM_NCDESTROY notification
    } cases[] = {{"in handler", true}, {"in notification", false}};
    for (const auto& c : cases) {
        HWND w = CreateWindowExA(0, "STATIC", "x", WS_CHILD, 0, 0, 50, 20, form->Handle(), nullptr, nullptr, nullptr);
        const LONG_PTR original = GetWindowLongPtrA(w, GWLP_WNDPROC);
        auto* sub = new TWindowSubclass;
        int calls = 0;
        bool freed = false;
        sub->Attach(
            w,
            [&, sub](TMessage& m) {
                ++calls;
                sub->CallPrevious(m);
                if (c.inHandler && m.Msg == WM_SETTEXT && !freed) {
                    freed = true;
                    delete sub;
                }
            },
            [&, sub] {
                freed = true;
                delete sub;
            });
        SendMessageA(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("y"));
        if (c.inHandler) {
            EXPECT_TRUE(freed) << c.name;
            EXPECT_EQ(GetWindowLongPtrA(w, GWLP_WNDPROC), original) << c.name;
            const int before = calls;
            SendMessageA(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("z"));
            EXPECT_EQ(calls, before) << c.name;
        }
        DestroyWindow(w);
        EXPECT_TRUE(freed) << c.name;
    }
}

// The window's own procedure under a subclass record: what it saw last, and how often.
int g_ownNcDestroys = 0;
UINT g_ownLast = 0;
LRESULT CALLBACK OwnProcedure(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCDESTROY) ++g_ownNcDestroys;
    g_ownLast = msg;
    return DefWindowProcA(h, msg, wParam, lParam);
}

// Whatever the handler does with WM_NCDESTROY, the window's own procedure gets it exactly once
// (it frees what it keeps for the window there), and as its last message.
TEST_F(WindowProcs, WindowsOwnProcedureGetsNcDestroyOnceWhateverTheHandlerDoes) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = OwnProcedure;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "WlOwnProcedure";
    RegisterClassA(&wc);
    enum Handling { passesOn, keepsIt, detachesAndKeepsIt };
    const std::pair<const char*, Handling> cases[] = {
        {"handler passes it on", passesOn},
        {"handler keeps it", keepsIt},
        {"handler detaches its record and keeps it", detachesAndKeepsIt},
    };
    for (const auto& [what, handling] : cases) {
        HWND w = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                                 wc.hInstance, nullptr);
        ASSERT_TRUE(IsWindow(w)) << what;
        g_ownNcDestroys = 0;
        g_ownLast = 0;
        TWindowSubclass sub;
        ASSERT_TRUE(sub.Attach(w, [&sub, handling](TMessage& m) {
            if (m.Msg != WM_NCDESTROY || handling == passesOn)
                sub.CallPrevious(m);
            else if (handling == detachesAndKeepsIt)
                sub.Detach();
        })) << what;
        DestroyWindow(w);
        EXPECT_EQ(g_ownNcDestroys, 1) << what;
        EXPECT_EQ(g_ownLast, static_cast<UINT>(WM_NCDESTROY)) << what;
        EXPECT_FALSE(sub.Attached()) << what;
    }
    UnregisterClassA(wc.lpszClassName, wc.hInstance);
}

TEST_F(WindowProcs, SubclassOfALibraryWindowSeesMessagesBeforeItsWindowProcLayers) {
    // The skin takes over a form both ways: the window through a subclass record, the form
    // object through a WindowProc layer. Either can go first.
    for (bool subclassFirst : {true, false}) {
        auto form = MakeForm();
        HWND h = form->Handle();
        std::string log;
        TWindowSubclass sub;
        sub.Attach(h, [&](TMessage& m) {
            if (m.Msg == WM_SETTEXT) log += 's';
            sub.CallPrevious(m);
        });
        TWindowProcLayer layer = form->WindowProc.Add(Recorder('l', WM_SETTEXT, log));
        SetWindowTextA(h, "one");
        EXPECT_EQ(log, "sl");
        if (subclassFirst) sub.Detach();
        else layer.Remove();
        log.clear();
        SetWindowTextA(h, "two");
        EXPECT_EQ(log, subclassFirst ? "l" : "s");
        EXPECT_EQ(form->Caption(), "two");
    }
}

// ---- creation visibility -----------------------------------------------------------------------

struct CreationSeen {
    HWND window;
    TControl* found;
    TWinControl* creating;
};
std::vector<CreationSeen> g_creations;

LRESULT CALLBACK RecordCreations(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        HWND h = reinterpret_cast<HWND>(wParam);
        g_creations.push_back({h, FindControl(h), CreatingControl()});
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(WindowProcs, ThreadHookSeesTheControlObjectAtCreation) {
    g_creations.clear();
    HHOOK hook = SetWindowsHookExA(WH_CBT, RecordCreations, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    auto form = MakeForm();
    auto* button = new TButton(form.get());
    button->SetParent(form.get());
    auto* memo = new TMemo(form.get());
    memo->SetParent(form.get());
    form->HandleNeeded();
    // A window that is not ours, made while the hook watches.
    HWND foreign = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 5, 5, form->Handle(), nullptr, nullptr, nullptr);
    UnhookWindowsHookEx(hook);
    for (TWinControl* c : std::vector<TWinControl*>{form.get(), button, memo}) {
        auto it = std::find_if(g_creations.begin(), g_creations.end(),
                               [&](const CreationSeen& s) { return s.window == c->HandleValue(); });
        ASSERT_NE(it, g_creations.end()) << c->ClassName();
        EXPECT_EQ(it->found, c) << c->ClassName();
        EXPECT_EQ(it->creating, c) << c->ClassName();
    }
    auto it = std::find_if(g_creations.begin(), g_creations.end(),
                           [&](const CreationSeen& s) { return s.window == foreign; });
    ASSERT_NE(it, g_creations.end());
    EXPECT_EQ(it->found, nullptr);
    EXPECT_EQ(it->creating, nullptr);
    EXPECT_EQ(CreatingControl(), nullptr);
    DestroyWindow(foreign);
}

// ---- exceptions --------------------------------------------------------------------------------

TEST_F(WindowProcs, ThrowingDialogKeyIsReportedAndTheLoopGoesOn) {
    auto form = MakeForm();
    auto* edit = new TEdit(form.get());
    edit->SetParent(form.get());
    form->Show();
    edit->SetFocus();
    TWindowProcLayer thrower = form->WindowProc.Add([](TMessage& m, const TWindowProcChain::Previous& previous) {
        if (m.Msg == CM_DIALOGKEY) throw std::runtime_error("dialog key failed");
        previous(m);
    });
    PostMessageA(edit->Handle(), WM_KEYDOWN, VK_TAB, 0);
    PostMessageA(edit->Handle(), WM_CHAR, 'q', 0);
    Application->ProcessMessages();
    EXPECT_EQ(errors_, std::vector<std::string>{"dialog key failed"});
    EXPECT_EQ(edit->Text(), "q"); // the next message was handled
    EXPECT_FALSE(Application->Terminated());
}

class TFailingGraphic : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    bool fail = true;
    int paints = 0;

protected:
    void Paint() override {
        ++paints;
        Canvas().Brush().SetColor(clRed);
        RECT r{0, 0, Width(), Height()};
        Canvas().FillRect(r);
        if (fail) throw std::runtime_error("paint failed");
    }
};

class TPlainGraphic : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;

protected:
    void Paint() override {
        Canvas().Brush().SetColor(clBlue);
        RECT r{0, 0, Width(), Height()};
        Canvas().FillRect(r);
    }
};

TEST_F(WindowProcs, ThrowingPaintIsReportedAndLeavesNoCanvasBound) {
    auto form = MakeForm();
    form->SetColor(clWhite);
    auto* failing = new TFailingGraphic(form.get());
    failing->SetBounds(10, 10, 40, 30);
    failing->SetParent(form.get());
    auto* plain = new TPlainGraphic(form.get());
    plain->SetBounds(60, 10, 40, 30);
    plain->SetParent(form.get());
    form->Show();
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    PumpUntil([&] { return !errors_.empty(); });
    ASSERT_FALSE(errors_.empty());
    EXPECT_EQ(errors_.front(), "paint failed");
    EXPECT_FALSE(failing->Canvas().HandleAllocated());
    // The control after the failing one was still painted, at its own place (the device context
    // state of the failing one was restored), and the window does not repaint for ever: it gets
    // to a state with nothing left to paint, and a drained queue paints nothing more.
    ASSERT_TRUE(WaitFlushed(form->Handle()));
    EXPECT_EQ(TCapture::Client(form->Handle()).At(62, 12), RGB(0, 0, 255));
    const int paints = failing->paints;
    PumpMessages();
    EXPECT_EQ(failing->paints, paints);
    // Once it stops failing it paints normally.
    failing->fail = false;
    errors_.clear();
    failing->Invalidate();
    form->Update();
    EXPECT_TRUE(errors_.empty());
    ASSERT_TRUE(WaitFlushed(form->Handle()));
    EXPECT_EQ(TCapture::Client(form->Handle()).At(20, 20), RGB(255, 0, 0));
}

class TFailingCustom : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    int paints = 0;

protected:
    void Paint() override {
        ++paints;
        throw std::runtime_error("custom paint failed");
    }
};

TEST_F(WindowProcs, ThrowingPaintOfAWindowedControlEndsThePaint) {
    auto form = MakeForm();
    auto* custom = new TFailingCustom(form.get());
    custom->SetBounds(5, 5, 50, 40);
    custom->SetParent(form.get());
    form->Show();
    EXPECT_TRUE(WaitPainted(form->Handle()));
    ASSERT_EQ(errors_, std::vector<std::string>{"custom paint failed"});
    // Every failing paint gives its device context back (EndPaint on the way out): the number
    // of live GDI objects stays the same however often it fails.
    const TLeakLoop loop;
    ExpectNoLeak(
        [&](int) {
            InvalidateRect(custom->Handle(), nullptr, TRUE);
            UpdateWindow(custom->Handle());
        },
        loop);
    const int painted = 1 + loop.Warmup + loop.Cycles;
    EXPECT_EQ(custom->paints, painted);
    EXPECT_EQ(errors_.size(), static_cast<size_t>(painted));
    EXPECT_FALSE(custom->Canvas().HandleAllocated());
}

// ---- frame paint and stacking ------------------------------------------------------------------

// The frame paints the system class of a control is given: its procedure counts them.
int g_classFramePaints = 0;
LRESULT CALLBACK CountFramePaints(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCPAINT) ++g_classFramePaints;
    return DefWindowProcA(h, msg, wParam, lParam);
}

class TFrameProbe : public TWinControl {
public:
    TFrameProbe(TComponent* owner, DWORD style, DWORD exStyle) : TWinControl(owner), style_(style), exStyle_(exStyle) {}

protected:
    void CreateParams(TCreateParams& p) override {
        TWinControl::CreateParams(p);
        p.style |= style_;
        p.exStyle |= exStyle_;
        p.winClassName = "WlFrameProbe";
        p.baseClass = "WlFramePaintCounter";
    }

private:
    DWORD style_, exStyle_;
};

TEST_F(WindowProcs, FramePaintReachesTheSystemClassOnlyWhenTheWindowHasAFrame) {
    WNDCLASSA wc{};
    wc.style = CS_GLOBALCLASS; // found as a base class like a system class
    wc.lpfnWndProc = CountFramePaints;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = "WlFramePaintCounter";
    RegisterClassA(&wc);
    const struct Case {
        const char* name;
        DWORD style, exStyle;
        bool framed;
    } cases[] = {
        {"no frame", 0, 0, false},
        {"border", WS_BORDER, 0, true},
        {"sunken edge", 0, WS_EX_CLIENTEDGE, true},
        {"vertical scroll bar", WS_VSCROLL, 0, true},
    };
    auto form = MakeForm();
    form->Show();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto* probe = new TFrameProbe(form.get(), c.style, c.exStyle);
        probe->SetBounds(10, 10, 120, 80);
        probe->SetParent(form.get());
        HWND h = probe->Handle();
        UpdateWindow(form->Handle());
        g_classFramePaints = 0;
        RedrawWindow(h, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        if (c.framed) EXPECT_GT(g_classFramePaints, 0) << "the system paints the frame";
        else EXPECT_EQ(g_classFramePaints, 0) << "nothing to paint, the system is not asked";
        delete probe;
    }
}

TEST_F(WindowProcs, ShowingAFormAgainBringsItAboveTheOthers) {
    auto first = MakeForm();
    auto second = MakeForm();
    second->SetBounds(120, 120, 300, 200);
    first->Show();
    second->Show();
    auto above = [](HWND a, HWND b) {
        for (HWND h = GetWindow(b, GW_HWNDPREV); h; h = GetWindow(h, GW_HWNDPREV))
            if (h == a) return true;
        return false;
    };
    ASSERT_TRUE(above(second->Handle(), first->Handle()));
    EXPECT_EQ(GetActiveWindow(), second->Handle());
    first->Show();
    EXPECT_TRUE(above(first->Handle(), second->Handle()));
    EXPECT_EQ(GetActiveWindow(), first->Handle());
    // A form that is already the active window on top stays so.
    first->Show();
    EXPECT_TRUE(above(first->Handle(), second->Handle()));
    EXPECT_EQ(GetActiveWindow(), first->Handle());
}

// ---- frame metrics -----------------------------------------------------------------------------

class TFixedFrame : public TFrameMetrics {
public:
    explicit TFixedFrame(RECT insets) : insets_(insets) {}
    RECT FrameInsets(const TFrameRequest&) const override { return insets_; }

private:
    RECT insets_;
};

TEST_F(WindowProcs, CustomFrameMetricsKeepTheClientSizeOfTheDefinition) {
    const char* definition = "object Form1: TForm\n  ClientWidth = 333\n  ClientHeight = 177\nend\n";
    struct Case {
        const char* name;
        RECT insets;
        bool beforeWindow; // installed before the window exists, else on the shown window
    } cases[] = {
        {"thick skin", {12, 40, 12, 12}, true},
        {"thin skin", {2, 20, 3, 1}, true},
        {"no frame", {0, 0, 0, 0}, true},
        {"skinned later", {9, 33, 7, 5}, false},
    };
    for (const auto& c : cases) {
        auto form = std::make_unique<TForm>(nullptr);
        auto metrics = std::make_shared<TFixedFrame>(c.insets);
        if (c.beforeWindow) form->SetFrameMetrics(metrics);
        form->ReadDefinitionText(definition);
        form->Show();
        if (!c.beforeWindow) form->SetFrameMetrics(metrics);
        EXPECT_TRUE(WaitPainted(form->Handle())) << c.name;
        RECT client, window;
        GetClientRect(form->Handle(), &client);
        GetWindowRect(form->Handle(), &window);
        EXPECT_EQ(client.right, 333) << c.name;
        EXPECT_EQ(client.bottom, 177) << c.name;
        EXPECT_EQ(window.right - window.left, 333 + c.insets.left + c.insets.right) << c.name;
        EXPECT_EQ(window.bottom - window.top, 177 + c.insets.top + c.insets.bottom) << c.name;
        EXPECT_EQ(form->ClientWidth(), 333) << c.name;
        // Back to the system frame, the client size stays.
        form->SetFrameMetrics(nullptr);
        GetClientRect(form->Handle(), &client);
        EXPECT_EQ(client.right, 333) << c.name;
        EXPECT_EQ(client.bottom, 177) << c.name;
    }
}

// A form whose window gets a menu bar: its frame counts the bar before the window exists.
class TMenuBarForm : public TForm {
public:
    using TForm::TForm;

protected:
    bool WillHaveMenuBar() const override { return true; }
    void CreateWindowHandle(const TCreateParams& params) override {
        TForm::CreateWindowHandle(params);
        HMENU bar = CreateMenu();
        AppendMenuA(bar, MF_STRING, 1, "File");
        ::SetMenu(HandleValue(), bar); // destroyed with the window
    }
};

TEST_F(WindowProcs, SystemFrameCountsAMenuBarAnnouncedBeforeTheWindowExists) {
    TMenuBarForm form(nullptr);
    form.ReadDefinitionText("object Form1: TForm\n  ClientWidth = 333\n  ClientHeight = 177\nend\n");
    form.Show();
    RECT client;
    GetClientRect(form.Handle(), &client);
    EXPECT_EQ(client.right, 333);
    EXPECT_EQ(client.bottom, 177);
    EXPECT_NE(GetMenu(form.Handle()), nullptr);
}

} // namespace
} // namespace wl::test
