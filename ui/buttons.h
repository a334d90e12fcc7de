// Buttons with a glyph: TBitBtn (a push button window, owner-drawn so that the library lays out
// glyph and caption) and TSpeedButton (windowless; grouped speed buttons stay down like radio
// buttons, flat ones show a frame only while the mouse is over them).
#pragma once

#include "ui/button_layout.h"
#include "ui/stdctrls.h"

namespace wl {

enum TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };

// The caption a kind of button gets ("OK", "&Yes" ...); empty for bkCustom.
std::string BitBtnKindCaption(TBitBtnKind kind);
// The modal result a button of this kind gives its form (mrNone for Custom, Help and Close).
int BitBtnKindModalResult(TBitBtnKind kind);

// Glyph cells of a glyph strip: up, disabled, pressed, down (missing cells fall back to up).
enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

// Draws cell `state` of a strip of `numGlyphs` cells at (x, y); the bottom-left pixel's colour
// is transparent. A disabled button without its own cell gets the up cell in grey.
void DrawButtonGlyph(TCanvas& canvas, TBitmap& glyph, int numGlyphs, TButtonState state, int x, int y);

class TBitBtn : public TButton {
    WL_CLASS(TBitBtn, TButton)
public:
    explicit TBitBtn(TComponent* owner);
    TBitmap& Glyph() { return glyph_; }
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int n);
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout layout);
    int Margin() const { return margin_; }
    void SetMargin(int margin);
    int Spacing() const { return spacing_; }
    void SetSpacing(int spacing);
    // Setting a kind other than bkCustom sets the caption, the glyph, Default (OK, Yes) and
    // Cancel (Cancel, No). While a definition is read, the values it gave are kept: only an empty
    // caption or glyph is filled in, Default and Cancel stay as read.
    TBitBtnKind Kind() const { return kind_; }
    void SetKind(TBitBtnKind kind);

    // A Close button closes its form; the others set their kind's modal result.
    void Click() override;

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& msg) override;

private:
    void DrawItem(const DRAWITEMSTRUCT& item);
    TBitmap glyph_;
    int numGlyphs_ = 1;
    TButtonLayout layout_ = blGlyphLeft;
    int margin_ = -1;
    int spacing_ = 4;
    TBitBtnKind kind_ = bkCustom;
};

class TSpeedButton : public TGraphicControl {
    WL_CLASS(TSpeedButton, TGraphicControl)
public:
    explicit TSpeedButton(TComponent* owner);
    TBitmap& Glyph() { return glyph_; }
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int n);
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout layout);
    int Margin() const { return margin_; }
    void SetMargin(int margin);
    int Spacing() const { return spacing_; }
    void SetSpacing(int spacing);
    bool Flat() const { return flat_; }
    void SetFlat(bool on);
    // Buttons of one parent with the same non-zero GroupIndex: at most one is down.
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int index);
    // Only grouped buttons can be down; without AllowAllUp the down button of a group stays
    // down until another one goes down.
    bool Down() const { return down_; }
    void SetDown(bool on);
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool on);
    // Pressed by the mouse right now (shown sunken).
    bool Pressed() const { return pressed_; }

protected:
    void Paint() override;
    void WndProc(TMessage& msg) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    template <class F>
    void ForEachInGroup(F&& f);
    TBitmap glyph_;
    int numGlyphs_ = 1;
    TButtonLayout layout_ = blGlyphLeft;
    int margin_ = -1;
    int spacing_ = 4;
    bool flat_ = false;
    int groupIndex_ = 0;
    bool down_ = false;
    bool allowAllUp_ = false;
    bool tracking_ = false; // the left button went down on us
    bool pressed_ = false;
};

} // namespace wl
