// Modal results and message dialogs: the values a modal form returns, and TMessageForm, the
// library's own message dialog (a real form with an icon, the text and a row of buttons).
//
// ShowModal (declared with TCustomForm) is implemented here too: the other windows of the
// thread are disabled while a message loop runs until ModalResult is set or the form closes.
#pragma once

#include "ui/forms.h"
#include "ui/stdctrls.h"

#include <string>

namespace wl {

enum : int {
    mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7,
    mrAll = 8, mrNoToAll = 9, mrYesToAll = 10,
};

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };
// A set of buttons: bit (1 << button).
using TMsgDlgButtons = unsigned;
constexpr TMsgDlgButtons MsgDlgButtons(std::initializer_list<TMsgDlgBtn> buttons) {
    TMsgDlgButtons s = 0;
    for (TMsgDlgBtn b : buttons) s |= 1u << b;
    return s;
}
constexpr TMsgDlgButtons mbYesNoCancel = MsgDlgButtons({mbYes, mbNo, mbCancel});
constexpr TMsgDlgButtons mbOKCancel = MsgDlgButtons({mbOK, mbCancel});
constexpr TMsgDlgButtons mbAbortRetryIgnore = MsgDlgButtons({mbAbort, mbRetry, mbIgnore});

// Caption of a dialog type ("Warning" ...; the application title for mtCustom), caption of a
// button ("&Yes" ...) and the modal result a button gives (mrNone for Help).
std::string MsgDlgCaption(TMsgDlgType type);
std::string MsgDlgButtonCaption(TMsgDlgBtn button);
int MsgDlgButtonResult(TMsgDlgBtn button);

// The message dialog form. Its controls: "Image" (the icon, none for mtCustom), "Message" (the
// text) and one TButton per button, named after it ("Yes", "NoToAll", ...). The default
// button is OK or Yes when present, else the first; Escape presses Cancel, else No, else OK.
class TMessageForm : public TForm {
    WL_CLASS(TMessageForm, TForm)
public:
    explicit TMessageForm(TComponent* owner);
    int HelpContext() const { return helpContext_; }
    void SetHelpContext(int context) { helpContext_ = context; }

private:
    int helpContext_ = 0;
};

// Builds the dialog (the caller owns and frees it); it is not shown yet.
TMessageForm* CreateMessageDialog(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons);
// Shows the dialog modally, centred on the screen, and returns the modal result of the button
// pressed (mrCancel when closed otherwise).
int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext);

} // namespace wl
