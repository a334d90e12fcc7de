// Private window messages the skin engine's objects exchange: the skinned form object, the
// manager, the control companions and a host program that wants to talk to skinned windows.
// The numbers are fixed (a host may send them), so they are spelled out here once.
#pragma once

#include <windows.h>

namespace wl {

// Received by the form object's WindowProc: re-apply the skin colours.
inline constexpr UINT SKM_APPLYCOLORS = 0x3401;
// Received by the window: repaint the whole skinned frame.
inline constexpr UINT SKM_REPAINTFRAME = 0x3502;
// Posted by the manager right after attach (wParam 0, lParam 1000): start skinning.
inline constexpr UINT SKM_STARTSKIN = 0x3503;
// Posted to the window for a title-bar button whose action the engine does not know;
// wParam = the action code.
inline constexpr UINT SKM_BUTTONACTION = 0x3514;
// Sent to the window to ask whether a button with visibility code 1000..2000 shows
// (wParam = code, lParam = action); an answer above 0 shows it.
inline constexpr UINT SKM_BUTTONVISIBLE = 0x3515;
// Posted to the MDI client when an MDI child is maximized (wParam = the child's frame window);
// the client redraws its MDI parent.
inline constexpr UINT SKM_MDIMAXIMIZED = 0x3516;
// Posted by a scroll-bar companion, wParam = control handle: re-create its scroll-bar skin.
inline constexpr UINT SKM_CONTROLRECREATED = 0x3517;
// lParam = screen point: open the menu-bar item under it.
inline constexpr UINT SKM_MENUHOT = 0x3518;
// Any skinned window or control answers 1.
inline constexpr UINT SKM_ISSKINNED = 0x3523;
// wParam = DC, lParam = SKM_MAGIC: paint the skinned frame into that DC; answers SKM_MAGIC.
inline constexpr UINT SKM_PAINTSKIN = 0xBC4B;
// Answers SKM_MAGIC when lParam is SKM_MAGIC, else 1.
inline constexpr UINT SKM_PAINTQUERY = 0xBC4D;
// Sent by a skinned form to itself (wParam 0, lParam SKM_MAGIC) after skinning starts and
// after the colours are re-applied.
inline constexpr UINT SKM_SKINNED = 0xBC4E;
inline constexpr LPARAM SKM_MAGIC = 0x41A2;

} // namespace wl
