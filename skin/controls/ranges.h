// Companions of the range controls. TSkinProgress paints a progress bar from the skin's progress
// element (a track and a filled bar, or a track and chunks). TSkinTrackBar answers the track
// bar's custom-draw notifications with the skin's channel and thumb and leaves the tick marks to
// the control. TSkinUpDown paints the two arrow buttons of an up-down control, also of one that
// sits inside an edit or a tab control.
#pragma once

#include "skin/controls/skin_control.h"

namespace wl {

class TDataSkinBorder;

class TSkinProgress : public TSkinControl {
    WL_CLASS(TSkinProgress, TSkinControl)
public:
    explicit TSkinProgress(TComponent* owner);
    bool BeforeMessage(TMessage& m) override;
    void DrawSkin(HDC dc, const RECT& rect) override;

    // The filled length of a bar `length` pixels long at `pos` in [min, max]; 0 for an empty
    // or inverted range.
    static int BarLength(int length, int pos, int min, int max);
    // Whether the skin has what the bar is drawn from: the progress element, and in the chunk
    // style the chunk element too. Otherwise the bar paints itself.
    bool Skinned() const;

private:
    void DrawChunks(HDC dc, const RECT& rect, bool vertical, int pos, int min, int max);
};

class TSkinTrackBar : public TSkinControl {
    WL_CLASS(TSkinTrackBar, TSkinControl)
public:
    explicit TSkinTrackBar(TComponent* owner);
    bool BeforeMessage(TMessage& m) override;
    void SkinChanged() override;

    // The answer to one custom-draw notification of the track bar (drawing what it asks for).
    LRESULT CustomDraw(NMCUSTOMDRAW& draw);

    // The thumb cells for this bar's orientation (the horizontal ones stand in for missing
    // vertical ones); null when the skin has none, and the bar draws its own thumb.
    TDataSkinObject* ThumbElement() const;
    // The channel element for this bar's orientation; null when there is none to draw from.
    TDataSkinObject* ChannelElement() const;

private:
    void DrawThumb(HDC dc);
    void DrawChannel(HDC dc);
};

// Published (set by the companions that find an up-down inside their control): InEdit (the
// up-down sits in an edit and keeps clear of its border) and Horizontal (a left/right pair
// whatever the style).
class TSkinUpDown : public TSkinControl {
    WL_CLASS(TSkinUpDown, TSkinControl)
public:
    explicit TSkinUpDown(TComponent* owner);
    bool BeforeMessage(TMessage& m) override;
    void DrawSkin(HDC dc, const RECT& rect) override;

    bool InEdit() const { return FInEdit; }
    void SetInEdit(bool on) { FInEdit = on; }
    bool Horizontal() const { return FHorizontal; }
    void SetHorizontal(bool on) { FHorizontal = on; }

    // The cell of button `arrow` (0 up, 1 down, 2 left, 3 right) in `state` (1 normal,
    // 2 pressed, 3 disabled, 4 hot): left and up 1-4, right and down 5-8.
    static int CellOf(int arrow, int state);

    bool FInEdit = false;
    bool FHorizontal = false;

    // The skin's cells for this pair's orientation; null when the skin has none, and the
    // control keeps its own buttons.
    TDataSkinBorder* Element() const;

private:
    bool IsHorizontal() const;
    void DrawButton(HDC dc, TDataSkinBorder& element, const RECT& half, int arrow, int state);
};

} // namespace wl
