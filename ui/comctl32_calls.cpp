// Common-controls functions looked up on first use (see comctl32_calls.h).
#include "ui/comctl32_calls.h"

#include "ui/system_proc.h"

// Each function finds its export once and keeps it; a missing one answers with `failed`.
#define WL_COMCTL32_CALL(name, failed, ...)                                                          \
    static auto* const f = ::wl::SystemFunction<decltype(::name)>(L"comctl32.dll", #name);          \
    return f ? f(__VA_ARGS__) : failed

namespace wl {

void InitCommonControlClasses(DWORD classes) {
    static DWORD done = 0;
    if ((done & classes) == classes) return;
    INITCOMMONCONTROLSEX icc{sizeof icc, classes};
    if (comctl32::InitCommonControlsEx(&icc)) done |= classes;
}

} // namespace wl

namespace wl::comctl32 {

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* icc) {
    WL_COMCTL32_CALL(InitCommonControlsEx, FALSE, icc);
}

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow) {
    WL_COMCTL32_CALL(ImageList_Create, nullptr, cx, cy, flags, initial, grow);
}

BOOL ImageList_Destroy(HIMAGELIST list) { WL_COMCTL32_CALL(ImageList_Destroy, FALSE, list); }

int ImageList_GetImageCount(HIMAGELIST list) { WL_COMCTL32_CALL(ImageList_GetImageCount, 0, list); }

BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy) {
    WL_COMCTL32_CALL(ImageList_GetIconSize, FALSE, list, cx, cy);
}

COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF color) {
    WL_COMCTL32_CALL(ImageList_SetBkColor, CLR_NONE, list, color);
}

int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask) {
    WL_COMCTL32_CALL(ImageList_Add, -1, list, image, mask);
}

int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF mask) {
    WL_COMCTL32_CALL(ImageList_AddMasked, -1, list, image, mask);
}

BOOL ImageList_Replace(HIMAGELIST list, int index, HBITMAP image, HBITMAP mask) {
    WL_COMCTL32_CALL(ImageList_Replace, FALSE, list, index, image, mask);
}

BOOL ImageList_Remove(HIMAGELIST list, int index) { WL_COMCTL32_CALL(ImageList_Remove, FALSE, list, index); }

BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style) {
    WL_COMCTL32_CALL(ImageList_Draw, FALSE, list, index, dc, x, y, style);
}

BOOL ImageList_DrawEx(HIMAGELIST list, int index, HDC dc, int x, int y, int dx, int dy, COLORREF bk,
                      COLORREF fg, UINT style) {
    WL_COMCTL32_CALL(ImageList_DrawEx, FALSE, list, index, dc, x, y, dx, dy, bk, fg, style);
}

} // namespace wl::comctl32
