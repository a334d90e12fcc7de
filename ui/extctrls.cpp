// Panels, splitters and timers (see extctrls.h).
#include "ui/extctrls.h"

#include "ui/forms.h"

#include <algorithm>
#include <map>

namespace wl {

namespace {
const std::initializer_list<TEnumMember> kBevels = {
    {"bvNone", bvNone}, {"bvLowered", bvLowered}, {"bvRaised", bvRaised}, {"bvSpace", bvSpace}};
} // namespace

// ---- TCustomPanel ------------------------------------------------------------------------------

WL_DEFINE_ABSTRACT_CLASS(TCustomPanel, [](ClassBuilder<TCustomPanel>& c) {
    c.Str("Caption", [](const TCustomPanel& p) { return p.GetText(); },
          [](TCustomPanel& p, const std::string& t) { p.SetText(t); });
    c.Enum("BevelInner", &TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner, kBevels);
    c.Enum("BevelOuter", &TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter, kBevels);
    c.Int("BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth);
    c.Int("BorderWidth", &TCustomPanel::BorderWidth, &TCustomPanel::SetBorderWidth);
    c.Enum("BorderStyle", &TCustomPanel::BorderStyle, &TCustomPanel::SetBorderStyle,
           {{"bsNone", bsNone}, {"bsSingle", bsSingle}});
    c.Enum("Alignment", &TCustomPanel::Alignment, &TCustomPanel::SetAlignment,
           {{"taLeftJustify", taLeftJustify}, {"taRightJustify", taRightJustify}, {"taCenter", taCenter}});
})
WL_DEFINE_CLASS(TPanel, WL_NO_PROPERTIES)

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) {
    SetBounds(0, 0, 185, 41);
}

void TCustomPanel::Changed() {
    if (!IsLoading()) {
        AlignControls();
        Invalidate();
    }
}

void TCustomPanel::SetBevelInner(TBevelCut b) {
    bevelInner_ = b;
    Changed();
}
void TCustomPanel::SetBevelOuter(TBevelCut b) {
    bevelOuter_ = b;
    Changed();
}
void TCustomPanel::SetBevelWidth(int w) {
    bevelWidth_ = std::max(w, 1);
    Changed();
}
void TCustomPanel::SetBorderWidth(int w) {
    borderWidth_ = std::max(w, 0);
    Changed();
}
void TCustomPanel::SetBorderStyle(TBorderStyle style) {
    if (style == borderStyle_) return;
    borderStyle_ = style;
    RecreateWnd();
}
void TCustomPanel::SetAlignment(TAlignment a) {
    alignment_ = a;
    Invalidate();
}

void TCustomPanel::CreateParams(TCreateParams& p) {
    TCustomControl::CreateParams(p);
    if (borderStyle_ == bsSingle) p.style |= WS_BORDER;
}

void TCustomPanel::AdjustClientRect(RECT& r) const {
    int inset = borderWidth_;
    if (bevelOuter_ != bvNone) inset += bevelWidth_;
    if (bevelInner_ != bvNone) inset += bevelWidth_;
    InflateRect(&r, -inset, -inset);
}

void TCustomPanel::Paint() {
    TCanvas& canvas = Canvas();
    HDC dc = canvas.Handle();
    RECT r;
    GetClientRect(HandleValue(), &r);
    auto bevel = [&](TBevelCut cut) {
        if (cut == bvNone) return;
        TColor top = cut == bvLowered ? clBtnShadow : clBtnHighlight;
        TColor bottom = cut == bvLowered ? clBtnHighlight : clBtnShadow;
        if (cut == bvSpace) top = bottom = Color();
        Frame3D(dc, r, top, bottom, bevelWidth_);
    };
    bevel(bevelOuter_);
    {
        UniqueBrush face(CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(Color()))));
        RECT inner = r;
        FillRect(dc, &inner, face.get());
        InflateRect(&r, -borderWidth_, -borderWidth_);
    }
    bevel(bevelInner_);
    std::string text = GetText();
    if (!text.empty()) {
        canvas.Font().Assign(Font());
        dc = canvas.Handle();
        SetBkMode(dc, TRANSPARENT);
        UINT flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
        flags |= alignment_ == taCenter ? DT_CENTER : alignment_ == taRightJustify ? DT_RIGHT : DT_LEFT;
        DrawTextA(dc, text.data(), static_cast<int>(text.size()), &r, flags);
    }
}

// ---- TSplitter ---------------------------------------------------------------------------------

WL_DEFINE_CLASS(TSplitter, [](ClassBuilder<TSplitter>& c) {
    c.Int("MinSize", &TSplitter::MinSize, &TSplitter::SetMinSize);
    c.Bool("Beveled", &TSplitter::Beveled, &TSplitter::SetBeveled);
    c.Event("OnMoved", &TSplitter::OnMoved);
})

TSplitter::TSplitter(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, 3, 100);
    SetAlign(alLeft);
    SetCursor(crHSplit);
}

void TSplitter::SetBeveled(bool on) {
    beveled_ = on;
    Invalidate();
}

TControl* TSplitter::FindResizedControl() const {
    TWinControl* p = Parent();
    if (!p) return nullptr;
    for (int i = 0; i < p->ControlCount(); ++i) {
        TControl* c = p->Controls(i);
        if (c == this || !c->Visible() || c->Align() != Align()) continue;
        bool touches = false;
        switch (Align()) {
        case alTop: touches = c->Top() + c->Height() == Top(); break;
        case alBottom: touches = c->Top() == Top() + Height(); break;
        case alLeft: touches = c->Left() + c->Width() == Left(); break;
        case alRight: touches = c->Left() == Left() + Width(); break;
        default: break;
        }
        if (touches) return c;
    }
    return nullptr;
}

void TSplitter::Paint() {
    TCanvas& canvas = Canvas();
    canvas.Brush().SetColor(Color());
    RECT r{0, 0, Width(), Height()};
    canvas.FillRect(r);
    if (beveled_) Frame3D(canvas.Handle(), r, clBtnHighlight, clBtnShadow, 1);
}

void TSplitter::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseDown(button, shift, x, y);
    if (button != mbLeft || !Parent()) return;
    dragged_ = FindResizedControl();
    if (!dragged_) return;
    downPos_ = Vertical() ? Top() + y : Left() + x;
    startSize_ = Vertical() ? dragged_->Height() : dragged_->Width();
    // The control may grow until the client-aligned rest keeps MinSize.
    RECT client = Parent()->ClientRect();
    int room = Vertical() ? client.bottom : client.right;
    for (int i = 0; i < Parent()->ControlCount(); ++i) {
        TControl* c = Parent()->Controls(i);
        if (c == dragged_ || !c->Visible() || c->Align() == alNone || c->Align() == alClient) continue;
        bool sameAxis = Vertical() ? (c->Align() == alTop || c->Align() == alBottom)
                                   : (c->Align() == alLeft || c->Align() == alRight);
        if (sameAxis) room -= Vertical() ? c->Height() : c->Width();
    }
    maxSize_ = std::max(minSize_, room - minSize_);
}

void TSplitter::MouseMove(TShiftState shift, int x, int y) {
    TGraphicControl::MouseMove(shift, x, y);
    if (!dragged_) return;
    int pos = Vertical() ? Top() + y : Left() + x;
    int delta = pos - downPos_;
    if (Align() == alBottom || Align() == alRight) delta = -delta;
    int size = std::clamp(startSize_ + delta, minSize_, maxSize_);
    if (Vertical()) dragged_->SetHeight(size);
    else dragged_->SetWidth(size);
    if (Parent()) Parent()->Update();
}

void TSplitter::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseUp(button, shift, x, y);
    if (!dragged_) return;
    dragged_ = nullptr;
    OnMoved(this);
}

// ---- TTimer ------------------------------------------------------------------------------------

namespace {
std::map<UINT_PTR, TTimer*>& Timers() {
    static std::map<UINT_PTR, TTimer*> timers;
    return timers;
}
} // namespace

WL_DEFINE_CLASS(TTimer, [](ClassBuilder<TTimer>& c) {
    c.Bool("Enabled", &TTimer::Enabled, &TTimer::SetEnabled);
    c.Int("Interval", &TTimer::Interval, &TTimer::SetInterval);
    c.Event("OnTimer", &TTimer::OnTimer);
})

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
    // A timer created by a form definition starts when loading ends.
}

TTimer::~TTimer() {
    enabled_ = false;
    UpdateTimer();
}

void TTimer::SetEnabled(bool on) {
    enabled_ = on;
    UpdateTimer();
}

void TTimer::SetInterval(unsigned ms) {
    interval_ = ms;
    UpdateTimer();
}

void TTimer::Loaded() {
    TComponent::Loaded();
    UpdateTimer();
}

void TTimer::UpdateTimer() {
    if (id_) {
        KillTimer(nullptr, id_);
        Timers().erase(id_);
        id_ = 0;
    }
    if (!enabled_ || interval_ == 0 || IsLoading() || IsDestroying()) return;
    id_ = SetTimer(nullptr, 0, interval_, TimerProc);
    if (id_) Timers()[id_] = this;
}

void CALLBACK TTimer::TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
    auto it = Timers().find(id);
    if (it == Timers().end()) return;
    TTimer* timer = it->second;
    try {
        timer->OnTimer(timer);
    } catch (...) {
        // No exception may leave a timer callback.
        Application->HandleException(timer);
    }
}

} // namespace wl
