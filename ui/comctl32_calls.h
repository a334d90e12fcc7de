// The functions of the common-controls library (comctl32) that the library calls, looked up on
// first use through SystemFunction: the program's first window has no common control, so the
// library is loaded only when something needs a common-control class or an image list.
//
// They have the signatures of the system functions of the same names; when the library or the
// function is missing they fail the way the system function reports failure (FALSE, nullptr,
// -1 or 0).
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace wl {

// Registers the comctl32 window classes of `classes` (ICC_* bits) once per process, loading the
// library on the first call. Every window of a common-control class the library creates, and
// every such window made by a caller, needs this call first.
void InitCommonControlClasses(DWORD classes);

} // namespace wl

namespace wl::comctl32 {

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* icc);

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow);
BOOL ImageList_Destroy(HIMAGELIST list);
int ImageList_GetImageCount(HIMAGELIST list);
BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy);
COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF color);
int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask);
int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF mask);
BOOL ImageList_Replace(HIMAGELIST list, int index, HBITMAP image, HBITMAP mask);
BOOL ImageList_Remove(HIMAGELIST list, int index);
BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style);
BOOL ImageList_DrawEx(HIMAGELIST list, int index, HDC dc, int x, int y, int dx, int dy, COLORREF bk,
                      COLORREF fg, UINT style);

} // namespace wl::comctl32
