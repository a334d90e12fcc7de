// The fixture of the frame and title-button tests: a skin loaded from an archive (the default
// skin or a synthetic one), top-level windows of a plain class, and a skin object attached and
// started on a window the way the manager does it.
#pragma once

#include "skin/data/skin_data.h"
#include "skin/forms/win_skin_form.h"
#include "skin_test_util.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace frametest {

std::string DefaultSkinBytes();

// A synthetic skin: the four borders as bitmaps with their keys, plus any extra definition text.
struct BorderSpec {
    BorderSpec(std::string image, int frameCount = 1, int transparent = 0, std::string keys = "")
        : bmp(std::move(image)), frames(frameCount), trans(transparent), extra(std::move(keys)) {}
    std::string bmp;   // BMP file bytes; empty: no image
    int frames = 1;
    int trans = 0;
    std::string extra; // further keys of the border, "TopTopHeight=3\n"
};
std::string SyntheticSkin(const BorderSpec& left, const BorderSpec& right, const BorderSpec& top,
                          const BorderSpec& bottom, const std::string& moreIni = "",
                          const std::vector<wl::skinpack::SkinEntry>& moreFiles = {});

class FrameTest : public skintest::SkinDataTest {
protected:
    void TearDown() override;

    // Loads `archive` into a fresh skin data component; false when it does not load.
    bool LoadSkin(const std::string& archive);
    // A visible top-level window with the given style and window rectangle.
    HWND MakeWindow(DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT bounds = {80, 60, 480, 360});
    // Attaches a skin object to `window` and starts it (as the manager does).
    wl::TWinSkinForm* Skin(HWND window);
    // The window's size and its client rectangle relative to its top-left corner.
    static SIZE WindowSize(HWND window);
    static RECT ClientInWindow(HWND window);

    std::unique_ptr<wl::TSkinData> data_;
    std::vector<HWND> windows_;
    std::vector<std::unique_ptr<wl::TWinSkinForm>> forms_;
};

} // namespace frametest
