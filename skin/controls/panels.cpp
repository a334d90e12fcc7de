// Panels, group boxes, bare dialogs and size grips on the skin's face colour.
#include "skin/controls/panels.h"

#include "skin/data/skin_data.h"
#include "skin/forms/win_skin_form.h"
#include "ui/graphics_colors.h"

namespace wl {

WL_DEFINE_CLASS(TSkinBox, WL_NO_PROPERTIES)
WL_DEFINE_CLASS(TSkinBoxH, WL_NO_PROPERTIES)
WL_DEFINE_CLASS(TSkinGroupBox, WL_NO_PROPERTIES)
WL_DEFINE_CLASS(TSkinSizer, WL_NO_PROPERTIES)

namespace {

constexpr int kCaptionIndent = 8;
constexpr DWORD kExRight = WS_EX_RIGHT;

} // namespace

// ---- TSkinBox ------------------------------------------------------------------------------------

bool TSkinBox::OnAttach(const TAttachContext& context) {
    if (context.Kind != TAttachKind::Control) return TSkinControl::OnAttach(context);
    auto* control = dynamic_cast<TWinControl*>(Owner());
    if (!control) return false;
    FColorize = context.Colorize;
    FControl = control;
    FHandle = control->Handle();
    // No layer, no subclass: the panel keeps its own painting, only its colour changes.
    ColorAndInvalidate();
    return true;
}

void TSkinBox::Restore() {
    TSkinControl::Restore();
    FLifeState = TLifeState::Restored;
}

// ---- TSkinBoxH -----------------------------------------------------------------------------------

HBRUSH TSkinBoxH::FaceBrush() const {
    if (FSkinData && FSkinData->FaceBrush) return FSkinData->FaceBrush.get();
    return GetSysColorBrush(COLOR_BTNFACE);
}

bool TSkinBoxH::BeforeMessage(TMessage& m) {
    switch (m.Msg) {
    case WM_ERASEBKGND: {
        RECT r{};
        if (GetWindowRect(FHandle, &r)) {
            OffsetRect(&r, -r.left, -r.top);
            FillRect(reinterpret_cast<HDC>(m.WParam), &r, FaceBrush());
        }
        // Erased: the dialog must not erase again with its class brush.
        m.Result = 1;
        return false;
    }
    case WM_CTLCOLORSTATIC:
        if (!CallPrevious(m)) return false; // the dialog chooses the text colour
        // Opaque text backgrounds of statics must match the brush behind them.
        SetBkColor(reinterpret_cast<HDC>(m.WParam), static_cast<COLORREF>(FaceColor()));
        m.Result = reinterpret_cast<LRESULT>(FaceBrush());
        return false;
    default:
        return TSkinControl::BeforeMessage(m);
    }
}

// ---- TSkinGroupBox -------------------------------------------------------------------------------

bool TSkinGroupBox::OnAttach(const TAttachContext& context) {
    if (context.Kind != TAttachKind::Control) return TSkinControl::OnAttach(context);
    if (!TSkinControl::OnAttach(context)) return false;
    if (FControl) {
        FMode = 1;
        FControl->Invalidate();
    }
    return true;
}

bool TSkinGroupBox::BeforeMessage(TMessage& m) {
    if (m.Msg == WM_PAINT && FMode == 1) {
        HandlePaint(*this, m);
        return false;
    }
    return TSkinControl::BeforeMessage(m);
}

void TSkinGroupBox::DrawSkin(HDC dc, const RECT& r) {
    std::wstring caption = FHandle ? GetWindowTextWide(FHandle) : std::wstring();
    if (caption.empty() && FControl) caption = GetWideProperty(FControl, "Caption");
    if (FControl) FillFace(dc, r);

    HFONT font = FHandle ? reinterpret_cast<HFONT>(SendMessageW(FHandle, WM_GETFONT, 0, 0)) : nullptr;
    const COLORREF oldText = GetTextColor(dc);
    if (FControl) {
        font = FControl->Font().Handle();
        SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(FControl->Font().Color())));
    }
    ScopedSelect selectFont(dc, font);
    SIZE zero{0, 0};
    GetTextExtentPoint32A(dc, "0", 1, &zero);
    const int y = zero.cy / 2 - 1;

    const TColor face = FaceColor();
    if (FMode == 0) {
        // Wipe out the box's own frame lines before drawing ours.
        UniqueBrush faceBrush(CreateSolidBrush(static_cast<COLORREF>(face)));
        RECT outer{0, y, r.right, r.bottom};
        FrameRect(dc, &outer, faceBrush.get());
        InflateRect(&outer, -1, -1);
        FrameRect(dc, &outer, faceBrush.get());
    }
    {
        UniquePen pen(CreatePen(PS_SOLID, 1, static_cast<COLORREF>(ColorToRGB(FSkinData ? FSkinData->ButtonShadow : clBtnShadow))));
        ScopedSelect selectPen(dc, pen.get());
        ScopedSelect selectBrush(dc, GetStockObject(NULL_BRUSH));
        RoundRect(dc, 1, y, r.right - 1, r.bottom - 1, 5, 5);
    }
    if (!caption.empty()) {
        // Opaque text: the caption's background interrupts the frame line behind it.
        const COLORREF oldBack = SetBkColor(dc, static_cast<COLORREF>(face));
        const int oldMode = SetBkMode(dc, OPAQUE);
        const LONG_PTR ex = FHandle ? GetWindowLongPtrW(FHandle, GWL_EXSTYLE) : 0;
        if (ex & kExRight) {
            RECT t{r.left, r.top, r.right - kCaptionIndent, r.bottom};
            DrawTextWide(dc, caption, t, BiDiFlags(*this, DT_EXPANDTABS | DT_RIGHT));
        } else {
            RECT t{r.left + kCaptionIndent, r.top, r.right, r.bottom};
            DrawTextWide(dc, caption, t, DT_EXPANDTABS);
        }
        SetBkMode(dc, oldMode);
        SetBkColor(dc, oldBack);
    }
    SetTextColor(dc, oldText);
    if (FControl && FMode == 1) PaintGraphicChildren(dc);
}

// The box's own painting (which paints its window-less children) was replaced, so they are
// painted here, each through its WindowProc at its place.
void TSkinGroupBox::PaintGraphicChildren(HDC dc) {
    for (int i = 0; i < FControl->ControlCount(); ++i) {
        auto* child = dynamic_cast<TGraphicControl*>(FControl->Controls(i));
        if (!child || !child->Visible()) continue;
        const RECT b = child->BoundsRect();
        if (!RectVisible(dc, &b)) continue;
        ScopedDCState saved(dc);
        POINT origin{};
        GetViewportOrgEx(dc, &origin);
        SetViewportOrgEx(dc, origin.x + b.left, origin.y + b.top, nullptr);
        IntersectClipRect(dc, 0, 0, child->Width(), child->Height());
        child->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    }
}

// ---- TSkinSizer ----------------------------------------------------------------------------------

void TSkinSizer::DrawSkin(HDC dc, const RECT& rect) { FillFace(dc, rect); }

} // namespace wl
