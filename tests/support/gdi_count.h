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

// This process's live USER objects by type (windows of every thread, menus, icons and cursors,
// accelerator tables), counted where GetGuiResources does not answer (Wine).
struct TUserHandleCounts {
    long Windows = 0, Menus = 0, Cursors = 0, Accelerators = 0;
    long Total() const { return Windows + Menus + Cursors + Accelerators; }
};
TUserHandleCounts CountUserHandles();

// Live USER handles of this process: GetGuiResources where it answers, else the sum of
// CountUserHandles (catches leaked HMENUs, icons and accelerators, which LiveUserObjects does not
// see).
long LiveUserHandles();

// The USER handle table of the whole Wine session (every process of one wineserver), estimated by
// making handles until the end of the table shows: new handles take freed entries first, then
// new entries at the end one after the other. Other processes move it at any time, so it is
// reported for information, never compared.
long SessionUserHandles();

} // namespace wl::test
