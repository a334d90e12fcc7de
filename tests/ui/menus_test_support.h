// The form the menu, image list and dialog tests share, and their helpers.
#pragma once

#include "ui/dialogs.h"
#include "ui/forms.h"
#include "ui/menus.h"
#include "ui/stdctrls.h"

#include <functional>
#include <string>
#include <vector>

#include "support/gdi_count.h"

namespace wl::test {

class TMenuTestForm : public TForm {
    WL_CLASS(TMenuTestForm, TForm)
public:
    using TForm::TForm;
    TMainMenu* MainMenu1 = nullptr;
    TPopupMenu* PopupMenu1 = nullptr;
    TMenuItem *File1 = nullptr, *Open1 = nullptr, *N1 = nullptr, *Exit1 = nullptr;
    TMenuItem *View1 = nullptr, *Small1 = nullptr, *Large1 = nullptr, *Hidden1 = nullptr, *Wide1 = nullptr;
    TMenuItem *Copy1 = nullptr, *Paste1 = nullptr;
    TButton* Button1 = nullptr;
    std::vector<std::string> log;

    void ItemClick(TObject* sender);
    void PopupShown(TObject* sender);
};

// A form definition with a main menu, a popup menu and a button using it.
const char* MenuFormText();

// Runs `action` once, as soon as `ready` holds, from a thread timer that looks every few
// milliseconds (so inside whatever modal loop runs then). One at a time: a later call replaces a
// pending one; `action` may make the next.
void When(std::function<bool()> ready, std::function<void()> action);

// Whether a popup menu is open and what it drew has reached the screen (for pictures of it).
bool MenuShown();

// While it lives, ends a modal loop that runs too long: after `ms` milliseconds it closes open
// menus (EndMenu) and ends the modal form `form` (when given) with the result kWatchdogResult,
// so a broken test fails instead of hanging.
constexpr int kWatchdogResult = -99;
class Watchdog {
public:
    explicit Watchdog(TCustomForm* form = nullptr, UINT ms = 4000);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    UINT_PTR id_ = 0;
};

} // namespace wl::test
