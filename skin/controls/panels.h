// Companions of container-like windows: panels and forms used as frames only take the skin's
// face colour; group boxes get a rounded frame in the skin's shadow colour with the caption on
// the face colour; bare dialog windows and their static texts, and size grips, are filled with
// the face colour.
#pragma once

#include "skin/controls/skin_control.h"

namespace wl {

// Recolours its control while skinned; takes over no message.
class TSkinBox : public TSkinControl {
    WL_CLASS(TSkinBox, TSkinControl)
public:
    using TSkinControl::TSkinControl;
    bool OnAttach(const TAttachContext& context) override;
    void Restore() override;
    void AfterMessage(TMessage&) override {}
};

// Bare dialog windows ("#32770"): background and static texts on the face colour.
class TSkinBoxH : public TSkinControl {
    WL_CLASS(TSkinBoxH, TSkinControl)
public:
    using TSkinControl::TSkinControl;
    bool BeforeMessage(TMessage& m) override;

private:
    HBRUSH FaceBrush() const;
};

// Group boxes. FMode 1 (a control object): the companion paints it all, window-less children
// included. FMode 0 (a bare window): the box paints itself and the companion redraws the frame.
class TSkinGroupBox : public TSkinControl {
    WL_CLASS(TSkinGroupBox, TSkinControl)
public:
    using TSkinControl::TSkinControl;
    bool OnAttach(const TAttachContext& context) override;
    bool BeforeMessage(TMessage& m) override;
    void DrawSkin(HDC dc, const RECT& rect) override;

private:
    void PaintGraphicChildren(HDC dc);
};

// Size grips of dialogs: filled with the face colour after they paint.
class TSkinSizer : public TSkinControl {
    WL_CLASS(TSkinSizer, TSkinControl)
public:
    using TSkinControl::TSkinControl;
    void DrawSkin(HDC dc, const RECT& rect) override;
};

} // namespace wl
