// Helpers of the menu tests: a timer-driven script that runs inside a menu's modal loop (the
// steps see the open menu and post the keys and mouse moves a user would make), a form with a
// main menu, and pixel counting.
#pragma once

#include "ui/forms.h"
#include "ui/menus.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace skinmenus {

// Steps run one after another on a thread timer (so also inside TrackPopupMenu); a step
// returns true when it is done. After `timeoutMs` the script fails and ends any open menu.
class MenuScript {
public:
    explicit MenuScript(DWORD timeoutMs = 5000);
    ~MenuScript();
    MenuScript& Then(std::function<bool()> step);
    void Start();
    // Pumps messages until the script is done or failed; whether it finished every step.
    bool Run();
    bool Failed() const { return failed_; }
    size_t StepsDone() const { return next_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    std::vector<std::function<bool()>> steps_;
    size_t next_ = 0;
    DWORD timeout_;
    DWORD deadline_ = 0;
    bool failed_ = false;
    UINT_PTR timer_ = 0;
};

// The visible menu windows ("#32768") of this thread, newest last.
std::vector<HWND> OpenMenuWindows();

void PostKey(HWND window, UINT key);
// The screen point at the centre of a rectangle given in window coordinates.
POINT ScreenCentre(HWND window, const RECT& windowRect);

// Pixels of `r` (window coordinates of the DC's window, or bitmap coordinates) within `tolerance`
// of `color` in every channel.
int CountNear(HDC dc, const RECT& r, COLORREF color, int tolerance = 40);
int CountNearOnScreen(HWND window, const RECT& r, COLORREF color, int tolerance = 40);

struct MenuForm {
    std::unique_ptr<wl::TForm> form;
    wl::TMainMenu* menu = nullptr;
    wl::TMenuItem* file = nullptr;
    wl::TMenuItem* edit = nullptr;
    wl::TMenuItem* view = nullptr;
    wl::TMenuItem* fileNew = nullptr;  // Ctrl+N
    wl::TMenuItem* fileOpen = nullptr;
    wl::TMenuItem* fileExit = nullptr;
    wl::TMenuItem* editCut = nullptr;  // disabled
    wl::TMenuItem* editWrap = nullptr; // checked
    int newClicks = 0;
};
// A shown form with the menu "&File" (New Ctrl+N, Open, -, Exit), "&Edit" (Cut disabled, -,
// Wrap checked) and "&View" (Status bar).
std::unique_ptr<MenuForm> MakeMenuForm();

} // namespace skinmenus
