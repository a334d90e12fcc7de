// Skin-drawn menu items (the drawing itself is not built yet: items keep their own look).
#include "skin/forms/menu_items.h"

namespace wl {

void HookMenuItems(TWinSkinForm&, TMenuItem*, bool) {}

} // namespace wl
