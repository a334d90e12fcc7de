// Edits and combo boxes: the skin's border over an edit's own frame, and a combo box's frame and
// drop-down button drawn from the skin's sunken-edge, combo-button and arrow elements.
#include "skin/controls/edits.h"

#include "skin/data/skin_data.h"
#include "skin/data/skin_elements.h"
#include "skin/draw/skin_draw.h"
#include "skin/draw/swallowed.h"
#include "ui/graphics_colors.h"

#include <algorithm>
#include <cwctype>
#include <string>

namespace wl {

WL_DEFINE_CLASS(TSkinEdit, WL_NO_PROPERTIES)
WL_DEFINE_CLASS(TSkinComBox, WL_NO_PROPERTIES)

namespace {

// GetComboBoxInfo is looked up once: where user32 lacks it, button tracking and the list's
// scroll bars are skipped.
using GetComboBoxInfoFn = BOOL(WINAPI*)(HWND, PCOMBOBOXINFO);
GetComboBoxInfoFn ComboBoxInfoEntry() {
    static const GetComboBoxInfoFn fn = User32Entry<GetComboBoxInfoFn>("GetComboBoxInfo");
    return fn;
}

void FrameColor(HDC dc, const RECT& rect, TColor color) {
    UniqueBrush brush(CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(color))));
    if (brush) FrameRect(dc, &rect, brush.get());
}

TColor ShadowColor(const TSkinData* data) {
    return data ? data->ButtonShadow : clBtnShadow;
}

std::wstring LowerClassName(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    std::wstring s(name);
    std::transform(s.begin(), s.end(), s.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    return s;
}

bool IsUpDownClass(HWND window) {
    const std::wstring name = LowerClassName(window);
    return name == L"msctls_updown32" || name.find(L"spin") != std::wstring::npos ||
           name.find(L"updown") != std::wstring::npos;
}

// A drop-down list lives as a pop-up (or, on old systems, under the desktop's message window).
bool IsPopupWindow(HWND window) {
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    return (style & WS_POPUP) != 0 || GetParent(window) == reinterpret_cast<HWND>(0x10014);
}

// A strip mirrored left to right also has its cells in reverse order: cell n of the original
// lies at n counted from the right.
int MirroredCell(int frame, int frames) {
    return std::max(1, frames) + 1 - frame;
}

} // namespace

// ---- TSkinEdit
// -----------------------------------------------------------------------------------

TSkinEdit::TSkinEdit(TComponent* owner) : TSkinControl(owner) {}

bool TSkinEdit::BeforeMessage(TMessage& m) {
    if (m.Msg == SKM_PAINTCLIENT && m.LParam == SKM_MAGIC && m.WParam) {
        // The edit paints its text into the caller's DC; the request itself is ours.
        TMessage paint{WM_PAINT, m.WParam, 0, 0};
        CallPrevious(paint);
        m.Result = SKM_MAGIC;
        return false;
    }
    return TSkinControl::BeforeMessage(m);
}

void TSkinEdit::AfterMessage(TMessage& m) {
    switch (m.Msg) {
    case WM_PAINT:
        PaintControl(reinterpret_cast<HDC>(m.WParam));
        break;
    case WM_NCPAINT:
        // The edit's own frame has just been drawn again over the skin's.
        PaintControl(nullptr);
        break;
    case WM_PRINT:
        PrintBorder(reinterpret_cast<HDC>(m.WParam));
        break;
    default:
        TSkinControl::AfterMessage(m);
        break;
    }
}

void TSkinEdit::FindUpDown() {
    if (FUpDown && FUpDown->LifeState() == TLifeState::WindowDestroyed) FUpDown.reset();
    if (FUpDown || !FSkinData || !(FSkinData->SkinControls() & SkinControlBit(xcSpin))) return;
    for (HWND child = GetTopWindow(FHandle); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsUpDownClass(child)) continue;
        std::unique_ptr<TSkinControl> spin(CreateCompanion("TSkinUpDown", nullptr));
        if (!spin) return; // the range controls are not linked in
        SetPropertyText(spin.get(), "InEdit", "True");
        spin->Attach(TAttachContext::ForWindow(child, nullptr, FSkinData, FCanvas));
        FUpDown = std::move(spin);
        return;
    }
}

void TSkinEdit::DrawSkin(HDC dc, const RECT& rect) {
    FindUpDown();
    RECT client{};
    GetClientRect(FHandle, &client);
    // Client and window of the same width or height: the edit has no border to draw over,
    // unless the control says it has one: an edit created with WS_BORDER takes the style bit
    // away and draws its flat frame inside its own client area.
    const bool sameSize =
        client.right == rect.right - rect.left || client.bottom == rect.bottom - rect.top;
    if (sameSize && GetEnumProperty(FControl, "BorderStyle") != "bsSingle") return;
    RECT r = rect;
    FrameColor(dc, r, ShadowColor(FSkinData));
    InflateRect(&r, -1, -1);
    FrameColor(dc, r, 0xFFFFFF);
    InflateRect(&r, -1, -1);
    FrameColor(dc, r, 0xFFFFFF);
}

void TSkinEdit::PrintBorder(HDC dc) {
    if (!FHandle || !GetWindowRect(FHandle, &FWindowRect)) return;
    RECT r = FWindowRect;
    OffsetRect(&r, -r.left, -r.top);
    // A failed print leaves the control's own border.
    SwallowFailures([&] {
        WindowDC own(FHandle, dc ? nullptr : GetWindowDC(FHandle));
        HDC target = dc ? dc : own.get();
        if (!target) return;
        RECT client{};
        GetClientRect(FHandle, &client);
        if (client.right + 2 >= r.right || client.bottom + 2 >= r.bottom) return;
        // The edit's own printing leaves its text rectangle as the clip region of the
        // caller's context; the border lies outside it.
        ScopedDCState saved(target);
        SelectClipRgn(target, nullptr);
        RECT inner = r;
        InflateRect(&inner, -1, -1);
        if (HGDIOBJ brush = GetCurrentObject(target, OBJ_BRUSH))
            FrameRect(target, &inner, static_cast<HBRUSH>(brush));
        FrameColor(target, r, ShadowColor(FSkinData));
    });
}

void TSkinEdit::Restore() {
    TSkinControl::Restore();
    if (FUpDown) FUpDown->Restore();
    FUpDown.reset();
}

void TSkinEdit::SkinChanged() {
    TSkinControl::SkinChanged();
    if (FUpDown) FUpDown->SkinChanged();
}

// ---- TSkinComBox
// ---------------------------------------------------------------------------------

TSkinComBox::TSkinComBox(TComponent* owner) : TSkinControl(owner) {
    FComboInfo.cbSize = sizeof FComboInfo;
}

TSkinComBox::~TSkinComBox() {
    UnhookEdit();
    FListSkin.reset();
}

bool TSkinComBox::OnAttach(const TAttachContext& context) {
    const bool own = context.Kind == TAttachKind::Control, window = context.Kind == TAttachKind::Handle;
    if (!TSkinControl::OnAttach(context)) return false;
    if (own || window) SetUpCombo(own);
    return true;
}

bool TSkinComBox::ReadComboInfo() {
    GetComboBoxInfoFn info = ComboBoxInfoEntry();
    if (!info || !FHandle) return false;
    FComboInfo.cbSize = sizeof FComboInfo;
    return info(FHandle, &FComboInfo) != FALSE;
}

void TSkinComBox::SetUpCombo(bool withListSkin) {
    FStyle = GetWindowLongPtrW(FHandle, GWL_STYLE);
    FExStyle = GetWindowLongPtrW(FHandle, GWL_EXSTYLE);
    FListSkin.reset();
    if ((FStyle & 3) != CBS_SIMPLE) {
        HookEdit();
        FListWindow = nullptr;
        return;
    }
    if (!ReadComboInfo()) return;
    FListWindow = FComboInfo.hwndList;
    if (!withListSkin || !FListWindow || IsPopupWindow(FListWindow)) return;
    if (!(GetWindowLongPtrW(FListWindow, GWL_STYLE) & WS_CHILD)) return;
    // The list is a bare window: its scroll bars get the bare-window scroll companion, kept
    // out of the form's list so that this companion alone frees it.
    std::unique_ptr<TSkinControl> bars(CreateCompanion("TSkinScrollbarH", nullptr));
    if (!bars) return; // scroll-bar skinning not linked in: the list keeps its own bars
    bars->Attach(TAttachContext::ForWindow(FListWindow, nullptr, FSkinData, nullptr));
    FListSkin = std::move(bars);
}

void TSkinComBox::HookEdit() {
    HWND edit = GetTopWindow(FHandle);
    if (!edit || LowerClassName(edit) != L"edit") return; // a drop-down list has no edit
    if (!FEditSubclass.Attach(
            edit, [this](TMessage& m) { EditWndProc(m); }, [this] { FEditWindow = nullptr; }))
        return;
    FEditWindow = edit;
}

void TSkinComBox::UnhookEdit() {
    FEditSubclass.Detach();
    FEditWindow = nullptr;
}

void TSkinComBox::EditWndProc(TMessage& m) {
    if (!CallPreviousOf(FEditSubclass, m) || !FSkinActive) return;
    switch (m.Msg) {
    case WM_PAINT:
        PaintControl(nullptr);
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        FMouseFlags |= mfPressed;
        Redraw();
        break;
    case WM_LBUTTONUP:
        FMouseFlags &= static_cast<uint8_t>(~mfPressed);
        Redraw();
        break;
    default:
        break;
    }
}

void TSkinComBox::MouseMove(const TMessage& m) {
    // lParam is in client coordinates; the button rectangle in window coordinates.
    POINT p = PointFromLParam(m.LParam);
    RECT window{};
    POINT origin{0, 0};
    if (GetWindowRect(FHandle, &window) && ClientToScreen(FHandle, &origin)) {
        p.x += origin.x - window.left;
        p.y += origin.y - window.top;
    }
    const bool enabled = (GetWindowLongPtrW(FHandle, GWL_STYLE) & WS_DISABLED) == 0;
    const bool over = enabled && PtInRect(&FButtonRect, p);
    if (FMouseFlags & mfHot) {
        if (!over) {
            FMouseFlags &= static_cast<uint8_t>(~mfHot);
            Redraw();
        }
    } else if (over) {
        FMouseFlags |= mfHot;
        Redraw();
    }
    if (FMouseFlags & mfHot) TrackMouseLeave();
}

void TSkinComBox::AfterMessage(TMessage& m) {
    switch (m.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        break; // the edit inside takes the focus; its notifications below redraw
    case WM_MOUSEMOVE:
        MouseMove(m);
        break;
    case WM_DRAWITEM:
    case WM_NCPAINT:
        Redraw();
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        FMouseFlags |= mfPressed;
        Redraw();
        break;
    case WM_LBUTTONUP:
        FMouseFlags &= static_cast<uint8_t>(~mfPressed);
        Redraw();
        break;
    case CM_MOUSELEAVE:
    case WM_MOUSELEAVE:
        if (FMouseFlags & mfHot) {
            FMouseFlags &= static_cast<uint8_t>(~mfHot);
            Redraw();
        }
        break;
    case CN_COMMAND:
        switch (HIWORD(m.WParam)) {
        case CBN_DROPDOWN:
            FDroppedDown = true;
            break;
        case CBN_CLOSEUP:
            FDroppedDown = false;
            break;
        case CBN_SETFOCUS:
        case CBN_KILLFOCUS:
            Redraw();
            break;
        default:
            break;
        }
        break;
    default:
        TSkinControl::AfterMessage(m);
        break;
    }
}

int TSkinComBox::DrawState() {
    HWND focus = GetFocus();
    FIsFocused = focus && (focus == FHandle || IsChild(FHandle, focus));
    FIsEnabled = (GetWindowLongPtrW(FHandle, GWL_STYLE) & WS_DISABLED) == 0;
    if (!FIsEnabled) return 3;
    if (FMouseFlags & mfPressed) return 2;
    if (FIsFocused || (FMouseFlags & mfHot)) return 4;
    return 1;
}

void TSkinComBox::DrawSkin(HDC dc, const RECT& rect) {
    if (!FSkinData || !HasElement(FSkinData->ComboButton.get())) return;
    FStyle = GetWindowLongPtrW(FHandle, GWL_STYLE);
    FExStyle = GetWindowLongPtrW(FHandle, GWL_EXSTYLE);
    if (ReadComboInfo()) {
        FButtonRect = FComboInfo.rcButton;
        // A simple combo has no button to draw.
        if (FComboInfo.stateButton & STATE_SYSTEM_INVISIBLE) return;
    }
    const int frame = DrawState();
    switch (FSkinData->ComboButton->Style) {
    case 1:
        DrawFlat(dc, rect, frame);
        break;
    case 2:
        DrawWhole(dc, rect, frame);
        break;
    default:
        DrawParts(dc, rect, frame);
        break;
    }
}

// One element for the whole face; its text area is key colour, so the edit shows through.
void TSkinComBox::DrawWhole(HDC dc, const RECT& r, int frame) {
    TDataSkinObject* element = FSkinData->ComboButton.get();
    // The load keeps the face with the button on the left, mirrored, as the sunken edge.
    const bool left = ButtonOnLeft();
    if (left) {
        element = FSkinData->SunkEdge.get();
        if (!HasElement(element)) return;
    }
    TElementDraw d = ElementDraw(*element, left ? MirroredCell(frame, element->Frame) : frame);
    d.Tile = false;
    d.Transparent = true;
    DrawElement(dc, r, d);
    const int a = GetSystemMetrics(SM_CXHSCROLL);
    FButtonRect = left ? RECT{r.left, r.top, r.left + a + 2, r.bottom}
                       : RECT{r.right - a - 2, r.top, r.right, r.bottom};
}

void TSkinComBox::DrawParts(HDC dc, const RECT& r, int frame) {
    TDataSkinBorder& button = *FSkinData->ComboButton;
    const int a = GetSystemMetrics(SM_CXHSCROLL);
    const bool left = ButtonOnLeft();
    RECT edit, b, g;
    if (left) {
        edit = RECT{r.left + a + 4, r.top + 2, r.right - 2, r.bottom - 2};
        b = RECT{r.left, r.top, r.left + a + 2, r.bottom};
        g = RECT{r.left + 2, r.top, r.left + a + 2, r.bottom};
    } else {
        edit = RECT{r.left + 2, r.top + 2, r.right - a - 4, r.bottom - 2};
        b = RECT{r.right - a - 2, r.top, r.right, r.bottom};
        g = RECT{r.right - a - 2, r.top, r.right - 2, r.bottom};
    }
    ScopedDCState saved(dc);
    ExcludeClipRect(dc, edit.left, edit.top, edit.right, edit.bottom);
    if (TDataSkinObject* sunk = FSkinData->SunkEdge.get())
        DrawElementFrame(*this, dc, r, sunk->Frame, frame, sunk);
    TElementDraw cell{
        .Image = &button.Image, .Frames = button.Frame, .Index = frame, .Transparent = true};
    if (left && !button.Image2.Empty()) {
        cell.Image = &button.Image2;
        cell.Index = MirroredCell(frame, button.Frame);
    }
    DrawFrameStretched(dc, b, cell);
    FButtonRect = b;
    TDataSkinObject* arrows = FSkinData->ExtraImages.get();
    if (!HasElement(arrows)) return;
    const int frames = std::max(1, arrows->Frame);
    const int w = arrows->Image.Width() / frames, h = arrows->Image.Height();
    const int x = g.left + ((g.right - g.left) - w) / 2, y = g.top + ((g.bottom - g.top) - h) / 2;
    const RECT glyph{x, y, x + w, y + h};
    DrawFrameStretched(
        dc, glyph,
        TElementDraw{
            .Image = &arrows->Image, .Frames = frames, .Index = frame, .Transparent = true});
}

void TSkinComBox::DrawFlat(HDC dc, const RECT& r, int frame) {
    TDataSkinBorder& button = *FSkinData->ComboButton;
    const int frames = std::max(1, button.Frame);
    const int w = button.Image.Width() / frames, h = button.Image.Height();
    const int t = GetSystemMetrics(SM_CYVTHUMB);
    const bool left = ButtonOnLeft();
    HBRUSH brush = static_cast<HBRUSH>(GetCurrentObject(dc, OBJ_BRUSH));
    RECT r1 = r;
    InflateRect(&r1, -1, -1);
    if (brush) FrameRect(dc, &r1, brush);
    RECT r2 = r1;
    InflateRect(&r2, -1, -1);
    RECT strip = left ? RECT{r2.left, r2.top, r2.left + t, r2.bottom}
                      : RECT{r2.right - t, r2.top, r2.right, r2.bottom};
    if (brush) FillRect(dc, &strip, brush);
    RECT b = left ? RECT{r2.left, r2.top, r2.left + w, r2.bottom}
                  : RECT{r2.right - w, r2.top, r2.right, r2.bottom};
    if (h < t) b.bottom = b.top + h;
    FrameColor(dc, r, ShadowColor(FSkinData));
    FButtonRect = b;
    DrawFrameStretched(
        dc, b,
        TElementDraw{
            .Image = &button.Image, .Frames = frames, .Index = frame, .Transparent = true});
}

void TSkinComBox::Restore() {
    TSkinControl::Restore();
    UnhookEdit();
    if (FListSkin) FListSkin->Restore();
    FListSkin.reset();
}

void TSkinComBox::SkinChanged() {
    TSkinControl::SkinChanged();
    if (FListSkin) FListSkin->SkinChanged();
}

} // namespace wl
