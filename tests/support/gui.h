// Helpers for window-level tests: pumping messages, reading pixels back and saving pictures of
// windows as artifacts.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace wl::test {

// Dispatches pending messages of this thread for about `ms` milliseconds.
void PumpMessages(DWORD ms = 0);

// Dispatches messages until `done` returns true or `timeoutMs` passes; returns done().
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 2000);

// The colour of a pixel of the whole window (non-client area included), read from the screen.
COLORREF WindowPixel(HWND hwnd, int x, int y);

// Saves the whole window as it is on the screen to a 24-bit BMP file; returns success.
bool SaveWindowBitmap(HWND hwnd, const std::string& path);

} // namespace wl::test
