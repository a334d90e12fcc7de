// Skinned scroll bars: the overlay window TWScrollbar and the companions that own overlays
// (scrollable controls, bare windows with scroll bars, stand-alone scroll-bar controls).
#include "skin/controls/scrollbars.h"

#include "base/strings.h"
#include "skin/data/skin_data.h"
#include "skin/data/skin_elements.h"
#include "skin/draw/skin_draw.h"
#include "skin/draw/swallowed.h"
#include "skin/forms/win_skin_form.h"
#include "ui/graphics_colors.h"
#include "ui/messages.h"

#include <windowsx.h>

#include <algorithm>
#include <cctype>
#include <string>

namespace wl {

using namespace scrollgeom;

WL_DEFINE_CLASS(TWScrollbar, WL_NO_PROPERTIES)
WL_DEFINE_CLASS(TSkinScrollbar, WL_NO_PROPERTIES)
WL_DEFINE_CLASS(TSkinScrollbarH, WL_NO_PROPERTIES)
WL_DEFINE_CLASS(TSkinScControl, WL_NO_PROPERTIES)

// ---- GetScrollBarInfo by name --------------------------------------------------------------------

namespace {

GetScrollBarInfoFn LookedUpScrollBarInfo() {
    static const GetScrollBarInfoFn fn = User32Entry<GetScrollBarInfoFn>("GetScrollBarInfo");
    return fn;
}

std::optional<GetScrollBarInfoFn>& ScrollBarInfoOverride() {
    static std::optional<GetScrollBarInfoFn> entry;
    return entry;
}

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// A window's top-left client corner relative to its top-left window corner.
POINT ClientOffset(HWND window) {
    RECT w{};
    GetWindowRect(window, &w);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    return {origin.x - w.left, origin.y - w.top};
}

// The square between a window's two shown bars, in window coordinates (DC of GetWindowDC).
void FillScrollCorner(const TSkinControl& companion, HDC dc, HWND window, const TWScrollbar* horz,
                      const TWScrollbar* vert) {
    if (!dc || !horz || !vert || !horz->FShown || !vert->FShown) return;
    RECT corner{vert->FBarRect.left, horz->FBarRect.top, vert->FBarRect.right, horz->FBarRect.bottom};
    const POINT offset = ClientOffset(window);
    OffsetRect(&corner, offset.x, offset.y);
    if (corner.right > corner.left && corner.bottom > corner.top) companion.FillFace(dc, corner);
}

// True when the skin paints every pixel of `window`'s frame: a border ring `ring` pixels wide,
// a shown overlay over each bar the window has, and the corner between two bars. The native
// frame paint is then wasted work: under Wine a list box's native frame with its bar takes
// milliseconds to draw, only to be covered.
bool SkinCoversFrame(HWND window, int ring, const TWScrollbar* horz, const TWScrollbar* vert) {
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    const bool horzShown = horz && horz->FShown, vertShown = vert && vert->FShown;
    if (((style & WS_HSCROLL) && !horzShown) || ((style & WS_VSCROLL) && !vertShown)) return false;
    RECT w{}, client{};
    if (!GetWindowRect(window, &w) || !GetClientRect(window, &client)) return false;
    const POINT offset = ClientOffset(window);
    UniqueRegion rest(CreateRectRgn(ring, ring, w.right - w.left - ring, w.bottom - w.top - ring));
    if (!rest) return false;
    auto cut = [&](RECT r) { // `r` in client coordinates
        OffsetRect(&r, offset.x, offset.y);
        UniqueRegion part(CreateRectRgnIndirect(&r));
        if (part) CombineRgn(rest.get(), rest.get(), part.get(), RGN_DIFF);
    };
    cut(client);
    if (horzShown) cut(horz->FBarRect);
    if (vertShown) cut(vert->FBarRect);
    if (horzShown && vertShown) cut(RECT{vert->FBarRect.left, horz->FBarRect.top, vert->FBarRect.right, horz->FBarRect.bottom});
    RECT box{};
    return GetRgnBox(rest.get(), &box) == NULLREGION;
}

bool IsOwnBarScroll(const TMessage& m) { return m.LParam == 0; }

// The width of the skinned border TSkinScrollbar::DrawBorder draws (two one-pixel frames).
constexpr int kBorderRing = 2;

// Scroll codes share the part numbering: the native bar's tracking shows as a press.
void ShowScrollPress(TWScrollbar* bar, const TMessage& m) {
    if (!bar || !IsOwnBarScroll(m)) return;
    bar->FHotPart = LOWORD(m.WParam);
    bar->Invalidate();
}

void InvalidateShown(TWScrollbar* horz, TWScrollbar* vert) {
    if (horz && horz->FShown) horz->Invalidate();
    if (vert && vert->FShown) vert->Invalidate();
}

// Overlays are made only where the skin has a bar to paint: without a [Scrollbar] image an
// overlay would cover the native bar with nothing, so the native bar keeps its own look.
bool SkinPaintsBars(const TSkinData* data) { return data && HasElement(data->Scrollbar.get()); }

void HideIfAlive(TWScrollbar* bar) {
    if (bar && bar->HandleAllocated() && IsWindow(bar->HandleValue())) bar->HideBar();
    else if (bar) bar->FShown = false;
}

// Sets the integer or colour property `name` of `instance` from a number; false when there is
// no such property.
bool SetColorProperty(TObject* instance, std::string_view name, TColor value) {
    if (!instance) return false;
    const TPropInfo* p = instance->ClassInfo().FindProperty(name);
    if (!p || !p->setText || (p->kind != TPropKind::Integer && p->kind != TPropKind::Color)) return false;
    return SwallowFailures([&] {
        p->setText(*instance, p->kind == TPropKind::Color ? ColorToString(value)
                                                          : std::to_string(static_cast<long long>(value)));
    });
}

// The integer or colour property `name` of `instance`, if it has one (colours are published as
// names or hexadecimal text, integers as decimal text).
std::optional<TColor> ColorProperty(TObject* instance, std::string_view name) {
    if (!instance) return std::nullopt;
    const TPropInfo* p = instance->ClassInfo().FindProperty(name);
    if (!p || !p->getText || (p->kind != TPropKind::Integer && p->kind != TPropKind::Color)) return std::nullopt;
    std::optional<TColor> color;
    SwallowFailures([&] {
        const std::string text = p->getText(*instance);
        int32_t number = 0;
        if (p->kind == TPropKind::Color) color = StringToColor(text);
        else if (TryStrToInt(text, number)) color = static_cast<TColor>(number);
    });
    return color;
}

} // namespace

GetScrollBarInfoFn ScrollBarInfoEntry() {
    const auto& entry = ScrollBarInfoOverride();
    return entry ? *entry : LookedUpScrollBarInfo();
}

void OverrideScrollBarInfoEntry(std::optional<GetScrollBarInfoFn> entry) { ScrollBarInfoOverride() = entry; }

// ---- TWScrollbar: set-up and placing -------------------------------------------------------------

TWScrollbar::TWScrollbar(TComponent* owner) : TCustomPanel(owner) {
    FArrowSize = GetSystemMetrics(SM_CXHSCROLL);
    SetBevelOuter(bvNone);
    SetTabStop(false);
    SetVisible(false);
}

void TWScrollbar::CreateParams(TCreateParams& params) {
    TCustomPanel::CreateParams(params);
    // A child of the covered window's parent, beside the covered window; hidden until placed.
    params.style = WS_CHILD | WS_CLIPSIBLINGS;
    params.exStyle = WS_EX_TOOLWINDOW;
    params.parent = FParentWindow;
}

void TWScrollbar::Setup(TSkinControl* companion, HWND window, int kind) {
    FOwnerSkin = companion;
    FTarget = window;
    FKind = static_cast<uint8_t>(kind);
    FShown = false;
    // The overlay's window is made when the bar is first painted (UpdateBar from the covered
    // window's paint): a bar that never shows, or a control that is never painted (on a page
    // not yet opened), costs no window, and window creation is what attaching mostly paid for.
}

void TWScrollbar::SetupForControl(TSkinControl* companion, TWinControl* control, int kind) {
    if (!control) return;
    FTargetControl = control;
    FVertical = kind == sbkVertical ? 1 : 0;
    if (kind == sbkControl) FVertical = Lower(GetEnumProperty(control, "Kind")) == "sbhorizontal" ? 0 : 1;
    if (companion) {
        const TWinControl* parent = companion->WinControl() ? companion->WinControl()->Parent() : nullptr;
        SetColor(parent ? parent->Color() : companion->FaceColor());
    }
    Setup(companion, control->Handle(), kind);
}

void TWScrollbar::SetupForWindow(TSkinControl* companion, HWND window, int kind) {
    FTargetControl = nullptr;
    FVertical = kind == sbkVertical ? 1 : 0;
    Setup(companion, window, kind);
}

bool TWScrollbar::ReadBar(TScrollBarState& state) const {
    if (!FTarget || !IsWindow(FTarget)) return false;
    const GetScrollBarInfoFn info = ScrollBarInfoEntry();
    SCROLLBARINFO si{};
    si.cbSize = sizeof si;
    if (FKind == sbkControl) {
        // The whole control is the bar. The thumb is the system's where it can tell (so that
        // the drawn thumb is exactly where a press takes it), else computed from the values.
        GetWindowRect(FTarget, &state.Bar);
        const int length = FVertical ? state.Bar.bottom - state.Bar.top : state.Bar.right - state.Bar.left;
        if (info && info(FTarget, OBJID_CLIENT, &si)) {
            const POINT offset = ClientOffset(FTarget);
            const int shift = FVertical ? offset.y : offset.x;
            state.Thumb = {si.xyThumbTop + shift, si.xyThumbBottom + shift};
            state.State = si.rgstate[0];
        } else {
            SCROLLINFO sc{};
            sc.cbSize = sizeof sc;
            sc.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
            if (!GetScrollInfo(FTarget, SB_CTL, &sc)) sc = SCROLLINFO{sizeof sc, 0, 0, 0, 0, 0, 0};
            state.Thumb = ControlThumb(length, FArrowSize, sc.nMin, sc.nMax, static_cast<int>(sc.nPage), sc.nPos);
            state.State = 0;
        }
        if (!IsWindowVisible(FTarget)) state.State |= STATE_SYSTEM_INVISIBLE;
        return true;
    }
    if (!info || !info(FTarget, FKind == sbkVertical ? OBJID_VSCROLL : OBJID_HSCROLL, &si)) return false;
    state.Bar = si.rcScrollBar;
    state.Thumb = {si.xyThumbTop, si.xyThumbBottom};
    state.State = si.rgstate[0];
    return true;
}

void TWScrollbar::UpdateBar(HWND window) {
    FTarget = window;
    TScrollBarState s;
    if (!ReadBar(s)) {
        FShown = false;
        return;
    }
    if (!(GetWindowLongPtrW(FTarget, GWL_STYLE) & WS_VISIBLE) || (s.State & STATE_SYSTEM_INVISIBLE)) {
        HideBar();
        return;
    }
    const HWND parent = GetParent(FTarget);
    FBarRect = s.Bar;
    MapWindowPoints(nullptr, FTarget, reinterpret_cast<POINT*>(&FBarRect), 2);
    FLength = FVertical ? s.Bar.bottom - s.Bar.top : s.Bar.right - s.Bar.left;
    FScreenOrigin = {s.Bar.left, s.Bar.top};
    POINT at = FScreenOrigin;
    if (parent) ::ScreenToClient(parent, &at);
    if (!HandleAllocated()) {
        FShown = false;
        if (!parent) return; // a top-level window's bars cannot be covered by a child
        FParentWindow = parent;
        // Made hidden where the bar is, so that placing it below is one call that only stacks
        // and shows it.
        SetBounds(at.x, at.y, s.Bar.right - s.Bar.left, s.Bar.bottom - s.Bar.top);
        // No overlay when its window cannot be made: the native bar stays in sight.
        if (!SwallowFailures([&] { HandleNeeded(); }) || !HandleAllocated()) return;
    }
    const HWND self = HandleValue();
    // The covered window may have moved to another parent since the overlay was made.
    if (parent && GetParent(self) != parent) ::SetParent(self, parent);

    // Just above the covered window, so that it covers the bar and nothing else covers it. The
    // overlay is placed and shown in one call. Without SWP_DEFERERASE the system erases what
    // the move uncovers at once, which on a form with many children costs milliseconds a call;
    // the overlay paints all of itself, and what it uncovers is erased with the next paint.
    HWND above = GetWindow(FTarget, GW_HWNDPREV);
    UINT flags = SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_DEFERERASE;
    if (above == self) flags |= SWP_NOZORDER;
    // The control object's visible flag follows without a second ShowWindow.
    if (!Visible()) TControl::SetVisible(true);
    SetWindowPos(self, above ? above : HWND_TOP, at.x, at.y, s.Bar.right - s.Bar.left, s.Bar.bottom - s.Bar.top,
                 flags);
    FShown = true;
    Invalidate();
}

void TWScrollbar::HideBar() {
    if (HandleAllocated()) ShowWindow(HandleValue(), SW_HIDE);
    FShown = false;
    SetVisible(false);
}

// ---- TWScrollbar: mouse --------------------------------------------------------------------------

void TWScrollbar::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_ERASEBKGND:
        m.Result = 1; // the paint covers everything
        return;
    case WM_MOUSEMOVE:
        TCustomPanel::WndProc(m);
        MouseMoved(m);
        return;
    case WM_MOUSELEAVE:
        TCustomPanel::WndProc(m);
        MouseLeft();
        return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        Press(m);
        return;
    case WM_LBUTTONUP:
        TCustomPanel::WndProc(m);
        Release(m);
        return;
    default:
        TCustomPanel::WndProc(m);
        return;
    }
}

int TWScrollbar::PartAt(POINT p) const {
    const int a = FVertical ? p.y : p.x;
    return HitTest(a, ArrowLength(FLength, FArrowSize), TSpan{FThumbStart, FThumbEnd}, FLength);
}

void TWScrollbar::MouseMoved(TMessage& m) {
    const int part = PartAt(POINT{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)});
    if (part != FHotPart) {
        FHotPart = part;
        Invalidate();
    }
    if (FOwnerSkin && HandleAllocated()) {
        TRACKMOUSEEVENT t{sizeof t, TME_LEAVE, HandleValue(), 0};
        TrackMouseEvent(&t);
    }
}

void TWScrollbar::MouseLeft() {
    if (FTracking) return;
    FHotPart = spNone;
    Invalidate();
}

LPARAM TWScrollbar::NativePoint(POINT p) const {
    if (FKind != sbkControl) {
        // Non-client mouse messages carry screen coordinates.
        p.x += FScreenOrigin.x;
        p.y += FScreenOrigin.y;
    }
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(p.x)), static_cast<WORD>(static_cast<short>(p.y)));
}

void TWScrollbar::Press(TMessage& m) {
    const std::shared_ptr<TDispatchState> alive = WindowProc.State();
    TCustomPanel::WndProc(m);
    if (!alive->Alive() || !FTarget) return;
    GetCursorPos(&FDownCursor);
    TScrollBarState s;
    if (ReadBar(s)) {
        FDownThumbStart = s.Thumb.Start;
        FThumbStart = s.Thumb.Start;
        FThumbEnd = s.Thumb.End;
        if (FKind != sbkControl) FScreenOrigin = {s.Bar.left, s.Bar.top};
    }
    const POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
    FHotPart = PartAt(p);
    FTracking = true;
    Invalidate();
    ReleaseCapture();
    // The native bar runs its own tracking loop inside this call and scrolls the window; the
    // overlay keeps painting meanwhile from the scroll notifications.
    const HWND target = FTarget;
    switch (FKind) {
    case sbkHorizontal: SendMessageW(target, WM_NCLBUTTONDOWN, HTHSCROLL, NativePoint(p)); break;
    case sbkVertical: SendMessageW(target, WM_NCLBUTTONDOWN, HTVSCROLL, NativePoint(p)); break;
    default: SendMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, NativePoint(p)); break;
    }
    if (!alive->Alive()) return;
    FTracking = false;
    ReleaseCapture();
    Invalidate();
    m.Result = 0;
}

void TWScrollbar::Release(TMessage& m) {
    const POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
    FTracking = false;
    ReleaseCapture();
    if (!FTarget) return;
    switch (FKind) {
    case sbkHorizontal: PostMessageW(FTarget, WM_NCLBUTTONUP, HTHSCROLL, NativePoint(p)); break;
    case sbkVertical: PostMessageW(FTarget, WM_NCLBUTTONUP, HTVSCROLL, NativePoint(p)); break;
    default:
        PostMessageW(FTarget, WM_LBUTTONUP, MK_LBUTTON, NativePoint(p));
        Invalidate();
        break;
    }
}

void TWScrollbar::DragThumb() {
    POINT p{};
    GetCursorPos(&p);
    const int delta = FVertical ? p.y - FDownCursor.y : p.x - FDownCursor.x;
    const int length = FThumbEnd - FThumbStart;
    FThumbStart = DraggedThumbStart(FDownThumbStart, delta, FArrowSize, FLength, length);
    FThumbEnd = FThumbStart + length;
}

// ---- TWScrollbar: painting -----------------------------------------------------------------------

namespace {

void DrawRecord(HDC dc, const RECT& rect, TDataSkinObject& element, int frames, int index, bool tile,
                bool transparent) {
    if (rect.right <= rect.left || rect.bottom <= rect.top) return;
    TElementDraw d = ElementDraw(element, index);
    d.Frames = frames;
    d.Tile = tile;
    d.Transparent = transparent;
    DrawElement(dc, rect, d);
}

void DrawArrowCell(HDC dc, const RECT& rect, TDataSkinObject& strip, int index) {
    if (rect.right <= rect.left || rect.bottom <= rect.top) return;
    DrawFrameStretched(dc, rect, TElementDraw{.Image = &strip.Image, .Frames = kArrowCells, .Index = index,
                                              .Transparent = true});
}

// A rectangle along the bar's axis: from `start` to `end` on the axis, `thickness` across.
RECT AlongAxis(bool vertical, int start, int end, int thickness) {
    return vertical ? RECT{0, start, thickness, end} : RECT{start, 0, end, thickness};
}

} // namespace

bool TWScrollbar::Compose(RECT& target) {
    TSkinData* data = FOwnerSkin ? FOwnerSkin->SkinData() : nullptr;
    if (!data || !HasElement(data->Scrollbar.get())) return false;
    TScrollBarState s;
    if (!ReadBar(s) || (s.State & STATE_SYSTEM_INVISIBLE)) return false;
    const bool enabled = !(s.State & STATE_SYSTEM_UNAVAILABLE) && IsWindowEnabled(FTarget);
    const bool vertical = FVertical != 0;

    RECT r{0, 0, s.Bar.right - s.Bar.left, s.Bar.bottom - s.Bar.top};
    if (r.right <= 0 || r.bottom <= 0 || r.right > ClientWidth() || r.bottom > ClientHeight()) return false;
    FLength = vertical ? r.bottom : r.right;
    const int thickness = BarThickness(data->Scrollbar->Image.Height(), FArrowSize);
    // A scroll-bar control is drawn in a strip of the bar's thickness along its leading edge.
    if (FKind == sbkControl) (vertical ? r.right : r.bottom) = std::min<LONG>(vertical ? r.right : r.bottom, thickness);
    target = r;

    if (FBuffer.Width() != r.right || FBuffer.Height() != r.bottom) FBuffer.SetSize(r.right, r.bottom);
    if (FBuffer.Empty()) return false;
    HDC dc = FBuffer.Canvas().Handle();
    SetStretchBltMode(dc, COLORONCOLOR);
    FillColor(dc, r, FOwnerSkin->FaceColor());

    // Track between the arrows.
    const int arrow = ArrowLength(FLength, FArrowSize);
    if (TDataSkinObject* track = vertical ? data->VertScroll.get() : data->HorzScroll.get(); HasElement(track))
        DrawRecord(dc, AlongAxis(vertical, FArrowSize, FLength - FArrowSize, thickness), *track, kTrackCells,
                   enabled ? 1 : 3, track->Tile == 1, track->Trans == 1);

    // Arrows.
    TDataSkinObject& strip = *data->Scrollbar;
    DrawArrowCell(dc, AlongAxis(vertical, 0, arrow, thickness), strip,
                  ArrowCell(vertical, false, enabled, FHotPart, FTracking));
    DrawArrowCell(dc, AlongAxis(vertical, FLength - arrow, FLength, thickness), strip,
                  ArrowCell(vertical, true, enabled, FHotPart, FTracking));

    // Thumb: where the cursor drags it while the native bar tracks a thumb press, else where
    // the system shows it.
    if (FTracking && FHotPart == spThumb && FKind != sbkControl) DragThumb();
    else {
        FThumbStart = s.Thumb.Start;
        FThumbEnd = s.Thumb.End;
    }
    const int extent = vertical ? ClientHeight() : ClientWidth();
    TDataSkinObject* thumb = vertical ? data->VertScrollThumb.get() : data->HorzScrollThumb.get();
    if (enabled && FThumbEnd > FThumbStart && FThumbStart < extent && FThumbEnd < extent) {
        if (HasElement(thumb))
            DrawRecord(dc, AlongAxis(vertical, FThumbStart, FThumbEnd, thickness), *thumb, std::max(thumb->Frame, 1),
                       ThumbCell(FHotPart, FTracking), false, thumb->Trans == 1);
        const TSpan grip = GripperSpan(TSpan{FThumbStart, FThumbEnd}, strip.Image.Height());
        if (grip.Length() > 0 && grip.Start < extent && grip.End < extent)
            DrawArrowCell(dc, AlongAxis(vertical, grip.Start, grip.End, thickness), strip,
                          GripperCell(vertical, FHotPart, FTracking));
    }
    return true;
}

void TWScrollbar::Paint() {
    // A failed paint leaves the overlay as it was.
    SwallowFailures([&] {
        RECT target{};
        if (!Compose(target)) return;
        HDC dc = Canvas().Handle();
        BitBlt(dc, target.left, target.top, target.right - target.left, target.bottom - target.top,
               FBuffer.Canvas().Handle(), 0, 0, SRCCOPY);
        // A scroll-bar control thicker than the skin's bar: the rest shows the face colour.
        const RECT all{0, 0, ClientWidth(), ClientHeight()};
        if (FKind == sbkControl && FOwnerSkin) {
            RECT rest = all;
            (FVertical ? rest.left : rest.top) = FVertical ? target.right : target.bottom;
            if (rest.right > rest.left && rest.bottom > rest.top) FillColor(dc, rest, FOwnerSkin->FaceColor());
        }
    });
}

// ---- TSkinScrollbar ------------------------------------------------------------------------------

TSkinScrollbar::TSkinScrollbar(TComponent* owner) : TSkinControl(owner) {}

TSkinScrollbar::~TSkinScrollbar() {
    FreeBars();
    // The border was drawn over the control's own frame: let it draw its frame again.
    if (FHandle && !ControlGone() && FLifeState != TLifeState::WindowDestroyed && IsWindow(FHandle))
        RedrawWindow(FHandle, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

bool TSkinScrollbar::OnAttach(const TAttachContext& context) {
    // Its own control, or the control the context names (the bars of any scrollable control).
    TWinControl* control = nullptr;
    if (context.Kind == TAttachKind::Control) control = dynamic_cast<TWinControl*>(Owner());
    else if (context.Kind == TAttachKind::Scroll) control = context.Control;
    else return TSkinControl::OnAttach(context);
    if (!control) return false;
    TSkinData* data = context.Data;
    FControl = control;
    FHandle = control->Handle();
    FUnicode = IsWindowUnicode(FHandle) != FALSE;
    FIsEnabled = IsWindowEnabled(FHandle) != FALSE;

    FDrawBorder = Lower(GetEnumProperty(control, "BorderStyle")) != "bsnone";
    if (control->ClassName() == "TImageScrollBox" || FMode == 1) FDrawBorder = false;

    // Grids: the fixed cells take the skin's face colour while skinned.
    if (const std::optional<TColor> fixed = ColorProperty(control, "FixedColor"); data && fixed) {
        FSavedColor = *fixed;
        FColorize = SetColorProperty(control, "FixedColor", data->ButtonFace);
    }

    MakeBars();

    HookWindowProc(*control);
    // The overlays are placed by the control's next paint, which this asks for.
    if (FDrawBorder || FHorzBar) RedrawWindow(FHandle, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
    return true;
}

void TSkinScrollbar::FreeBars() {
    FHorzBar.reset();
    FVertBar.reset();
}

void TSkinScrollbar::MakeBars() {
    if (!SkinPaintsBars(FSkinData)) {
        FreeBars();
        return;
    }
    if (FHorzBar || !FControl || ControlGone()) return;
    FHorzBar = std::make_unique<TWScrollbar>(nullptr);
    FHorzBar->SetupForControl(this, FControl, sbkHorizontal);
    FVertBar = std::make_unique<TWScrollbar>(nullptr);
    FVertBar->SetupForControl(this, FControl, sbkVertical);
    if (!FControl->Visible()) HideBars();
}

void TSkinScrollbar::HideBars() {
    HideIfAlive(FHorzBar.get());
    HideIfAlive(FVertBar.get());
}

void TSkinScrollbar::UpdateBars() {
    if (!FHandle) return;
    if (FHorzBar) FHorzBar->UpdateBar(FHandle);
    if (FVertBar) FVertBar->UpdateBar(FHandle);
}

void TSkinScrollbar::Restore() {
    if (FColorize) {
        if (!ControlGone()) SetColorProperty(FControl, "FixedColor", FSavedColor);
        FColorize = false;
    }
    TSkinControl::Restore();
    if (FLifeState != TLifeState::WindowDestroyed) {
        FreeBars();
        if (FHandle && IsWindow(FHandle)) RedrawWindow(FHandle, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
    } else {
        // The window is gone: its bars must not stay in sight until the companion is freed.
        HideBars();
    }
}

void TSkinScrollbar::SkinChanged() {
    if (FColorize && FSkinData && !ControlGone()) SetColorProperty(FControl, "FixedColor", FSkinData->ButtonFace);
    // The new skin may paint bars where the old one did not, or the other way round.
    MakeBars();
    // Client, frame (where the bars sit) and the kept overlays are painted with the next paint.
    if (FHandle && IsWindow(FHandle))
        RedrawWindow(FHandle, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE);
    InvalidateShown(FHorzBar.get(), FVertBar.get());
}

bool TSkinScrollbar::BeforeMessage(TMessage& m) {
    switch (m.Msg) {
    case WM_NCPAINT: {
        if (!FDrawBorder) break;
        // Bars that show for the first time get their overlays now, so that the frame below
        // them need not be painted natively first.
        PlaceNewBars();
        // The native frame is painted only where the skin leaves some of it in sight.
        const bool covered = SkinCoversFrame(FHandle, kBorderRing, FHorzBar.get(), FVertBar.get());
        if (covered) m.Result = 0;
        else if (!CallPrevious(m)) return false;
        WindowDC dc(FHandle, GetWindowDC(FHandle));
        if (dc) {
            DrawBorder(dc.get());
            if (covered) FillScrollCorner(*this, dc.get(), FHandle, FHorzBar.get(), FVertBar.get());
        }
        return false;
    }
    case SKM_PAINTSKIN:
        if (m.LParam != SKM_MAGIC) break;
        if (m.WParam && FDrawBorder) DrawBorder(reinterpret_cast<HDC>(m.WParam));
        m.Result = SKM_MAGIC;
        return false;
    default:
        break;
    }
    return TSkinControl::BeforeMessage(m);
}

void TSkinScrollbar::AfterMessage(TMessage& m) {
    switch (m.Msg) {
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
        UpdateBars();
        break;
    case WM_HSCROLL:
    case WM_VSCROLL:
        ShowScrollPress((m.Msg == WM_HSCROLL ? FHorzBar : FVertBar).get(), m);
        break;
    case WM_MOUSEWHEEL:
        InvalidateShown(FHorzBar.get(), FVertBar.get());
        break;
    case CM_VISIBLECHANGED:
        if (m.WParam) UpdateBars();
        else HideBars();
        break;
    case CM_RECREATEWND:
        // The window was made anew: the form object gives the control a fresh companion.
        if (FControl && FSkinForm && IsWindow(FSkinForm->Handle()))
            PostMessageW(FSkinForm->Handle(), SKM_CONTROLRECREATED, reinterpret_cast<WPARAM>(FHandle), 0);
        break;
    default:
        TSkinControl::AfterMessage(m);
        break;
    }
}

void TSkinScrollbar::PlaceNewBars() {
    if (!FHandle || !IsWindow(FHandle)) return;
    const LONG_PTR style = GetWindowLongPtrW(FHandle, GWL_STYLE);
    if (FVertBar && !FVertBar->FShown && (style & WS_VSCROLL)) FVertBar->UpdateBar(FHandle);
    if (FHorzBar && !FHorzBar->FShown && (style & WS_HSCROLL)) FHorzBar->UpdateBar(FHandle);
}

void TSkinScrollbar::DrawSkin(HDC dc, const RECT&) {
    if (!FHandle || !IsWindow(FHandle)) return;
    // The control painted over its bars: shown overlays paint again, new ones are placed.
    InvalidateShown(FHorzBar.get(), FVertBar.get());
    PlaceNewBars();
    FillScrollCorner(*this, dc, FHandle, FHorzBar.get(), FVertBar.get());
}

void TSkinScrollbar::DrawBorder(HDC dc) {
    if (!FSkinData || !FHandle) return;
    // Drawing the border never disturbs the control.
    SwallowFailures([&] {
        RECT r{};
        if (!GetWindowRect(FHandle, &r)) return;
        OffsetRect(&r, -r.left, -r.top);
        UniqueBrush shadow(CreateSolidBrush(ColorToRGB(FSkinData->ButtonShadow)));
        UniqueBrush face(CreateSolidBrush(FaceColor()));
        if (shadow) FrameRect(dc, &r, shadow.get());
        InflateRect(&r, -1, -1);
        if (face) FrameRect(dc, &r, face.get());
    });
}

// ---- TSkinScrollbarH -----------------------------------------------------------------------------

TSkinScrollbarH::TSkinScrollbarH(TComponent* owner) : TSkinControl(owner) {}

TSkinScrollbarH::~TSkinScrollbarH() { FreeBars(); }

void TSkinScrollbarH::FreeBars() {
    FHorzBar.reset();
    FVertBar.reset();
}

bool TSkinScrollbarH::OnAttach(const TAttachContext& context) {
    if (context.Kind != TAttachKind::Handle) return TSkinControl::OnAttach(context);
    if (!TSkinControl::OnAttach(context)) return false;
    MakeBars();
    return true;
}

void TSkinScrollbarH::MakeBars() {
    if (!SkinPaintsBars(FSkinData)) {
        FreeBars();
        return;
    }
    if (FHorzBar || !FHandle || !IsWindow(FHandle)) return;
    FHorzBar = std::make_unique<TWScrollbar>(nullptr);
    FHorzBar->SetupForWindow(this, FHandle, sbkHorizontal);
    FVertBar = std::make_unique<TWScrollbar>(nullptr);
    FVertBar->SetupForWindow(this, FHandle, sbkVertical);
    // A bare window's paint may not reach this companion first: its bars are placed now.
    FHorzBar->UpdateBar(FHandle);
    FVertBar->UpdateBar(FHandle);
}

void TSkinScrollbarH::SkinChanged() {
    MakeBars();
    TSkinControl::SkinChanged();
    InvalidateShown(FHorzBar.get(), FVertBar.get());
}

void TSkinScrollbarH::Restore() {
    TSkinControl::Restore();
    if (FLifeState != TLifeState::WindowDestroyed) {
        FreeBars();
    } else {
        HideIfAlive(FHorzBar.get());
        HideIfAlive(FVertBar.get());
    }
}

void TSkinScrollbarH::AfterMessage(TMessage& m) {
    // A drop-down list that closes takes its bars out of sight.
    if (FHandle && !IsWindowVisible(FHandle)) {
        if (FVertBar && FVertBar->FShown) FVertBar->HideBar();
        if (FHorzBar && FHorzBar->FShown) FHorzBar->HideBar();
    }
    switch (m.Msg) {
    case WM_SIZE:
    case WM_NCPAINT:
    case WM_WINDOWPOSCHANGED:
        if (FHorzBar) FHorzBar->UpdateBar(FHandle);
        if (FVertBar) FVertBar->UpdateBar(FHandle);
        PaintControl(nullptr);
        break;
    case WM_HSCROLL:
    case WM_VSCROLL:
        ShowScrollPress((m.Msg == WM_HSCROLL ? FHorzBar : FVertBar).get(), m);
        break;
    case WM_MOUSEWHEEL:
        InvalidateShown(FHorzBar.get(), FVertBar.get());
        break;
    default:
        TSkinControl::AfterMessage(m);
        break;
    }
}

void TSkinScrollbarH::DrawSkin(HDC dc, const RECT&) {
    InvalidateShown(FHorzBar.get(), FVertBar.get());
    FillScrollCorner(*this, dc, FHandle, FHorzBar.get(), FVertBar.get());
}

// ---- TSkinScControl ------------------------------------------------------------------------------

TSkinScControl::TSkinScControl(TComponent* owner) : TSkinControl(owner) {}

TSkinScControl::~TSkinScControl() { FreeBar(); }

void TSkinScControl::FreeBar() { FBar.reset(); }

bool TSkinScControl::OnAttach(const TAttachContext& context) {
    // Its own control, or the scroll bar control the context names.
    TWinControl* control = nullptr;
    if (context.Kind == TAttachKind::Control) control = dynamic_cast<TWinControl*>(Owner());
    else if (context.Kind == TAttachKind::ScrollControl) control = context.Control;
    else return TSkinControl::OnAttach(context);
    if (!control) return false;
    FControl = control;
    FHandle = control->Handle();
    FUnicode = IsWindowUnicode(FHandle) != FALSE;
    FIsEnabled = IsWindowEnabled(FHandle) != FALSE;
    MakeBar();
    HookWindowProc(*control);
    // The overlay is placed by the control's next paint, which this asks for.
    if (FBar) InvalidateRect(FHandle, nullptr, FALSE);
    return true;
}

void TSkinScControl::MakeBar() {
    if (!SkinPaintsBars(FSkinData)) {
        FreeBar();
        return;
    }
    if (FBar || !FControl || ControlGone()) return;
    FBar = std::make_unique<TWScrollbar>(nullptr);
    FBar->SetShowHint(FControl->ShowHint());
    FBar->SetHint(FControl->Hint());
    FBar->SetupForControl(this, FControl, sbkControl);
    if (!FControl->Visible()) FBar->HideBar();
}

void TSkinScControl::SkinChanged() {
    MakeBar();
    TSkinControl::SkinChanged();
    InvalidateShown(nullptr, FBar.get());
}

void TSkinScControl::Restore() {
    TSkinControl::Restore();
    if (FLifeState != TLifeState::WindowDestroyed) FreeBar();
    else HideIfAlive(FBar.get());
}

void TSkinScControl::Recreated() {
    // The control destroyed its window and made a new one (its orientation may have changed):
    // the same companion covers the new window.
    if (!FControl || ControlGone() || !FControl->HandleAllocated()) return;
    const HWND now = FControl->HandleValue();
    if (!IsWindow(now)) return;
    FHandle = now;
    FUnicode = IsWindowUnicode(now) != FALSE;
    FIsEnabled = IsWindowEnabled(now) != FALSE;
    FSkinActive = true;
    FLifeState = TLifeState::Attached;
    if (!FBar) return; // the skin paints no bars
    FBar->SetupForControl(this, FControl, sbkControl);
    if (!FControl->Visible()) FBar->HideBar();
}

bool TSkinScControl::BeforeMessage(TMessage& m) {
    // The first paint of the control places its overlay (made then, not at attaching).
    if (m.Msg == WM_PAINT && FBar && !FBar->FShown && FHandle) FBar->UpdateBar(FHandle);
    if (m.Msg == WM_PAINT && !m.WParam && FBar && FBar->FShown && FHandle) {
        // The overlay covers the whole control: the control's own paint would never be seen.
        PAINTSTRUCT ps{};
        if (BeginPaint(FHandle, &ps)) EndPaint(FHandle, &ps);
        FBar->Invalidate();
        m.Result = 0;
        return false;
    }
    return TSkinControl::BeforeMessage(m);
}

void TSkinScControl::AfterMessage(TMessage& m) {
    switch (m.Msg) {
    case WM_WINDOWPOSCHANGED:
        if (FBar) FBar->UpdateBar(FHandle);
        break;
    case WM_NCPAINT:
        if (FControl && !ControlGone() && FControl->HandleAllocated()) FHandle = FControl->HandleValue();
        if (FBar) FBar->UpdateBar(FHandle);
        break;
    case SBM_SETSCROLLINFO:
    case SBM_SETPOS:
    case SBM_SETRANGE:
    case SBM_SETRANGEREDRAW:
    case SBM_ENABLE_ARROWS:
    case CN_BASE + WM_HSCROLL:
    case CN_BASE + WM_VSCROLL:
        if (FBar) FBar->Invalidate();
        break;
    case CM_VISIBLECHANGED:
        if (!FBar) break;
        if (m.WParam) FBar->UpdateBar(FHandle);
        else FBar->HideBar();
        break;
    case CM_RECREATEWND:
        Recreated();
        break;
    default:
        TSkinControl::AfterMessage(m);
        break;
    }
}

void TSkinScControl::DrawSkin(HDC, const RECT&) {
    if (FBar) FBar->Invalidate();
}

} // namespace wl
