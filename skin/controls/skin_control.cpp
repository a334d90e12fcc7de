// The companion base: attach and detach, the message routing shared by every skinned control,
// the property readers by name and the painting routines the control kinds share.
#include "skin/controls/skin_control.h"

#include "base/strings.h"
#include "skin/data/skin_data.h"
#include "skin/data/skin_elements.h"
#include "skin/draw/skin_draw.h"
#include "skin/draw/swallowed.h"
#include "skin/forms/win_skin_form.h"
#include "ui/graphics_colors.h"
#include "ui/strconv.h"

#include <algorithm>
#include <vector>

namespace wl {

WL_DEFINE_ABSTRACT_CLASS(TSkinControl, WL_NO_PROPERTIES)

namespace {

RECT MovedToOrigin(RECT r) {
    OffsetRect(&r, -r.left, -r.top);
    return r;
}

// TrackMouseEvent is looked up once: where user32 lacks it, hover tracking is skipped.
using TrackMouseEventFn = BOOL(WINAPI*)(LPTRACKMOUSEEVENT);
TrackMouseEventFn TrackMouseEventEntry() {
    static const TrackMouseEventFn fn = User32Entry<TrackMouseEventFn>("TrackMouseEvent");
    return fn;
}

} // namespace

// ---- construction and destruction ----------------------------------------------------------------

TSkinControl::TSkinControl(TComponent* owner) : TComponent(owner) {}

TSkinControl::~TSkinControl() {
    FDispatch->MarkDead();
    // The owner (usually the skinned control) frees its companions after its own control part
    // is gone: only the layer handle may be touched then, and it knows the chain is cut.
    if (Owner() && Owner()->IsDestroying()) FControlGone = true;
    FOldWindowProc.Remove();
    FSubclass.Detach();
    if (FControl && !FControlGone) FControl->RemoveFreeNotification(this);
    if (FSkinForm) FSkinForm->RemoveControl(this);
}

void TSkinControl::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation != opRemove) return;
    if (component == FControl || component == FGraphicControl) {
        FControlGone = true;
        FOldWindowProc.Remove();
        FControl = nullptr;
        FGraphicControl = nullptr;
    }
}

std::unique_ptr<TSkinCompanion> TSkinControl::ReleaseFromOwner() {
    // Without a component owner the companion belongs to whoever made it (a companion's helper).
    TComponent* owner = Owner();
    if (!owner) return nullptr;
    owner->RemoveComponent(this);
    return std::unique_ptr<TSkinCompanion>(this);
}

TControl* TSkinControl::Control() const {
    if (FControl) return FControl;
    return FGraphicControl;
}

// ---- attaching -----------------------------------------------------------------------------------

void TSkinControl::HookWindowProc(TControl& control) {
    FOldWindowProc = control.WindowProc.Add([this](TMessage& m, const TWindowProcChain::Previous&) {
        SkinWndProc(m);
    });
    if (&control != Owner()) control.FreeNotification(this);
}

void TSkinControl::UnhookWindowProc() { FOldWindowProc.Remove(); }

void TSkinControl::ColorAndInvalidate() {
    if (FColorize && FControl && FSkinData) {
        FSavedColor = FControl->Color();
        FControl->SetColor(FSkinData->ButtonFace);
    }
    if (FControl) FControl->Invalidate();
    else if (FHandle) InvalidateRect(FHandle, nullptr, TRUE);
}

bool TSkinControl::Attach(const TAttachContext& context) {
    if (FAttached) return true;
    FSkinData = context.Data;
    FSkinForm = context.Form;
    FCanvas = context.Canvas;
    // Listed before the family attaches, so that helpers it makes come after it.
    const bool listed = FSkinForm && FSkinForm->AddControl(this);
    if (!OnAttach(context)) {
        if (FSkinForm && !listed) FSkinForm->RemoveControl(this);
        return false;
    }
    FAttached = true;
    FLifeState = TLifeState::Attached;
    return true;
}

bool TSkinControl::OnAttach(const TAttachContext& context) {
    switch (context.Kind) {
    case TAttachKind::Control: return TakeControl(context.Colorize);
    case TAttachKind::Handle: return TakeWindow(context.Window);
    case TAttachKind::ScrollControl: {
        // A family without a scroll bar control of its own attaches as for scroll bars.
        TAttachContext asScroll = context;
        asScroll.Kind = TAttachKind::Scroll;
        return OnAttach(asScroll);
    }
    case TAttachKind::Scroll: {
        // A family without scroll bars of its own attaches to its own control, uncoloured.
        if (context.Control && context.Control != Owner()) return false;
        TAttachContext asControl = context;
        asControl.Kind = TAttachKind::Control;
        asControl.Colorize = false;
        return OnAttach(asControl);
    }
    case TAttachKind::SpeedButton: return false;
    }
    return false;
}

bool TSkinControl::TakeControl(bool colorize) {
    auto* control = dynamic_cast<TWinControl*>(Owner());
    if (!control) return false;
    FColorize = colorize;
    FControl = control;
    FHandle = control->Handle();
    FUnicode = IsWindowUnicode(FHandle) != FALSE;
    FIsEnabled = IsWindowEnabled(FHandle) != FALSE;
    HookWindowProc(*control);
    ColorAndInvalidate();
    return true;
}

bool TSkinControl::TakeWindow(HWND window) {
    if (!IsWindow(window)) return false;
    FHandle = window;
    FIsEnabled = true;
    FMode = 0;
    FUnicode = IsWindowUnicode(window) != FALSE;
    FText = GetWindowTextWide(window);
    // The subclass removes itself at WM_NCDESTROY, after SkinWndProc has seen the message.
    FSubclass.Attach(window, [this](TMessage& m) { SkinWndProc(m); });
    InvalidateRect(window, nullptr, TRUE);
    return true;
}

// ---- routing -------------------------------------------------------------------------------------

void TSkinControl::SkinWndProc(TMessage& m) {
    // The scope holds its own reference: it stays valid when the companion goes meanwhile.
    TDispatchState::Scope scope(FDispatch);
    if (m.Msg == SKM_SETACTIVE) {
        FSkinActive = static_cast<LONG_PTR>(m.WParam) > 0;
        if (FSkinActive) Redraw();
        return;
    }
    if (!FSkinActive) {
        CallPrevious(m);
        return;
    }
    if (BeforeMessage(m) && CallPrevious(m)) AfterMessage(m);
}

bool TSkinControl::CallPrevious(TMessage& m) {
    const std::shared_ptr<TDispatchState> dispatch = FDispatch;
    if (FOldWindowProc.Active()) FOldWindowProc.CallPrevious(m);
    else if (FSubclass.Window()) FSubclass.CallPrevious(m);
    else if (FHandle) m.Result = DefWindowProcW(FHandle, m.Msg, m.WParam, m.LParam);
    return UsableAfter(*dispatch);
}

bool TSkinControl::CallPreviousOf(const TWindowSubclass& subclass, TMessage& m) {
    const std::shared_ptr<TDispatchState> dispatch = FDispatch;
    subclass.CallPrevious(m);
    return UsableAfter(*dispatch);
}

bool TSkinControl::UsableAfter(const TDispatchState& dispatch) const {
    if (!dispatch.Alive()) return false; // `this` is freed: read nothing of it
    // A control whose free waits for this dispatch to unwind is painted no more, nor is a bare
    // window destroyed by its own handling. A control object may have made itself a new window
    // meanwhile (CM_RECREATEWND): its companion goes on.
    if (FControlGone) return false;
    const TControl* control = Control();
    if (!control) return FLifeState != TLifeState::WindowDestroyed;
    return !control->Dying() && !control->IsDestroying();
}

bool TSkinControl::BeforeMessage(TMessage& m) {
    switch (m.Msg) {
    case WM_NCDESTROY:
        WMNCDestroy(m);
        return false;
    case WM_NCPAINT:
        // A window without a frame has nothing to paint there, yet the system's frame paint
        // still fetches a window device context with its visible region, which under Wine
        // costs a server round trip per control; it is left out.
        if (FHandle && !HasWindowFrame(FHandle)) {
            m.Result = 0;
            return false;
        }
        return true;
    case SKM_ISSKINNED:
        m.Result = 1;
        return false;
    default:
        return true;
    }
}

void TSkinControl::WMNCDestroy(TMessage& m) {
    CallPrevious(m);
    FSkinActive = false;
    FLifeState = TLifeState::WindowDestroyed;
    Restore();
}

void TSkinControl::AfterMessage(TMessage& m) {
    switch (m.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_SETTEXT:
    case CM_ENABLEDCHANGED:
        Redraw();
        break;
    case WM_PAINT:
        PaintControl(reinterpret_cast<HDC>(m.WParam));
        break;
    default:
        break;
    }
}

// ---- restore and skin change ---------------------------------------------------------------------

void TSkinControl::Restore() {
    if (FColorize && FControl && !FControlGone && !FControl->IsDestroying()) FControl->SetColor(FSavedColor);
}

void TSkinControl::SkinChanged() {
    if (FColorize && FControl && FSkinData && !FControlGone) FControl->SetColor(FSkinData->ButtonFace);
    MarkForRepaint();
}

// ---- painting ------------------------------------------------------------------------------------

void TSkinControl::Redraw() {
    if (FGraphicControl) {
        if (!FControlGone) FGraphicControl->Invalidate();
        return;
    }
    if (!FHandle || !IsWindow(FHandle)) return;
    InvalidateRect(FHandle, nullptr, TRUE);
    UpdateWindow(FHandle);
}

void TSkinControl::MarkForRepaint() {
    if (FGraphicControl) {
        if (!FControlGone) FGraphicControl->Invalidate();
        return;
    }
    if (FHandle && IsWindow(FHandle)) InvalidateRect(FHandle, nullptr, TRUE);
}

void TSkinControl::PaintControl(HDC dc) {
    if (!FHandle || !GetWindowRect(FHandle, &FWindowRect)) return;
    const RECT r = MovedToOrigin(FWindowRect);
    // A failing paint must not disturb the control's own message processing.
    SwallowFailures([&] {
        if (dc) {
            DrawSkin(dc, r);
            return;
        }
        WindowDC windowDc(FHandle, GetWindowDC(FHandle));
        if (windowDc) DrawSkin(windowDc.get(), r);
    });
}

void TSkinControl::DrawSkin(HDC, const RECT&) {}

TColor TSkinControl::FaceColor() const {
    return ColorToRGB(FSkinData ? FSkinData->ButtonFace : clBtnFace);
}

void TSkinControl::FillFace(HDC dc, const RECT& rect) const { FillColor(dc, rect, FaceColor()); }

void TSkinControl::FillParentColor(HDC dc, const RECT& rect) const {
    if (FControl && !FControlGone && FControl->Parent()) FillColor(dc, rect, FControl->Parent()->Color());
    else FillFace(dc, rect);
}

void TSkinControl::RefreshState() {
    if (!FHandle) return;
    FIsEnabled = (GetWindowLongPtrW(FHandle, GWL_STYLE) & WS_DISABLED) == 0;
    FIsFocused = GetFocus() == FHandle;
    FText = GetWindowTextWide(FHandle);
}

void TSkinControl::DrawCaptionFocus(HDC dc, UINT flags, const RECT& rect) {
    RECT text = rect;
    DrawTextWide(dc, FText, text, flags | DT_CALCRECT | DT_NOCLIP);
    const int textWidth = text.right - text.left, textHeight = text.bottom - text.top;
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (flags & DT_CENTER) OffsetRect(&text, (width - textWidth) / 2, (height - textHeight) / 2 - 1);
    else if (flags & DT_RIGHT) OffsetRect(&text, width - textWidth, 0);
    InflateRect(&text, 2, 1);
    RECT clipped;
    if (!IntersectRect(&clipped, &text, &rect)) return;
    DrawFocusRect(dc, &clipped);
}

void TSkinControl::TrackMouseLeave() const {
    TrackMouseEventFn track = TrackMouseEventEntry();
    if (!track || !FHandle) return;
    TRACKMOUSEEVENT t{sizeof t, TME_LEAVE, FHandle, 0};
    track(&t);
}

void TSkinControl::ForwardMouseDown(const TMessage& m) {
    TControl* control = Control();
    if (!control || FControlGone) return;
    int x = static_cast<short>(LOWORD(m.LParam));
    int y = static_cast<short>(HIWORD(m.LParam));
    // lParam carries only 16 signed bits per coordinate.
    if ((control->Width() > 32768 || control->Height() > 32768) && FHandle) {
        POINT p{};
        GetCursorPos(&p);
        ScreenToClient(FHandle, &p);
        x = p.x;
        y = p.y;
    }
    control->SimulateMouseDown(mbLeft, MouseShiftState(m.WParam), x, y);
}

// ---- plain routines ------------------------------------------------------------------------------

void FillColor(HDC dc, const RECT& rect, TColor color) {
    UniqueBrush brush(CreateSolidBrush(ColorToRGB(color)));
    if (brush) FillRect(dc, &rect, brush.get());
}

void HandlePaint(TSkinControl& companion, TMessage& m) {
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    PAINTSTRUCT ps{};
    const bool began = dc == nullptr;
    if (began) dc = BeginPaint(companion.FHandle, &ps);
    // A painting error is swallowed; EndPaint below still runs.
    if (dc && GetWindowRect(companion.FHandle, &companion.FWindowRect))
        SwallowFailures([&] { companion.DrawSkin(dc, MovedToOrigin(companion.FWindowRect)); });
    if (began) EndPaint(companion.FHandle, &ps);
    m.Result = 0;
}

void HandleEraseBackground(TSkinControl& companion, TMessage& m) {
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    if (dc) {
        if (companion.FControl) {
            PaintParentBackground(*companion.FControl, dc);
        } else {
            RECT client{};
            GetClientRect(companion.FHandle, &client);
            companion.FillParentColor(dc, client);
        }
    }
    m.Result = 1;
}

void PaintParentBackground(HWND control, HDC dc) {
    if (!control || !dc) return;
    HWND parent = GetParent(control);
    if (!parent) return;
    RECT client;
    if (!GetClientRect(control, &client)) return;
    // The control's position in the parent's client coordinates.
    POINT origin{0, 0};
    MapWindowPoints(control, parent, &origin, 1);
    ScopedDCState saved(dc);
    POINT oldOrg;
    OffsetViewportOrgEx(dc, -origin.x, -origin.y, &oldOrg);
    OffsetRect(&client, origin.x, origin.y);
    IntersectClipRect(dc, client.left, client.top, client.right, client.bottom);
    SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SendMessageW(parent, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
}

void PaintParentBackground(TControl& control, HDC dc) {
    TWinControl* parent = control.Parent();
    if (!parent || !dc) return;
    RECT client = control.ClientRect();
    ScopedDCState saved(dc);
    POINT oldOrg;
    OffsetViewportOrgEx(dc, -control.Left(), -control.Top(), &oldOrg);
    OffsetRect(&client, control.Left(), control.Top());
    IntersectClipRect(dc, client.left, client.top, client.right, client.bottom);
    // A parent that fails to paint leaves the background as it is.
    SwallowFailures([&] {
        parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        parent->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    });
}

bool HasElement(const TDataSkinObject* element) { return element && !element->Image.Empty(); }

void DrawElementFrame(const TSkinControl&, HDC dc, const RECT& rect, int frames, int frame,
                      TDataSkinObject* element) {
    if (rect.right < rect.left || rect.bottom < rect.top || !HasElement(element)) return;
    TElementDraw d = ElementDraw(*element, frame);
    d.Frames = frames;
    d.Transparent = element->Trans == 1;
    DrawElement(dc, rect, d);
}

// ---- properties by name --------------------------------------------------------------------------

namespace {

const TPropInfo* ScalarProperty(TObject* instance, std::string_view name) {
    if (!instance) return nullptr;
    return instance->ClassInfo().FindProperty(name);
}

} // namespace

int GetOrdProperty(TObject* instance, std::string_view name) {
    const TPropInfo* p = ScalarProperty(instance, name);
    if (!p || !p->getText || (p->kind != TPropKind::Integer && p->kind != TPropKind::Color)) return -1;
    std::string text;
    if (!SwallowFailures([&] { text = p->getText(*instance); })) return -1;
    int32_t value = 0;
    return TryStrToInt(text, value) ? value : -1; // a colour by name is no number

}

std::string GetEnumProperty(TObject* instance, std::string_view name) {
    const TPropInfo* p = ScalarProperty(instance, name);
    if (!p || !p->getText || (p->kind != TPropKind::Enumeration && p->kind != TPropKind::Boolean)) return {};
    std::string text;
    SwallowFailures([&] { text = p->getText(*instance); });
    return text;
}

std::wstring GetWideProperty(TObject* instance, std::string_view name) {
    const TPropInfo* p = ScalarProperty(instance, name);
    if (!p || !p->getText || p->kind != TPropKind::String) return {};
    std::wstring text;
    SwallowFailures([&] { text = AnsiToWide(p->getText(*instance)); });
    return text;
}

TPersistent* GetObjectProperty(TObject* instance, std::string_view name, std::string_view className) {
    const TPropInfo* p = ScalarProperty(instance, name);
    if (!p || p->kind != TPropKind::Class || !p->getObject) return nullptr;
    TPersistent* object = nullptr;
    SwallowFailures([&] { object = p->getObject(*instance); });
    return object && object->ClassInfo().InheritsFrom(className) ? object : nullptr;
}

bool SetPropertyText(TObject* instance, std::string_view name, const std::string& text) {
    const TPropInfo* p = ScalarProperty(instance, name);
    if (!p || !p->setText) return false;
    switch (p->kind) {
    case TPropKind::Integer:
    case TPropKind::Boolean:
    case TPropKind::Enumeration:
    case TPropKind::String:
        break;
    default:
        return false;
    }
    // A text the property refuses (not a number, not one of its names) is an answer, not a
    // failure: the value stays. Anything else the setter throws is swallowed and counted.
    bool refused = false;
    const bool finished = SwallowFailures([&] {
        try {
            p->setText(*instance, text);
        } catch (const EConvertError&) {
            refused = true;
        } catch (const EPropertyError&) {
            refused = true;
        }
    });
    return finished && !refused;
}

// ---- text ----------------------------------------------------------------------------------------

std::wstring GetWindowTextWide(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(std::max(got, 0)));
    return text;
}

std::wstring ReplaceLineBreakMark(std::wstring text) {
    const size_t at = text.find(L"||");
    if (at != std::wstring::npos) text.replace(at, 2, L"\r\n");
    return text;
}

UINT BiDiFlags(const TSkinControl& companion, UINT flags) {
    TControl* control = companion.Control();
    if (control && GetEnumProperty(control, "BiDiMode") == "bdRightToLeft") flags |= DT_RTLREADING;
    return flags;
}

int DrawTextWide(HDC dc, const std::wstring& text, RECT& rect, UINT flags) {
    return DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, flags);
}

// ---- creation by class name ----------------------------------------------------------------------

TSkinControl* CreateCompanion(std::string_view className, TComponent* owner) {
    const TClassInfo* info = FindClass(className);
    if (!info || !info->create || !info->InheritsFrom(TSkinControl::StaticClass())) return nullptr;
    std::unique_ptr<TObject> object(info->create(owner));
    auto* companion = dynamic_cast<TSkinControl*>(object.get());
    if (companion) object.release(); // the owner given, or the caller, owns it
    return companion;
}

} // namespace wl
