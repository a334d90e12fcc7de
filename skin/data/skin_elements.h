// Skin element records: one record per skin element (an image of `Frame` equal cells plus its
// margins, flags and colours), filled by the skin load and read directly by every painter.
#pragma once

#include "skin/draw/skin_draw.h"
#include "ui/classes.h"
#include "ui/graphics.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace wl {

class TDataSkinObject : public TObject {
    WL_CLASS(TDataSkinObject, TObject)
public:
    explicit TDataSkinObject(std::string name) : Name(std::move(name)) {}

    int32_t LeftWidth = 0;
    int32_t TopHeight = 0;
    int32_t RightWidth = 0;
    int32_t BottomHeight = 0;
    TBitmap Image;          // never absent; may be empty
    int32_t Trans = 0;      // non-zero: 0xFF00FF pixels are not drawn
    int32_t Tile = 0;       // 0 stretch the middle, 1 tile it (borders: the "Stretch" flag)
    std::string Name;
    int32_t Frame = 0;      // number of equal cells in Image
    int32_t Style = 0;
    int32_t NormalColour = 0;     // colour indexes as written, -1 when absent
    int32_t MouseOverColour = 0;
    int32_t PressedColour = 0;
    TColor NormalColour2 = 0;     // text colours of the normal, hot and pressed states
    TColor MouseOverColour2 = 0;
    TColor PressedColour2 = 0;

    // The four margins as the drawing routines take them (left, top, right, bottom).
    RECT Margins() const { return RECT{LeftWidth, TopHeight, RightWidth, BottomHeight}; }
};

// What to draw of an element record at cell `index`: its image, margins and cell count, the
// centre tiled when Tile is 1, keyed when Trans is non-zero, cells side by side. Callers change
// what differs (Vertical for stacked strips; the frame borders' Tile is a stretch flag, see
// SlotDraw in skin_slots.h).
inline TElementDraw ElementDraw(TDataSkinObject& element, int index = 1) {
    return TElementDraw{.Image = &element.Image,
                        .Margins = element.Margins(),
                        .Frames = element.Frame,
                        .Index = index,
                        .Vertical = false,
                        .Tile = element.Tile == 1,
                        .Transparent = element.Trans != 0};
}

class TDataSkinBorder : public TDataSkinObject {
    WL_CLASS(TDataSkinBorder, TDataSkinObject)
public:
    using TDataSkinObject::TDataSkinObject;
    TBitmap Image2; // a second image: page border, mirrored combo button, spin glyphs
};

class TDataSkinTitle : public TDataSkinObject {
    WL_CLASS(TDataSkinTitle, TDataSkinObject)
public:
    using TDataSkinObject::TDataSkinObject;
    int32_t TextAlignment = 0;
    int32_t Textbackground = 0;
    int32_t FontHeight = 0;
    int32_t TXTBackleft = 0;
    int32_t TXTBackRight = 0;
    TColor ActiveText = 0;
    TColor InActiveText = 0;
};

class TDataSkinButton : public TDataSkinObject {
    WL_CLASS(TDataSkinButton, TDataSkinObject)
public:
    using TDataSkinObject::TDataSkinObject;
    TBitmap CheckImage;
    TBitmap RadioImage;
    int32_t RadioButtonFrame = 0;
    int32_t CheckButtonFrame = 0;
    bool HasNormalColour2 = false;
    bool HasMouseOverColour2 = false;
    bool HasPressedColour2 = false;
};

class TDataSkinSysButton : public TDataSkinObject {
    WL_CLASS(TDataSkinSysButton, TDataSkinObject)
public:
    using TDataSkinObject::TDataSkinObject;
    int32_t Action = 0;
    int32_t Align = 0;
    int32_t Xcoord = 0;
    int32_t Ycoord = 0;
    int32_t CombineOp = 0;
    int32_t Visibility = 0;
    int32_t Visibility1 = 0;
};

class TDataSkinBoxLabel : public TDataSkinObject {
    WL_CLASS(TDataSkinBoxLabel, TDataSkinObject)
public:
    using TDataSkinObject::TDataSkinObject;
    int32_t BackgroundLeftShift = 0;
    int32_t BackgroundRightShift = 0;
    int32_t BackgroundAlignment = 0;
};

} // namespace wl
