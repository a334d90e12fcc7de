// The element slots of TSkinData in one table: the name the dump and the preview show, the
// section of the skin definition the load reads, the member that holds the record, how the load
// fills it, its fixed cell count and how its cells are drawn. The load, the dump, the preview
// tool and the tests all walk this table, so a slot is added in one place (plus its member).
#pragma once

#include "skin/data/skin_data.h"
#include "skin/draw/skin_draw.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <variant>

namespace wl {

// How the load fills a slot.
enum class TSlotRule : uint8_t {
    FrameBorder, // a frame border: keys Key+"TopHeight", Key+"Frame"... of the section, image Key
    TitleText,   // the title text record ("TextBack" image, text shifts, title text colours)
    PushButtons, // the push buttons ("Bitmap", "CheckButton", "RadioButton" and the colours)
    ProgressBar, // absent without "Bitmap"; no "Frame" key (the style decides)
    MenuBar,     // absent without "menuBar"; its tile and side margins from "TileMenu"...
    GroupBox,    // absent without "Image"; the common keys without "Frame", plus the label's own
    Plain,       // absent without "Image"; the common keys
    WithSecond,  // absent without "Image"; the common keys without "Frame", a second image Key
    Track,       // as Plain, else the built-in bitmap resource named Key
    Derived,     // made from other slots at the end of the load, kept across loads
};

// How the cells of a slot's image lie, and what its Tile field means, when it is drawn.
enum class TSlotLayout : uint8_t {
    Cells,        // side by side; Tile 1 tiles the centre
    StackedCells, // one above the other; Tile 1 tiles the centre
    SideBorder,   // side by side; Tile holds the border's stretch flag (1 stretches)
    EndBorder,    // one above the other; Tile holds the stretch flag
};

using TSlotMember = std::variant<std::unique_ptr<TDataSkinObject> TSkinData::*,
                                 std::unique_ptr<TDataSkinBorder> TSkinData::*,
                                 std::unique_ptr<TDataSkinTitle> TSkinData::*,
                                 std::unique_ptr<TDataSkinButton> TSkinData::*,
                                 std::unique_ptr<TDataSkinBoxLabel> TSkinData::*>;

struct TSkinSlot {
    const char* Name;    // as the dump and the preview show it
    const char* Section; // of the skin definition; null for derived slots
    TSlotMember Member;
    TSlotRule Rule;
    const char* Key = nullptr; // border key prefix, second-image key or built-in bitmap name
    int Frames = 0;            // cell count the load sets; 0: as read, or as the rule decides
    TSlotLayout Layout = TSlotLayout::Cells;
    int Image2Frames = 0; // cells of a second image (0: the record's own count)
};

// Every slot, in load and dump order.
std::span<const TSkinSlot> SkinSlots();

// The slot of that name; null when there is none.
const TSkinSlot* FindSlot(std::string_view name);

// The record a slot holds in `data`; null when the slot is absent.
TDataSkinObject* SlotRecord(TSkinData& data, const TSkinSlot& slot);

// What to draw of a slot's record at cell `index`: ElementDraw with the slot's layout applied.
TElementDraw SlotDraw(const TSkinSlot& slot, TDataSkinObject& record, int index = 1);

} // namespace wl
