// Exact counts of the live GDI objects and windows of this process, for leak tests.
#pragma once

namespace wl::test {

// Live GDI objects. Windows counts them in GetGuiResources; Wine answers 0 there, but it resolves
// a handle whose upper half is zero to whatever object occupies that table slot, so there the
// slots are probed one by one.
long LiveGdiObjects();

// Live windows of this thread (top-level windows and all their descendants); GetGuiResources
// where it answers.
long LiveUserObjects();

// Live USER handles of this process: windows, menus, cursors and the rest of the USER table
// (catches leaked HMENUs, which LiveUserObjects does not see).
long LiveUserHandles();

} // namespace wl::test
