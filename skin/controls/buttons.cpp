// Push-button companions: state to cell, mouse and Space handling, the synthesized click, and
// the buffered drawing of plain, glyph, picture, speed and drop-down buttons.
#include "skin/controls/buttons.h"

#include "skin/archive/bitmaps.h"
#include "skin/data/skin_data.h"
#include "skin/data/skin_elements.h"
#include "skin/draw/skin_draw.h"
#include "skin/draw/swallowed.h"
#include "skin/forms/win_skin_form.h"
#include "ui/button_layout.h"
#include "ui/graphics_colors.h"
#include "ui/imglist.h"

#include <algorithm>
#include <cctype>

namespace wl {

WL_DEFINE_CLASS(TSkinButton, WL_NO_PROPERTIES)
WL_DEFINE_CLASS(TSkinBitButton, [](ClassBuilder<TSkinBitButton>& c) {
    c.Str("PictureProperty", [](const TSkinBitButton& b) { return b.FPictureProperty; },
          [](TSkinBitButton& b, const std::string& text) { b.FPictureProperty = text; });
})
WL_DEFINE_CLASS(TSkinSpeedButton, WL_NO_PROPERTIES)
WL_DEFINE_CLASS(TSkinMenuButton, WL_NO_PROPERTIES)

namespace {

constexpr intptr_t kTransparentTag = 5555;
constexpr int kMenuArrowWidth = 17;

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

RECT AtOrigin(RECT r) {
    OffsetRect(&r, -r.left, -r.top);
    return r;
}

TButtonLayout LayoutFromName(const std::string& name) {
    const std::string l = Lower(name);
    if (l == "blglyphright") return blGlyphRight;
    if (l == "blglyphtop") return blGlyphTop;
    if (l == "blglyphbottom") return blGlyphBottom;
    return blGlyphLeft;
}

// Text flags that go with a glyph layout.
UINT LayoutTextFlags(TButtonLayout layout) {
    switch (layout) {
    case blGlyphRight: return DT_WORDBREAK | DT_RIGHT;
    case blGlyphTop:
    case blGlyphBottom: return DT_WORDBREAK | DT_CENTER;
    default: return DT_WORDBREAK;
    }
}

// The caption measured in the box left beside (or under) the glyph; 0 x 0 when empty.
SIZE MeasureCaption(HDC dc, const std::wstring& caption, const RECT& client, SIZE glyph, TButtonLayout layout) {
    if (caption.empty()) return SIZE{0, 0};
    RECT box = client;
    InflateRect(&box, -2, -2);
    if (layout == blGlyphLeft || layout == blGlyphRight) box.right -= glyph.cx + 2;
    else box.bottom -= glyph.cy + 2;
    DrawTextWide(dc, caption, box, DT_CALCRECT | DT_WORDBREAK);
    return SIZE{Width(box), Height(box)};
}

// Keeps a DC's background mode transparent for the scope.
class TransparentText {
public:
    explicit TransparentText(HDC dc) : FDC(dc), FOld(SetBkMode(dc, TRANSPARENT)) {}
    ~TransparentText() { SetBkMode(FDC, FOld ? FOld : OPAQUE); }
    TransparentText(const TransparentText&) = delete;
    TransparentText& operator=(const TransparentText&) = delete;

private:
    HDC FDC;
    int FOld;
};

} // namespace

// ---- rules ---------------------------------------------------------------------------------------

int PushButtonFrame(const TButtonDrawState& s) {
    if (!s.Enabled) return bfDisabled;
    if (s.Pressed) return bfPressed;
    if (s.Hot) return bfHot;
    if (s.Focused) return bfFocused;
    return bfNormal;
}

int MenuButtonFrame(const TButtonDrawState& s) {
    if (!s.Enabled) return bfDisabled;
    if (s.Pressed) return bfPressed;
    if (s.Hot || s.Focused) return bfHot;
    return bfNormal;
}

int SpeedButtonFrame(bool down, const TButtonDrawState& s) {
    if (down) return bfPressed;
    if (!s.Enabled) return bfDisabled;
    if (s.Pressed) return bfPressed;
    if (s.Hot) return bfHot;
    return bfNormal;
}

int GlyphNumber(int frame, bool down) {
    if (down) return 4;
    if (frame == bfPressed) return 3;
    if (frame == bfDisabled) return 2;
    return 1;
}

TColor ButtonCaptionColor(const TDataSkinButton* element, int frame, bool enabled, TColor base) {
    if (!enabled || frame == bfDisabled) return clBtnShadow;
    if (!element) return base;
    if (frame == bfNormal && element->HasNormalColour2) return element->NormalColour2;
    if (frame == bfHot && element->HasMouseOverColour2) return element->MouseOverColour2;
    if (frame == bfPressed && element->HasPressedColour2) return element->PressedColour2;
    return base;
}

void DrawGlyph(HDC dc, int x, int y, int numGlyphs, int glyphNumber, TBitmap& glyph) {
    numGlyphs = std::max(numGlyphs, 1);
    const int w = glyph.Width() / numGlyphs, h = glyph.Height();
    if (w <= 0 || h <= 0) return;
    const int cell = glyphNumber > numGlyphs || glyphNumber < 1 ? 0 : glyphNumber - 1;
    TBitmap part(w, h, pf24bit);
    BitBlt(part.Canvas().Handle(), 0, 0, w, h, glyph.Canvas().Handle(), cell * w, 0, SRCCOPY);
    if (glyphNumber == 2) GrayBitmap(part);
    const TColor key = static_cast<TColor>(GetPixel(part.Canvas().Handle(), 0, h - 1));
    TransparentBlit(dc, RECT{x, y, x + w, y + h}, part, key);
}

// ---- TSkinButton ---------------------------------------------------------------------------------

TSkinButton::TSkinButton(TComponent* owner) : TSkinControl(owner) { FBuffer.SetPixelFormat(pf24bit); }

TSkinButton::~TSkinButton() = default;

bool TSkinButton::OnAttach(const TAttachContext& context) {
    if (context.Kind != TAttachKind::Control) return TSkinControl::OnAttach(context);
    if (!TSkinControl::OnAttach(context)) return false;
    if (!FControl) return true;
    // These classes track the mouse themselves and must not get a second MouseDown.
    const std::string name = Lower(std::string(FControl->ClassName()));
    FMode = name.rfind("trz", 0) == 0 || name.rfind("tel", 0) == 0 ? 1 : 0;
    FTransparent = FControl->Tag() == kTransparentTag ||
                   (FSkinData && (FSkinData->Options() & SkinOptionBit(xoTransparent)) != 0);
    return true;
}

bool TSkinButton::BeforeMessage(TMessage& m) {
    // Without the skin's button cells the button keeps its own look and its own mouse handling.
    if (!ButtonElement()) return TSkinControl::BeforeMessage(m);
    switch (m.Msg) {
    case WM_PAINT:
        HandlePaint(*this, m);
        return false;
    case WM_ERASEBKGND:
        m.Result = 1;
        return false;
    case WM_TIMER:
        // The system button's own timer (its focus animation) would paint over the skin.
        KillTimer(FHandle, 1);
        return false;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        return MouseDownMessage(m);
    default:
        return TSkinControl::BeforeMessage(m);
    }
}

// The button never sees the press, so it neither captures the mouse nor clicks by itself: the
// click comes from this companion when the button goes up over it.
bool TSkinButton::MouseDownMessage(TMessage& m) {
    if (!FIsFocused && FHandle) SetFocus(FHandle);
    FMouseFlags |= mfPressed;
    PaintControl(nullptr);
    if (FMode == 0 && FControl) ForwardMouseDown(m);
    return false;
}

void TSkinButton::AfterMessage(TMessage& m) {
    switch (m.Msg) {
    case WM_SETTEXT: PaintControl(nullptr); break;
    case WM_KEYDOWN:
    case WM_KEYUP:
        if (m.WParam == VK_SPACE) SpaceKey(m.Msg == WM_KEYDOWN);
        break;
    case WM_MOUSEMOVE: MouseMoved(); break;
    case WM_LBUTTONUP: LeftButtonUp(m); break;
    case WM_MOUSELEAVE: MouseLeft(); break;
    case CM_DIALOGKEY:
    case CM_FOCUSCHANGED: Redraw(); break;
    default: TSkinControl::AfterMessage(m); break;
    }
}

// The button's own procedure handles Space (and clicks on its release); the skin only mirrors
// the pressed look.
void TSkinButton::SpaceKey(bool down) {
    if (down) FMouseFlags |= mfPressed;
    else FMouseFlags &= static_cast<uint8_t>(~mfPressed);
    Redraw();
}

void TSkinButton::MouseMoved() {
    if (FIsEnabled && !(FMouseFlags & mfHot)) {
        FMouseFlags |= mfHot;
        Redraw();
    }
    TrackMouseLeave();
}

void TSkinButton::LeftButtonUp(const TMessage& m) {
    if (!(FMouseFlags & mfPressed)) return;
    FMouseFlags &= static_cast<uint8_t>(~mfPressed);
    Redraw();
    // A release that reaches us from outside (someone else holds the capture) is no click.
    if (PointInside(m.LParam)) ProduceClick();
}

void TSkinButton::MouseLeft() {
    FMouseFlags &= static_cast<uint8_t>(~(mfHot | mfPressed));
    Redraw();
}

bool TSkinButton::PointInside(LPARAM lParam) const {
    if (!FHandle) return true;
    RECT client{};
    GetClientRect(FHandle, &client);
    const POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    return PtInRect(&client, p) != FALSE;
}

void TSkinButton::ProduceClick() {
    if (FControl) {
        FControl->Click();
        return;
    }
    if (!FHandle || !IsWindow(FHandle)) return;
    HWND parent = GetParent(FHandle);
    if (!parent) return;
    wchar_t cls[64]{};
    GetClassNameW(FHandle, cls, 64);
    std::wstring name(cls);
    std::transform(name.begin(), name.end(), name.begin(), [](wchar_t c) { return static_cast<wchar_t>(towlower(c)); });
    if (name == L"tbutton") {
        PostMessageW(parent, WM_COMMAND, 0, reinterpret_cast<LPARAM>(FHandle));
        return;
    }
    const int id = GetDlgCtrlID(FHandle);
    PostMessageW(parent, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(FHandle));
}

TDataSkinButton* TSkinButton::ButtonElement() const {
    if (!FSkinData || !HasElement(FSkinData->Buttons.get())) return nullptr;
    return FSkinData->Buttons.get();
}

void TSkinButton::RefreshButtonState() {
    RefreshState();
    if (FControl) FText = GetWideProperty(FControl, "Caption");
}

int TSkinButton::StateFrame() const {
    return PushButtonFrame({FIsEnabled, (FMouseFlags & mfPressed) != 0, (FMouseFlags & mfHot) != 0, FIsFocused});
}

bool TSkinButton::PrepareBuffer(const RECT& rect, int frame) {
    TDataSkinButton* element = ButtonElement();
    if (!element || Width(rect) < 1 || Height(rect) < 1) return false;
    const RECT r = AtOrigin(rect);
    FBuffer.SetSize(r.right, r.bottom);
    HDC dc = FBuffer.Canvas().Handle();
    if (!dc) return false;
    if (FTransparent) {
        if (TControl* control = Control()) PaintParentBackground(*control, dc);
        else if (FHandle) PaintParentBackground(FHandle, dc);
    } else {
        FillFace(dc, r);
    }
    DrawElementFrame(*this, dc, r, element->Frame > 0 ? element->Frame : 5, frame, element);
    return true;
}

HFONT TSkinButton::ButtonFont() const {
    if (TControl* control = Control()) return control->Font().Handle();
    if (FHandle) return reinterpret_cast<HFONT>(SendMessageW(FHandle, WM_GETFONT, 0, 0));
    return nullptr;
}

TColor TSkinButton::ButtonFontColor() const {
    if (TControl* control = Control()) return control->Font().Color();
    return FSkinData ? FSkinData->ButtonText : clBtnText;
}

TColor TSkinButton::CaptionColor(int frame, TColor fontColor) const {
    return ColorToRGB(ButtonCaptionColor(ButtonElement(), frame, FIsEnabled, fontColor));
}

bool TSkinButton::FocusFrameAllowed() const {
    return FIsFocused && !(FSkinData && (FSkinData->Options() & SkinOptionBit(xoNoFocusRect)));
}

void TSkinButton::DrawButtonCaption(HDC dc, const RECT& rect, UINT alignment, const std::wstring& text,
                                    bool focusFrame) {
    const std::wstring caption = ReplaceLineBreakMark(text);
    UINT flags = alignment | DT_EXPANDTABS | DT_WORDBREAK;
    RECT t = rect;
    InflateRect(&t, -2, -2);
    {
        TransparentText mode(dc);
        DrawTextWide(dc, caption, t, flags | DT_CALCRECT | DT_NOCLIP);
        t = AtOrigin(t);
        flags = BiDiFlags(*this, flags);
        const int dy = (Height(rect) - Height(t)) / 2 - 1;
        if (alignment == DT_CENTER) {
            OffsetRect(&t, rect.left + (Width(rect) - Width(t)) / 2, rect.top + dy);
        } else {
            OffsetRect(&t, 0, rect.top + dy);
            t.left = rect.left;
            t.right = rect.right;
        }
        DrawTextWide(dc, caption, t, flags);
    }
    if (focusFrame && FocusFrameAllowed()) {
        InflateRect(&t, 2, 2);
        DrawFocusRect(dc, &t);
    }
}

void TSkinButton::CopyBuffer(HDC dc, const RECT& rect) {
    BitBlt(dc, rect.left, rect.top, FBuffer.Width(), FBuffer.Height(), FBuffer.Canvas().Handle(), 0, 0, SRCCOPY);
}

void TSkinButton::DrawSkin(HDC dc, const RECT& rect) {
    if (!ButtonElement()) return;
    RefreshButtonState();
    const int frame = StateFrame();
    if (!PrepareBuffer(rect, frame)) return;
    HDC buffer = FBuffer.Canvas().Handle();
    ScopedSelect font(buffer, ButtonFont());
    SetTextColor(buffer, CaptionColor(frame, ButtonFontColor()));
    DrawButtonCaption(buffer, AtOrigin(rect), DT_CENTER, FText, true);
    CopyBuffer(dc, rect);
}

// ---- TSkinBitButton ------------------------------------------------------------------------------

void TSkinBitButton::DrawSkin(HDC dc, const RECT& rect) {
    if (!ButtonElement()) return;
    RefreshButtonState();
    const int frame = StateFrame();
    if (!PrepareBuffer(rect, frame)) return;
    HDC buffer = FBuffer.Canvas().Handle();
    ScopedSelect font(buffer, ButtonFont());
    const RECT client = AtOrigin(rect);
    TGraphic* picture = nullptr;
    if (!FPictureProperty.empty())
        picture = dynamic_cast<TGraphic*>(GetObjectProperty(Control(), FPictureProperty, "TGraphic"));
    // A named picture that is missing or not a graphic: laid out like a glyph button.
    if (picture) DrawPictureAndCaption(buffer, client, *picture);
    else DrawGlyphAndCaption(buffer, client, frame);
    CopyBuffer(dc, rect);
}

namespace {

struct TGlyphSource {
    TBitmap* Glyph = nullptr;
    int NumGlyphs = 1;
    TCustomImageList* Images = nullptr;
    int ImageIndex = -1;
    int DisabledIndex = -1;
    SIZE Size{0, 0};
};

TGlyphSource ReadGlyph(TObject* control) {
    TGlyphSource g;
    g.NumGlyphs = std::max(GetOrdProperty(control, "NumGlyphs"), 1);
    g.Glyph = dynamic_cast<TBitmap*>(GetObjectProperty(control, "Glyph", "TBitmap"));
    g.Images = dynamic_cast<TCustomImageList*>(GetObjectProperty(control, "Images", "TCustomImageList"));
    g.ImageIndex = GetOrdProperty(control, "ImageIndex");
    g.DisabledIndex = GetOrdProperty(control, "DisabledIndex");
    if (g.Glyph && !g.Glyph->Empty()) g.Size = SIZE{g.Glyph->Width() / g.NumGlyphs, g.Glyph->Height()};
    else if (g.Images && g.ImageIndex != -1) g.Size = SIZE{g.Images->Width(), g.Images->Height()};
    return g;
}

TGlyphLayout PlaceGlyph(const RECT& client, SIZE glyph, SIZE text, TButtonLayout layout, int margin, int spacing,
                        bool speedButton) {
    TGlyphLayoutInput in;
    in.clientWidth = Width(client);
    in.clientHeight = Height(client);
    in.glyphWidth = glyph.cx;
    in.glyphHeight = glyph.cy;
    in.textWidth = text.cx;
    in.textHeight = text.cy;
    in.layout = layout;
    in.margin = margin;
    in.spacing = spacing;
    in.speedButton = speedButton;
    return LayoutGlyphAndCaption(in);
}

} // namespace

void TSkinBitButton::DrawGlyphAndCaption(HDC dc, const RECT& client, int frame) {
    TControl* control = Control();
    const TGlyphSource glyph = ReadGlyph(control);
    const TButtonLayout layout = LayoutFromName(GetEnumProperty(control, "Layout"));
    int margin = GetOrdProperty(control, "Margin");
    if (Lower(GetEnumProperty(control, "Alignment")) == "tacenter") margin = -1;
    const std::wstring caption = ReplaceLineBreakMark(FText);
    const SIZE text = MeasureCaption(dc, caption, client, glyph.Size, layout);
    const TGlyphLayout at =
        PlaceGlyph(client, glyph.Size, text, layout, margin, GetOrdProperty(control, "Spacing"), false);

    if (glyph.Glyph && !glyph.Glyph->Empty()) {
        DrawGlyph(dc, at.glyphX, at.glyphY, glyph.NumGlyphs, GlyphNumber(frame, false), *glyph.Glyph);
    } else if (glyph.Images) {
        if (FIsEnabled && glyph.ImageIndex != -1) {
            glyph.Images->Draw(FBuffer.Canvas(), at.glyphX, at.glyphY, glyph.ImageIndex, true);
        } else if (!FIsEnabled) {
            const int index = glyph.DisabledIndex != -1 ? glyph.DisabledIndex : glyph.ImageIndex;
            if (index != -1) glyph.Images->Draw(FBuffer.Canvas(), at.glyphX, at.glyphY, index, false);
        }
    }
    RECT t{at.textX, at.textY, at.textX + text.cx, at.textY + text.cy};
    SetTextColor(dc, CaptionColor(frame, ButtonFontColor()));
    if (caption.empty()) return;
    {
        TransparentText mode(dc);
        DrawTextWide(dc, caption, t, BiDiFlags(*this, LayoutTextFlags(layout)));
    }
    if (FocusFrameAllowed()) {
        InflateRect(&t, 2, 2);
        DrawFocusRect(dc, &t);
    }
}

void TSkinBitButton::DrawPictureAndCaption(HDC dc, const RECT& client, TGraphic& picture) {
    TControl* control = Control();
    const SIZE size{picture.Width(), picture.Height()};
    const TButtonLayout layout = LayoutFromName(GetEnumProperty(control, "Layout"));
    int margin = GetOrdProperty(control, "Margin");
    if (Lower(GetEnumProperty(control, "Alignment")) == "tacenter") margin = -1;
    const std::wstring caption = ReplaceLineBreakMark(FText);
    const SIZE text = MeasureCaption(dc, caption, client, size, layout);
    const TGlyphLayout at = PlaceGlyph(client, size, text, layout, margin, GetOrdProperty(control, "Spacing"), false);
    FBuffer.Canvas().Draw(at.glyphX, at.glyphY, picture);
    RECT t{at.textX, at.textY, at.textX + text.cx, at.textY + text.cy};
    SetTextColor(dc, CaptionColor(StateFrame(), ButtonFontColor()));
    if (caption.empty()) return;
    {
        TransparentText mode(dc);
        DrawTextWide(dc, caption, t, BiDiFlags(*this, LayoutTextFlags(layout)));
    }
    if (FocusFrameAllowed()) {
        InflateRect(&t, 2, 2);
        DrawFocusRect(dc, &t);
    }
}

// ---- TSkinSpeedButton ----------------------------------------------------------------------------

TSkinSpeedButton::TSkinSpeedButton(TComponent* owner) : TSkinBitButton(owner) {}

TSkinSpeedButton::~TSkinSpeedButton() = default; // the base takes its layer off the button

void TSkinSpeedButton::Unhook() {
    // The base's layer over the WindowProc is taken off by its own destructor; taking it off
    // early lets the speed button live on with its own look.
    UnhookWindowProc();
}

bool TSkinSpeedButton::OnAttach(const TAttachContext& context) {
    if (context.Kind != TAttachKind::SpeedButton) return TSkinControl::OnAttach(context);
    auto* control = dynamic_cast<TControl*>(Owner());
    if (!control || dynamic_cast<TWinControl*>(control)) return false;
    FGraphicControl = control;
    HookWindowProc(*control);
    FTransparent = control->Tag() == kTransparentTag ||
                   (FSkinData && (FSkinData->Options() & SkinOptionBit(xoTransparent)) != 0);
    control->Invalidate();
    return true;
}

bool TSkinSpeedButton::PropertyTrue(const char* name) const {
    return Lower(GetEnumProperty(FGraphicControl, name)) == "true";
}

int TSkinSpeedButton::StateFrame() const {
    return SpeedButtonFrame(PropertyTrue("Down"), {PropertyTrue("Enabled"), (FMouseFlags & mfPressed) != 0,
                                                   (FMouseFlags & mfHot) != 0, false});
}

bool TSkinSpeedButton::BeforeMessage(TMessage& m) {
    if (!ButtonElement()) return TSkinControl::BeforeMessage(m);
    switch (m.Msg) {
    case WM_PAINT: return WMPaint(m);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return WMLButtonDown(m);
    case WM_LBUTTONUP: return true;
    default: return TSkinBitButton::BeforeMessage(m);
    }
}

bool TSkinSpeedButton::WMPaint(TMessage& m) {
    m.Result = 1;
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    auto* button = dynamic_cast<TGraphicControl*>(FGraphicControl);
    // While drawing, the parent's background paint comes back here for this very button.
    if (!dc || !button || FPainting || ControlGone()) return false;
    TCanvasBinding bound(static_cast<TControlCanvas&>(button->Canvas()), dc);
    // A failed paint leaves the button undrawn this time; the canvas is unbound anyway.
    SwallowFailures([&] { DrawSpeedButton(dc, RECT{0, 0, button->Width(), button->Height()}); });
    return false;
}

bool TSkinSpeedButton::WMLButtonDown(TMessage& m) {
    // The speed button handles the press itself (Down, groups, OnMouseDown).
    if (!CallPrevious(m)) return false;
    FMouseFlags |= mfPressed;
    PaintControl(nullptr);
    return false;
}

void TSkinSpeedButton::AfterMessage(TMessage& m) {
    switch (m.Msg) {
    case WM_ENABLE:
    case CM_FOCUSCHANGED:
    case CM_ENABLEDCHANGED:
        break;
    case WM_NCDESTROY:
    case CM_RELEASE:
        Unhook();
        break;
    case WM_KEYDOWN:
        if (m.WParam == VK_SPACE) {
            FMouseFlags |= mfPressed;
            PaintControl(nullptr);
        }
        break;
    case WM_KEYUP:
        if (m.WParam != VK_SPACE) break;
        [[fallthrough]];
    case WM_LBUTTONUP:
        FMouseFlags &= static_cast<uint8_t>(~mfPressed);
        PaintControl(nullptr);
        break;
    case CM_MOUSEENTER:
        FMouseFlags |= mfHot;
        PaintControl(nullptr);
        break;
    case CM_MOUSELEAVE:
        FMouseFlags &= static_cast<uint8_t>(~(mfHot | mfPressed));
        if (FGraphicControl && FGraphicControl->Visible()) PaintControl(nullptr);
        break;
    default:
        TSkinBitButton::AfterMessage(m);
        break;
    }
}

void TSkinSpeedButton::PaintControl(HDC) {
    auto* button = dynamic_cast<TGraphicControl*>(FGraphicControl);
    if (!button || ControlGone()) return;
    TCanvas& canvas = button->Canvas();
    if (canvas.HandleAllocated()) {
        SwallowFailures([&] { DrawSpeedButton(canvas.Handle(), RECT{0, 0, button->Width(), button->Height()}); });
        return;
    }
    // Outside a paint the button has no device context of its own: its parent repaints it.
    button->Invalidate();
}

void TSkinSpeedButton::DrawSpeedButton(HDC dc, const RECT& rect) {
    if (FPainting || !ButtonElement() || !FGraphicControl) return;
    struct Guard {
        bool& flag;
        explicit Guard(bool& f) : flag(f) { flag = true; }
        ~Guard() { flag = false; }
    } guard(FPainting);

    TControl* button = FGraphicControl;
    const bool enabled = PropertyTrue("Enabled");
    const bool down = PropertyTrue("Down");
    const bool flat = PropertyTrue("Flat");
    FIsEnabled = enabled;
    FIsFocused = false;
    FText = GetWideProperty(button, "Caption");
    const int frame = StateFrame();
    const int glyphNumber = GlyphNumber(frame, down);

    const RECT r = AtOrigin(rect);
    if (r.right < 1 || r.bottom < 1) return;
    FBuffer.SetSize(r.right, r.bottom);
    HDC buffer = FBuffer.Canvas().Handle();
    if (!buffer) return;
    if (FTransparent) PaintParentBackground(*button, buffer);
    else FillFace(buffer, r);
    if (frame == bfPressed || frame == bfHot || !flat) {
        TDataSkinButton* element = ButtonElement();
        DrawElementFrame(*this, buffer, r, element->Frame > 0 ? element->Frame : 5, frame, element);
    }
    ScopedSelect font(buffer, button->Font().Handle());
    SetTextColor(buffer, CaptionColor(frame, button->Font().Color()));

    const TGlyphSource glyph = ReadGlyph(button);
    if (glyph.Glyph && glyph.Size.cx > 0 && glyph.Size.cy > 0) {
        const TButtonLayout layout = LayoutFromName(GetEnumProperty(button, "Layout"));
        const std::wstring caption = ReplaceLineBreakMark(FText);
        const SIZE text = MeasureCaption(buffer, caption, r, glyph.Size, layout);
        const TGlyphLayout at = PlaceGlyph(r, glyph.Size, text, layout, GetOrdProperty(button, "Margin"),
                                           GetOrdProperty(button, "Spacing"), true);
        DrawGlyph(buffer, at.glyphX, at.glyphY, glyph.NumGlyphs, glyphNumber, *glyph.Glyph);
        RECT t{at.textX, at.textY, at.textX + text.cx, at.textY + text.cy};
        if (!caption.empty()) {
            TransparentText mode(buffer);
            DrawTextWide(buffer, caption, t, BiDiFlags(*this, LayoutTextFlags(layout)));
        }
    } else {
        DrawButtonCaption(buffer, r, DT_CENTER, FText, false);
    }
    BitBlt(dc, rect.left, rect.top, r.right, r.bottom, buffer, 0, 0, SRCCOPY);
}

// ---- TSkinMenuButton -----------------------------------------------------------------------------

int TSkinMenuButton::StateFrame() const {
    return MenuButtonFrame({FIsEnabled, (FMouseFlags & mfPressed) != 0, (FMouseFlags & mfHot) != 0, FIsFocused});
}

void TSkinMenuButton::DrawSkin(HDC dc, const RECT& rect) {
    if (!ButtonElement()) return;
    RefreshButtonState();
    const int frame = StateFrame();
    if (!PrepareBuffer(rect, frame)) return;
    HDC buffer = FBuffer.Canvas().Handle();
    ScopedSelect font(buffer, ButtonFont());
    const RECT client = AtOrigin(rect);
    const int cx = client.right, cy = client.bottom;

    const std::wstring caption = ReplaceLineBreakMark(FText);
    SIZE text{0, 0};
    if (!caption.empty()) {
        RECT box{0, 0, cx - kMenuArrowWidth, cy};
        InflateRect(&box, -2, -2);
        DrawTextWide(buffer, caption, box, DT_CALCRECT | DT_WORDBREAK);
        text = SIZE{Width(box), Height(box)};
    }
    const int ty = (cy - text.cy + 1) / 2, tx = (cx - kMenuArrowWidth - text.cx) / 2 + 2;

    const TColor ink = ColorToRGB(FIsEnabled ? clWindowText : clBtnShadow);
    SetTextColor(buffer, CaptionColor(frame, ButtonFontColor()));
    {
        UniqueBrush brush(CreateSolidBrush(ink));
        UniquePen pen(CreatePen(PS_SOLID, 1, ink));
        ScopedSelect selectBrush(buffer, brush.get());
        ScopedSelect selectPen(buffer, pen.get());
        const POINT arrow[3] = {{cx - 12, cy / 2 + 2}, {cx - 15, cy / 2 - 1}, {cx - 9, cy / 2 - 1}};
        Polygon(buffer, arrow, 3);
    }
    RECT t{tx, ty, tx + text.cx, ty + text.cy};
    if (!caption.empty()) {
        TransparentText mode(buffer);
        DrawTextWide(buffer, caption, t, DT_WORDBREAK);
    }
    // An empty caption still shows the focus: a small frame where the caption would sit.
    if (FocusFrameAllowed()) {
        InflateRect(&t, 2, 2);
        DrawFocusRect(buffer, &t);
    }
    CopyBuffer(dc, rect);
}

} // namespace wl
