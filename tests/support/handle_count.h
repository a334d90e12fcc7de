// Exact counts of the live GDI and USER objects of this process, for tests that check that
// repeated work leaks no handles. Wine answers 0 to GetGuiResources; there the counts come from
// the slots of its handle table (GDI) and from the windows of this thread (USER).
#pragma once

namespace wl::test {

long LiveGdiObjects();
long LiveUserObjects();

} // namespace wl::test
