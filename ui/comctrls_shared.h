// Small pieces the common-control source files share: the alignment names of published
// properties and a style-bit switch for live windows.
#pragma once

#include "ui/classes.h"
#include "ui/controls.h"

#include <windows.h>

#include <initializer_list>

namespace wl::comctl {

inline const std::initializer_list<TEnumMember> kAlignments = {
    {"taLeftJustify", taLeftJustify}, {"taRightJustify", taRightJustify}, {"taCenter", taCenter}};

// Sets or clears `bits` in the window's style; false when nothing changed.
inline bool ChangeStyle(HWND hwnd, LONG_PTR bits, bool on) {
    LONG_PTR style = GetWindowLongPtrA(hwnd, GWL_STYLE);
    LONG_PTR updated = on ? (style | bits) : (style & ~bits);
    if (updated == style) return false;
    SetWindowLongPtrA(hwnd, GWL_STYLE, updated);
    return true;
}

} // namespace wl::comctl
