// Modal forms, dialog keys and message dialogs (see dialogs.h).
#include "ui/dialogs.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace wl {

// ---- modal forms -------------------------------------------------------------------------------

namespace {

// Disables the visible, enabled top-level windows of this thread except `keep` and gives them
// back their state when it goes.
class DisabledThreadWindows {
public:
    explicit DisabledThreadWindows(HWND keep) : keep_(keep) {
        EnumThreadWindows(GetCurrentThreadId(), &DisabledThreadWindows::Visit, reinterpret_cast<LPARAM>(this));
    }
    ~DisabledThreadWindows() {
        for (HWND w : windows_)
            if (IsWindow(w)) EnableWindow(w, TRUE);
    }
    DisabledThreadWindows(const DisabledThreadWindows&) = delete;
    DisabledThreadWindows& operator=(const DisabledThreadWindows&) = delete;

private:
    static BOOL CALLBACK Visit(HWND w, LPARAM self) {
        auto* me = reinterpret_cast<DisabledThreadWindows*>(self);
        if (w != me->keep_ && IsWindowVisible(w) && IsWindowEnabled(w)) {
            EnableWindow(w, FALSE);
            me->windows_.push_back(w);
        }
        return TRUE;
    }
    HWND keep_;
    std::vector<HWND> windows_;
};

thread_local int t_modalLoops = 0;

// Counts one modal loop for as long as it lives.
class ModalLoopCount {
public:
    ModalLoopCount() { ++t_modalLoops; }
    ~ModalLoopCount() { --t_modalLoops; }
    ModalLoopCount(const ModalLoopCount&) = delete;
    ModalLoopCount& operator=(const ModalLoopCount&) = delete;
};

template <class Pred>
TButton* FindButton(TWinControl* parent, Pred pred) {
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (auto* b = dynamic_cast<TButton*>(c); b && pred(b)) return b;
        if (auto* w = dynamic_cast<TWinControl*>(c))
            if (TButton* b = FindButton(w, pred)) return b;
    }
    return nullptr;
}

} // namespace

int ModalLoopDepth() { return t_modalLoops; }

int TCustomForm::ShowModal() {
    if (Visible() || !Enabled() || modal_) throw EInvalidOperation("Cannot make a visible window modal");
    if (GetCapture()) ReleaseCapture();
    HWND previous = GetActiveWindow();
    HandleNeeded();
    TFreeWatch watch(this);
    int result = mrNone;
    {
        DisabledThreadWindows disabled(HandleValue());
        ModalLoopCount counted;
        modal_ = true;
        modalResult_ = mrNone;
        Show();
        for (;;) {
            try {
                Application->HandleMessage();
            } catch (...) {
                Application->HandleException(watch.Gone ? nullptr : this);
            }
            if (watch.Gone) {
                result = mrCancel;
                break;
            }
            if (Application->Terminated() || !Visible()) {
                if (modalResult_ == mrNone) modalResult_ = mrCancel;
            } else if (modalResult_ != mrNone) {
                TCloseAction action = caHide;
                try {
                    OnClose(this, action);
                } catch (...) {
                    Application->HandleException(this);
                }
                if (action == caNone) {
                    modalResult_ = mrNone;
                    continue;
                }
            }
            if (modalResult_ != mrNone) {
                result = modalResult_;
                break;
            }
        }
        if (!watch.Gone) modal_ = false;
    }
    // The other windows are enabled again before this one hides, so the system can activate
    // one of them; the one that was active before gets the activation back.
    if (!watch.Gone) Hide();
    if (previous && IsWindow(previous) && IsWindowVisible(previous)) SetActiveWindow(previous);
    return result;
}

bool TCustomForm::HandleModalMessage(TMessage& m) {
    switch (m.Msg) {
    case WM_CLOSE:
        if (!modal_) return false;
        // The close box of a modal form ends it with mrCancel; the modal loop hides it.
        if (modalResult_ == mrNone) modalResult_ = mrCancel;
        return true;
    case CM_DIALOGKEY: {
        if (m.WParam != VK_RETURN && m.WParam != VK_ESCAPE) return false;
        if (KeyboardShiftState() & (ssAlt | ssCtrl)) return false;
        TButton* button = nullptr;
        if (m.WParam == VK_RETURN) {
            auto* focused = dynamic_cast<TButton*>(FindControl(GetFocus()));
            button = focused && focused->GetParentForm() == this
                         ? focused
                         : FindButton(this, [](TButton* b) { return b->Default(); });
        } else {
            button = FindButton(this, [](TButton* b) { return b->Cancel(); });
        }
        if (!button || !button->Showing() || !button->Enabled()) return false;
        button->Click();
        m.Result = 1;
        return true;
    }
    default: return false;
    }
}

bool TCustomForm::HandleMenuAndModal(TMessage& m) { return HandleModalMessage(m) || HandleMenuMessage(m); }

// ---- message dialogs ---------------------------------------------------------------------------

namespace {

// The dialog's icon: a system icon drawn at its natural size.
class TMessageIcon : public TGraphicControl {
    WL_CLASS(TMessageIcon, TGraphicControl)
public:
    explicit TMessageIcon(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 32, 32); }
    void SetIcon(LPCSTR id) { icon_ = LoadIconA(nullptr, id); }
    HICON Icon() const { return icon_; }

protected:
    void Paint() override {
        // A shared system icon: not ours to destroy.
        if (icon_) DrawIconEx(Canvas().Handle(), 0, 0, icon_, 32, 32, 0, nullptr, DI_NORMAL);
    }

private:
    HICON icon_ = nullptr;
};

struct ButtonInfo {
    const char* name;
    const char* caption;
    int result;
};

const ButtonInfo kButtons[] = {
    {"Yes", "&Yes", mrYes},       {"No", "&No", mrNo},           {"OK", "OK", mrOk},
    {"Cancel", "Cancel", mrCancel}, {"Abort", "&Abort", mrAbort}, {"Retry", "&Retry", mrRetry},
    {"Ignore", "&Ignore", mrIgnore}, {"All", "&All", mrAll},      {"NoToAll", "N&o to All", mrNoToAll},
    {"YesToAll", "Yes to &All", mrYesToAll}, {"Help", "&Help", mrNone},
};

constexpr int kMargin = 8;
constexpr int kIconSize = 32;
constexpr int kIconGap = 10;
constexpr int kButtonHeight = 25;
constexpr int kButtonMinWidth = 75;
constexpr int kButtonGap = 6;

} // namespace

WL_DEFINE_CLASS(TMessageIcon, WL_NO_PROPERTIES)
WL_DEFINE_CLASS(TMessageForm, WL_NO_PROPERTIES)

TMessageForm::TMessageForm(TComponent* owner) : TForm(owner) {
    SetBorderStyle(bsDialog);
    SetBorderIcons(biSystemMenu);
    SetPosition(poScreenCenter);
}

std::string MsgDlgCaption(TMsgDlgType type) {
    switch (type) {
    case mtWarning: return "Warning";
    case mtError: return "Error";
    case mtInformation: return "Information";
    case mtConfirmation: return "Confirmation";
    default: return Application ? Application->Title() : std::string();
    }
}

std::string MsgDlgButtonCaption(TMsgDlgBtn button) { return kButtons[button].caption; }
int MsgDlgButtonResult(TMsgDlgBtn button) { return kButtons[button].result; }

TMessageForm* CreateMessageDialog(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) {
    auto form = std::make_unique<TMessageForm>(nullptr);
    form->SetCaption(MsgDlgCaption(type));

    // The text wraps at half the screen's width.
    RECT textRect{0, 0, std::max(Screen->Width() / 2, 200), 0};
    std::vector<TMsgDlgBtn> shown;
    std::vector<int> widths;
    {
        WindowDC dc(nullptr);
        ScopedSelect font(dc.get(), form->Font().Handle());
        DrawTextA(dc.get(), text.c_str(), static_cast<int>(text.size()), &textRect,
                  DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
        for (int b = mbYes; b <= mbHelp; ++b) {
            if (!(buttons & (1u << b))) continue;
            shown.push_back(static_cast<TMsgDlgBtn>(b));
            RECT r{0, 0, 0, 0};
            DrawTextA(dc.get(), kButtons[b].caption, -1, &r, DT_CALCRECT | DT_SINGLELINE);
            widths.push_back(std::max(kButtonMinWidth, static_cast<int>(r.right) + 16));
        }
    }
    bool icon = type != mtCustom;
    int textLeft = kMargin + (icon ? kIconSize + kIconGap : 0);
    int contentHeight = std::max(static_cast<int>(textRect.bottom), icon ? kIconSize : 0);
    int buttonsWidth = 0;
    for (int w : widths) buttonsWidth += w;
    if (!widths.empty()) buttonsWidth += kButtonGap * static_cast<int>(widths.size() - 1);
    int clientWidth = std::max(textLeft + static_cast<int>(textRect.right), kMargin + buttonsWidth) + kMargin;
    int buttonTop = kMargin + contentHeight + 2 * kMargin;
    int clientHeight = buttonTop + (shown.empty() ? 0 : kButtonHeight + kMargin);

    if (icon) {
        static const LPCSTR kIcons[] = {IDI_WARNING, IDI_ERROR, IDI_INFORMATION, IDI_QUESTION};
        auto* image = new TMessageIcon(form.get());
        image->SetName("Image");
        image->SetIcon(kIcons[type]);
        image->SetBounds(kMargin, kMargin, kIconSize, kIconSize);
        image->SetParent(form.get());
    }
    auto* message = new TLabel(form.get());
    message->SetName("Message");
    message->SetAutoSize(false);
    message->SetWordWrap(true);
    message->SetCaption(text);
    int textTop = kMargin + (contentHeight - static_cast<int>(textRect.bottom)) / 2;
    message->SetBounds(textLeft, textTop, textRect.right, textRect.bottom);
    message->SetParent(form.get());

    auto has = [&](TMsgDlgBtn b) { return (buttons & (1u << b)) != 0; };
    TMsgDlgBtn defaultButton = has(mbOK) ? mbOK : has(mbYes) ? mbYes : shown.empty() ? mbOK : shown.front();
    TMsgDlgBtn cancelButton = has(mbCancel) ? mbCancel : has(mbNo) ? mbNo : mbOK;
    int x = (clientWidth - buttonsWidth) / 2;
    for (size_t i = 0; i < shown.size(); ++i) {
        const ButtonInfo& info = kButtons[shown[i]];
        auto* button = new TButton(form.get());
        button->SetName(info.name);
        button->SetCaption(info.caption);
        button->SetModalResult(info.result);
        button->SetBounds(x, buttonTop, widths[i], kButtonHeight);
        button->SetParent(form.get());
        button->SetTabOrder(static_cast<int>(i));
        if (shown[i] == defaultButton) {
            button->SetDefault(true);
            form->SetActiveControl(button);
        }
        if (shown[i] == cancelButton && has(cancelButton)) button->SetCancel(true);
        x += widths[i] + kButtonGap;
    }
    form->SetClientSize(clientWidth, clientHeight);
    return form.release();
}

int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext) {
    std::unique_ptr<TMessageForm> form(CreateMessageDialog(text, type, buttons));
    form->SetHelpContext(helpContext);
    return form->ShowModal();
}

} // namespace wl
