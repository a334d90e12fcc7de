// Scroll boxes and frames (see frames.h).
#include "ui/frames.h"

#include "ui/formfile.h"

#include <algorithm>

namespace wl {

// ---- TControlScrollBar -------------------------------------------------------------------------

WL_DEFINE_ABSTRACT_CLASS(TControlScrollBar, [](ClassBuilder<TControlScrollBar>& c) {
    c.Int("Increment", &TControlScrollBar::Increment, &TControlScrollBar::SetIncrement);
    c.Int("Range", &TControlScrollBar::Range, &TControlScrollBar::SetRange);
    c.Int("Position", &TControlScrollBar::Position, &TControlScrollBar::SetPosition);
    c.Bool("Visible", &TControlScrollBar::Visible, &TControlScrollBar::SetVisible);
})

int TControlScrollBar::Range() const {
    return control_.AutoScroll() ? control_.ChildExtent(kind_) : range_;
}

void TControlScrollBar::SetRange(int range) {
    range_ = std::max(range, 0);
    if (!control_.IsLoading()) {
        SetPosition(position_);
        control_.UpdateScrollBars();
    }
}

int TControlScrollBar::MaxPosition() const {
    int client = kind_ == sbHorizontal ? control_.ClientWidth() : control_.ClientHeight();
    return visible_ ? std::max(Range() - client, 0) : 0;
}

void TControlScrollBar::SetPosition(int position) {
    // The children of a definition being read are already where this position puts them.
    if (control_.IsLoading()) {
        position_ = std::max(position, 0);
        return;
    }
    position = std::clamp(position, 0, MaxPosition());
    const int delta = position_ - position;
    if (delta == 0) return;
    position_ = position;
    if (kind_ == sbHorizontal) control_.ScrollBy(delta, 0);
    else control_.ScrollBy(0, delta);
    control_.UpdateScrollBars();
}

void TControlScrollBar::SetVisible(bool on) {
    visible_ = on;
    if (!control_.IsLoading()) {
        SetPosition(position_);
        control_.UpdateScrollBars();
    }
}

bool TControlScrollBar::IsScrollBarVisible() const {
    if (!control_.HandleAllocated()) return false;
    DWORD style = static_cast<DWORD>(GetWindowLongPtrA(control_.HandleValue(), GWL_STYLE));
    return (style & (kind_ == sbHorizontal ? WS_HSCROLL : WS_VSCROLL)) != 0;
}

// ---- TScrollingWinControl ----------------------------------------------------------------------

WL_DEFINE_ABSTRACT_CLASS(TScrollingWinControl, [](ClassBuilder<TScrollingWinControl>& c) {
    c.Bool("AutoScroll", &TScrollingWinControl::AutoScroll, &TScrollingWinControl::SetAutoScroll);
    c.Object("HorzScrollBar", [](TScrollingWinControl& s) { return &s.HorzScrollBar(); });
    c.Object("VertScrollBar", [](TScrollingWinControl& s) { return &s.VertScrollBar(); });
})

TScrollingWinControl::TScrollingWinControl(TComponent* owner)
    : TWinControl(owner), horz_(std::make_unique<TControlScrollBar>(*this, sbHorizontal)),
      vert_(std::make_unique<TControlScrollBar>(*this, sbVertical)) {}

TScrollingWinControl::~TScrollingWinControl() = default;

void TScrollingWinControl::SetAutoScroll(bool on) {
    autoScroll_ = on;
    if (!IsLoading()) {
        horz_->SetPosition(horz_->position_);
        vert_->SetPosition(vert_->position_);
        UpdateScrollBars();
    }
}

int TScrollingWinControl::ChildExtent(TScrollBarKind kind) const {
    int extent = 0;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        // Aligned children fill the visible area; they scroll with nothing.
        if (!c->Visible() || c->Align() != alNone) continue;
        if (kind == sbHorizontal) extent = std::max(extent, c->Left() + c->Width() + horz_->position_);
        else extent = std::max(extent, c->Top() + c->Height() + vert_->position_);
    }
    return extent;
}

void TScrollingWinControl::ScrollBy(int dx, int dy) {
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (c->Align() == alNone) c->SetBounds(c->Left() + dx, c->Top() + dy, c->Width(), c->Height());
    }
    Invalidate();
}

void TScrollingWinControl::ScrollInView(TControl* control) {
    if (!control || control->Parent() != this) return;
    RECT client = ClientRect();
    int dx = 0, dy = 0;
    if (control->Left() < 0) dx = control->Left();
    else if (control->Left() + control->Width() > client.right)
        dx = std::min<int>(control->Left() + control->Width() - client.right, control->Left());
    if (control->Top() < 0) dy = control->Top();
    else if (control->Top() + control->Height() > client.bottom)
        dy = std::min<int>(control->Top() + control->Height() - client.bottom, control->Top());
    if (dx) horz_->SetPosition(horz_->position_ + dx);
    if (dy) vert_->SetPosition(vert_->position_ + dy);
}

void TScrollingWinControl::UpdateScrollBars() {
    if (!HandleAllocated() || updating_ || IsLoading()) return;
    updating_ = true;
    HWND h = HandleValue();
    // Showing one bar narrows the client area, which can call for the other: settle twice.
    for (int pass = 0; pass < 2; ++pass) {
        for (TControlScrollBar* bar : {horz_.get(), vert_.get()}) {
            RECT client;
            GetClientRect(h, &client);
            const int page = bar->kind_ == sbHorizontal ? client.right : client.bottom;
            const int range = bar->visible_ ? bar->Range() : 0;
            SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, std::max(range - 1, 0),
                          static_cast<UINT>(range > page ? std::max(page, 0) : range + 1),
                          bar->position_, 0};
            // Unchanged values are not set again: this runs on every paint.
            SCROLLINFO cur{};
            cur.cbSize = sizeof cur;
            cur.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
            const int which = bar->kind_ == sbHorizontal ? SB_HORZ : SB_VERT;
            if (GetScrollInfo(h, which, &cur) && cur.nMin == si.nMin && cur.nMax == si.nMax &&
                cur.nPage == si.nPage && cur.nPos == si.nPos)
                continue;
            SetScrollInfo(h, which, &si, TRUE);
        }
    }
    updating_ = false;
    // A larger client area may leave a position beyond the end.
    for (TControlScrollBar* bar : {horz_.get(), vert_.get()})
        if (bar->position_ > bar->MaxPosition()) bar->SetPosition(bar->MaxPosition());
}

void TScrollingWinControl::ScrollMessage(TScrollBarKind kind, WORD code) {
    TControlScrollBar& bar = kind == sbHorizontal ? *horz_ : *vert_;
    const int page = kind == sbHorizontal ? ClientWidth() : ClientHeight();
    int pos = bar.position_;
    switch (code) {
    case SB_LINEUP: pos -= bar.increment_; break;
    case SB_LINEDOWN: pos += bar.increment_; break;
    case SB_PAGEUP: pos -= page; break;
    case SB_PAGEDOWN: pos += page; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
        SCROLLINFO si{sizeof si, SIF_TRACKPOS, 0, 0, 0, 0, 0};
        GetScrollInfo(HandleValue(), kind == sbHorizontal ? SB_HORZ : SB_VERT, &si);
        pos = si.nTrackPos;
        break;
    }
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = bar.MaxPosition(); break;
    default: return;
    }
    bar.SetPosition(pos);
}

void TScrollingWinControl::Loaded() {
    TWinControl::Loaded();
    UpdateScrollBars();
}

void TScrollingWinControl::CreateWindowHandle(const TCreateParams& params) {
    TWinControl::CreateWindowHandle(params);
    UpdateScrollBars();
}

void TScrollingWinControl::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_HSCROLL:
    case WM_VSCROLL:
        // Scroll bar controls among the children send theirs with their window in lParam.
        if (m.LParam == 0) {
            ScrollMessage(m.Msg == WM_HSCROLL ? sbHorizontal : sbVertical, LOWORD(m.WParam));
            m.Result = 0;
            return;
        }
        break;
    case WM_MOUSEWHEEL: {
        int notches = GET_WHEEL_DELTA_WPARAM(m.WParam) / WHEEL_DELTA;
        vert_->SetPosition(vert_->position_ - notches * 3 * vert_->increment_);
        m.Result = 0;
        return;
    }
    case WM_PAINT:
        // Children that moved or grew since the last paint change the ranges.
        UpdateScrollBars();
        break;
    case WM_SIZE:
        TWinControl::WndProc(m);
        UpdateScrollBars();
        return;
    case CM_CONTROLLISTCHANGE:
        TWinControl::WndProc(m);
        UpdateScrollBars();
        return;
    default: break;
    }
    TWinControl::WndProc(m);
}

// ---- TScrollBox --------------------------------------------------------------------------------

WL_DEFINE_CLASS(TScrollBox, [](ClassBuilder<TScrollBox>& c) {
    c.Enum("BorderStyle", &TScrollBox::BorderStyle, &TScrollBox::SetBorderStyle,
           {{"bsNone", bsNone}, {"bsSingle", bsSingle}});
})

TScrollBox::TScrollBox(TComponent* owner) : TScrollingWinControl(owner) {
    SetTabStop(false);
    SetBounds(0, 0, 185, 41);
}

void TScrollBox::SetBorderStyle(TBorderStyle style) {
    if (style != bsNone) style = bsSingle;
    if (style == borderStyle_) return;
    borderStyle_ = style;
    RecreateWnd();
}

void TScrollBox::CreateParams(TCreateParams& p) {
    TScrollingWinControl::CreateParams(p);
    if (borderStyle_ == bsSingle) p.exStyle |= WS_EX_CLIENTEDGE;
}

// ---- TCustomFrame ------------------------------------------------------------------------------

WL_DEFINE_ABSTRACT_CLASS(TCustomFrame, WL_NO_PROPERTIES)
WL_DEFINE_CLASS(TFrame, WL_NO_PROPERTIES)

TCustomFrame::TCustomFrame(TComponent* owner) : TScrollingWinControl(owner) { SetBounds(0, 0, 320, 240); }

bool TCustomFrame::ReadDefinition() {
    return ReadComponentResource(*this, GetModuleHandleA(nullptr), ClassName());
}

void TCustomFrame::ReadDefinitionText(const std::string& text) { ReadComponentText(*this, text, ClassName()); }

} // namespace wl
