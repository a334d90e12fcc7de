// Check boxes and radio buttons drawn from the skin's check and radio cell strips. Attached to a
// control object whose skin has the strip, the companion paints the whole control (background,
// mark and caption); attached to a bare dialog button, or without the strip, the button paints
// itself and the companion only puts the skin's mark over its box. Clicks, Space and the
// button's check state stay the real control's: the companion only reads them.
#pragma once

#include "skin/controls/skin_control.h"

namespace wl {

class TBitmap;

// ---- window-free rules -----------------------------------------------------------------------

enum class TCheckMark { Unchecked, Checked, Grayed };

struct TCheckLook {
    TCheckMark Mark = TCheckMark::Unchecked;
    bool Disabled = false;
    bool Hot = false;
    bool Pressed = false;
};

// The cell (from 1) of a check-box strip of `frames` cells. A 12-cell strip holds unchecked,
// checked and grayed in groups of four, of which the first (normal) and the fourth (disabled)
// are drawn: the mouse over or pressing the box changes nothing. Any other count uses the
// four-cell order unchecked, checked, unchecked disabled, checked (and grayed) disabled.
int CheckBoxFrame(const TCheckLook& look, int frames);
// The cell of a radio strip: an 8-cell strip holds unchecked and checked in groups of four,
// normal first and disabled last; any other count the four-cell order. Grayed counts as
// unchecked.
int RadioButtonFrame(const TCheckLook& look, int frames);

struct TCheckLayout {
    RECT Mark{0, 0, 0, 0};    // where the cell is stretched to
    RECT Caption{0, 0, 0, 0}; // where the caption is laid out
};
// Mark vertically centred at the left edge and the caption to its right; with `leftText` the
// mark goes to the right edge (a radio dot one pixel in) and the caption to its left.
TCheckLayout LayoutCheck(const RECT& client, SIZE cell, bool leftText, bool radio);

// ---- companions ------------------------------------------------------------------------------

// What the check box and the radio button share; `Radio()` chooses strip and state source.
class TSkinCheckControl : public TSkinControl {
    WL_CLASS(TSkinCheckControl, TSkinControl)
public:
    using TSkinControl::TSkinControl;
    bool OnAttach(const TAttachContext& context) override;
    bool BeforeMessage(TMessage& m) override;
    void AfterMessage(TMessage& m) override;
    void DrawSkin(HDC dc, const RECT& rect) override;
    // A new skin decides again whether the skin draws the whole control or leaves it its own.
    void SkinChanged() override;

    bool FTransparent = false;

protected:
    virtual bool Radio() const = 0;
    // The mark to show, from the window and (when attached to one) the control object.
    virtual TCheckMark ReadMark() const = 0;
    // The cell strip and its cell count; null when the skin has none.
    TBitmap* Strip(int& frames) const;

private:
    TCheckLook ReadLook() const;
    void DrawCaption(HDC dc, RECT caption, UINT flags);
    void MouseMoved();
    void MouseLeft();
};

class TSkinCheckBox : public TSkinCheckControl {
    WL_CLASS(TSkinCheckBox, TSkinCheckControl)
public:
    using TSkinCheckControl::TSkinCheckControl;
    bool OnAttach(const TAttachContext& context) override;
    void AfterMessage(TMessage& m) override;

    // 0 until the control is told a check state; then that state + 1 (kept for data-bound check
    // boxes whose own state lags behind the window's).
    int FDataState = 0;

protected:
    bool Radio() const override { return false; }
    TCheckMark ReadMark() const override;
};

class TSkinRadioButton : public TSkinCheckControl {
    WL_CLASS(TSkinRadioButton, TSkinCheckControl)
public:
    using TSkinCheckControl::TSkinCheckControl;

protected:
    bool Radio() const override { return true; }
    TCheckMark ReadMark() const override;
};

} // namespace wl
