// Text dump of a loaded skin (see skin_dump.h).
#include "skin/data/skin_dump.h"

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
    const struct {
        const char* name;
        const TDataSkinObject* rec;
    } slots[] = {
        {"BorderLeft", d.BorderLeft.get()},
        {"BorderRight", d.BorderRight.get()},
        {"BorderTop", d.BorderTop.get()},
        {"BorderBottom", d.BorderBottom.get()},
        {"Title", d.Title.get()},
        {"Buttons", d.Buttons.get()},
        {"Progress", d.Progress.get()},
        {"ProgressChunk", d.ProgressChunk.get()},
        {"MenuBar", d.MenuBar.get()},
        {"GroupBoxEdge", d.GroupBoxEdge.get()},
        {"GroupBox", d.GroupBox.get()},
        {"Tabs", d.Tabs.get()},
        {"StatusBarEdges", d.StatusBarEdges.get()},
        {"TabPane", d.TabPane.get()},
        {"ToolBars", d.ToolBars.get()},
        {"ComboButton", d.ComboButton.get()},
        {"SunkEdge", d.SunkEdge.get()},
        {"ExtraImages", d.ExtraImages.get()},
        {"Headerbar", d.Headerbar.get()},
        {"MenuItem", d.MenuItem.get()},
        {"MenuBackground", d.MenuBackground.get()},
        {"Scrollbar", d.Scrollbar.get()},
        {"HorzScroll", d.HorzScroll.get()},
        {"VertScroll", d.VertScroll.get()},
        {"HorzScrollThumb", d.HorzScrollThumb.get()},
        {"VertScrollThumb", d.VertScrollThumb.get()},
        {"TrackbarThumbHorz", d.TrackbarThumbHorz.get()},
        {"TrackbarThumbVert", d.TrackbarThumbVert.get()},
        {"TrackbarThumbLeft", d.TrackbarThumbLeft.get()},
        {"TrackbarThumbRight", d.TrackbarThumbRight.get()},
        {"TrackbarThumbUp", d.TrackbarThumbUp.get()},
        {"TrackbarThumbDown", d.TrackbarThumbDown.get()},
        {"UpDownHorz", d.UpDownHorz.get()},
        {"UpDownVert", d.UpDownVert.get()},
        {"Track", d.Track.get()},
        {"TrackVert", d.TrackVert.get()},
        {"ComboxArrow", d.ComboxArrow.get()},
        {"Toolbar", d.Toolbar.get()},
    };
    for (const auto& s : slots) Slot(out, s.name, s.rec);
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
