// Pictures of what is on the screen or in a window, for tests that read pixels back: one
// rectangle copied once into memory, then read as often as needed, compared or saved as a BMP.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace wl::test {

class TCapture {
public:
    TCapture() = default;

    // A rectangle of the screen, in screen coordinates. Under Wine the screen shows a window's
    // drawing only after its surface is flushed; wait for what you expect before capturing.
    static TCapture Screen(const RECT& screenRect);
    // The whole window (frame included) as it is on the screen.
    static TCapture Window(HWND window);
    // The window's client area as it is on the screen.
    static TCapture Client(HWND window);
    // The whole window read through its own window DC rather than the screen: what the window
    // drew, whether or not it has reached the screen yet.
    static TCapture WindowDC(HWND window);
    // The client area read through the window's client DC, likewise.
    static TCapture ClientDC(HWND window);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return pixels_.empty(); }
    // The colour at (x, y) of the captured rectangle; CLR_INVALID outside it.
    COLORREF At(int x, int y) const;
    // Pixels of `r` (capture coordinates, clipped) whose colour is within `tolerance` of
    // `color` in every channel.
    int CountNear(const RECT& r, COLORREF color, int tolerance = 0) const;
    // Pixels of `r` (capture coordinates, clipped) that differ between two captures of one size.
    int CountDiffering(const TCapture& other, const RECT& r) const;
    // Writes the capture as a 24-bit BMP; returns success.
    bool Save(const std::string& path) const;

private:
    static TCapture FromDC(HDC source, int x, int y, int width, int height);

    int width_ = 0, height_ = 0;
    std::vector<COLORREF> pixels_; // rows top to bottom
};

// How far apart two colours are: the largest difference of one channel.
int ColorDistance(COLORREF a, COLORREF b);

} // namespace wl::test
