// Owning wrappers for GDI and icon handles. Each type says in its name what it owns and frees the
// handle the right way (DeleteObject, DeleteDC, ReleaseDC, DestroyIcon); SelectObject is undone
// by a scope guard. Moves transfer ownership; copies are impossible.
#pragma once

#include <windows.h>

#include <utility>

namespace wl {

// A handle H with exactly one owner that frees it with Free::operator().
template <class H, class Free>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(H handle) : FHandle(handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : FHandle(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    H get() const { return FHandle; }
    explicit operator bool() const { return FHandle != nullptr; }
    // Gives the handle up without freeing it.
    H release() { return std::exchange(FHandle, nullptr); }
    void reset(H handle = nullptr) {
        H old = std::exchange(FHandle, handle);
        if (old) Free()(old);
    }

private:
    H FHandle = nullptr;
};

struct GdiObjectFree {
    void operator()(HGDIOBJ h) const { DeleteObject(h); }
};
struct DcFree {
    void operator()(HDC h) const { DeleteDC(h); }
};
struct IconFree {
    void operator()(HICON h) const { DestroyIcon(h); }
};

using UniqueBitmap = UniqueHandle<HBITMAP, GdiObjectFree>;
using UniqueBrush = UniqueHandle<HBRUSH, GdiObjectFree>;
using UniqueFont = UniqueHandle<HFONT, GdiObjectFree>;
using UniquePen = UniqueHandle<HPEN, GdiObjectFree>;
using UniqueRegion = UniqueHandle<HRGN, GdiObjectFree>;
using UniquePalette = UniqueHandle<HPALETTE, GdiObjectFree>;
using UniqueIcon = UniqueHandle<HICON, IconFree>;
// A device context we created (CreateCompatibleDC, CreateDC): freed with DeleteDC.
using UniqueDC = UniqueHandle<HDC, DcFree>;

// A device context borrowed from a window (GetDC / GetWindowDC / GetDCEx): given back with
// ReleaseDC, which needs the window it came from. A null window means the screen.
class WindowDC {
public:
    explicit WindowDC(HWND window = nullptr) : FWindow(window), FDC(GetDC(window)) {}
    WindowDC(HWND window, HDC dc) : FWindow(window), FDC(dc) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() {
        if (FDC) ReleaseDC(FWindow, FDC);
    }
    HDC get() const { return FDC; }
    explicit operator bool() const { return FDC != nullptr; }

private:
    HWND FWindow;
    HDC FDC;
};

// Selects an object into a device context and puts the previous one back when it goes out of
// scope, so that the object can be deleted afterwards (a selected object cannot be).
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : FDC(dc), FOld(dc && object ? SelectObject(dc, object) : nullptr) {}
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;
    ~ScopedSelect() {
        if (FOld) SelectObject(FDC, FOld);
    }

private:
    HDC FDC;
    HGDIOBJ FOld;
};

// Saves the whole state of a device context (SaveDC) and restores it (RestoreDC).
class ScopedDCState {
public:
    explicit ScopedDCState(HDC dc) : FDC(dc), FSaved(dc ? SaveDC(dc) : 0) {}
    ScopedDCState(const ScopedDCState&) = delete;
    ScopedDCState& operator=(const ScopedDCState&) = delete;
    ~ScopedDCState() {
        if (FSaved) RestoreDC(FDC, FSaved);
    }

private:
    HDC FDC;
    int FSaved;
};

} // namespace wl
