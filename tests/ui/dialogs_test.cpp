// Modal forms and message dialogs under Wine: ShowModal ended by posted clicks, keys, the close
// box and code, the other windows disabled meanwhile and enabled again, handlers that refuse to
// close, throw or free the form; the message dialog's form and MessageDlg's answers.
#include "menus_test_support.h"

#include "support/gui.h"
#include "support/testdata.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace wl::test {
namespace {

class Modal : public ::testing::Test {
protected:
    static void SetUpTestSuite() { Application->Initialize(); }
    void SetUp() override {
        owner_ = std::make_unique<TForm>(nullptr);
        owner_->SetCaption("Owner");
        owner_->Show();
        EXPECT_TRUE(WaitPainted(owner_->Handle()));
    }
    std::unique_ptr<TForm> owner_;
};

// A dialog with OK (default, mrOk), No (mrNo) and Cancel (Escape, mrAbort).
struct Dialog {
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    TButton* ok = Add("OK", mrOk, 10);
    TButton* no = Add("No", mrNo, 100);
    TButton* cancel = Add("Cancel", mrAbort, 190);
    TEdit* edit = nullptr;

    Dialog() {
        ok->SetDefault(true);
        cancel->SetCancel(true);
        edit = new TEdit(form.get());
        edit->SetBounds(10, 60, 100, 21);
        edit->SetParent(form.get());
        form->SetActiveControl(edit);
        form->SetCaption("Dialog");
    }
    TButton* Add(const char* name, int result, int left) {
        auto* b = new TButton(form.get());
        b->SetName(name);
        b->SetCaption(name);
        b->SetModalResult(result);
        b->SetBounds(left, 20, 75, 25);
        b->SetParent(form.get());
        return b;
    }
};

void PostKey(HWND window, WORD key) {
    PostMessageA(window, WM_KEYDOWN, key, 1);
    PostMessageA(window, WM_KEYUP, key, 0xC0000001);
}

TEST_F(Modal, EachWayOfEndingGivesItsResultAndTheOwnerComesBack) {
    struct Case {
        const char* what;
        std::function<void(Dialog&)> end;
        int expected;
    } cases[] = {
        {"OK clicked", [](Dialog& d) { PostMessageA(d.ok->Handle(), BM_CLICK, 0, 0); }, mrOk},
        {"No clicked", [](Dialog& d) { PostMessageA(d.no->Handle(), BM_CLICK, 0, 0); }, mrNo},
        {"close box", [](Dialog& d) { PostMessageA(d.form->Handle(), WM_CLOSE, 0, 0); }, mrCancel},
        {"Escape", [](Dialog& d) { PostKey(d.edit->Handle(), VK_ESCAPE); }, mrAbort},
        {"Enter", [](Dialog& d) { PostKey(d.edit->Handle(), VK_RETURN); }, mrOk},
        {"Enter on a focused button", [](Dialog& d) {
             d.no->SetFocus();
             PostKey(d.no->Handle(), VK_RETURN);
         },
         mrNo},
        {"set in code", [](Dialog& d) { d.form->SetModalResult(mrRetry); PostMessageA(d.form->Handle(), WM_NULL, 0, 0); },
         mrRetry},
        {"Close in code", [](Dialog& d) { d.form->Close(); }, mrCancel},
    };
    for (const Case& c : cases) {
        Dialog d;
        bool ownerDisabled = false, dialogEnabled = false;
        When([&] { return d.form->IsModal() && IsWindowVisible(d.form->Handle()); }, [&] {
            ownerDisabled = !IsWindowEnabled(owner_->Handle());
            dialogEnabled = IsWindowEnabled(d.form->Handle()) != FALSE;
            c.end(d);
        });
        SetActiveWindow(owner_->Handle());
        Watchdog watchdog(d.form.get());
        EXPECT_EQ(d.form->ShowModal(), c.expected) << c.what;
        EXPECT_TRUE(ownerDisabled) << c.what;
        EXPECT_TRUE(dialogEnabled) << c.what;
        EXPECT_TRUE(IsWindowEnabled(owner_->Handle())) << c.what;
        EXPECT_FALSE(IsWindowVisible(d.form->Handle())) << c.what;
        EXPECT_FALSE(d.form->IsModal()) << c.what;
        EXPECT_EQ(GetActiveWindow(), owner_->Handle()) << c.what;
    }
}

TEST_F(Modal, OnCloseCanRefuseAndExceptionsGoToTheApplication) {
    Dialog d;
    int closes = 0;
    d.form->OnClose = [&](TObject*, TCloseAction& action) {
        if (++closes == 1) action = caNone;
    };
    std::vector<std::string> errors;
    auto oldHandler = Application->OnException;
    Application->OnException = [&](TObject*, const std::string& message) { errors.push_back(message); };
    d.no->OnClick = [](TObject*) { throw Exception("No is broken"); };
    // First a throwing click, then OK refused by OnClose, then OK accepted; each step once the
    // one before was handled.
    std::function<void()> step3 = [&] { PostMessageA(d.ok->Handle(), BM_CLICK, 0, 0); };
    std::function<void()> step2 = [&] {
        PostMessageA(d.ok->Handle(), BM_CLICK, 0, 0);
        When([&] { return closes == 1; }, step3);
    };
    When([&] { return d.form->IsModal() && IsWindowVisible(d.form->Handle()); }, [&] {
        PostMessageA(d.no->Handle(), BM_CLICK, 0, 0);
        When([&] { return errors.size() == 1; }, step2);
    });
    Watchdog watchdog(d.form.get());
    int result = d.form->ShowModal();
    Application->OnException = oldHandler;
    // The throwing button set its result before its handler failed; OnClose refused that one.
    EXPECT_EQ(result, mrOk);
    EXPECT_EQ(closes, 2);
    EXPECT_EQ(errors, (std::vector<std::string>{"No is broken"}));
}

TEST_F(Modal, FormFreedWhileModalEndsTheLoop) {
    auto* d = new Dialog;
    TForm* form = d->form.release();
    delete d;
    When([form] { return form->IsModal(); }, [form] { form->Release(); });
    Watchdog watchdog(nullptr);
    EXPECT_EQ(form->ShowModal(), mrCancel);
    EXPECT_TRUE(IsWindowEnabled(owner_->Handle()));
    EXPECT_EQ(Screen->ActiveForm(), owner_.get());
}

TEST_F(Modal, VisibleOrModalFormsCannotBeShownModally) {
    EXPECT_THROW(owner_->ShowModal(), EInvalidOperation);
    Dialog d;
    d.form->SetEnabled(false);
    EXPECT_THROW(d.form->ShowModal(), EInvalidOperation);
}

// ---- message dialogs -------------------------------------------------------------------------------

TEST_F(Modal, MessageDialogIsALibraryFormWithIconTextAndButtons) {
    struct Case {
        TMsgDlgType type;
        TMsgDlgButtons buttons;
        const char* caption;
        std::vector<std::string> names;
        const char* defaultName;
        const char* cancelName; // "" when Escape presses nothing
    } cases[] = {
        {mtWarning, mbOKCancel, "Warning", {"OK", "Cancel"}, "OK", "Cancel"},
        {mtError, MsgDlgButtons({mbAbort, mbRetry, mbIgnore}), "Error", {"Abort", "Retry", "Ignore"}, "Abort", ""},
        {mtInformation, MsgDlgButtons({mbOK}), "Information", {"OK"}, "OK", "OK"},
        {mtConfirmation, MsgDlgButtons({mbYes, mbNo, mbAll, mbNoToAll, mbYesToAll, mbHelp}), "Confirmation",
         {"Yes", "No", "All", "NoToAll", "YesToAll", "Help"}, "Yes", "No"},
        {mtCustom, MsgDlgButtons({mbNo, mbYes}), "", {"Yes", "No"}, "Yes", "No"},
    };
    const std::string text = "The file has changed.\nSave it before closing?";
    for (const Case& c : cases) {
        std::unique_ptr<TMessageForm> form(CreateMessageDialog(text, c.type, c.buttons));
        SCOPED_TRACE(c.caption);
        EXPECT_TRUE(form->InheritsFrom("TForm"));
        EXPECT_EQ(form->ClassName(), "TMessageForm");
        EXPECT_EQ(form->Caption(), *c.caption ? std::string(c.caption) : Application->Title());
        EXPECT_EQ(form->FindComponent("Image") != nullptr, c.type != mtCustom);
        auto* message = dynamic_cast<TLabel*>(form->FindComponent("Message"));
        ASSERT_NE(message, nullptr);
        EXPECT_EQ(message->Caption(), text);
        std::vector<std::string> names;
        int right = 0;
        for (int i = 0; i < form->ControlCount(); ++i) {
            auto* b = dynamic_cast<TButton*>(form->Controls(i));
            if (!b) continue;
            names.push_back(b->Name());
            EXPECT_GE(b->Left(), right) << b->Name() << " overlaps the button before it";
            right = b->Left() + b->Width();
            EXPECT_GT(b->Top(), message->Top() + message->Height() - 1) << b->Name();
            EXPECT_EQ(b->Default(), b->Name() == c.defaultName) << b->Name();
            EXPECT_EQ(b->Cancel(), b->Name() == c.cancelName) << b->Name();
        }
        EXPECT_EQ(names, c.names);
        EXPECT_LE(right, form->ClientWidth());
        EXPECT_GE(form->ClientWidth(), message->Left() + message->Width());
    }
    struct Button {
        TMsgDlgBtn button;
        const char* caption;
        int result;
    } buttons[] = {
        {mbYes, "&Yes", mrYes},       {mbNo, "&No", mrNo},          {mbOK, "OK", mrOk},
        {mbCancel, "Cancel", mrCancel}, {mbAbort, "&Abort", mrAbort}, {mbRetry, "&Retry", mrRetry},
        {mbIgnore, "&Ignore", mrIgnore}, {mbAll, "&All", mrAll},       {mbNoToAll, "N&o to All", mrNoToAll},
        {mbYesToAll, "Yes to &All", mrYesToAll}, {mbHelp, "&Help", mrNone},
    };
    for (const Button& b : buttons) {
        EXPECT_EQ(MsgDlgButtonCaption(b.button), b.caption);
        EXPECT_EQ(MsgDlgButtonResult(b.button), b.result);
        std::unique_ptr<TMessageForm> form(CreateMessageDialog("x", mtCustom, MsgDlgButtons({b.button})));
        ASSERT_EQ(form->ControlCount(), 2);
        EXPECT_EQ(static_cast<TButton*>(form->Controls(1))->Caption(), b.caption);
        EXPECT_EQ(static_cast<TButton*>(form->Controls(1))->ModalResult(), b.result);
    }
}

// The shown message dialog (the active form of the thread).
TMessageForm* ShownDialog() { return dynamic_cast<TMessageForm*>(Screen->ActiveForm()); }

TEST_F(Modal, MessageDlgAnswersWithTheButtonPressed) {
    struct Case {
        TMsgDlgButtons buttons;
        std::function<void(TMessageForm&)> press;
        int expected;
    } cases[] = {
        {mbYesNoCancel, [](TMessageForm& f) { PostMessageA(static_cast<TButton*>(f.FindComponent("No"))->Handle(), BM_CLICK, 0, 0); }, mrNo},
        {mbYesNoCancel, [](TMessageForm& f) { PostMessageA(static_cast<TButton*>(f.FindComponent("Yes"))->Handle(), BM_CLICK, 0, 0); }, mrYes},
        {mbAbortRetryIgnore, [](TMessageForm& f) { PostMessageA(static_cast<TButton*>(f.FindComponent("Retry"))->Handle(), BM_CLICK, 0, 0); }, mrRetry},
        {MsgDlgButtons({mbYesToAll, mbNoToAll}), [](TMessageForm& f) { PostMessageA(static_cast<TButton*>(f.FindComponent("NoToAll"))->Handle(), BM_CLICK, 0, 0); }, mrNoToAll},
        // The default button has the focus: Enter presses it; Escape presses Cancel.
        {mbOKCancel, [](TMessageForm&) { PostKey(GetFocus(), VK_RETURN); }, mrOk},
        {mbYesNoCancel, [](TMessageForm&) { PostKey(GetFocus(), VK_ESCAPE); }, mrCancel},
        {MsgDlgButtons({mbOK}), [](TMessageForm& f) { PostMessageA(f.Handle(), WM_CLOSE, 0, 0); }, mrCancel},
    };
    bool saved = false;
    for (const Case& c : cases) {
        bool found = false;
        // Once the dialog shows and its drawing has reached the screen (a deadline of 0 checks
        // once without pumping: this runs inside the dialog's modal loop).
        When([] { return ShownDialog() && WaitFlushed(ShownDialog()->Handle(), 0); }, [&] {
            TMessageForm* f = ShownDialog();
            found = true;
            if (!saved) saved = SaveWindowBitmap(f->Handle(), ArtifactDir() + "/ui-message-dialog.bmp");
            c.press(*f);
        });
        // Without a form to end, the watchdog closes whatever is active.
        UINT_PTR guard = SetTimer(nullptr, 0, 4000, [](HWND, UINT, UINT_PTR id, DWORD) {
            KillTimer(nullptr, id);
            if (auto* f = ShownDialog()) f->SetModalResult(kWatchdogResult);
        });
        EXPECT_EQ(MessageDlg("Are you sure?", mtConfirmation, c.buttons, 0), c.expected);
        KillTimer(nullptr, guard);
        EXPECT_TRUE(found);
    }
    EXPECT_TRUE(IsWindowEnabled(owner_->Handle()));
    EXPECT_TRUE(saved);
}

} // namespace
} // namespace wl::test
