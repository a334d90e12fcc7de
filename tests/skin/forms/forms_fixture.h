// The fixture of the window skinning tests: a loaded default skin, a fresh manager per test,
// and small builders for dialogs and plain windows.
#pragma once

#include "skin/data/skin_data.h"
#include "skin/forms/skin_manage.h"
#include "skin/forms/win_skin_form.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace skinforms {

// A dialog made from an in-memory template: caption, client size in dialog units and
// pushbuttons at the given dialog-unit positions.
struct DialogShape {
    std::string caption = "Dialog";
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE;
    short cx = 120, cy = 60;
    std::vector<POINT> buttons{{10, 10}};
    HINSTANCE instance = nullptr; // nullptr: this program
};
HWND MakeDialog(const DialogShape& shape);

// A top-level window of a class registered here.
struct WindowShape {
    const char* className = "WlSkinTestWindow";
    DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
    DWORD exStyle = 0;
    RECT bounds{60, 60, 360, 260};
    HINSTANCE instance = nullptr; // nullptr: this program
    HWND parent = nullptr;
    HMENU menu = nullptr;
    WNDPROC proc = nullptr; // nullptr: DefWindowProc
};
HWND MakeWindow(const WindowShape& shape);

std::string ReadFile(const std::string& path);
SIZE ClientSize(HWND window);

class SkinFormsTest : public testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    // Lets the manager skin `window` now and handles the start message; the window's skin
    // object, or nullptr when it was refused.
    wl::TWinSkinForm* Skin(HWND window);
    // Runs a scheduled action at once, as the timer would.
    void RunAction(int action, wl::TSkinData* data = nullptr);

    wl::TSkinManage* manager_ = nullptr;
    std::unique_ptr<wl::TSkinData> data_;
    std::vector<HWND> windows_; // destroyed at the end of the test
    std::vector<std::string> errors_;
};

} // namespace skinforms
