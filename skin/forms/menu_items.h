// Skin-drawn menu items: switching the items of a menu to owner-draw so that the skinned form
// object measures and paints them, and back.
#pragma once

namespace wl {

class TMenuItem;
class TWinSkinForm;

// Switches `item` and all its sub-items to skin drawing for `form` (on) or gives them back
// their own drawing (off).
void HookMenuItems(TWinSkinForm& form, TMenuItem* item, bool on);

} // namespace wl
