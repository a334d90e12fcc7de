// Status bars and header controls drawn from the skin (see statusbars.h).
#include "skin/controls/statusbars.h"

#include "skin/data/skin_data.h"
#include "skin/data/skin_elements.h"
#include "skin/draw/skin_draw.h"
#include "skin/forms/win_skin_form.h"
#include "ui/comctrls.h"
#include "ui/graphics_colors.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

namespace wl {

WL_DEFINE_CLASS(TSkinStatusBar, WL_NO_PROPERTIES)
WL_DEFINE_CLASS(TSkinHeader, WL_NO_PROPERTIES)

namespace {

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// A caption laid out in `rect`: centred both ways with DT_CENTER, otherwise across the whole
// width and centred vertically; in the shadow colour when disabled.
void DrawCenteredCaption(const TSkinControl& companion, HDC dc, const RECT& rect, UINT alignment, bool enabled,
                         const std::wstring& text) {
    SetBkMode(dc, TRANSPARENT);
    RECT box = rect;
    DrawTextWide(dc, text, box, alignment | DT_CALCRECT | DT_NOCLIP | DT_EXPANDTABS);
    const int dy = (Height(rect) - Height(box)) / 2 - 1;
    if (alignment & DT_CENTER) {
        OffsetRect(&box, (Width(rect) - Width(box)) / 2, dy);
    } else {
        OffsetRect(&box, 0, dy);
        box.left = rect.left;
        box.right = rect.right;
    }
    COLORREF old = CLR_INVALID;
    if (!enabled) old = SetTextColor(dc, ColorToRGB(clBtnShadow));
    DrawTextWide(dc, text, box, BiDiFlags(companion, alignment | DT_EXPANDTABS));
    if (old != CLR_INVALID) SetTextColor(dc, old);
}

// A one-line caption with an optional image-list image before it; alignment 0 left, 1 centre,
// 2 right.
void DrawImageCaption(const TSkinControl& companion, HDC dc, const RECT& rect, int alignment,
                      const std::wstring& text, int imageIndex, HIMAGELIST images) {
    int imageWidth = 0, imageHeight = 0;
    bool useImage = imageIndex != -1 && images && ImageList_GetIconSize(images, &imageWidth, &imageHeight) &&
                    imageWidth < Width(rect);
    if (!useImage) imageWidth = imageHeight = 0;

    constexpr UINT kLine = DT_EXPANDTABS | DT_SINGLELINE | DT_END_ELLIPSIS;
    RECT box = rect;
    if (useImage) box.right += imageWidth + 2;
    int textWidth = 0, textHeight = 0;
    if (!text.empty()) {
        DrawTextWide(dc, text, box, kLine | DT_CALCRECT | DT_NOCLIP);
        textWidth = Width(box);
        textHeight = Height(box);
    }
    int x = alignment == 1   ? (Width(rect) - imageWidth - textWidth) / 2
            : alignment == 2 ? Width(rect) - imageWidth - textWidth - 2
                             : 3;
    if (x < 2) x = 1;
    if (useImage)
        ImageList_Draw(images, imageIndex, dc, rect.left + x, rect.top + (Height(rect) - imageHeight) / 2,
                       ILD_TRANSPARENT);
    if (text.empty()) return;
    box.left = rect.left + x + imageWidth;
    box.top = rect.top + (Height(rect) - textHeight) / 2;
    box.right = std::min<LONG>(box.left + textWidth, rect.right);
    box.bottom = box.top + textHeight;
    SetBkMode(dc, TRANSPARENT);
    COLORREF old = CLR_INVALID;
    if (!companion.IsEnabled()) old = SetTextColor(dc, ColorToRGB(clBtnShadow));
    DrawTextWide(dc, text, box, BiDiFlags(companion, kLine));
    if (old != CLR_INVALID) SetTextColor(dc, old);
}

UINT AlignmentFlag(TAlignment a) {
    switch (a) {
    case taRightJustify: return DT_RIGHT;
    case taCenter: return DT_CENTER;
    default: return DT_LEFT;
    }
}

// Bevel numbers of the status bar edge element: 1 lowered, 2 raised, 3 none.
int BevelNumber(TStatusPanelBevel bevel) {
    switch (bevel) {
    case pbRaised: return 2;
    case pbNone: return 3;
    default: return 1;
    }
}

void DrawPanelFrame(TSkinData& data, HDC dc, RECT rect, int bevel) {
    if (rect.right <= rect.left || rect.bottom <= rect.top) return;
    if (TDataSkinObject* edges = data.StatusBarEdges.get(); HasElement(edges)) {
        TElementDraw d = ElementDraw(*edges, bevel);
        d.Frames = 3;
        d.Transparent = false;
        DrawElement(dc, rect, d);
        return;
    }
    if (bevel == 1) Frame3D(dc, rect, clBtnShadow, clBtnHighlight, 1);
    else if (bevel == 2) Frame3D(dc, rect, clBtnHighlight, clBtnShadow, 1);
}

// Paints the window-less children of `bar` into `dc` (the bar's coordinates), as the bar's own
// paint would.
void PaintWindowlessChildren(TWinControl& bar, HDC dc) {
    for (int i = 0; i < bar.ControlCount(); ++i) {
        auto* child = dynamic_cast<TGraphicControl*>(bar.Controls(i));
        if (!child || !child->Visible()) continue;
        const RECT r = child->BoundsRect();
        if (!RectVisible(dc, &r)) continue;
        ScopedDCState saved(dc);
        POINT origin{};
        GetViewportOrgEx(dc, &origin);
        SetViewportOrgEx(dc, origin.x + r.left, origin.y + r.top, nullptr);
        IntersectClipRect(dc, 0, 0, child->Width(), child->Height());
        child->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    }
}

} // namespace

// ---- TSkinStatusBar ------------------------------------------------------------------------------

bool TSkinStatusBar::BeforeMessage(TMessage& m) {
    switch (m.Msg) {
    case WM_PAINT:
        HandlePaint(*this, m);
        return false;
    case WM_ERASEBKGND:
        m.Result = 1;
        return false;
    default:
        return TSkinControl::BeforeMessage(m);
    }
}

void TSkinStatusBar::DrawSkin(HDC dc, const RECT& rect) {
    auto* bar = dynamic_cast<TCustomStatusBar*>(FControl);
    TBitmap* work = SkinWorkBitmap();
    if (!bar || ControlGone() || !FSkinData || !work || Width(rect) <= 0 || Height(rect) <= 0) return;
    TSkinData& data = *FSkinData;

    if (work->Width() != Width(rect) || work->Height() != Height(rect)) work->SetSize(Width(rect), Height(rect));
    HDC w = work->Canvas().Handle();
    SetStretchBltMode(w, COLORONCOLOR);
    const RECT all{0, 0, Width(rect), Height(rect)};
    FillFace(w, all);

    TFont font;
    font.Assign(bar->Font());
    font.SetStyle(0);
    TColor textColor = font.Color();
    if (data.StatusBarEdges) textColor = data.StatusBarEdges->NormalColour2;
    ScopedSelect selected(w, font.Handle());
    const COLORREF oldText = SetTextColor(w, ColorToRGB(textColor));
    const int oldMode = SetBkMode(w, TRANSPARENT);

    // The size grip sits one pixel inside the bottom-right corner; texts keep clear of it.
    TDataSkinObject* extra = data.ExtraImages.get();
    const bool hasGrip = (GetWindowLongPtrW(FHandle, GWL_STYLE) & SBARS_SIZEGRIP) && HasElement(extra);
    RECT grip{all.right, all.bottom, all.right, all.bottom};
    if (hasGrip) {
        const int fw = extra->Image.Width() / std::max(extra->Frame, 1), fh = extra->Image.Height();
        grip = RECT{all.right - 1 - fw, all.bottom - 1 - fh, all.right - 1, all.bottom - 1};
    }
    auto clearOfGrip = [&](RECT r) {
        if (hasGrip) r.right = std::min(r.right, grip.left);
        return r;
    };

    const int count = bar->Panels()->Count();
    if (bar->SimplePanel() || count == 0) {
        const UINT alignment = GetEnumProperty(bar, "BiDiMode") == "bdRightToLeft" ? DT_RIGHT : DT_LEFT;
        std::wstring text = GetWideProperty(bar, "SimpleText");
        if (text.empty()) text = L" ";
        DrawPanelFrame(data, w, all, 1);
        RECT inner = all;
        InflateRect(&inner, -2, 0);
        DrawCenteredCaption(*this, w, clearOfGrip(inner), alignment, true, text);
    } else {
        for (int i = 0; i < count; ++i) {
            TStatusPanel* panel = bar->Panel(i);
            RECT r{};
            if (!panel || !SendMessageW(FHandle, SB_GETRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r)))
                continue;
            r.right += 2;
            if (i == count - 1) r.right = all.right;
            DrawPanelFrame(data, w, r, BevelNumber(panel->Bevel()));
            if (panel->Style() != psText) continue;
            UINT alignment = AlignmentFlag(panel->Alignment());
            if (GetEnumProperty(panel, "BiDiMode") == "bdRightToLeft" && alignment != DT_CENTER)
                alignment = alignment == DT_LEFT ? DT_RIGHT : DT_LEFT;
            std::wstring text = GetWideProperty(panel, "Text");
            if (text.empty()) text = L" ";
            InflateRect(&r, -2, 0);
            DrawCenteredCaption(*this, w, i == count - 1 ? clearOfGrip(r) : r, alignment, true, text);
        }
    }

    if (hasGrip)
        DrawFrameStretched(w, grip, TElementDraw{.Image = &extra->Image, .Frames = std::max(extra->Frame, 1),
                                                 .Index = 5, .Transparent = true});
    SetBkMode(w, oldMode);
    SetTextColor(w, oldText);

    BitBlt(dc, rect.left, rect.top, Width(rect), Height(rect), w, 0, 0, SRCCOPY);
    PaintWindowlessChildren(*bar, dc);

    // Owner-drawn content comes last, over the skin's bevels.
    if (bar->OnDrawPanel) {
        for (int i = 0; i < count; ++i) {
            RECT r{};
            if (!SendMessageW(FHandle, SB_GETRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r))) continue;
            InflateRect(&r, -2, -2);
            bar->OnDrawPanel(bar, bar->Panel(i), r);
        }
    }
}

// ---- TSkinHeader ---------------------------------------------------------------------------------

bool TSkinHeader::OnAttach(const TAttachContext& context) {
    const bool taken = TSkinControl::OnAttach(context);
    FHotItem = -1;
    return taken;
}

bool TSkinHeader::Skinned() const { return FSkinData && HasElement(FSkinData->Headerbar.get()); }

bool TSkinHeader::BeforeMessage(TMessage& m) {
    switch (m.Msg) {
    case WM_PAINT:
        // Without the skin's header element the header paints itself.
        if (!Skinned()) break;
        HandlePaint(*this, m);
        return false;
    case WM_ERASEBKGND:
        if (!Skinned()) break;
        m.Result = 1;
        return false;
    default:
        break;
    }
    return TSkinControl::BeforeMessage(m);
}

void TSkinHeader::AfterMessage(TMessage& m) {
    switch (m.Msg) {
    case WM_MOUSEMOVE: {
        const POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
        // A point in a gap between items keeps the last hot item.
        for (int i = 0; i < static_cast<int>(FItemRects.size()); ++i) {
            if (i != FHotItem && PtInRect(&FItemRects[static_cast<size_t>(i)], p)) {
                FHotItem = i;
                Redraw();
                break;
            }
        }
        TrackMouseLeave();
        break;
    }
    case WM_MOUSELEAVE:
        FHotItem = -1;
        Redraw();
        break;
    default:
        TSkinControl::AfterMessage(m);
        break;
    }
}

void TSkinHeader::DrawItem(HDC buffer, int index, const RECT& rect, HIMAGELIST images) {
    wchar_t text[201] = {};
    HDITEMW item{};
    item.mask = HDI_TEXT | HDI_FORMAT | HDI_IMAGE;
    item.pszText = text;
    item.cchTextMax = 201;
    if (!SendMessageW(FHandle, HDM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)))
        item = HDITEMW{};
    TDataSkinObject& element = *FSkinData->Headerbar;
    TElementDraw d = ElementDraw(element, index == FHotItem ? 2 : 1);
    d.Frames = std::max(element.Frame, 1);
    auto image = BuildElementImage(RECT{0, 0, Width(rect), Height(rect)}, d);
    if (!image) return;
    HDC idc = image->Canvas().Handle();
    const std::wstring caption = item.pszText ? std::wstring(item.pszText) : std::wstring();
    if (!caption.empty()) {
        ScopedSelect font(idc, GetCurrentObject(buffer, OBJ_FONT));
        SetTextColor(idc, ColorToRGB(element.NormalColour2));
        const int alignment = (item.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT    ? 2
                              : (item.fmt & HDF_JUSTIFYMASK) == HDF_CENTER ? 1
                                                                           : 0;
        const int imageIndex = (item.fmt & (HDF_IMAGE | HDF_OWNERDRAW)) ? item.iImage : -1;
        DrawImageCaption(*this, idc, RECT{0, 0, Width(rect), Height(rect)}, alignment, caption, imageIndex, images);
    }
    BitBlt(buffer, rect.left, rect.top, Width(rect), Height(rect), idc, 0, 0, SRCCOPY);
}

void TSkinHeader::DrawSkin(HDC dc, const RECT& rect) {
    if (!Skinned() || Width(rect) <= 0 || Height(rect) <= 0) return;
    if (FBuffer.Width() != Width(rect) || FBuffer.Height() != Height(rect)) FBuffer.SetSize(Width(rect), Height(rect));
    HDC b = FBuffer.Canvas().Handle();
    ScopedSelect font(b, reinterpret_cast<HGDIOBJ>(SendMessageW(FHandle, WM_GETFONT, 0, 0)));
    FIsEnabled = true;
    SetBkMode(b, TRANSPARENT);
    const auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(FHandle, HDM_GETIMAGELIST, 0, 0));
    const int count = std::max(0, static_cast<int>(SendMessageW(FHandle, HDM_GETITEMCOUNT, 0, 0)));
    FItemRects.assign(static_cast<size_t>(count), RECT{0, 0, 0, 0});

    // Everything right of the last item is drawn as a normal item.
    LONG right = 0;
    for (int i = 0; i < count; ++i) {
        RECT r{};
        if (!SendMessageW(FHandle, HDM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r))) continue;
        DrawItem(b, i, r, images);
        RECT hover = r;
        InflateRect(&hover, -3, 0);
        FItemRects[static_cast<size_t>(i)] = hover;
        right = std::max(right, r.right);
    }
    if (right < rect.right) {
        TElementDraw d = ElementDraw(*FSkinData->Headerbar, 1);
        d.Frames = std::max(FSkinData->Headerbar->Frame, 1);
        d.Transparent = false;
        DrawElement(b, RECT{right, 0, Width(rect), Height(rect)}, d);
    }
    BitBlt(dc, rect.left, rect.top, Width(rect), Height(rect), b, 0, 0, SRCCOPY);
}

} // namespace wl
