// Push-button companions: plain buttons (control objects and bare "Button" windows), buttons
// with a glyph or a picture, window-less speed buttons and buttons with a drop-down arrow, all
// drawn from the skin's push-button element. A skinned button takes over the left mouse button
// to show its pressed look and produces the click itself; keyboard handling stays with the
// button. Every paint composes the whole button in an off-screen buffer kept by the companion
// and copies it to the screen in one blit.
#pragma once

#include "skin/controls/skin_control.h"

#include <string>

namespace wl {

class TDataSkinButton;

// ---- window-free rules (state to cell, caption colour) ----

// Cells of the push-button element.
enum : int { bfNormal = 1, bfPressed = 2, bfDisabled = 3, bfHot = 4, bfFocused = 5 };

struct TButtonDrawState {
    bool Enabled = true;
    bool Pressed = false;
    bool Hot = false;
    bool Focused = false;
};

// Disabled, pressed, hot, focused, normal: the first that holds picks the cell.
int PushButtonFrame(const TButtonDrawState& s);
// A drop-down button shows focus with the hot cell.
int MenuButtonFrame(const TButtonDrawState& s);
// A speed button that is down looks pressed, also while disabled; it never shows focus.
int SpeedButtonFrame(bool down, const TButtonDrawState& s);
// The glyph cell (1 up, 2 disabled, 3 pressed, 4 down) that goes with a button cell.
int GlyphNumber(int frame, bool down);
// The caption colour of a button in `frame`: the skin's normal, hot or pressed text colour when
// it gives one, the button shadow colour when disabled, else `base`.
TColor ButtonCaptionColor(const TDataSkinButton* element, int frame, bool enabled, TColor base);

// ---- companions ----

class TSkinButton : public TSkinControl {
    WL_CLASS(TSkinButton, TSkinControl)
public:
    explicit TSkinButton(TComponent* owner);
    ~TSkinButton() override;

    bool OnAttach(const TAttachContext& context) override;
    bool BeforeMessage(TMessage& m) override;
    void AfterMessage(TMessage& m) override;
    void DrawSkin(HDC dc, const RECT& rect) override;

    TBitmap FBuffer;            // the off-screen picture of the button, kept between paints
    bool FTransparent = false; // the parent shows through the key pixels of the skin's button

    // The cell the button is drawn with now (FIsEnabled and FIsFocused as last refreshed).
    virtual int StateFrame() const;

protected:
    // The push-button element when it has an image; null otherwise (nothing is skinned).
    TDataSkinButton* ButtonElement() const;
    // Focus, enabled state and caption read from the window and the control before a paint.
    void RefreshButtonState();
    // Sizes the buffer to `rect` at the origin and fills it with the background and `frame` of
    // the push-button element; false when there is nothing to draw on.
    bool PrepareBuffer(const RECT& rect, int frame);
    // The text colour for `frame` given the colour of the font.
    TColor CaptionColor(int frame, TColor fontColor) const;
    // The buffer's DC with the control's font (or the window's WM_GETFONT font) selected.
    HFONT ButtonFont() const;
    TColor ButtonFontColor() const;
    // Lays the caption out in `rect` with `alignment` (DT_CENTER, DT_LEFT, DT_RIGHT) and draws
    // it, with the focus frame around it when focused.
    void DrawButtonCaption(HDC dc, const RECT& rect, UINT alignment, const std::wstring& caption,
                           bool focusFrame);
    bool FocusFrameAllowed() const;
    // Copies the buffer to `dc` at `rect`'s position.
    void CopyBuffer(HDC dc, const RECT& rect);
    bool MouseDownMessage(TMessage& m);
    void SpaceKey(bool down);
    void MouseMoved();
    void LeftButtonUp(const TMessage& m);
    void MouseLeft();
    void ProduceClick();

private:
    bool PointInside(LPARAM lParam) const;
};

class TSkinBitButton : public TSkinButton {
    WL_CLASS(TSkinBitButton, TSkinButton)
public:
    using TSkinButton::TSkinButton;
    void DrawSkin(HDC dc, const RECT& rect) override;

    // Name of a published picture property drawn instead of the glyph ("PngImage"); empty for
    // ordinary glyph buttons.
    std::string FPictureProperty;

protected:
    // Glyph (strip of NumGlyphs cells) and caption laid out in `client` and drawn.
    void DrawGlyphAndCaption(HDC dc, const RECT& client, int frame);
    void DrawPictureAndCaption(HDC dc, const RECT& client, TGraphic& picture);
};

class TSkinSpeedButton : public TSkinBitButton {
    WL_CLASS(TSkinSpeedButton, TSkinBitButton)
public:
    explicit TSkinSpeedButton(TComponent* owner);
    ~TSkinSpeedButton() override;

    bool OnAttach(const TAttachContext& context) override;
    bool BeforeMessage(TMessage& m) override;
    void AfterMessage(TMessage& m) override;
    // Paints at once through the speed button's canvas while it is bound to a paint, else asks
    // the parent to repaint the button.
    void PaintControl(HDC dc) override;
    int StateFrame() const override;

    // Draws the speed button into `dc` (its own coordinates) over `rect`; does nothing when
    // already drawing (the parent's background paint comes back here).
    void DrawSpeedButton(HDC dc, const RECT& rect);

    bool FPainting = false;

private:
    bool WMPaint(TMessage& m);
    bool WMLButtonDown(TMessage& m);
    void Unhook();
    bool PropertyTrue(const char* name) const;
};

class TSkinMenuButton : public TSkinButton {
    WL_CLASS(TSkinMenuButton, TSkinButton)
public:
    using TSkinButton::TSkinButton;
    void DrawSkin(HDC dc, const RECT& rect) override;
    int StateFrame() const override;
};

// Draws cell `glyphNumber` of a strip of `numGlyphs` cells at (x, y), the bottom-left pixel's
// colour transparent; cell 1 when the strip has fewer cells; the disabled cell (2) in grey.
void DrawGlyph(HDC dc, int x, int y, int numGlyphs, int glyphNumber, TBitmap& glyph);

} // namespace wl
