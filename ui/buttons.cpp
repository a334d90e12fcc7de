// Glyph push buttons and speed buttons (see buttons.h).
#include "ui/buttons.h"

#include "ui/dialogs.h"

#include <algorithm>
#include <cstdint>

namespace wl {

namespace {

const std::initializer_list<TEnumMember> kLayouts = {
    {"blGlyphLeft", blGlyphLeft}, {"blGlyphRight", blGlyphRight}, {"blGlyphTop", blGlyphTop},
    {"blGlyphBottom", blGlyphBottom}};

// The kind glyphs are drawn here rather than shipped as pictures: 18 x 18 on olive, which the
// bottom-left pixel makes the transparent colour.
void MakeKindGlyph(TBitmap& glyph, TBitBtnKind kind) {
    TBitmap b(18, 18);
    TCanvas& c = b.Canvas();
    c.Brush().SetColor(clOlive);
    c.FillRect({0, 0, 18, 18});
    c.Pen().SetWidth(2);
    auto check = [&](int dx) { c.Polyline({{3 + dx, 9}, {7 + dx, 13}, {14 + dx, 4}}); };
    auto cross = [&] {
        c.MoveTo(4, 4);
        c.LineTo(14, 14);
        c.MoveTo(14, 4);
        c.LineTo(4, 14);
    };
    switch (kind) {
    case bkOK:
    case bkYes:
        c.Pen().SetColor(clGreen);
        check(0);
        break;
    case bkAll:
        c.Pen().SetColor(clGreen);
        check(-2);
        check(2);
        break;
    case bkCancel:
    case bkNo:
        c.Pen().SetColor(clRed);
        cross();
        break;
    case bkAbort:
        c.Pen().SetColor(clRed);
        c.Brush().SetStyle(bsClear);
        c.Ellipse(2, 2, 16, 16);
        c.MoveTo(5, 12);
        c.LineTo(13, 5);
        break;
    case bkHelp:
        c.Pen().SetColor(clNavy);
        c.Polyline({{5, 6}, {6, 3}, {9, 2}, {12, 3}, {13, 6}, {9, 9}, {9, 12}});
        c.MoveTo(9, 14);
        c.LineTo(9, 16);
        break;
    case bkClose:
        c.Pen().SetWidth(1);
        c.Pen().SetColor(clMaroon);
        c.Brush().SetColor(clTeal);
        c.Rectangle(4, 2, 14, 16);
        c.Brush().SetColor(clYellow);
        c.Rectangle(10, 8, 12, 10);
        break;
    case bkRetry:
        c.Pen().SetColor(clGreen);
        c.Polyline({{13, 5}, {9, 3}, {5, 5}, {3, 9}, {5, 13}, {9, 15}, {13, 13}});
        c.Polyline({{10, 5}, {14, 5}, {14, 1}});
        break;
    case bkIgnore:
        c.Pen().SetColor(clGray);
        c.MoveTo(9, 2);
        c.LineTo(9, 11);
        c.MoveTo(9, 14);
        c.LineTo(9, 16);
        break;
    case bkCustom: return;
    }
    glyph.Assign(b);
}

// Draws a caption at a position, embossed when disabled.
void DrawCaption(HDC dc, const std::string& text, RECT r, bool enabled, TColor color) {
    if (text.empty()) return;
    const UINT flags = DT_SINGLELINE | DT_NOCLIP;
    SetBkMode(dc, TRANSPARENT);
    if (!enabled) {
        OffsetRect(&r, 1, 1);
        SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(clBtnHighlight)));
        DrawTextA(dc, text.data(), static_cast<int>(text.size()), &r, flags);
        OffsetRect(&r, -1, -1);
        color = clBtnShadow;
    }
    SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(color)));
    DrawTextA(dc, text.data(), static_cast<int>(text.size()), &r, flags);
}

SIZE CaptionSize(HDC dc, const std::string& text) {
    if (text.empty()) return {0, 0};
    RECT r{0, 0, 0, 0};
    DrawTextA(dc, text.data(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_CALCRECT);
    return {r.right, r.bottom};
}

// Lays out and draws glyph and caption of a button into `content`.
struct TButtonFace {
    TBitmap* glyph;
    int numGlyphs;
    TButtonLayout layout;
    int margin, spacing;
    bool speedButton;
};

RECT DrawFace(TCanvas& canvas, const TButtonFace& face, const RECT& content, TButtonState state,
              const std::string& caption, TColor textColor, int offset) {
    HDC dc = canvas.Handle();
    SIZE text = CaptionSize(dc, caption);
    const bool hasGlyph = face.glyph && !face.glyph->Empty();
    TGlyphLayoutInput in;
    in.clientWidth = content.right - content.left;
    in.clientHeight = content.bottom - content.top;
    in.glyphWidth = hasGlyph ? face.glyph->Width() / std::max(face.numGlyphs, 1) : 0;
    in.glyphHeight = hasGlyph ? face.glyph->Height() : 0;
    in.textWidth = text.cx;
    in.textHeight = text.cy;
    in.layout = face.layout;
    in.margin = face.margin;
    in.spacing = face.spacing;
    in.speedButton = face.speedButton;
    TGlyphLayout out = LayoutGlyphAndCaption(in);
    const int x0 = content.left + offset, y0 = content.top + offset;
    if (hasGlyph) DrawButtonGlyph(canvas, *face.glyph, face.numGlyphs, state, x0 + out.glyphX, y0 + out.glyphY);
    RECT t{x0 + out.textX, y0 + out.textY, x0 + out.textX + text.cx, y0 + out.textY + text.cy};
    DrawCaption(canvas.Handle(), caption, t, state != bsDisabled, textColor);
    return t;
}

} // namespace

int BitBtnKindModalResult(TBitBtnKind kind) {
    switch (kind) {
    case bkOK: return mrOk;
    case bkCancel: return mrCancel;
    case bkYes: return mrYes;
    case bkNo: return mrNo;
    case bkAbort: return mrAbort;
    case bkRetry: return mrRetry;
    case bkIgnore: return mrIgnore;
    case bkAll: return mrAll;
    case bkHelp:
    case bkClose:
    case bkCustom: break;
    }
    return mrNone;
}

std::string BitBtnKindCaption(TBitBtnKind kind) {
    switch (kind) {
    case bkOK: return "OK";
    case bkCancel: return "Cancel";
    case bkHelp: return "&Help";
    case bkYes: return "&Yes";
    case bkNo: return "&No";
    case bkClose: return "&Close";
    case bkAbort: return "Abort";
    case bkRetry: return "&Retry";
    case bkIgnore: return "&Ignore";
    case bkAll: return "&All";
    case bkCustom: break;
    }
    return {};
}

void DrawButtonGlyph(TCanvas& canvas, TBitmap& glyph, int numGlyphs, TButtonState state, int x, int y) {
    numGlyphs = std::max(numGlyphs, 1);
    const int w = glyph.Width() / numGlyphs, h = glyph.Height();
    if (w <= 0 || h <= 0) return;
    int cell = static_cast<int>(state) < numGlyphs ? static_cast<int>(state) : 0;
    TBitmap part(w, h, pf24bit);
    part.Canvas().CopyRect({0, 0, w, h}, glyph.Canvas(), {cell * w, 0, cell * w + w, h});
    if (state == bsDisabled && cell == 0) {
        // No disabled cell of its own: the up cell in grey, the transparent colour kept.
        auto* bottom = static_cast<uint8_t*>(part.ScanLine(h - 1));
        const uint8_t key[3] = {bottom[0], bottom[1], bottom[2]};
        for (int row = 0; row < h; ++row) {
            auto* p = static_cast<uint8_t*>(part.ScanLine(row));
            for (int col = 0; col < w; ++col, p += 3) {
                if (p[0] == key[0] && p[1] == key[1] && p[2] == key[2]) continue;
                // Lighter grey so that the glyph reads as switched off.
                int grey = (p[2] * 30 + p[1] * 59 + p[0] * 11) / 100;
                grey = 128 + grey / 2;
                p[0] = p[1] = p[2] = static_cast<uint8_t>(grey);
            }
        }
    }
    part.SetTransparent(true);
    canvas.Draw(x, y, part);
}

// ---- TBitBtn -----------------------------------------------------------------------------------

WL_DEFINE_CLASS(TBitBtn, [](ClassBuilder<TBitBtn>& c) {
    c.Object("Glyph", [](TBitBtn& b) { return &b.Glyph(); });
    c.Enum("Kind", &TBitBtn::Kind, &TBitBtn::SetKind,
           {{"bkCustom", bkCustom}, {"bkOK", bkOK}, {"bkCancel", bkCancel}, {"bkHelp", bkHelp},
            {"bkYes", bkYes}, {"bkNo", bkNo}, {"bkClose", bkClose}, {"bkAbort", bkAbort},
            {"bkRetry", bkRetry}, {"bkIgnore", bkIgnore}, {"bkAll", bkAll}});
    c.Enum("Layout", &TBitBtn::Layout, &TBitBtn::SetLayout, kLayouts);
    c.Int("Margin", &TBitBtn::Margin, &TBitBtn::SetMargin);
    c.Int("NumGlyphs", &TBitBtn::NumGlyphs, &TBitBtn::SetNumGlyphs);
    c.Int("Spacing", &TBitBtn::Spacing, &TBitBtn::SetSpacing);
})

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner) {
    glyph_.OnChange = [this](TObject*) { Invalidate(); };
}

void TBitBtn::SetNumGlyphs(int n) {
    numGlyphs_ = std::clamp(n, 1, 4);
    Invalidate();
}
void TBitBtn::SetLayout(TButtonLayout layout) {
    layout_ = layout;
    Invalidate();
}
void TBitBtn::SetMargin(int margin) {
    margin_ = std::max(margin, -1);
    Invalidate();
}
void TBitBtn::SetSpacing(int spacing) {
    spacing_ = std::max(spacing, -1);
    Invalidate();
}

void TBitBtn::SetKind(TBitBtnKind kind) {
    if (kind == kind_) return;
    kind_ = kind;
    if (kind != bkCustom) {
        // A definition being read already carries Default, Cancel, and any caption and glyph
        // of its own (they are written before Kind).
        if (!IsLoading()) {
            SetDefault(kind == bkOK || kind == bkYes);
            SetCancel(kind == bkCancel || kind == bkNo);
        }
        if (!IsLoading() || ModalResult() == mrNone) SetModalResult(BitBtnKindModalResult(kind));
        if (!IsLoading() || GetText().empty()) SetCaption(BitBtnKindCaption(kind));
        if (!IsLoading() || glyph_.Empty()) {
            MakeKindGlyph(glyph_, kind);
            numGlyphs_ = 1;
        }
    }
    Invalidate();
}

void TBitBtn::Click() {
    if (kind_ == bkClose) {
        if (TCustomForm* form = GetParentForm()) form->Close();
        return;
    }
    TButton::Click();
}

void TBitBtn::CreateParams(TCreateParams& p) {
    TButton::CreateParams(p);
    p.style = (p.style & ~static_cast<DWORD>(BS_TYPEMASK)) | BS_OWNERDRAW;
}

void TBitBtn::WndProc(TMessage& m) {
    switch (m.Msg) {
    case CN_BASE + WM_DRAWITEM:
        DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam));
        m.Result = TRUE;
        return;
    case BM_SETSTYLE:
        // Becoming the default button must not turn the button into a plain one; the default
        // frame is drawn here.
        m.WParam = (m.WParam & ~static_cast<WPARAM>(BS_TYPEMASK)) | BS_OWNERDRAW;
        TButton::WndProc(m);
        Invalidate();
        return;
    case WM_LBUTTONDBLCLK:
        // Owner-drawn buttons report a quick second click as a double-click, not a click.
        m.Msg = WM_LBUTTONDOWN;
        break;
    default: break;
    }
    TButton::WndProc(m);
}

void TBitBtn::DrawItem(const DRAWITEMSTRUCT& item) {
    TControlCanvas canvas;
    canvas.Attach(item.hDC);
    try {
        HDC dc = canvas.Handle();
        RECT r = item.rcItem;
        const bool pressed = (item.itemState & ODS_SELECTED) != 0;
        const bool focused = (item.itemState & ODS_FOCUS) != 0;
        const bool disabled = (item.itemState & ODS_DISABLED) != 0;
        if (Default() || focused) {
            FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
            InflateRect(&r, -1, -1);
        }
        DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED | DFCS_FLAT : 0));
        RECT content = r;
        InflateRect(&content, -2, -2);
        canvas.Font().Assign(Font());
        TButtonFace face{&glyph_, numGlyphs_, layout_, margin_, spacing_, false};
        RECT text = DrawFace(canvas, face, content, disabled ? bsDisabled : pressed ? bsDown : bsUp,
                             GetText(), Font().Color(), pressed ? 1 : 0);
        if (focused) {
            RECT f = GetText().empty() ? content : text;
            if (!GetText().empty()) InflateRect(&f, 2, 2);
            IntersectRect(&f, &f, &content);
            canvas.DrawFocusRect(f);
        }
    } catch (...) {
        canvas.Detach();
        throw;
    }
    canvas.Detach();
}

// ---- TSpeedButton ------------------------------------------------------------------------------

WL_DEFINE_CLASS(TSpeedButton, [](ClassBuilder<TSpeedButton>& c) {
    c.Bool("AllowAllUp", &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp);
    c.Int("GroupIndex", &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex);
    c.Bool("Down", &TSpeedButton::Down, &TSpeedButton::SetDown);
    c.Str("Caption", [](const TSpeedButton& b) { return b.GetText(); },
          [](TSpeedButton& b, const std::string& t) { b.SetText(t); });
    c.Bool("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat);
    c.Object("Glyph", [](TSpeedButton& b) { return &b.Glyph(); });
    c.Enum("Layout", &TSpeedButton::Layout, &TSpeedButton::SetLayout, kLayouts);
    c.Int("Margin", &TSpeedButton::Margin, &TSpeedButton::SetMargin);
    c.Int("NumGlyphs", &TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs);
    c.Int("Spacing", &TSpeedButton::Spacing, &TSpeedButton::SetSpacing);
})

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner) {
    clickOnMouseUp_ = false;
    glyph_.OnChange = [this](TObject*) { Invalidate(); };
    SetBounds(0, 0, 23, 22);
}

template <class F>
void TSpeedButton::ForEachInGroup(F&& f) {
    if (groupIndex_ == 0 || !Parent()) return;
    TWinControl* p = Parent();
    for (int i = 0; i < p->ControlCount(); ++i)
        if (auto* b = dynamic_cast<TSpeedButton*>(p->Controls(i)); b && b != this && b->groupIndex_ == groupIndex_)
            f(*b);
}

void TSpeedButton::SetNumGlyphs(int n) {
    numGlyphs_ = std::clamp(n, 1, 4);
    Invalidate();
}
void TSpeedButton::SetLayout(TButtonLayout layout) {
    layout_ = layout;
    Invalidate();
}
void TSpeedButton::SetMargin(int margin) {
    margin_ = std::max(margin, -1);
    Invalidate();
}
void TSpeedButton::SetSpacing(int spacing) {
    spacing_ = std::max(spacing, -1);
    Invalidate();
}
void TSpeedButton::SetFlat(bool on) {
    flat_ = on;
    Invalidate();
}

void TSpeedButton::SetGroupIndex(int index) {
    if (index == groupIndex_) return;
    groupIndex_ = std::max(index, 0);
    if (groupIndex_ == 0) down_ = false;
    // Joining a group that already has a button down: this one comes up.
    bool otherDown = false;
    ForEachInGroup([&](TSpeedButton& b) { otherDown = otherDown || b.down_; });
    if (otherDown) down_ = false;
    Invalidate();
}

void TSpeedButton::SetDown(bool on) {
    if (groupIndex_ == 0) on = false;
    if (on == down_) return;
    if (down_ && !allowAllUp_) return; // one of the group stays down
    down_ = on;
    if (on)
        ForEachInGroup([](TSpeedButton& b) {
            if (b.down_) {
                b.down_ = false;
                b.Invalidate();
            }
        });
    Invalidate();
}

void TSpeedButton::SetAllowAllUp(bool on) {
    allowAllUp_ = on;
    ForEachInGroup([on](TSpeedButton& b) { b.allowAllUp_ = on; });
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseDown(button, shift, x, y);
    if (button != mbLeft || !Enabled()) return;
    tracking_ = true;
    pressed_ = true;
    Invalidate();
}

void TSpeedButton::MouseMove(TShiftState shift, int x, int y) {
    TGraphicControl::MouseMove(shift, x, y);
    if (!tracking_) return;
    bool inside = x >= 0 && y >= 0 && x < Width() && y < Height();
    if (inside != pressed_) {
        pressed_ = inside;
        Invalidate();
    }
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseUp(button, shift, x, y);
    if (button != mbLeft || !tracking_) return;
    tracking_ = false;
    pressed_ = false;
    const bool inside = x >= 0 && y >= 0 && x < Width() && y < Height();
    if (inside && groupIndex_ != 0) {
        if (!down_) SetDown(true);
        else if (allowAllUp_) SetDown(false);
    }
    Invalidate();
    if (inside) Click();
}

void TSpeedButton::WndProc(TMessage& m) {
    TGraphicControl::WndProc(m);
    // A flat button shows its frame only while the mouse is over it.
    if ((m.Msg == CM_MOUSEENTER || m.Msg == CM_MOUSELEAVE) && flat_ && Enabled()) Invalidate();
}

void TSpeedButton::Paint() {
    TCanvas& canvas = Canvas();
    RECT r{0, 0, Width(), Height()};
    const bool hot = MouseInside() && Enabled();
    const bool sunken = pressed_ || down_;
    TColor face = Color();
    if (down_ && !pressed_) {
        // A button that stays down is lighter than its neighbours.
        COLORREF a = static_cast<COLORREF>(ColorToRGB(face)), b = static_cast<COLORREF>(ColorToRGB(clBtnHighlight));
        face = static_cast<TColor>(RGB((GetRValue(a) + GetRValue(b)) / 2, (GetGValue(a) + GetGValue(b)) / 2,
                                       (GetBValue(a) + GetBValue(b)) / 2));
    }
    canvas.Brush().SetColor(face);
    canvas.FillRect(r);
    HDC dc = canvas.Handle();
    if (!flat_) DrawEdge(dc, &r, sunken ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);
    else if (sunken) DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    else if (hot) DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
    else InflateRect(&r, -1, -1);
    InflateRect(&r, -1, -1);
    canvas.Font().Assign(Font());
    TButtonState state = !Enabled() ? bsDisabled : pressed_ ? bsDown : down_ ? bsExclusive : bsUp;
    TButtonFace f{&glyph_, numGlyphs_, layout_, margin_, spacing_, true};
    DrawFace(canvas, f, r, state, GetText(), Font().Color(), sunken ? 1 : 0);
}

} // namespace wl
