// Title-bar buttons of a skinned window: the window-free placement and visibility rules, the
// button objects and their states, TTitleButtons (the buttons and the non-client mouse: hit
// test, hover with its timer, press, release, double-click, right-click, the button actions,
// which go to the form object's window actions, window_actions.h).
#include "skin/forms/title_buttons.h"

#include "skin/data/skin_data.h"
#include "skin/draw/skin_draw.h"
#include "skin/draw/swallowed.h"
#include "skin/forms/frame_paint.h"
#include "skin/forms/menu_bar.h"
#include "skin/forms/win_skin_form.h"
#include "skin/forms/window_actions.h"
#include "ui/extctrls.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace wl {

// ---- window-free rules ---------------------------------------------------------------------------

namespace {

// The codes that show nothing, shared by both visibility keys.
bool NeverCode(int code) {
    return code == 5 || (code >= 10 && code <= 99) || (code >= 101 && code <= 199) || code > 2000;
}

bool DialogFrameRule(const TTitleButtonContext& c) { return c.DialogFrame && !c.DialogClass; }

bool FirstVisibility(const TDataSkinSysButton& e, const TTitleButtonContext& c,
                     bool (*askHost)(void*, int, int), void* hostData) {
    const int v = e.Visibility;
    // -1 is not a condition of its own: it hides the button, as do the other undefined codes.
    if (v < 0 || NeverCode(v)) return false;
    switch (v) {
    case 0: return true;
    case 1: return c.Maximized;
    case 2: return !c.Maximized;
    case 3: return c.Active;
    case 4: return !c.Active;
    case 6: return c.HasMaximizeBox && c.HasSystemMenu;
    case 7: return !c.HasMaximizeBox;
    case 8: return c.HasMinimizeBox && c.HasSystemMenu;
    case 9: return !c.HasMinimizeBox;
    case 100: return c.MdiChildMaximized;
    case 200: return DialogFrameRule(c);
    default: break;
    }
    if (v >= 1000) return askHost ? askHost(hostData, v, e.Action) : false;
    return true; // 201..999
}

bool SecondVisibility(const TDataSkinSysButton& e, const TTitleButtonContext& c, bool first) {
    const int v = e.Visibility1;
    if (v < 0 || NeverCode(v)) return false;
    switch (v) {
    case 0: return true;
    case 1: return c.Maximized;
    case 2: return !c.Maximized;
    case 3: return c.Active;
    case 4: return !c.Active;
    case 6: return c.HasMaximizeBox;
    case 7: return !c.HasMaximizeBox;
    case 8: return c.HasMinimizeBox;
    case 9: return !c.HasMinimizeBox;
    case 100: return first;
    case 200: return DialogFrameRule(c);
    default: return true; // 201..2000
    }
}

bool ActionGate(const TDataSkinSysButton& e, const TTitleButtonContext& c) {
    switch (e.Action) {
    case 0: return c.HasSystemMenu;
    case 1: return c.HasMaximizeBox;
    case 2: return c.HasMinimizeBox;
    case 3:
    case 11:
    case 12: return !c.DialogFrame;
    default: return true;
    }
}

int ClampInt(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT_MIN / 2, INT_MAX / 2)); }

} // namespace

bool TitleButtonVisible(const TDataSkinSysButton& element, const TTitleButtonContext& context,
                        bool (*askHost)(void* data, int code, int action), void* hostData) {
    const bool v = FirstVisibility(element, context, askHost, hostData);
    return v && SecondVisibility(element, context, v) && ActionGate(element, context);
}

RECT TitleButtonBounds(const TDataSkinSysButton& element, int w, int h, const TTitleButtonContext& c) {
    // Sums in 64 bits: a skin may give any coordinate, and the result is only ever clipped.
    const int64_t x = element.Xcoord, y = element.Ycoord;
    int64_t left = 0, top = 0;
    switch (element.Align) {
    case 0: left = x, top = y; break;
    case 1: left = int64_t{c.WindowWidth} - x, top = y; break;
    case 100:
        left = c.RightToLeft ? x + c.MenuBarMargin + c.BorderLeft
                             : int64_t{c.WindowWidth} - x - c.BorderRight - c.MenuBarMargin;
        top = c.BorderTop + (int64_t{c.MenuBarHeight} - h) / 2;
        break;
    // The anchors of these placements are the inner edges of the title strip: right-anchored
    // buttons count from the right border's inner edge to their right edge, left-anchored ones
    // from the left border's inner edge to their left edge.
    case 2:
    case 8: left = int64_t{c.WindowWidth} - c.BorderRight - w - x, top = y; break;
    case 3:
    case 9: left = int64_t{c.BorderLeft} + x, top = y; break;
    default: break;
    }
    const int l = ClampInt(left), t = ClampInt(top);
    return RECT{l, t, ClampInt(int64_t{l} + std::max(w, 0)), ClampInt(int64_t{t} + std::max(h, 0))};
}

// ---- button objects ------------------------------------------------------------------------------

void TNCObject::MouseDown() {
    TWinSkinForm* f = FOwnerForm;
    if (f && f->HotObject() && f->HotObject() != this) f->HotObject()->MouseLeave();
    if (!FVisible || !f) return;
    f->SetHotObject(this);
    FButtonState = nbsPressed;
    Paint();
}

void TNCObject::MouseUp() {
    if (!FVisible) return;
    FButtonState = nbsHot;
    Paint();
}

void TNCObject::MouseMove() {
    TWinSkinForm* f = FOwnerForm;
    if (!f || f->HotObject() == this) return;
    if (f->HotObject()) f->HotObject()->MouseLeave();
    if (!FVisible) return;
    f->SetHotObject(this);
    FButtonState = nbsHot;
    Paint();
}

void TNCObject::MouseLeave() {
    if (!FVisible) return;
    if (FOwnerForm && FOwnerForm->HotObject() == this) FOwnerForm->SetHotObject(nullptr);
    FButtonState = nbsNormal;
    Paint();
}

void TWinSysButton::Paint() {
    TWinSkinForm* f = FOwnerForm;
    TDataSkinSysButton* e = FSkinElement;
    if (!f || !e || !IsWindow(f->Handle()) || e->Image.Empty()) return;
    if (f->State() != sfsRunning && f->State() != sfsReapplying) return;
    TBitmap* work = SkinWorkBitmap();
    if (!work) return;
    // The button is drawn over its strip as the last full paint left it (without buttons), cut
    // at the strip's edges as a full paint cuts it: the title strip, or for the MDI buttons the
    // menu-bar strip.
    TBitmap* strip = &f->Frame().TitleBitmap();
    POINT origin{0, 0};
    if (e->Visibility == 100) {
        TWinSkinMenu* bar = f->MenuBar();
        if (!bar) return;
        strip = &bar->Background();
        const RECT s = bar->Strip();
        origin = POINT{s.left, s.top};
    }
    auto paint = [&] {
        RECT r = FBounds;
        RECT limit{origin.x, origin.y, origin.x + strip->Width(), origin.y + strip->Height()};
        RECT part;
        if (!work || !IntersectRect(&part, &r, &limit)) return;
        // Only the part inside the strip is composed: a button of any size costs its visible pixels.
        const int w = part.right - part.left, h = part.bottom - part.top;
        if (work->Width() < w || work->Height() < h)
            work->SetSize(std::max(work->Width(), w), std::max(work->Height(), h));
        HDC workDC = work->Canvas().Handle();
        BitBlt(workDC, 0, 0, w, h, strip->Canvas().Handle(), part.left - origin.x, part.top - origin.y, SRCCOPY);
        const RECT local{r.left - part.left, r.top - part.top, r.right - part.left, r.bottom - part.top};
        if (e->Action == 3 || e->Action == 11) {
            f->Frame().DrawIcon(workDC, local);
        } else {
            int index = FButtonState;
            if (e->Visibility == 100 && FButtonState == nbsHot) index = 4;
            TElementDraw draw{.Image = &e->Image, .Frames = std::max(1, e->Frame), .Index = index,
                              .Transparent = true};
            DrawFrameStretched(workDC, local, draw);
        }
        WindowDC dc(f->Handle(), GetWindowDC(f->Handle()));
        if (!dc) return;
        BitBlt(dc.get(), part.left, part.top, w, h, workDC, 0, 0, SRCCOPY);
    };
    // A failed button paint leaves the button as it was; the next full paint redraws it.
    SwallowFailures(paint);
}

// ---- creation, layout and drawing ----------------------------------------------------------------

TTitleButtons::TTitleButtons(TWinSkinForm& owner) : FOwner(owner) {}

TTitleButtons::~TTitleButtons() = default;

void TTitleButtons::Free() {
    FHotObject = nullptr;
    FButtons.clear();
}

void TTitleButtons::Create() {
    FButtons.clear();
    TSkinData* data = FOwner.SkinData();
    if (!data) return;
    for (auto& element : data->SysButtons)
        FButtons.push_back(std::make_unique<TWinSysButton>(&FOwner, element.get()));
    // The icon buttons show the window's own icon; a skin without an application icon takes it too.
    for (auto& button : FButtons) {
        TDataSkinSysButton* e = button->SkinElement();
        if (!e || (e->Action != 3 && e->Action != 11)) continue;
        FOwner.Frame().LoadIcon();
        if (e->Image.Empty()) e->Image.Assign(FOwner.Frame().IconBitmap());
        if (data->AppIcon.Empty()) data->AppIcon.Assign(FOwner.Frame().IconBitmap());
        e->Frame = 1;
    }
}

void TTitleButtons::Clear() {
    FHotObject = nullptr;
    FButtons.clear();
    FHoverTimer.reset();
}

void TTitleButtons::MakeHoverTimer() {
    FHoverTimer = std::make_unique<TTimer>(nullptr);
    FHoverTimer->SetEnabled(false);
    FHoverTimer->SetInterval(250);
    FHoverTimer->OnTimer = [this](TObject* sender) { HoverTimerTick(sender); };
}

void TTitleButtons::EnableHover(bool on) {
    if (FHoverTimer) FHoverTimer->SetEnabled(on);
}

namespace {

struct TLayoutHost {
    HWND Window;
};

bool AskHost(void* data, int code, int action) {
    const HWND window = static_cast<TLayoutHost*>(data)->Window;
    return IsWindow(window) && SendMessageW(window, SKM_BUTTONVISIBLE, static_cast<WPARAM>(code),
                                            static_cast<LPARAM>(action)) > 0;
}

// The button's width and height: one cell of its strip.
SIZE ButtonSize(const TDataSkinSysButton& e) {
    return SIZE{e.Image.Width() / std::max(1, e.Frame), e.Image.Height()};
}

} // namespace

bool TTitleButtons::Visible(int index) {
    if (index < 0 || index >= static_cast<int>(FButtons.size())) return false;
    TWinSysButton& b = *FButtons[static_cast<size_t>(index)];
    if (!b.SkinElement()) {
        b.SetVisible(false);
        return false;
    }
    const TSkinFrame& frame = FOwner.Frame();
    TTitleButtonContext c;
    c.WindowWidth = frame.Width();
    c.BorderLeft = frame.BorderLeft();
    c.BorderTop = frame.BorderTop();
    c.BorderRight = frame.BorderRight();
    c.MenuBarHeight = frame.MenuBarHeight();
    c.MenuBarMargin = FOwner.SkinData() && FOwner.SkinData()->MenuBar ? FOwner.SkinData()->MenuBar->LeftWidth : 0;
    c.RightToLeft = FOwner.RightToLeft();
    c.Maximized = FOwner.WindowState() == wstMaximized;
    c.Active = FOwner.Active();
    c.HasMaximizeBox = (FOwner.Caps() & capMaximize) != 0;
    c.HasMinimizeBox = (FOwner.Caps() & capMinimize) != 0;
    c.HasSystemMenu = (FOwner.Caps() & capSystemMenu) != 0;
    c.DialogFrame = FOwner.BorderKind() == bkDialog;
    c.DialogClass = FOwner.ClassName() == "#32770" || FOwner.ClassName() == "TMessageForm";
    if (b.SkinElement()->Visibility == 100 || b.SkinElement()->Visibility1 == 100) {
        if (FOwner.FormKind() == fkMdiParent && FOwner.ClientWnd() && FOwner.MenuBar()) {
            BOOL maximized = FALSE;
            SendMessageW(FOwner.ClientWnd(), WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized));
            c.MdiChildMaximized = maximized != FALSE;
        }
    }
    TLayoutHost host{FOwner.Handle()};
    const bool visible = TitleButtonVisible(*b.SkinElement(), c, AskHost, &host);
    b.SetVisible(visible);
    if (visible && !b.SkinElement()->Image.Empty()) {
        const SIZE s = ButtonSize(*b.SkinElement());
        b.SetBounds(TitleButtonBounds(*b.SkinElement(), s.cx, s.cy, c));
    }
    return visible;
}

void TTitleButtons::Layout() {
    for (int i = 0; i < static_cast<int>(FButtons.size()); ++i) Visible(i);
}

void TTitleButtons::Draw(TCanvas& canvas) {
    HDC dc = canvas.Handle();
    for (int i = 0; i < static_cast<int>(FButtons.size()); ++i) {
        TWinSysButton& b = *FButtons[static_cast<size_t>(i)];
        TDataSkinSysButton* e = b.SkinElement();
        if (!e || e->Image.Empty() || e->Visibility == 100 || !Visible(i)) continue;
        b.SetButtonState(nbsNormal);
        if (e->Action == 3 || e->Action == 11) {
            FOwner.Frame().DrawIcon(dc, b.Bounds());
            continue;
        }
        const int frames = std::max(1, e->Frame);
        const int index = FOwner.Active() || frames < 4 ? 1 : 4;
        DrawFrameStretched(dc, b.Bounds(),
                           TElementDraw{.Image = &e->Image, .Frames = frames, .Index = index, .Transparent = true});
    }
}

void TTitleButtons::DrawMdiButtons(HDC dc, const RECT& strip) {
    if (FOwner.FormKind() != fkMdiParent) return;
    bool any = false;
    for (int i = 0; i < static_cast<int>(FButtons.size()); ++i) {
        TWinSysButton& b = *FButtons[static_cast<size_t>(i)];
        TDataSkinSysButton* e = b.SkinElement();
        if (!e || e->Image.Empty() || e->Visibility != 100 || !Visible(i)) continue;
        any = true;
        RECT r = b.Bounds();
        OffsetRect(&r, -strip.left, -strip.top);
        DrawFrameStretched(dc, r,
                           TElementDraw{.Image = &e->Image, .Frames = std::max(1, e->Frame), .Index = 1, .Transparent = true});
    }
    if (any && !FOwner.ManagerMaximizedChildren()) FOwner.ManagerSetMaximizedChildren(true);
}

// ---- coordinates and search ----------------------------------------------------------------------

POINT TWinSkinForm::ScreenToWindow(POINT screen) const {
    POINT p = screen;
    ScreenToClient(FHandle, &p);
    if (!(FFormKind == fkMdiChild && FWindowState == wstMinimized)) {
        p.x += FFrame->BorderLeft();
        p.y += FFrame->BorderTop() + FFrame->MenuBarHeight();
    }
    return p;
}

TNCObject* TTitleButtons::FindButton(POINT windowPoint) const {
    for (const auto& b : FButtons) {
        const TDataSkinSysButton* e = b->SkinElement();
        if (b->Visible() && e && e->Action >= 0 && PtInRect(&b->Bounds(), windowPoint)) return b.get();
    }
    return nullptr;
}

TNCObject* TTitleButtons::ObjectAt(POINT windowPoint) const {
    if (TNCObject* o = FindButton(windowPoint)) return o;
    return FOwner.MenuBar() ? FOwner.MenuBar()->ItemAt(windowPoint) : nullptr;
}

namespace {

POINT MessagePoint(LPARAM lParam) {
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

} // namespace

// ---- non-client mouse ----------------------------------------------------------------------------

void TTitleButtons::NCHitTest(TMessage& m) {
    FOwner.Default(m);
    if (m.Result != HTNOWHERE && m.Result != HTCAPTION) return;
    const POINT p = FOwner.ScreenToWindow(MessagePoint(m.LParam));
    if (p.y > 3) m.Result = HTCAPTION;
    if (p.y > FOwner.Frame().BorderTop() && FOwner.Frame().MenuBarHeight() > 0) m.Result = HTMENU;
}

void TTitleButtons::NCMouseMove(TMessage& m) {
    m.Result = 0;
    // An inactive window's buttons do not follow the mouse.
    if (!FOwner.Active()) return;
    if (TNCObject* o = ObjectAt(FOwner.ScreenToWindow(MessagePoint(m.LParam)))) {
        o->MouseMove();
        return;
    }
    if (FHotObject) FHotObject->MouseLeave();
    FOwner.Default(m);
}

void TTitleButtons::NCLButtonDown(TMessage& m) {
    const POINT p = FOwner.ScreenToWindow(MessagePoint(m.LParam));
    if (TNCObject* o = ObjectAt(p)) {
        if (!FOwner.Active()) SetForegroundWindow(FOwner.Handle());
        o->MouseDown();
        m.Result = 0;
        if (auto* b = dynamic_cast<TMenuBtn*>(o)) {
            FHotObject = b;
            FOwner.OpenMenuButton(b);
        }
        return;
    }
    // A click on the empty part of the menu-bar strip goes on to the window's own procedure
    // like any other click outside the buttons (the window has no system menu bar to open).
    // A maximized window is not dragged by its caption.
    if (FOwner.WindowState() == wstMaximized && FOwner.Active() && m.WParam == HTCAPTION) m.WParam = HTMENU;
    FOwner.Default(m);
}

void TTitleButtons::NCLButtonUp(TMessage& m) {
    const POINT screen = MessagePoint(m.LParam);
    if (TNCObject* o = ObjectAt(FOwner.ScreenToWindow(screen))) {
        if (o == FHotObject && dynamic_cast<TWinSysButton*>(o)) {
            o->MouseUp();
            DoButtonAction(screen);
        }
        m.Result = 0;
        return;
    }
    FOwner.Default(m);
}

void TTitleButtons::NCLButtonDblClk(TMessage& m) {
    if (TNCObject* o = ObjectAt(FOwner.ScreenToWindow(MessagePoint(m.LParam)))) {
        auto* b = dynamic_cast<TWinSysButton*>(o);
        if (b && b->SkinElement() && (b->SkinElement()->Action == 3 || b->SkinElement()->Action == 11)) {
            EnableHover(false);
            PostMessageW(FOwner.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        m.Result = 0;
        return;
    }
    // Only the caption toggles the window's size; a double-click on a border or on the empty
    // menu-bar strip is the window's own business.
    if (m.WParam != HTCAPTION) {
        FOwner.Default(m);
        return;
    }
    if (FOwner.WindowState() != wstNormal) {
        FOwner.Actions().RestoreWindow();
        m.Result = 0;
    } else if (FOwner.Caps() & capMaximize) {
        FOwner.Actions().ToggleMaximize();
        m.Result = 0;
    } else {
        FOwner.Default(m);
    }
}

void TTitleButtons::NCRButtonDown(TMessage& m) {
    if (m.WParam == HTCAPTION && FOwner.FormKind() != fkMdiChild) {
        FOwner.Actions().ShowSystemMenu(MessagePoint(m.LParam));
        m.Result = 0;
        return;
    }
    FOwner.Default(m);
}

void TTitleButtons::HoverTimerTick(TObject*) {
    if (FOwner.MenuTracking() || !FHotObject) return;
    POINT p;
    if (!GetCursorPos(&p)) return;
    const POINT w = FOwner.ScreenToWindow(p);
    if (!PtInRect(&FHotObject->Bounds(), w)) FHotObject->MouseLeave();
}

// ---- actions -------------------------------------------------------------------------------------

namespace {

bool OldNtOr9x() {
    const DWORD v = GetVersion();
    return (v & 0x80000000u) != 0 || LOBYTE(LOWORD(v)) < 5;
}

} // namespace

void TTitleButtons::DoButtonAction(POINT screen) {
    TWinSysButton* b = dynamic_cast<TWinSysButton*>(FHotObject);
    if (!b || !b->SkinElement()) return;
    const int action = b->SkinElement()->Action;
    switch (action) {
    case 0: {
        bool hasClose = OldNtOr9x();
        if (!hasClose && FOwner.SysMenu()) {
            MENUITEMINFOW info{};
            info.cbSize = sizeof info;
            info.fMask = MIIM_STATE;
            hasClose = GetMenuItemInfoW(FOwner.SysMenu(), SC_CLOSE, FALSE, &info) != FALSE;
        }
        if (hasClose) {
            EnableHover(false);
            PostMessageW(FOwner.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        break;
    }
    case 1:
    case 22: FOwner.Actions().ToggleMaximize(); break;
    case 2:
    case 23: FOwner.Actions().ToggleMinimize(); break;
    case 3:
    case 11:
    case 12: FOwner.Actions().ShowSystemMenu(POINT{screen.x + 1, screen.y + 1}); break;
    case 7:
    case 60: FOwner.Actions().MDIChildCommand(SC_MINIMIZE); break;
    case 8:
    case 61: FOwner.Actions().MDIChildCommand(SC_RESTORE); break;
    case 9:
    case 62: FOwner.Actions().MDIChildCommand(SC_CLOSE); break;
    default: PostMessageW(FOwner.Handle(), SKM_BUTTONACTION, static_cast<WPARAM>(action), 0); break;
    }
}

} // namespace wl
