// More controls: panels with bevels, splitters that resize their neighbour, and timers.
#pragma once

#include "ui/controls.h"

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

} // namespace wl
