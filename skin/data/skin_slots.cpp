// The table of element slots (see skin_slots.h).
#include "skin/data/skin_slots.h"

#include <algorithm>
#include <iterator>

namespace wl {

namespace {

using R = TSlotRule;
using L = TSlotLayout;
using D = TSkinData;

constexpr TSkinSlot kSlots[] = {
    {"BorderLeft", "Personality", &D::BorderLeft, R::FrameBorder, "Left", 0, L::SideBorder},
    {"BorderRight", "Personality", &D::BorderRight, R::FrameBorder, "Right", 0, L::SideBorder},
    {"BorderTop", "Personality", &D::BorderTop, R::FrameBorder, "Top", 0, L::EndBorder},
    {"BorderBottom", "Personality", &D::BorderBottom, R::FrameBorder, "Bottom", 0, L::EndBorder},
    {"Title", "Personality", &D::Title, R::TitleText, nullptr, 2},
    {"Buttons", "Buttons", &D::Buttons, R::PushButtons, nullptr, 5},
    {"Progress", "Progress", &D::Progress, R::ProgressBar},
    {"ProgressChunk", "Progress.Chunk", &D::ProgressChunk, R::Plain},
    {"MenuBar", "Personality", &D::MenuBar, R::MenuBar, nullptr, 2, L::StackedCells},
    {"GroupBoxEdge", "GroupBoxEdge", &D::GroupBoxEdge, R::Plain, nullptr, 2},
    {"GroupBox", "GroupBox", &D::GroupBox, R::GroupBox, nullptr, 1},
    {"Tabs", "Tabs", &D::Tabs, R::WithSecond, "Border", 5, L::Cells, 1},
    {"StatusBarEdges", "StatusBarEdges", &D::StatusBarEdges, R::Plain, nullptr, 3},
    {"TabPane", "Tab.Pane", &D::TabPane, R::Plain, nullptr, 1},
    {"ToolBars", "ToolBars", &D::ToolBars, R::Plain, nullptr, 5},
    // Skins never name the combo button's second image: the load mirrors the first into it.
    {"ComboButton", "ComboButton", &D::ComboButton, R::WithSecond, nullptr, 4},
    {"SunkEdge", "SunkEdge", &D::SunkEdge, R::Plain, nullptr, 4},
    {"ExtraImages", "ExtraImages", &D::ExtraImages, R::Plain, nullptr, 5},
    {"Headerbar", "Headerbar", &D::Headerbar, R::Plain},
    {"MenuItem", "MenuItem", &D::MenuItem, R::Plain, nullptr, 5},
    {"MenuBackground", "MenuBackground", &D::MenuBackground, R::Plain, nullptr, 1},
    {"Scrollbar", "Scrollbar", &D::Scrollbar, R::Plain, nullptr, 23},
    {"HorzScroll", "HorzScroll", &D::HorzScroll, R::Plain, nullptr, 4},
    {"VertScroll", "VertScroll", &D::VertScroll, R::Plain, nullptr, 4},
    {"HorzScrollThumb", "HorzScrollThumb", &D::HorzScrollThumb, R::Plain},
    {"VertScrollThumb", "VertScrollThumb", &D::VertScrollThumb, R::Plain},
    {"TrackbarThumbHorz", "Trackbar.ThumbHorz", &D::TrackbarThumbHorz, R::Plain, nullptr, 5},
    {"TrackbarThumbVert", "Trackbar.ThumbVert", &D::TrackbarThumbVert, R::Plain, nullptr, 5},
    {"TrackbarThumbLeft", "Trackbar.ThumbLeft", &D::TrackbarThumbLeft, R::Plain, nullptr, 5},
    {"TrackbarThumbRight", "Trackbar.ThumbRight", &D::TrackbarThumbRight, R::Plain, nullptr, 5},
    {"TrackbarThumbUp", "Trackbar.ThumbUp", &D::TrackbarThumbUp, R::Plain, nullptr, 5},
    {"TrackbarThumbDown", "Trackbar.ThumbDown", &D::TrackbarThumbDown, R::Plain, nullptr, 5},
    {"UpDownHorz", "UpDown.Horz", &D::UpDownHorz, R::WithSecond, "GlyphImage", 8},
    {"UpDownVert", "UpDown.Vert", &D::UpDownVert, R::WithSecond, "GlyphImage", 8},
    {"Track", "Track", &D::Track, R::Track, "TRACK"},
    {"TrackVert", "TRACKVERT", &D::TrackVert, R::Track, "TRACKVERT"},
    {"ComboxArrow", nullptr, &D::ComboxArrow, R::Derived},
    {"Toolbar", nullptr, &D::Toolbar, R::Derived},
};

// The record type each rule fills, as the index of the member's type in TSlotMember.
constexpr size_t MemberIndexOf(TSlotRule rule) {
    switch (rule) {
    case R::FrameBorder:
    case R::ProgressBar:
    case R::WithSecond: return 1;
    case R::TitleText: return 2;
    case R::PushButtons: return 3;
    case R::GroupBox: return 4;
    default: return 0;
    }
}
static_assert(std::all_of(std::begin(kSlots), std::end(kSlots),
                          [](const TSkinSlot& s) {
                              return s.Member.index() == MemberIndexOf(s.Rule) &&
                                     (s.Section != nullptr) == (s.Rule != R::Derived);
                          }),
              "every slot's member has the record type its rule fills");

} // namespace

std::span<const TSkinSlot> SkinSlots() { return kSlots; }

const TSkinSlot* FindSlot(std::string_view name) {
    for (const TSkinSlot& s : kSlots)
        if (name == s.Name) return &s;
    return nullptr;
}

TDataSkinObject* SlotRecord(TSkinData& data, const TSkinSlot& slot) {
    return std::visit([&](auto member) -> TDataSkinObject* { return (data.*member).get(); },
                      slot.Member);
}

TElementDraw SlotDraw(const TSkinSlot& slot, TDataSkinObject& record, int index) {
    TElementDraw d = ElementDraw(record, index);
    d.Vertical = slot.Layout == L::StackedCells || slot.Layout == L::EndBorder;
    if (slot.Layout == L::SideBorder || slot.Layout == L::EndBorder) d.Tile = record.Tile != 1;
    return d;
}

} // namespace wl
