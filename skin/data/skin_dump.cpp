// Text dump of a loaded skin (see skin_dump.h).
#include "skin/data/skin_dump.h"

#include "skin/data/skin_slots.h"

#include <cstdio>

namespace wl {

namespace {

std::string Size(const TBitmap& b) {
    return std::to_string(b.Width()) + "x" + std::to_string(b.Height());
}

void Slot(std::string& out, const char* name, const TDataSkinObject* rec) {
    out += name;
    if (!rec) {
        out += " absent\n";
        return;
    }
    out += " Frame=" + std::to_string(rec->Frame) + " LeftWidth=" + std::to_string(rec->LeftWidth) +
           " TopHeight=" + std::to_string(rec->TopHeight) +
           " RightWidth=" + std::to_string(rec->RightWidth) +
           " BottomHeight=" + std::to_string(rec->BottomHeight) +
           " Trans=" + std::to_string(rec->Trans) + " Tile=" + std::to_string(rec->Tile) +
           " Style=" + std::to_string(rec->Style) + " Image=" + Size(rec->Image);
    if (auto* border = dynamic_cast<const TDataSkinBorder*>(rec))
        out += " Image2=" + Size(border->Image2);
    out += "\n";
}

} // namespace

std::vector<NamedSkinColour> SkinColours(const TSkinData& d) {
    return {
        {"WindowText", d.WindowText},       {"TitleTextActive", d.TitleTextActive},
        {"TitleTextNoActive", d.TitleTextNoActive}, {"ButtonFace", d.ButtonFace},
        {"ButtonText", d.ButtonText},       {"ButtonHilight", d.ButtonHilight},
        {"Buttonlight", d.Buttonlight},     {"ButtonShadow", d.ButtonShadow},
        {"ButtonDkShadow", d.ButtonDkShadow}, {"HilightText", d.HilightText},
        {"Hilight", d.Hilight},             {"MenubarColour", d.MenubarColour},
        {"MenuBarText", d.MenuBarText},     {"MenuText", d.MenuText},
        {"MenuColour", d.MenuColour},       {"ScrollbarColour", d.ScrollbarColour},
        {"FrameColour", d.FrameColour},
    };
}

std::string DumpSkin(TSkinData& d) {
    std::string out;
    for (const TSkinSlot& s : SkinSlots()) Slot(out, s.Name, SlotRecord(d, s));
    for (const auto& b : d.SysButtons) {
        out += "SysButton " + b->Name + " Action=" + std::to_string(b->Action) +
               " Align=" + std::to_string(b->Align) + " Xcoord=" + std::to_string(b->Xcoord) +
               " Ycoord=" + std::to_string(b->Ycoord) +
               " Visibility=" + std::to_string(b->Visibility) +
               " Visibility1=" + std::to_string(b->Visibility1) +
               " CombineOp=" + std::to_string(b->CombineOp) + " Frame=" + std::to_string(b->Frame) +
               " Image=" + Size(b->Image) + "\n";
    }
    const std::vector<NamedSkinColour> colours = SkinColours(d);
    for (const auto& c : colours) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "%08X", static_cast<unsigned>(c.value));
        out += std::string("Colour ") + c.name + "=" + hex + "\n";
    }
    return out;
}

} // namespace wl
