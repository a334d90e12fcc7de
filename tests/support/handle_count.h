// Counting the live GDI and USER objects of this process, for tests that create and free
// windows many times and check that nothing is left behind.
#pragma once

namespace wl::test {

// Live GDI objects. Wine reports 0 from GetGuiResources, so there the count is taken from its
// handle table (see the source); only differences between two counts are meaningful.
long LiveGdiObjects();

// Live windows of this thread (top-level windows and all their descendants) where
// GetGuiResources reports nothing.
long LiveUserObjects();

} // namespace wl::test
