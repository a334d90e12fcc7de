// The fixture of the control companion tests: the default skin loaded, a fresh manager, and a
// shown host form whose controls the tests create, skin and drive with real messages.
#pragma once

#include "skin/controls/skin_control.h"
#include "skin/data/skin_data.h"
#include "skin/forms/skin_manage.h"
#include "skin/forms/win_skin_form.h"
#include "ui/forms.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace skincontrols {

std::string ReadFile(const std::string& path);

// The default skin archive made again from its own entries with pieces taken out: each cut is a
// section name ("Tabs") or a section and one of its keys ("Buttons/CheckButton"), matched without
// regard to case. Bitmaps that nothing names any more are left out of the archive too.
std::string DefaultSkinWithout(const std::vector<std::string>& cuts);

class SkinControlsTest : public testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    // A control of class T on the host form at the given bounds, its window created.
    template <class T>
    T* Add(RECT bounds, wl::TWinControl* parent = nullptr) {
        auto* c = new T(form_.get());
        c->SetParent(parent ? parent : form_.get());
        c->SetBounds(bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top);
        c->HandleNeeded();
        return c;
    }
    // A companion of `className` attached to `control` (owned by it), or nullptr when that
    // kind is not linked in.
    wl::TSkinControl* Attach(const char* className, wl::TWinControl* control, bool colorize = false);
    // Lets the manager skin the host form and runs its start (discovery included).
    wl::TWinSkinForm* SkinForm();
    // Repaints `window` and everything in it now.
    static void Repaint(HWND window);

    wl::TSkinManage* manager_ = nullptr;
    std::unique_ptr<wl::TSkinData> data_;
    std::unique_ptr<wl::TForm> form_;
    std::vector<std::string> errors_;
};

// The colour of the skin's element `element` at cell `frame` of `frames`, pixel (x, y) of a
// cell drawn at `size` (built the way the companions build it), for pixel comparisons.
COLORREF ElementPixel(wl::TDataSkinObject& element, int frames, int frame, SIZE size, int x, int y);

} // namespace skincontrols
