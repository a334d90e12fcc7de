// More controls: panels with bevels, splitters that resize their neighbour, timers, radio groups,
// bevels, shapes and images.
#pragma once

#include "ui/controls.h"
#include "ui/stdctrls.h"

#include <vector>

namespace wl {

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

class TCustomPanel : public TCustomControl {
    WL_CLASS(TCustomPanel, TCustomControl)
public:
    explicit TCustomPanel(TComponent* owner);
    TBevelCut BevelInner() const { return bevelInner_; }
    void SetBevelInner(TBevelCut b);
    TBevelCut BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TBevelCut b);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int w);
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int w);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);

protected:
    void CreateParams(TCreateParams& params) override;
    void AdjustClientRect(RECT& rect) const override;
    void Paint() override;
    void PaintBackground(HDC) override {}

private:
    void Changed();
    TBevelCut bevelInner_ = bvNone;
    TBevelCut bevelOuter_ = bvRaised;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    TBorderStyle borderStyle_ = bsNone;
    TAlignment alignment_ = taCenter;
};

class TPanel : public TCustomPanel {
    WL_CLASS(TPanel, TCustomPanel)
public:
    using TCustomPanel::TCustomPanel;
};

// A bar between an aligned control and the rest; dragging it changes that control's size.
class TSplitter : public TGraphicControl {
    WL_CLASS(TSplitter, TGraphicControl)
public:
    explicit TSplitter(TComponent* owner);
    int MinSize() const { return minSize_; }
    void SetMinSize(int v) { minSize_ = std::max(v, 1); }
    bool Beveled() const { return beveled_; }
    void SetBeveled(bool on);
    // The control this splitter resizes (the aligned neighbour on its side), or nullptr.
    TControl* FindResizedControl() const;

    TNotifyEvent OnMoved;

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    bool Vertical() const { return Align() == alTop || Align() == alBottom; }
    int minSize_ = 30;
    bool beveled_ = false;
    TControl* dragged_ = nullptr;
    int downPos_ = 0;
    int startSize_ = 0;
    int maxSize_ = 0;
};

class TTimer : public TComponent {
    WL_CLASS(TTimer, TComponent)
public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool on);
    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned ms);
    void Loaded() override;

    TNotifyEvent OnTimer;

private:
    void UpdateTimer();
    static void CALLBACK TimerProc(HWND, UINT, UINT_PTR id, DWORD);
    bool enabled_ = true;
    unsigned interval_ = 1000;
    UINT_PTR id_ = 0;
};

// ---- radio groups ------------------------------------------------------------------------------

// A group box with one radio button per line of Items, laid out in Columns (filled top to
// bottom, then left to right). The buttons are the group's own components (not the form's);
// ItemIndex follows the checked one, and a click on a button fires the group's OnClick.
class TCustomRadioGroup : public TCustomGroupBox {
    WL_CLASS(TCustomRadioGroup, TCustomGroupBox)
public:
    explicit TCustomRadioGroup(TComponent* owner);
    ~TCustomRadioGroup() override;
    TStrings& Items() { return items_; }
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int index);
    int Columns() const { return columns_; }
    void SetColumns(int columns);
    int ButtonCount() const { return static_cast<int>(buttons_.size()); }
    TRadioButton* Buttons(int index) const { return buttons_.at(static_cast<size_t>(index)); }
    void Loaded() override;
    // Called by a button of the group that the user checked.
    void ButtonClicked(TRadioButton* button);

protected:
    void Resize() override;
    void FontChanged() override;

private:
    void UpdateButtons();
    void ArrangeButtons();
    TStringList items_;
    std::vector<TRadioButton*> buttons_;
    int itemIndex_ = -1;
    int columns_ = 1;
    bool updating_ = false;
};

class TRadioGroup : public TCustomRadioGroup {
    WL_CLASS(TRadioGroup, TCustomRadioGroup)
public:
    using TCustomRadioGroup::TCustomRadioGroup;
};

// ---- bevels and shapes -------------------------------------------------------------------------

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };

// A sunken or raised box, frame or line drawn in the 3-D colours.
class TBevel : public TGraphicControl {
    WL_CLASS(TBevel, TGraphicControl)
public:
    explicit TBevel(TComponent* owner);
    TBevelShape Shape() const { return shape_; }
    void SetShape(TBevelShape shape);
    TBevelStyle Style() const { return style_; }
    void SetStyle(TBevelStyle style);

protected:
    void Paint() override;

private:
    TBevelShape shape_ = bsBox;
    TBevelStyle style_ = bsLowered;
};

enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };

// A rectangle, square, rounded rectangle or square, ellipse or circle filled with Brush and
// outlined with Pen; squares and circles are centred in the bounds.
class TShape : public TGraphicControl {
    WL_CLASS(TShape, TGraphicControl)
public:
    explicit TShape(TComponent* owner);
    TShapeType Shape() const { return shape_; }
    void SetShape(TShapeType shape);
    TBrush& Brush() { return brush_; }
    TPen& Pen() { return pen_; }

protected:
    void Paint() override;

private:
    TShapeType shape_ = stRectangle;
    TBrush brush_;
    TPen pen_;
};

// ---- images ------------------------------------------------------------------------------------

// A picture holding a bitmap. In form files its pixels are the binary property "Data": the
// picture's class name (a length byte and "TBitmap") followed by the bitmap's own data.
class TPicture : public TPersistent {
    WL_CLASS(TPicture, TPersistent)
public:
    TPicture();
    TBitmap& Bitmap() { return bitmap_; }
    // The picture to draw, nullptr when empty.
    TGraphic* Graphic() { return bitmap_.Empty() ? nullptr : &bitmap_; }
    int Width() const { return bitmap_.Width(); }
    int Height() const { return bitmap_.Height(); }
    void LoadFromFile(const std::string& path);
    // From another picture or a bitmap.
    void Assign(const TPersistent& source) override;
    bool ReadBinaryProperty(const std::string& name, const std::string& bytes) override;
    void WriteBinaryProperties(std::vector<std::pair<std::string, std::string>>& out) const override;

    TNotifyEvent OnChange;

private:
    TBitmap bitmap_;
};

// Shows a picture at its size (top-left or centred) or stretched to the bounds; with AutoSize
// the control takes the picture's size.
class TImage : public TGraphicControl {
    WL_CLASS(TImage, TGraphicControl)
public:
    explicit TImage(TComponent* owner);
    TPicture& Picture() { return picture_; }
    bool Stretch() const { return stretch_; }
    void SetStretch(bool on);
    bool Center() const { return center_; }
    void SetCenter(bool on);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool on);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool on);
    // Where the picture is drawn, in the control's coordinates.
    RECT DestRect();
    void Loaded() override;

protected:
    void Paint() override;

private:
    void PictureChanged();
    TPicture picture_;
    bool stretch_ = false;
    bool center_ = false;
    bool transparent_ = false;
    bool autoSize_ = false;
};

} // namespace wl
