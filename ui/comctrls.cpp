// Progress bars, track bars, up-down buttons, status bars and header controls (see comctrls.h).
#include "ui/comctrls.h"

#include "ui/comctrls_shared.h"

#include <algorithm>
#include <cstdlib>

namespace wl {

using comctl::ChangeStyle;
using comctl::kAlignments;

// ---- TProgressBar ------------------------------------------------------------------------------

WL_DEFINE_CLASS(TProgressBar, [](ClassBuilder<TProgressBar>& c) {
    c.Int("Min", &TProgressBar::Min, &TProgressBar::SetMin);
    c.Int("Max", &TProgressBar::Max, &TProgressBar::SetMax);
    c.Int("Position", &TProgressBar::Position, &TProgressBar::SetPosition);
    c.Int("Step", &TProgressBar::Step, &TProgressBar::SetStep);
    c.Bool("Smooth", &TProgressBar::Smooth, &TProgressBar::SetSmooth);
    c.Enum("Orientation", &TProgressBar::Orientation, &TProgressBar::SetOrientation,
           {{"pbHorizontal", pbHorizontal}, {"pbVertical", pbVertical}});
})

TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner) {
    InitCommonControlClasses(ICC_PROGRESS_CLASS);
    ownPaint_ = false;
    SetBounds(0, 0, 150, 16);
}

void TProgressBar::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.baseClass = PROGRESS_CLASSA;
    if (smooth_) p.style |= PBS_SMOOTH;
    if (orientation_ == pbVertical) p.style |= PBS_VERTICAL;
}

void TProgressBar::CreateWindowHandle(const TCreateParams& p) {
    TWinControl::CreateWindowHandle(p);
    SendMessageA(HandleValue(), PBM_SETRANGE32, static_cast<WPARAM>(min_), max_);
    SendMessageA(HandleValue(), PBM_SETSTEP, static_cast<WPARAM>(step_), 0);
    SendMessageA(HandleValue(), PBM_SETPOS, static_cast<WPARAM>(position_), 0);
}

void TProgressBar::SetMin(int v) {
    min_ = v;
    if (!IsLoading() && max_ < min_) max_ = min_;
    position_ = std::clamp(position_, min_, std::max(min_, max_));
    if (HandleAllocated())
        SendMessageA(HandleValue(), PBM_SETRANGE32, static_cast<WPARAM>(min_), max_);
}

void TProgressBar::SetMax(int v) {
    max_ = v;
    if (!IsLoading() && min_ > max_) min_ = max_;
    position_ = std::clamp(position_, std::min(min_, max_), max_);
    if (HandleAllocated())
        SendMessageA(HandleValue(), PBM_SETRANGE32, static_cast<WPARAM>(min_), max_);
}

int TProgressBar::Position() const {
    if (HandleAllocated()) return static_cast<int>(SendMessageA(HandleValue(), PBM_GETPOS, 0, 0));
    return position_;
}

void TProgressBar::SetPosition(int v) {
    // While loading, Min and Max may still follow: keep the value as read.
    position_ = IsLoading() ? v : std::clamp(v, std::min(min_, max_), std::max(min_, max_));
    if (HandleAllocated())
        SendMessageA(HandleValue(), PBM_SETPOS, static_cast<WPARAM>(position_), 0);
}

void TProgressBar::SetStep(int v) {
    step_ = v;
    if (HandleAllocated()) SendMessageA(HandleValue(), PBM_SETSTEP, static_cast<WPARAM>(v), 0);
}

void TProgressBar::SetSmooth(bool on) {
    if (on == smooth_) return;
    smooth_ = on;
    RecreateWnd();
}

void TProgressBar::SetOrientation(TProgressBarOrientation o) {
    if (o == orientation_) return;
    orientation_ = o;
    RecreateWnd();
}

void TProgressBar::StepIt() {
    if (!HandleAllocated()) {
        StepBy(step_);
        return;
    }
    SendMessageA(HandleValue(), PBM_STEPIT, 0, 0);
    position_ = Position();
}

void TProgressBar::StepBy(int delta) {
    int range = max_ - min_;
    int pos = Position() + delta;
    if (range > 0 && (pos > max_ || pos < min_))
        pos = min_ + ((pos - min_) % range + range) % range;
    SetPosition(pos);
}

// ---- TTrackBar ---------------------------------------------------------------------------------

WL_DEFINE_CLASS(TTrackBar, [](ClassBuilder<TTrackBar>& c) {
    c.Int("Min", &TTrackBar::Min, &TTrackBar::SetMin);
    c.Int("Max", &TTrackBar::Max, &TTrackBar::SetMax);
    c.Int("Position", &TTrackBar::Position, &TTrackBar::SetPosition);
    c.Enum("Orientation", &TTrackBar::Orientation, &TTrackBar::SetOrientation,
           {{"trHorizontal", trHorizontal}, {"trVertical", trVertical}});
    c.Int("Frequency", &TTrackBar::Frequency, &TTrackBar::SetFrequency);
    c.Enum("TickMarks", &TTrackBar::TickMarks, &TTrackBar::SetTickMarks,
           {{"tmBottomRight", tmBottomRight}, {"tmTopLeft", tmTopLeft}, {"tmBoth", tmBoth}});
    c.Enum("TickStyle", &TTrackBar::TickStyle, &TTrackBar::SetTickStyle,
           {{"tsNone", tsNone}, {"tsAuto", tsAuto}, {"tsManual", tsManual}});
    c.Int("PageSize", &TTrackBar::PageSize, &TTrackBar::SetPageSize);
    c.Int("LineSize", &TTrackBar::LineSize, &TTrackBar::SetLineSize);
    c.Int("SelStart", &TTrackBar::SelStart, &TTrackBar::SetSelStart);
    c.Int("SelEnd", &TTrackBar::SelEnd, &TTrackBar::SetSelEnd);
    c.Event("OnChange", &TTrackBar::OnChange);
})

TTrackBar::TTrackBar(TComponent* owner) : TWinControl(owner) {
    InitCommonControlClasses(ICC_BAR_CLASSES);
    ownPaint_ = false;
    SetTabStop(true);
    SetBounds(0, 0, 150, 45);
}

void TTrackBar::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.baseClass = TRACKBAR_CLASSA;
    p.style |= TBS_ENABLESELRANGE | (orientation_ == trVertical ? TBS_VERT : TBS_HORZ);
    if (tickStyle_ == tsNone)
        p.style |= TBS_NOTICKS;
    else if (tickStyle_ == tsAuto)
        p.style |= TBS_AUTOTICKS;
    if (tickMarks_ == tmBoth)
        p.style |= TBS_BOTH;
    else if (tickMarks_ == tmTopLeft)
        p.style |= TBS_TOP; // TBS_LEFT is the same bit
}

void TTrackBar::CreateWindowHandle(const TCreateParams& p) {
    TWinControl::CreateWindowHandle(p);
    HWND h = HandleValue();
    SendMessageA(h, TBM_SETRANGEMIN, FALSE, min_);
    SendMessageA(h, TBM_SETRANGEMAX, FALSE, max_);
    SendMessageA(h, TBM_SETTICFREQ, static_cast<WPARAM>(frequency_), 0);
    SendMessageA(h, TBM_SETPAGESIZE, 0, pageSize_);
    SendMessageA(h, TBM_SETLINESIZE, 0, lineSize_);
    for (int t : ticks_)
        SendMessageA(h, TBM_SETTIC, 0, t);
    UpdateSelection();
    SendMessageA(h, TBM_SETPOS, TRUE, position_);
}

void TTrackBar::SetMin(int v) {
    min_ = v;
    if (HandleAllocated()) SendMessageA(HandleValue(), TBM_SETRANGEMIN, TRUE, v);
}

void TTrackBar::SetMax(int v) {
    max_ = v;
    if (HandleAllocated()) SendMessageA(HandleValue(), TBM_SETRANGEMAX, TRUE, v);
}

int TTrackBar::Position() const {
    if (HandleAllocated()) return static_cast<int>(SendMessageA(HandleValue(), TBM_GETPOS, 0, 0));
    return position_;
}

void TTrackBar::SetPosition(int v) {
    position_ = IsLoading() ? v : std::clamp(v, std::min(min_, max_), std::max(min_, max_));
    if (!HandleAllocated()) return;
    int before = Position();
    SendMessageA(HandleValue(), TBM_SETPOS, TRUE, position_);
    if (Position() != before) OnChange(this);
}

void TTrackBar::SetOrientation(TTrackBarOrientation o) {
    if (o == orientation_) return;
    position_ = Position();
    orientation_ = o;
    RecreateWnd();
}

void TTrackBar::SetFrequency(int v) {
    frequency_ = v;
    if (HandleAllocated()) SendMessageA(HandleValue(), TBM_SETTICFREQ, static_cast<WPARAM>(v), 0);
}

void TTrackBar::SetTickMarks(TTickMark t) {
    if (t == tickMarks_) return;
    position_ = Position();
    tickMarks_ = t;
    RecreateWnd();
}

void TTrackBar::SetTickStyle(TTickStyle t) {
    if (t == tickStyle_) return;
    position_ = Position();
    tickStyle_ = t;
    RecreateWnd();
}

void TTrackBar::SetPageSize(int v) {
    pageSize_ = v;
    if (HandleAllocated()) SendMessageA(HandleValue(), TBM_SETPAGESIZE, 0, v);
}

void TTrackBar::SetLineSize(int v) {
    lineSize_ = v;
    if (HandleAllocated()) SendMessageA(HandleValue(), TBM_SETLINESIZE, 0, v);
}

void TTrackBar::SetSelStart(int v) {
    selStart_ = v;
    UpdateSelection();
}

void TTrackBar::SetSelEnd(int v) {
    selEnd_ = v;
    UpdateSelection();
}

void TTrackBar::UpdateSelection() {
    if (!HandleAllocated()) return;
    if (selEnd_ >= selStart_ && selEnd_ != 0)
        SendMessageA(HandleValue(), TBM_SETSEL, TRUE, MAKELPARAM(selStart_, selEnd_));
    else
        SendMessageA(HandleValue(), TBM_CLEARSEL, TRUE, 0);
}

void TTrackBar::SetTick(int value) {
    ticks_.push_back(value);
    if (HandleAllocated()) SendMessageA(HandleValue(), TBM_SETTIC, 0, value);
}

void TTrackBar::WndProc(TMessage& m) {
    if (m.Msg == CN_HSCROLL || m.Msg == CN_VSCROLL) {
        // Every move of the thumb (keys, mouse, page clicks) arrives here from the parent.
        int pos = Position();
        if (pos != position_) {
            position_ = pos;
            OnChange(this);
        }
        return;
    }
    TWinControl::WndProc(m);
}

// ---- TUpDown -----------------------------------------------------------------------------------

WL_DEFINE_CLASS(TUpDown, [](ClassBuilder<TUpDown>& c) {
    c.Int("Min", &TUpDown::Min, &TUpDown::SetMin);
    c.Int("Max", &TUpDown::Max, &TUpDown::SetMax);
    c.Int("Position", &TUpDown::Position, &TUpDown::SetPosition);
    c.Int("Increment", &TUpDown::Increment, &TUpDown::SetIncrement);
    c.Ident("Associate", &TUpDown::AssociateName, &TUpDown::SetAssociateName);
    c.Enum("AlignButton", &TUpDown::AlignButton, &TUpDown::SetAlignButton,
           {{"udLeft", udLeft}, {"udRight", udRight}});
    c.Enum("Orientation", &TUpDown::Orientation, &TUpDown::SetOrientation,
           {{"udHorizontal", udHorizontal}, {"udVertical", udVertical}});
    c.Bool("Wrap", &TUpDown::Wrap, &TUpDown::SetWrap);
    c.Bool("ArrowKeys", &TUpDown::ArrowKeys, &TUpDown::SetArrowKeys);
    c.Bool("Thousands", &TUpDown::Thousands, &TUpDown::SetThousands);
    c.Event("OnClick", &TUpDown::OnClick);
    c.Event("OnChanging", &TUpDown::OnChanging);
})

TUpDown::TUpDown(TComponent* owner) : TWinControl(owner) {
    InitCommonControlClasses(ICC_UPDOWN_CLASS);
    ownPaint_ = false;
    SetBounds(0, 0, 17, 25);
}

TUpDown::~TUpDown() {
    if (associate_) associate_->RemoveFreeNotification(this);
}

void TUpDown::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.baseClass = UPDOWN_CLASSA;
    // No UDS_ALIGNLEFT/RIGHT: they shrink the buddy each time a window is made, so a form
    // written and read again would lose width. The control places itself instead.
    p.style |= UDS_SETBUDDYINT;
    if (orientation_ == udHorizontal) p.style |= UDS_HORZ;
    if (wrap_) p.style |= UDS_WRAP;
    if (arrowKeys_) p.style |= UDS_ARROWKEYS;
    if (!thousands_) p.style |= UDS_NOTHOUSANDS;
}

void TUpDown::CreateWindowHandle(const TCreateParams& p) {
    TWinControl::CreateWindowHandle(p);
    HWND h = HandleValue();
    SendMessageA(h, UDM_SETRANGE32, static_cast<WPARAM>(min_), max_);
    UDACCEL accel{0, static_cast<UINT>(increment_)};
    SendMessageA(h, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
    SendMessageA(h, UDM_SETPOS32, 0, position_);
    AttachBuddy();
}

void TUpDown::AttachBuddy() {
    if (!HandleAllocated()) return;
    HWND buddy = associate_ ? associate_->Handle() : nullptr;
    SendMessageA(HandleValue(), UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
    if (!associate_) return;
    if (associate_->Parent() == Parent()) {
        int left = alignButton_ == udRight ? associate_->Left() + associate_->Width()
                                           : associate_->Left() - Width();
        SetBounds(left, associate_->Top(), Width(), associate_->Height());
    }
    // The control reads its position back from the buddy's text: write it first.
    UpdateBuddyText(position_);
}

void TUpDown::UpdateBuddyText(int value) {
    // The control writes its buddy only when an arrow is used; positions set by the program
    // are shown here.
    if (!associate_ || !associate_->HandleAllocated()) return;
    std::string digits = std::to_string(std::abs(static_cast<long long>(value)));
    if (thousands_) {
        char sep[8] = {};
        GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, sep, sizeof sep);
        for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3)
            digits.insert(static_cast<size_t>(i), sep);
    }
    if (value < 0) digits.insert(0, "-");
    SetWindowTextA(associate_->HandleValue(), digits.c_str());
}

void TUpDown::SetMin(int v) {
    min_ = v;
    if (HandleAllocated())
        SendMessageA(HandleValue(), UDM_SETRANGE32, static_cast<WPARAM>(min_), max_);
}

void TUpDown::SetMax(int v) {
    max_ = v;
    if (HandleAllocated())
        SendMessageA(HandleValue(), UDM_SETRANGE32, static_cast<WPARAM>(min_), max_);
}

int TUpDown::Position() const {
    if (HandleAllocated()) return static_cast<int>(SendMessageA(HandleValue(), UDM_GETPOS32, 0, 0));
    return position_;
}

void TUpDown::SetPosition(int v) {
    position_ = IsLoading() ? v : std::clamp(v, std::min(min_, max_), std::max(min_, max_));
    if (!HandleAllocated()) return;
    SendMessageA(HandleValue(), UDM_SETPOS32, 0, position_);
    UpdateBuddyText(position_);
}

void TUpDown::SetIncrement(int v) {
    increment_ = v;
    if (!HandleAllocated()) return;
    UDACCEL accel{0, static_cast<UINT>(v)};
    SendMessageA(HandleValue(), UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
}

void TUpDown::SetAssociate(TWinControl* control) {
    if (control == this) throw EPropertyError("An up-down control cannot be its own associate");
    if (associate_) associate_->RemoveFreeNotification(this);
    associate_ = control;
    pendingAssociate_.clear();
    if (control) control->FreeNotification(this);
    AttachBuddy();
}

std::string TUpDown::AssociateName() const {
    if (associate_) return associate_->Name();
    return pendingAssociate_;
}

void TUpDown::SetAssociateName(const std::string& name) {
    if (IsLoading()) {
        pendingAssociate_ = name;
        return;
    }
    TComponent* root = Owner();
    TComponent* c = name.empty() || !root ? nullptr : root->FindComponent(name);
    if (!name.empty() && !dynamic_cast<TWinControl*>(c))
        throw EPropertyError("Control " + name + " does not exist");
    SetAssociate(static_cast<TWinControl*>(c));
}

void TUpDown::Loaded() {
    TWinControl::Loaded();
    position_ = std::clamp(position_, std::min(min_, max_), std::max(min_, max_));
    if (!pendingAssociate_.empty()) SetAssociateName(std::string(pendingAssociate_));
}

void TUpDown::Notification(TComponent* component, TOperation operation) {
    TWinControl::Notification(component, operation);
    if (operation == opRemove && component == associate_) {
        associate_ = nullptr;
        if (HandleAllocated()) SendMessageA(HandleValue(), UDM_SETBUDDY, 0, 0);
    }
}

void TUpDown::SetAlignButton(TUDAlignButton a) {
    if (a == alignButton_) return;
    position_ = Position();
    alignButton_ = a;
    AttachBuddy();
}

void TUpDown::SetOrientation(TUDOrientation o) {
    if (o == orientation_) return;
    position_ = Position();
    orientation_ = o;
    RecreateWnd();
}

void TUpDown::SetWrap(bool on) {
    wrap_ = on;
    if (HandleAllocated()) ChangeStyle(HandleValue(), UDS_WRAP, on);
}

void TUpDown::SetArrowKeys(bool on) {
    if (on == arrowKeys_) return;
    position_ = Position();
    arrowKeys_ = on;
    RecreateWnd();
}

void TUpDown::SetThousands(bool on) {
    if (on == thousands_) return;
    position_ = Position();
    thousands_ = on;
    RecreateWnd();
}

void TUpDown::DeltaPos(TMessage& m) {
    auto* nm = reinterpret_cast<NMUPDOWN*>(m.LParam);
    bool allow = true;
    OnChanging(this, allow);
    lastDelta_ = allow ? nm->iDelta : 0;
    positionBefore_ = nm->iPos;
    m.Result = allow ? 0 : 1; // non-zero keeps the position
}

void TUpDown::WndProc(TMessage& m) {
    switch (m.Msg) {
    case CN_NOTIFY:
        if (reinterpret_cast<NMHDR*>(m.LParam)->code == UDN_DELTAPOS) {
            DeltaPos(m);
            return;
        }
        break;
    case CN_HSCROLL:
    case CN_VSCROLL:
        // Sent after every accepted step; the end-of-scroll message carries no step.
        // At a limit without wrapping the control reports too, but nothing moved.
        if (LOWORD(m.WParam) == SB_THUMBPOSITION && lastDelta_ != 0 &&
            Position() != positionBefore_) {
            position_ = Position();
            OnClick(this, lastDelta_ > 0 ? TUDBtnType::btNext : TUDBtnType::btPrev);
        }
        lastDelta_ = 0;
        return;
    default:
        break;
    }
    TWinControl::WndProc(m);
}

// ---- TStatusBar --------------------------------------------------------------------------------

WL_DEFINE_CLASS(TStatusPanel, [](ClassBuilder<TStatusPanel>& c) {
    c.Str("Text", &TStatusPanel::Text, &TStatusPanel::SetText);
    c.Int("Width", &TStatusPanel::Width, &TStatusPanel::SetWidth);
    c.Enum("Alignment", &TStatusPanel::Alignment, &TStatusPanel::SetAlignment, kAlignments);
    c.Enum("Bevel", &TStatusPanel::Bevel, &TStatusPanel::SetBevel,
           {{"pbNone", pbNone}, {"pbLowered", pbLowered}, {"pbRaised", pbRaised}});
    c.Enum("Style", &TStatusPanel::Style, &TStatusPanel::SetStyle,
           {{"psText", psText}, {"psOwnerDraw", psOwnerDraw}});
})

void TStatusPanel::SetText(const std::string& t) {
    text_ = t;
    Changed();
}
void TStatusPanel::SetWidth(int w) {
    width_ = std::max(w, 0);
    Changed();
}
void TStatusPanel::SetAlignment(TAlignment a) {
    alignment_ = a;
    Changed();
}
void TStatusPanel::SetBevel(TStatusPanelBevel b) {
    bevel_ = b;
    Changed();
}
void TStatusPanel::SetStyle(TStatusPanelStyle s) {
    style_ = s;
    Changed();
}

WL_DEFINE_ABSTRACT_CLASS(TCustomStatusBar, [](ClassBuilder<TCustomStatusBar>& c) {
    c.Object("Panels", [](TCustomStatusBar& s) { return s.Panels(); });
    c.Bool("SimplePanel", &TCustomStatusBar::SimplePanel, &TCustomStatusBar::SetSimplePanel);
    c.Str("SimpleText", &TCustomStatusBar::SimpleText, &TCustomStatusBar::SetSimpleText);
    c.Bool("SizeGrip", &TCustomStatusBar::SizeGrip, &TCustomStatusBar::SetSizeGrip);
    c.Event("OnDrawPanel", &TCustomStatusBar::OnDrawPanel);
})
WL_DEFINE_CLASS(TStatusBar, WL_NO_PROPERTIES)

TCustomStatusBar::TCustomStatusBar(TComponent* owner)
    : TWinControl(owner), panels_(TStatusPanel::StaticClass()) {
    InitCommonControlClasses(ICC_BAR_CLASSES);
    ownPaint_ = false;
    panels_.OnUpdate = [this](const TCollectionChange& change) { UpdatePanels(change); };
    SetBounds(0, 0, 200, 19);
    SetAlign(alBottom);
}

void TCustomStatusBar::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.baseClass = STATUSCLASSNAMEA;
    // The library aligns the bar; the control must not move itself to the parent's bottom.
    p.style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
    if (sizeGrip_) p.style |= SBARS_SIZEGRIP;
}

void TCustomStatusBar::CreateWindowHandle(const TCreateParams& p) {
    TWinControl::CreateWindowHandle(p);
    UpdatePanels({});
    UpdateSimple();
}

std::vector<int> TCustomStatusBar::PanelEdges() const {
    std::vector<int> edges;
    int right = 0;
    for (int i = 0; i < panels_.Count(); ++i) {
        right += Panel(i)->Width();
        edges.push_back(i + 1 == panels_.Count() ? -1 : right);
    }
    return edges;
}

void TCustomStatusBar::UpdatePanels(const TCollectionChange& change) {
    if (!HandleAllocated()) return;
    HWND h = HandleValue();
    // The control keeps each part's text through SB_SETPARTS: only the parts whose panel
    // changed or moved get their text again.
    std::vector<int> edges = PanelEdges();
    if (edges.empty()) edges.push_back(-1);
    SendMessageA(h, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    int first = 0, last = panels_.Count() - 1;
    switch (change.action) {
    case TCollectionAction::ItemChanged:
        first = last = change.index;
        break;
    case TCollectionAction::Added:
    case TCollectionAction::Removed:
        first = change.index;
        break;
    case TCollectionAction::Moved:
        first = std::min(change.from, change.index);
        last = std::max(change.from, change.index);
        break;
    case TCollectionAction::AllChanged:
        break;
    }
    for (int i = first; i <= last; ++i)
        PushPanelText(i);
    if (panels_.Count() == 0) SendMessageA(h, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(""));
}

void TCustomStatusBar::PushPanelText(int index) {
    HWND h = HandleValue();
    TStatusPanel* panel = Panel(index);
    WPARAM flags = static_cast<WPARAM>(index);
    if (panel->Bevel() == pbNone)
        flags |= SBT_NOBORDERS;
    else if (panel->Bevel() == pbRaised)
        flags |= SBT_POPOUT;
    if (panel->Style() == psOwnerDraw) {
        SendMessageA(h, SB_SETTEXTA, flags | SBT_OWNERDRAW, reinterpret_cast<LPARAM>(panel));
        return;
    }
    // A leading tab centres the text, two tabs align it right.
    std::string text = panel->Alignment() == taCenter         ? "\t" + panel->Text()
                       : panel->Alignment() == taRightJustify ? "\t\t" + panel->Text()
                                                              : panel->Text();
    SendMessageA(h, SB_SETTEXTA, flags, reinterpret_cast<LPARAM>(text.c_str()));
}

void TCustomStatusBar::UpdateSimple() {
    if (!HandleAllocated()) return;
    SendMessageA(HandleValue(), SB_SIMPLE, simplePanel_, 0);
    SendMessageA(HandleValue(), SB_SETTEXTA, SB_SIMPLEID | SBT_NOBORDERS,
                 reinterpret_cast<LPARAM>(simpleText_.c_str()));
}

void TCustomStatusBar::SetSimplePanel(bool on) {
    simplePanel_ = on;
    UpdateSimple();
}

void TCustomStatusBar::SetSimpleText(const std::string& t) {
    simpleText_ = t;
    UpdateSimple();
}

void TCustomStatusBar::SetSizeGrip(bool on) {
    if (on == sizeGrip_) return;
    sizeGrip_ = on;
    RecreateWnd();
}

void TCustomStatusBar::WndProc(TMessage& m) {
    if (m.Msg == CN_DRAWITEM) {
        auto* ds = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
        auto index = static_cast<int>(ds->itemID);
        if (index >= 0 && index < panels_.Count()) OnDrawPanel(this, Panel(index), ds->rcItem);
        m.Result = TRUE;
        return;
    }
    TWinControl::WndProc(m);
}

// ---- THeaderControl ----------------------------------------------------------------------------

WL_DEFINE_CLASS(THeaderSection, [](ClassBuilder<THeaderSection>& c) {
    c.Str("Text", &THeaderSection::Text, &THeaderSection::SetText);
    c.Int("Width", &THeaderSection::Width, &THeaderSection::SetWidth);
    c.Int("MinWidth", &THeaderSection::MinWidth, &THeaderSection::SetMinWidth);
    c.Int("MaxWidth", &THeaderSection::MaxWidth, &THeaderSection::SetMaxWidth);
    c.Enum("Alignment", &THeaderSection::Alignment, &THeaderSection::SetAlignment, kAlignments);
    c.Bool("AllowClick", &THeaderSection::AllowClick, &THeaderSection::SetAllowClick);
    c.Enum("Style", &THeaderSection::Style, &THeaderSection::SetStyle,
           {{"hsText", hsText}, {"hsOwnerDraw", hsOwnerDraw}});
})

int THeaderSection::ClampWidth(int w) const {
    return std::max(minWidth_, std::min(w, maxWidth_));
}

void THeaderSection::SetText(const std::string& t) {
    text_ = t;
    Changed();
}
void THeaderSection::SetWidth(int w) {
    width_ = ClampWidth(std::max(w, 0));
    Changed();
}
void THeaderSection::SetMinWidth(int w) {
    minWidth_ = std::max(w, 0);
    if (maxWidth_ < minWidth_) maxWidth_ = minWidth_;
    width_ = ClampWidth(width_);
    Changed();
}
void THeaderSection::SetMaxWidth(int w) {
    maxWidth_ = std::max(w, minWidth_);
    width_ = ClampWidth(width_);
    Changed();
}
void THeaderSection::SetAlignment(TAlignment a) {
    alignment_ = a;
    Changed();
}
void THeaderSection::SetStyle(THeaderSectionStyle s) {
    style_ = s;
    Changed();
}

WL_DEFINE_CLASS(THeaderControl, [](ClassBuilder<THeaderControl>& c) {
    c.Object("Sections", [](THeaderControl& h) { return h.Sections(); });
    c.Event("OnSectionClick", &THeaderControl::OnSectionClick);
    c.Event("OnSectionResize", &THeaderControl::OnSectionResize);
    c.Event("OnDrawSection", &THeaderControl::OnDrawSection);
})

THeaderControl::THeaderControl(TComponent* owner)
    : TWinControl(owner), sections_(THeaderSection::StaticClass()) {
    InitCommonControlClasses(ICC_LISTVIEW_CLASSES);
    ownPaint_ = false;
    sections_.OnUpdate = [this](const TCollectionChange& change) { UpdateSections(change); };
    SetBounds(0, 0, 200, 17);
    SetAlign(alTop);
}

void THeaderControl::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.baseClass = WC_HEADERA;
    p.style |= HDS_BUTTONS | HDS_HORZ | HDS_FULLDRAG | CCS_NOPARENTALIGN | CCS_NORESIZE;
}

void THeaderControl::CreateWindowHandle(const TCreateParams& p) {
    TWinControl::CreateWindowHandle(p);
    UpdateSections({});
}

namespace {
int HeaderFormat(TAlignment a, bool ownerDraw) {
    int fmt = a == taCenter ? HDF_CENTER : a == taRightJustify ? HDF_RIGHT : HDF_LEFT;
    return fmt | (ownerDraw ? HDF_OWNERDRAW : HDF_STRING);
}
} // namespace

void THeaderControl::PushSection(int index, bool insert) {
    if (!HandleAllocated() || syncing_) return;
    THeaderSection* s = Section(index);
    HDITEMA item{};
    item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
    item.cxy = s->Width();
    item.pszText = const_cast<char*>(s->Text().c_str());
    item.fmt = HeaderFormat(s->Alignment(), s->Style() == hsOwnerDraw);
    SendMessageA(HandleValue(), insert ? HDM_INSERTITEMA : HDM_SETITEMA,
                 static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

void THeaderControl::UpdateSections(const TCollectionChange& change) {
    if (!HandleAllocated() || syncing_) return;
    HWND h = HandleValue();
    switch (change.action) {
    case TCollectionAction::Added:
        PushSection(change.index, true);
        break;
    case TCollectionAction::Removed:
        SendMessageA(h, HDM_DELETEITEM, static_cast<WPARAM>(change.index), 0);
        break;
    case TCollectionAction::Moved:
        SendMessageA(h, HDM_DELETEITEM, static_cast<WPARAM>(change.from), 0);
        PushSection(change.index, true);
        break;
    case TCollectionAction::ItemChanged:
        PushSection(change.index, false);
        break;
    case TCollectionAction::AllChanged:
        while (SendMessageA(h, HDM_GETITEMCOUNT, 0, 0) > 0)
            SendMessageA(h, HDM_DELETEITEM, 0, 0);
        for (int i = 0; i < sections_.Count(); ++i)
            PushSection(i, true);
        break;
    }
}

void THeaderControl::Notify(TMessage& m) {
    auto* nm = reinterpret_cast<NMHEADERA*>(m.LParam);
    int index = nm->iItem;
    bool valid = index >= 0 && index < sections_.Count();
    switch (nm->hdr.code) {
    case HDN_ITEMCLICKA:
    case HDN_ITEMCLICKW:
        if (valid && Section(index)->AllowClick()) OnSectionClick(this, Section(index));
        break;
    case HDN_ITEMCHANGINGA:
    case HDN_ITEMCHANGINGW:
        // Dragging past MinWidth/MaxWidth is refused (the divider stops).
        if (valid && nm->pitem && (nm->pitem->mask & HDI_WIDTH) &&
            Section(index)->ClampWidth(nm->pitem->cxy) != nm->pitem->cxy)
            m.Result = TRUE;
        break;
    case HDN_ITEMCHANGEDA:
    case HDN_ITEMCHANGEDW:
        if (valid && nm->pitem && (nm->pitem->mask & HDI_WIDTH)) {
            THeaderSection* s = Section(index);
            int width = s->ClampWidth(nm->pitem->cxy);
            if (width != s->width_) {
                s->width_ = width;
                OnSectionResize(this, s);
            }
        }
        break;
    default:
        break;
    }
}

void THeaderControl::WndProc(TMessage& m) {
    switch (m.Msg) {
    case CN_NOTIFY:
        Notify(m);
        return;
    case CN_DRAWITEM: {
        auto* ds = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
        auto index = static_cast<int>(ds->itemID);
        if (index >= 0 && index < sections_.Count())
            OnDrawSection(this, Section(index), ds->rcItem, (ds->itemState & ODS_SELECTED) != 0);
        m.Result = TRUE;
        return;
    }
    default:
        break;
    }
    TWinControl::WndProc(m);
}

} // namespace wl
