// Helpers for window-level tests: pumping messages, waiting on conditions, reading pixels back
// and saving pictures of windows as artifacts.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace wl::test {

// Dispatches the pending messages of this thread; with `ms`, keeps doing so for that long. Use
// it without `ms` (drain the queue); a timed pump is only for behaviour that is itself timed.
void PumpMessages(DWORD ms = 0);

// The one way tests wait: dispatches messages until `done` returns true or `timeoutMs` passes;
// returns done().
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 2000);

// Waits until the window is visible and has no pending paint of its own or its children.
bool WaitPainted(HWND window, DWORD timeoutMs = 2000);

// Whether the screen shows what the window drew, on the part of the window that is on the screen
// and inside its window region.
bool ScreenShowsDrawing(HWND window);

// Waits until what the window drew has reached the screen (under Wine a window surface is
// copied to the screen some time after painting): the screen's copy of the window equals the
// window's own drawing (see ScreenShowsDrawing). False if other windows cover it or the deadline
// passes.
bool WaitFlushed(HWND window, DWORD timeoutMs = 2000);

// Waits until the top-level window of this thread with the given class appears (and is visible),
// or returns null at the deadline. A null class matches any.
HWND WaitForWindow(const wchar_t* className, DWORD timeoutMs = 2000);

// The colour of a pixel of the whole window (non-client area included), read from the screen.
COLORREF WindowPixel(HWND hwnd, int x, int y);

// Saves the whole window as it is on the screen to a 24-bit BMP file; returns success.
bool SaveWindowBitmap(HWND hwnd, const std::string& path);

} // namespace wl::test
