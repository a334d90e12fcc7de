// Painting: a window's background and its windowless children, TGraphicControl and
// TCustomControl.
#include "ui/controls.h"

#include "ui/forms.h"

namespace wl {

void TWinControl::PaintBackground(HDC dc) {
    RECT r;
    GetClientRect(handle_, &r);
    FillRect(dc, &r, ColorBrush());
}

void TWinControl::PaintWindow(HDC dc) { PaintControls(dc); }

bool HasWindowFrame(HWND window) {
    RECT w{}, c{};
    if (!GetWindowRect(window, &w) || !GetClientRect(window, &c)) return true;
    return w.right - w.left != c.right || w.bottom - w.top != c.bottom;
}

// A window without a frame has nothing to paint there, so the system's frame paint is left out
// for it: under Wine it still takes a window device context and clips it against the update
// region, about 0.3 ms a window when a form with a row of plain buttons is first shown.
bool TWinControl::WMNCPaint(TMessage& m) {
    if (HasWindowFrame(handle_)) return false;
    m.Result = 0;
    return true;
}

void TWinControl::PaintControls(HDC dc, TControl* first) {
    bool started = first == nullptr;
    for (TControl* c : controls_) {
        if (c == first) started = true;
        auto* g = dynamic_cast<TGraphicControl*>(c);
        if (!started || !g || !g->Visible()) continue;
        RECT r = g->BoundsRect();
        if (!RectVisible(dc, &r)) continue;
        ScopedDCState saved(dc);
        POINT org;
        GetViewportOrgEx(dc, &org);
        SetViewportOrgEx(dc, org.x + r.left, org.y + r.top, nullptr);
        IntersectClipRect(dc, 0, 0, g->Width(), g->Height());
        try {
            // Through the control's WindowProc, so that a layer over it (a skin) can paint it.
            g->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
        } catch (...) {
            // One failing control is reported and the others are still painted; the paint
            // completes, so the failure is not repeated by an endless WM_PAINT.
            if (Application) Application->HandleException(g);
        }
    }
}

bool TWinControl::WMEraseBkgnd(TMessage& m) {
    if (!ownPaint_) return false;
    PaintBackground(reinterpret_cast<HDC>(m.WParam));
    m.Result = 1;
    return true;
}

bool TWinControl::WMPaint(TMessage& m) {
    if (!ownPaint_) return false;
    TPaintScope paint(handle_, m.WParam);
    PaintWindow(paint.DC());
    return true;
}

bool TWinControl::WMPrintClient(TMessage& m) {
    if (!ownPaint_) return false;
    PaintBackground(reinterpret_cast<HDC>(m.WParam));
    PaintWindow(reinterpret_cast<HDC>(m.WParam));
    return true;
}

// ---- TGraphicControl / TCustomControl ----------------------------------------------------------

WL_DEFINE_ABSTRACT_CLASS(TGraphicControl, WL_NO_PROPERTIES)

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) {}
TGraphicControl::~TGraphicControl() = default;

TCanvas& TGraphicControl::Canvas() {
    if (!canvas_) canvas_ = std::make_unique<TControlCanvas>();
    return *canvas_;
}

void TGraphicControl::WndProc(TMessage& m) {
    if (m.Msg == WM_PAINT && m.WParam) {
        // Painting on request into a given device context (used for pictures of forms).
        TCanvasBinding bound(static_cast<TControlCanvas&>(Canvas()), reinterpret_cast<HDC>(m.WParam));
        Paint();
        return;
    }
    TControl::WndProc(m);
}

WL_DEFINE_ABSTRACT_CLASS(TCustomControl, WL_NO_PROPERTIES)

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) {}
TCustomControl::~TCustomControl() = default;

TCanvas& TCustomControl::Canvas() {
    if (!canvas_) canvas_ = std::make_unique<TControlCanvas>();
    return *canvas_;
}

void TCustomControl::PaintWindow(HDC dc) {
    {
        auto& canvas = static_cast<TControlCanvas&>(Canvas());
        TCanvasBinding bound(canvas, dc);
        canvas.Font().Assign(Font());
        canvas.Brush().SetColor(Color());
        Paint();
    }
    PaintControls(dc);
}

} // namespace wl
