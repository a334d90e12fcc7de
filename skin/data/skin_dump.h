// A loaded skin as text, for skin authors and for checking: one line per element slot, per
// title-bar button record and per skin colour, in a stable order. Format (ASCII, one record per
// line, fields separated by single spaces):
//   <Slot> absent
//   <Slot> Frame=<n> LeftWidth=<n> TopHeight=<n> RightWidth=<n> BottomHeight=<n> Trans=<n>
//          Tile=<n> Style=<n> Image=<w>x<h> [Image2=<w>x<h>]         (one line; Image2 only
//                                                                  for second-image slots)
//   SysButton <NAME> Action=<n> Align=<n> Xcoord=<n> Ycoord=<n> Visibility=<n> Visibility1=<n>
//          CombineOp=<n> Frame=<n> Image=<w>x<h>
//   Colour <Name>=<8 hexadecimal digits of the TColor>
#pragma once

#include "skin/data/skin_data.h"

#include <string>
#include <vector>

namespace wl {

std::string DumpSkin(TSkinData& data);

// The skin colour values of a loaded skin, by name, in the dump's order.
struct NamedSkinColour {
    const char* name;
    TColor value;
};
std::vector<NamedSkinColour> SkinColours(const TSkinData& data);

} // namespace wl
