// Check boxes and radio buttons: the state-to-cell rules, the mark and caption layout and the two
// companions that paint from them.
#include "skin/controls/checks.h"

#include "skin/data/skin_data.h"
#include "skin/data/skin_elements.h"
#include "skin/draw/skin_draw.h"
#include "ui/graphics_colors.h"

#include <algorithm>
#include <cctype>

namespace wl {

WL_DEFINE_ABSTRACT_CLASS(TSkinCheckControl, WL_NO_PROPERTIES)
WL_DEFINE_CLASS(TSkinCheckBox, WL_NO_PROPERTIES)
WL_DEFINE_CLASS(TSkinRadioButton, WL_NO_PROPERTIES)

namespace {

// Library messages a check control redraws after (they change how the button looks).
constexpr UINT kMsgExit = 0xB01B;       // focus left the control
constexpr UINT kMsgDataChange = 0xB0D0; // a data-bound control was told its value changed
constexpr int kTransparentTag = 5555;

bool HasProperty(TObject* instance, std::string_view name) {
    return instance && instance->ClassInfo().FindProperty(name) != nullptr;
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

LRESULT ButtonState(HWND window) { return SendMessageW(window, BM_GETSTATE, 0, 0); }

} // namespace

// ---- rules ---------------------------------------------------------------------------------------

int CheckBoxFrame(const TCheckLook& look, int frames) {
    if (frames == 12) {
        const int group = look.Mark == TCheckMark::Checked ? 5 : look.Mark == TCheckMark::Grayed ? 9 : 1;
        return look.Disabled ? group + 3 : group;
    }
    if (look.Mark == TCheckMark::Grayed) return 4;
    const int base = look.Mark == TCheckMark::Checked ? 2 : 1;
    return look.Disabled ? base + 2 : base;
}

int RadioButtonFrame(const TCheckLook& look, int frames) {
    const bool checked = look.Mark == TCheckMark::Checked;
    if (frames == 8) {
        const int group = checked ? 5 : 1;
        return look.Disabled ? group + 3 : group;
    }
    const int base = checked ? 2 : 1;
    return look.Disabled ? base + 2 : base;
}

TCheckLayout LayoutCheck(const RECT& client, SIZE cell, bool leftText, bool radio) {
    TCheckLayout l;
    l.Caption = client;
    const int top = client.top + (client.bottom - client.top - cell.cy) / 2;
    if (leftText) {
        // A radio dot sits one pixel in from the edge, as the system draws it.
        const int right = radio ? client.right - 1 : client.right;
        l.Mark = RECT{right - cell.cx, top, right, top + cell.cy};
        l.Caption.right = l.Mark.left - 2;
    } else {
        l.Mark = RECT{client.left, top, client.left + cell.cx, top + cell.cy};
        l.Caption.left = client.left + cell.cx + 2;
    }
    return l;
}

// ---- shared companion ----------------------------------------------------------------------------

TBitmap* TSkinCheckControl::Strip(int& frames) const {
    frames = 0;
    if (!FSkinData || !FSkinData->Buttons) return nullptr;
    TDataSkinButton& b = *FSkinData->Buttons;
    TBitmap& image = Radio() ? b.RadioImage : b.CheckImage;
    if (image.Empty()) return nullptr;
    frames = std::max(1, Radio() ? b.RadioButtonFrame : b.CheckButtonFrame);
    return &image;
}

bool TSkinCheckControl::OnAttach(const TAttachContext& context) {
    if (context.Kind != TAttachKind::Control) return TSkinControl::OnAttach(context);
    const bool taken = TSkinControl::OnAttach(context);
    FMode = 0;
    if (!FControl) return taken;
    int frames = 0;
    FMode = Strip(frames) ? 1 : 0;
    FTransparent = FControl->Tag() == kTransparentTag ||
                   (FSkinData && (FSkinData->Options() & SkinOptionBit(xoTransparent)));
    // Taking the control invalidated it: it is painted skinned with the next paint, not here
    // (a paint per control made attaching a form of check boxes cost a paint each).
    return taken;
}

void TSkinCheckControl::SkinChanged() {
    // A control object is drawn whole by the skin only while the skin has its mark strip;
    // otherwise it paints itself.
    int frames = 0;
    if (FControl) FMode = Strip(frames) ? 1 : 0;
    TSkinControl::SkinChanged();
}

bool TSkinCheckControl::BeforeMessage(TMessage& m) {
    const bool answer = TSkinControl::BeforeMessage(m);
    if (!answer) return false;
    switch (m.Msg) {
    case WM_PAINT:
    case WM_PRINT:
    case WM_PRINTCLIENT:
        if (FMode != 1) return answer;
        // A print into a given DC gets no erase message: lay the parent's picture first.
        if (m.Msg != WM_PAINT && FTransparent && m.WParam) HandleEraseBackground(*this, m);
        HandlePaint(*this, m);
        return false;
    case WM_ERASEBKGND:
        if (!FTransparent) return answer;
        HandleEraseBackground(*this, m);
        return false;
    default:
        return answer;
    }
}

void TSkinCheckControl::AfterMessage(TMessage& m) {
    switch (m.Msg) {
    case BM_SETCHECK:
    case BM_SETSTATE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_KEYUP:
    case WM_UPDATEUISTATE:
    case kMsgExit:
    case kMsgDataChange:
        // The button draws its box straight to the screen on these; draw over it again.
        Redraw();
        break;
    case WM_MOUSEMOVE:
        MouseMoved();
        break;
    case WM_MOUSELEAVE:
    case CM_MOUSELEAVE:
        MouseLeft();
        break;
    default:
        TSkinControl::AfterMessage(m);
        break;
    }
}

void TSkinCheckControl::MouseMoved() {
    if (FMouseFlags & mfHot) return;
    FMouseFlags |= mfHot;
    TrackMouseLeave();
    Redraw();
}

void TSkinCheckControl::MouseLeft() {
    if (!(FMouseFlags & (mfHot | mfPressed))) return;
    FMouseFlags &= static_cast<uint8_t>(~(mfHot | mfPressed));
    Redraw();
}

TCheckLook TSkinCheckControl::ReadLook() const {
    TCheckLook look;
    look.Mark = ReadMark();
    look.Disabled = (GetWindowLongPtrW(FHandle, GWL_STYLE) & WS_DISABLED) != 0;
    look.Pressed = (ButtonState(FHandle) & BST_PUSHED) != 0 || (FMouseFlags & mfPressed) != 0;
    look.Hot = (FMouseFlags & mfHot) != 0;
    return look;
}

void TSkinCheckControl::DrawSkin(HDC dc, const RECT& rect) {
    int frames = 0;
    TBitmap* strip = Strip(frames);
    if (!strip) {
        // Without the skin's strip the control keeps painting itself.
        FMode = 0;
        return;
    }
    RefreshState();
    const SIZE cell{strip->Width() / frames, strip->Height()};
    const LONG_PTR style = GetWindowLongPtrW(FHandle, GWL_STYLE);
    const bool leftText = (style & BS_LEFTTEXT) != 0;
    const TCheckLayout layout = LayoutCheck(rect, cell, leftText, Radio());

    if (FMode == 1 && !FTransparent) FillFace(dc, rect);

    const TCheckLook look = ReadLook();
    const int frame = Radio() ? RadioButtonFrame(look, frames) : CheckBoxFrame(look, frames);
    DrawFrameStretched(dc, layout.Mark,
                       TElementDraw{.Image = strip, .Frames = frames, .Index = frame, .Transparent = true});
    if (FMode == 0) return;

    const std::string bidi = GetEnumProperty(FControl, "BiDiMode");
    const bool rtl = (!bidi.empty() && bidi != "bdLeftToRight") ||
                     (GetWindowLongPtrW(FHandle, GWL_EXSTYLE) & WS_EX_RTLREADING) != 0;
    // The caption sits left of the mark for left text, but reads from the right (and so lines
    // up against the mark) only in a right-to-left control.
    UINT flags = leftText && rtl ? DT_RIGHT : DT_LEFT;
    switch (style & (BS_LEFT | BS_RIGHT | BS_CENTER)) {
    case BS_CENTER: flags = DT_CENTER; break;
    case BS_RIGHT: flags = DT_RIGHT; break;
    case BS_LEFT: flags = DT_LEFT; break;
    default: break;
    }
    if (rtl) flags |= DT_RTLREADING;
    DrawCaption(dc, layout.Caption, flags);
}

void TSkinCheckControl::DrawCaption(HDC dc, RECT caption, UINT flags) {
    std::wstring text = HasProperty(FControl, "Caption") ? GetWideProperty(FControl, "Caption")
                                                         : GetWindowTextWide(FHandle);
    ScopedDCState saved(dc);
    TColor color = clBtnShadow;
    if (FControl && FControl->Enabled()) color = FControl->Font().Color();
    if (FControl) SelectObject(dc, FControl->Font().Handle());
    else SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(FHandle, WM_GETFONT, 0, 0)));
    SetTextColor(dc, ColorToRGB(color));
    SetBkColor(dc, FaceColor());
    SetBkMode(dc, TRANSPARENT);

    const UINT layoutFlags = flags | DT_EXPANDTABS | DT_WORDBREAK;
    RECT measured = caption;
    DrawTextWide(dc, text, measured, layoutFlags | DT_CALCRECT | DT_NOCLIP);
    OffsetRect(&caption, 0, ((caption.bottom - caption.top) - (measured.bottom - measured.top)) / 2);

    const bool hideFocus = (SendMessageW(FHandle, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) != 0;
    const bool noFocusRect = FSkinData && (FSkinData->Options() & SkinOptionBit(xoNoFocusRect));
    if (GetFocus() == FHandle && !text.empty() && !hideFocus && !noFocusRect) {
        FText = text;
        DrawCaptionFocus(dc, layoutFlags, caption);
    }
    DrawTextWide(dc, text, caption, layoutFlags);
}

// ---- check box -----------------------------------------------------------------------------------

bool TSkinCheckBox::OnAttach(const TAttachContext& context) {
    if (context.Kind != TAttachKind::Control) return TSkinCheckControl::OnAttach(context);
    FDataState = 0;
    return TSkinCheckControl::OnAttach(context);
}

void TSkinCheckBox::AfterMessage(TMessage& m) {
    if (m.Msg == BM_SETCHECK) FDataState = static_cast<int>(m.WParam) + 1;
    TSkinCheckControl::AfterMessage(m);
}

TCheckMark TSkinCheckBox::ReadMark() const {
    const LRESULT s = ButtonState(FHandle);
    TCheckMark mark = (s & BST_CHECKED) ? TCheckMark::Checked : TCheckMark::Unchecked;
    if (FControl) {
        if (HasProperty(FControl, "State")) {
            const std::string state = Lower(GetEnumProperty(FControl, "State"));
            if (state.find("uncheck") != std::string::npos) mark = TCheckMark::Unchecked;
            else if (state.find("check") != std::string::npos) mark = TCheckMark::Checked;
            else if (state.find("gray") != std::string::npos) mark = TCheckMark::Grayed;
        } else if (HasProperty(FControl, "Checked")) {
            mark = Lower(GetEnumProperty(FControl, "Checked")) == "true" ? TCheckMark::Checked
                                                                          : TCheckMark::Unchecked;
        }
        if (HasProperty(FControl, "DataField") && FDataState != 0)
            mark = FDataState == 1 ? TCheckMark::Unchecked
                 : FDataState == 2 ? TCheckMark::Checked
                                   : TCheckMark::Grayed;
        if (HasProperty(FControl, "DataBinding")) mark = TCheckMark::Unchecked;
    }
    if (s & BST_INDETERMINATE) mark = TCheckMark::Grayed;
    return mark;
}

// ---- radio button --------------------------------------------------------------------------------

TCheckMark TSkinRadioButton::ReadMark() const {
    bool checked = (SendMessageW(FHandle, BM_GETCHECK, 0, 0) & BST_CHECKED) != 0;
    if (FControl && HasProperty(FControl, "Checked"))
        checked = Lower(GetEnumProperty(FControl, "Checked")) == "true";
    return checked ? TCheckMark::Checked : TCheckMark::Unchecked;
}

} // namespace wl
