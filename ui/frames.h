// Scrolling containers: TScrollBox (a bordered window whose scroll ranges follow the extent of
// its children; scrolling moves the children) and frames (TCustomFrame/TFrame: a scrolling
// container that reads its own definition, the way a form does, and is placed on forms).
//
// A frame class derives from TFrame and reads its definition (the RCDATA resource named like the
// class, see wl_form_resources) in its constructor:
//
//     class TAddressFrame : public wl::TFrame {
//         WL_CLASS(TAddressFrame, wl::TFrame)
//     public:
//         explicit TAddressFrame(wl::TComponent* owner) : TFrame(owner) { ReadDefinition(); }
//         wl::TEdit* Street = nullptr;
//     };
//
// A form definition then places it like any control ("object Frame1: TAddressFrame"); the
// frame's own components belong to the frame.
#pragma once

#include "ui/stdctrls.h"

#include <memory>

namespace wl {

class TScrollingWinControl;

// One scroll bar of a scrolling container. Range is the extent of the content (with AutoScroll,
// that of the children); Position is how far the content is scrolled (0 .. Range - client size).
class TControlScrollBar : public TPersistent {
    WL_CLASS(TControlScrollBar, TPersistent)
public:
    TControlScrollBar(TScrollingWinControl& control, TScrollBarKind kind) : control_(control), kind_(kind) {}
    TScrollBarKind Kind() const { return kind_; }
    int Range() const;
    void SetRange(int range);
    int Position() const { return position_; }
    void SetPosition(int position);
    // Distance of one line step.
    int Increment() const { return increment_; }
    void SetIncrement(int increment) { increment_ = std::max(increment, 1); }
    bool Visible() const { return visible_; }
    void SetVisible(bool on);
    int MaxPosition() const;
    // Whether the window shows this bar now.
    bool IsScrollBarVisible() const;

private:
    friend class TScrollingWinControl;
    TScrollingWinControl& control_;
    TScrollBarKind kind_;
    int range_ = 0;
    int position_ = 0;
    int increment_ = 8;
    bool visible_ = true;
};

class TScrollingWinControl : public TWinControl {
    WL_CLASS(TScrollingWinControl, TWinControl)
public:
    explicit TScrollingWinControl(TComponent* owner);
    ~TScrollingWinControl() override;
    TControlScrollBar& HorzScrollBar() { return *horz_; }
    TControlScrollBar& VertScrollBar() { return *vert_; }
    const TControlScrollBar& HorzScrollBar() const { return *horz_; }
    const TControlScrollBar& VertScrollBar() const { return *vert_; }
    bool AutoScroll() const { return autoScroll_; }
    void SetAutoScroll(bool on);
    // Scrolls so that the child `control` is fully in view (its top-left when it is larger).
    void ScrollInView(TControl* control);
    // Shows the window's scroll bars for the current ranges and positions.
    void UpdateScrollBars();
    // Right or bottom edge of the furthest child, in unscrolled coordinates.
    int ChildExtent(TScrollBarKind kind) const;
    void Loaded() override;

protected:
    void CreateWindowHandle(const TCreateParams& params) override;
    void WndProc(TMessage& msg) override;

private:
    friend class TControlScrollBar;
    void ScrollBy(int dx, int dy);
    void ScrollMessage(TScrollBarKind kind, WORD code);
    std::unique_ptr<TControlScrollBar> horz_, vert_;
    bool autoScroll_ = true;
    bool updating_ = false;
};

class TScrollBox : public TScrollingWinControl {
    WL_CLASS(TScrollBox, TScrollingWinControl)
public:
    explicit TScrollBox(TComponent* owner);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style);

protected:
    void CreateParams(TCreateParams& params) override;

private:
    TBorderStyle borderStyle_ = bsSingle;
};

class TCustomFrame : public TScrollingWinControl {
    WL_CLASS(TCustomFrame, TScrollingWinControl)
public:
    explicit TCustomFrame(TComponent* owner);
    // Reads the frame's definition from the RCDATA resource named like its class; false when
    // the program has none.
    bool ReadDefinition();
    void ReadDefinitionText(const std::string& text);
};

class TFrame : public TCustomFrame {
    WL_CLASS(TFrame, TCustomFrame)
public:
    using TCustomFrame::TCustomFrame;
};

} // namespace wl
