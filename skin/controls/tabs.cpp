// Tab controls, tab sets, button tabs, pages and the other library's page control, with the tab
// geometry rules.
#include "skin/controls/tabs.h"

#include "skin/archive/bitmaps.h"
#include "skin/controls/captions.h"
#include "skin/data/skin_data.h"
#include "skin/data/skin_elements.h"
#include "skin/draw/skin_draw.h"
#include "skin/draw/swallowed.h"
#include "skin/forms/win_skin_form.h"
#include "ui/comctrls.h"
#include "ui/extctrls.h"
#include "ui/graphics_colors.h"
#include "ui/strconv.h"

#include <algorithm>

namespace wl {

WL_DEFINE_CLASS(TSkinTab, WL_NO_PROPERTIES)
WL_DEFINE_CLASS(TSkinTabBtn, WL_NO_PROPERTIES)
WL_DEFINE_CLASS(TSkinTab31, WL_NO_PROPERTIES)
WL_DEFINE_CLASS(TSkinTabSheet, WL_NO_PROPERTIES)
WL_DEFINE_CLASS(TSkinAdvPage, [](ClassBuilder<TSkinAdvPage>& c) {
    c.Int("PageStyle", &TSkinAdvPage::PageStyle, &TSkinAdvPage::SetPageStyle);
})

namespace {

constexpr int kCloseTag = 7777;
constexpr int kTabTextChars = 80;
constexpr int kAdvPicturePageStyle = 4;
constexpr SIZE kAdvPictureSize{100, 21};
// The page frame of a [Tabs] Border image keeps these edges (its top is the tabs' side).
constexpr RECT kBorderMargins{4, 5, 4, 4};

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

RECT MakeRect(LONG l, LONG t, LONG r, LONG b) { return RECT{l, t, r, b}; }

// A tab's caption and image index, read the way the window stores them.
struct TTabItem {
    std::wstring Text;
    int Image = -1;
};

TTabItem ReadTabItem(HWND tab, int index, bool unicode) {
    TTabItem result;
    if (unicode) {
        wchar_t buffer[kTabTextChars + 1] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_STATE;
        item.pszText = buffer;
        item.cchTextMax = kTabTextChars;
        if (SendMessageW(tab, TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item))) {
            result.Text = buffer;
            result.Image = item.iImage;
        }
    } else {
        char buffer[kTabTextChars + 1] = {};
        TCITEMA item{};
        item.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_STATE;
        item.pszText = buffer;
        item.cchTextMax = kTabTextChars;
        if (SendMessageA(tab, TCM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item))) {
            result.Text = AnsiToWide(buffer);
            result.Image = item.iImage;
        }
    }
    return result;
}

HFONT WindowFont(HWND window) {
    auto font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    return font ? font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

// The skin's [Tabs] element when it has its cells.
TDataSkinBorder* TabsElement(const TSkinData* data) {
    return data && data->Tabs && !data->Tabs->Image.Empty() ? data->Tabs.get() : nullptr;
}

void CopyAs24(TBitmap& target, const TBitmap& source) {
    target.Assign(source);
    target.SetPixelFormat(pf24bit);
}

void DrawCloseBox(HDC dc, const RECT& box, COLORREF color) {
    UniquePen pen(CreatePen(PS_SOLID, 1, color));
    ScopedSelect select(dc, pen.get());
    ScopedSelect noFill(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, box.left, box.top, box.right, box.bottom);
    MoveToEx(dc, box.left, box.top, nullptr);
    LineTo(dc, box.right, box.bottom);
    MoveToEx(dc, box.right - 1, box.top, nullptr);
    LineTo(dc, box.left - 1, box.bottom);
}

} // namespace

// ---- geometry ------------------------------------------------------------------------------------

uint8_t TabOrientation(LONG_PTR style) {
    // TCS_RIGHT is the same bit as TCS_BOTTOM; TCS_VERTICAL tells which one is meant.
    if (style & TCS_VERTICAL) return (style & TCS_RIGHT) ? toRight : toLeft;
    return (style & TCS_BOTTOM) ? toBottom : toTop;
}

RECT TabPaneRect(const RECT& display, uint8_t orientation) {
    RECT p = display;
    InflateRect(&p, 4, 4);
    switch (orientation) {
    case toTop: ++p.top; break;
    case toBottom: --p.bottom; break;
    case toLeft: ++p.left; break;
    default: --p.right; break;
    }
    return p;
}

RECT TabStripRect(const RECT& window, const RECT& pane, uint8_t orientation) {
    switch (orientation) {
    case toTop: return MakeRect(window.left, window.top, window.right, pane.top);
    case toBottom: return MakeRect(window.left, pane.bottom, window.right, window.bottom);
    case toLeft: return MakeRect(window.left, window.top, pane.left, window.bottom);
    default: return MakeRect(pane.right, window.top, window.right, window.bottom);
    }
}

RECT TabInStrip(const RECT& tab, uint8_t orientation, const RECT& window, const RECT& pane, int length) {
    RECT r = tab;
    switch (orientation) {
    case toTop:
        // One pixel down so the tab's foot covers the frame's top line.
        OffsetRect(&r, 0, 1);
        return r;
    case toBottom:
        OffsetRect(&r, 0, -(pane.bottom + 1));
        return r;
    case toLeft:
        // Turned a quarter counter-clockwise afterwards: strip x runs up the window.
        return MakeRect(length - tab.bottom, tab.left, length - tab.top, tab.right);
    default:
        // Turned a quarter clockwise afterwards: strip x runs down the window.
        return MakeRect(tab.top, window.right - tab.right, tab.bottom, window.right - tab.left);
    }
}

int TabFrame(bool selected, int frames) { return selected && frames >= 2 ? 2 : 1; }

RECT TabCloseBox(const RECT& tab) { return MakeRect(tab.right - 8, tab.top + 2, tab.right - 2, tab.top + 8); }

RECT TurnedMargins(const RECT& m, uint8_t orientation) {
    switch (orientation) {
    case toTop: return m;
    case toBottom: return MakeRect(m.left, m.bottom, m.right, m.top);
    case toLeft: return MakeRect(m.top, m.right, m.bottom, m.left);
    default: return MakeRect(m.bottom, m.left, m.top, m.right);
    }
}

std::vector<RECT> LayoutTabSet(const std::vector<int>& textWidths, int startMargin, int endMargin, int width,
                               int height, bool scrollerShown) {
    std::vector<RECT> rects;
    rects.reserve(textWidths.size());
    int x = startMargin;
    const int room = scrollerShown ? 21 : 9;
    for (int w : textWidths) {
        if (x + w + room <= width - endMargin) {
            rects.push_back(MakeRect(x, 0, x + w + 9, height));
            x += w + 9;
        } else {
            rects.push_back(RECT{0, 0, 0, 0});
        }
    }
    return rects;
}

// ---- scroll arrows -------------------------------------------------------------------------------

bool TTabArrows::Find(TSkinControl& owner, HWND tab) {
    HWND arrows = tab ? FindWindowExW(tab, nullptr, UPDOWN_CLASSW, nullptr) : nullptr;
    if (arrows != FWindow) {
        // The tab control made new arrows (or dropped them): the old companion goes with them.
        FCompanion.reset();
        FWindow = arrows;
        if (arrows) {
            // Owned here and kept out of the form's list, so nobody else frees it.
            FCompanion.reset(CreateCompanion("TSkinUpDown", nullptr));
            if (FCompanion) FCompanion->Attach(TAttachContext::ForWindow(arrows, nullptr, owner.SkinData(), owner.Canvas()));
        }
    }
    return arrows && (GetWindowLongPtrW(arrows, GWL_STYLE) & WS_VISIBLE);
}

// ---- TSkinTab ------------------------------------------------------------------------------------

bool TSkinTab::OnAttach(const TAttachContext& context) {
    if (context.Kind == TAttachKind::Handle) {
        // A bare tab window keeps the mode discovery gave it.
        const int mode = FMode;
        if (!TSkinControl::OnAttach(context)) return false;
        FMode = mode;
        RefreshState();
        PrepareTabImages();
        FUpDown.Find(*this, FHandle);
        Redraw();
        return true;
    }
    if (context.Kind != TAttachKind::Control) return TSkinControl::OnAttach(context);
    if (!TSkinControl::OnAttach(context)) return false;
    RefreshState();
    auto* pages = dynamic_cast<TPageControl*>(FControl);
    FCloseButtons = pages && pages->Tag() == kCloseTag && pages->TabPosition() == tpTop;
    PrepareTabImages();
    FUpDown.Find(*this, FHandle);
    FSkinActive = true;
    Redraw();
    return true;
}

void TSkinTab::SkinChanged() {
    PrepareTabImages();
    if (FUpDown.Companion()) FUpDown.Companion()->SkinChanged();
    TSkinControl::SkinChanged();
}

void TSkinTab::PrepareTabImages() {
    FOrientation = FHandle ? TabOrientation(GetWindowLongPtrW(FHandle, GWL_STYLE)) : uint8_t{toTop};
    FTabImage.Clear();
    FPaneImage.Clear();
    TDataSkinBorder* tabs = FSkinData ? FSkinData->Tabs.get() : nullptr;
    if (!tabs) return;
    if (!tabs->Image.Empty()) CopyAs24(FTabImage, tabs->Image);
    if (tabs->Style == 0 && !tabs->Image2.Empty()) CopyAs24(FPaneImage, tabs->Image2);
    else if (tabs->Style == 1 && FSkinData->TabPane && !FSkinData->TabPane->Image.Empty())
        CopyAs24(FPaneImage, FSkinData->TabPane->Image);
    switch (FOrientation) {
    case toBottom:
        if (!FTabImage.Empty()) FlipBitmap(FTabImage);
        if (!FPaneImage.Empty()) FlipBitmap(FPaneImage);
        break;
    case toLeft:
        if (!FPaneImage.Empty()) RotateLeft(FPaneImage);
        break;
    case toRight:
        if (!FPaneImage.Empty()) RotateRight(FPaneImage);
        break;
    default: break;
    }
}

bool TSkinTab::StripDrawn() const { return !FTabImage.Empty() && TabsElement(FSkinData); }

bool TSkinTab::BeforeMessage(TMessage& m) {
    if (!TSkinControl::BeforeMessage(m)) return false;
    switch (m.Msg) {
    case WM_PAINT:
    case WM_PRINTCLIENT:
        // The control's own paint; the page frame follows after it (AfterMessage).
        if (!StripDrawn()) return true;
        HandlePaint(*this, m);
        return false;
    case WM_ERASEBKGND:
        // The page frame covers everything the strip does not; erasing first would only flicker.
        if (FPaneImage.Empty() || !StripDrawn()) return true;
        m.Result = 1;
        return false;
    case WM_LBUTTONDOWN:
        return !CloseBoxClicked(m);
    default:
        return true;
    }
}

void TSkinTab::AfterMessage(TMessage& m) {
    switch (m.Msg) {
    case WM_MOUSEMOVE:
        TrackHotTab(m);
        break;
    case WM_MOUSELEAVE:
    case CM_MOUSELEAVE:
        if (FHotTab != -1) {
            FHotTab = -1;
            Redraw();
        }
        break;
    default:
        TSkinControl::AfterMessage(m);
        break;
    }
}

void TSkinTab::TrackHotTab(TMessage& m) {
    TCHITTESTINFO hit{};
    hit.pt = POINT{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
    const int tab = static_cast<int>(SendMessageW(FHandle, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (tab == FHotTab) return;
    FHotTab = tab;
    TrackMouseLeave();
    Redraw();
}

bool TSkinTab::CloseBoxClicked(TMessage& m) {
    if (!FCloseButtons) return false;
    const POINT pt{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
    for (size_t i = 0; i < FCloseRects.size(); ++i) {
        if (!PtInRect(&FCloseRects[i], pt)) continue;
        const int tab = static_cast<int>(i);
        HWND target = FSkinForm && FSkinForm->Handle() ? FSkinForm->Handle() : GetAncestor(FHandle, GA_ROOT);
        const LRESULT answer =
            SendMessageW(target, SKM_TABCLOSE, reinterpret_cast<WPARAM>(FHandle), static_cast<LPARAM>(tab));
        // A page's tab index differs from its place in Pages when pages before it hide
        // their tabs: free the page that owns the clicked tab.
        if (answer == 0)
            if (auto* pages = dynamic_cast<TPageControl*>(FControl); pages && !ControlGone())
                for (int p = 0; p < pages->PageCount(); ++p)
                    if (pages->Pages(p)->TabIndex() == tab) {
                        delete pages->Pages(p);
                        break;
                    }
        m.Result = 0;
        return true;
    }
    return false;
}

void TSkinTab::DrawSkin(HDC dc, const RECT& rect) {
    RefreshState();
    if (TabOrientation(GetWindowLongPtrW(FHandle, GWL_STYLE)) != FOrientation) PrepareTabImages();
    RECT display = rect;
    SendMessageW(FHandle, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
    const RECT pane = TabPaneRect(display, FOrientation);
    const int count = static_cast<int>(SendMessageW(FHandle, TCM_GETITEMCOUNT, 0, 0));
    FCloseRects.assign(static_cast<size_t>(std::max(count, 0)), RECT{0, 0, 0, 0});
    if (StripDrawn()) DrawStrip(dc, rect, pane);
    if (!FPaneImage.Empty()) DrawPane(dc, pane);
    if (FControl && FMode == 2 && !ControlGone()) FControl->PaintControls(dc);
}

void TSkinTab::DrawStrip(HDC dc, const RECT& window, const RECT& pane) {
    TDataSkinBorder& tabs = *FSkinData->Tabs;
    const RECT strip = TabStripRect(window, pane, FOrientation);
    const bool across = FOrientation == toTop || FOrientation == toBottom;
    const int length = across ? Width(strip) : Height(strip);
    const int thickness = across ? Height(strip) : Width(strip);
    if (length <= 0 || thickness <= 0) return;

    FStrip.SetSize(length, thickness);
    FStrip.SetPixelFormat(pf24bit);
    TElementDraw cell = ElementDraw(tabs);
    cell.Image = &FTabImage;
    cell.Frames = std::max(1, tabs.Frame);
    if (FOrientation == toBottom) cell.Margins = TurnedMargins(cell.Margins, toBottom);
    const int count = static_cast<int>(FCloseRects.size());
    const int selected = static_cast<int>(SendMessageW(FHandle, TCM_GETCURSEL, 0, 0));
    const auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(FHandle, TCM_GETIMAGELIST, 0, 0));
    {
        HDC sdc = FStrip.Canvas().Handle();
        FillFace(sdc, RECT{0, 0, length, thickness});
        ScopedSelect font(sdc, WindowFont(FHandle));
        for (int i = 0; i < count; ++i) {
            const TTabItem item = ReadTabItem(FHandle, i, FUnicode);
            RECT tab{};
            if (!SendMessageW(FHandle, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&tab)))
                continue;
            const RECT r = TabInStrip(tab, FOrientation, window, pane, length);
            const int frame = TabFrame(i == selected, cell.Frames);
            DrawElement(sdc, r, cell.Cell(frame));
            RECT caption = r;
            if (FCloseButtons) {
                // Close boxes exist only with tabs on top, where strip and window coincide.
                const RECT box = TabCloseBox(r);
                DrawCloseBox(sdc, box, ColorToRGB(tabs.NormalColour2));
                FCloseRects[static_cast<size_t>(i)] = box;
                caption.right = box.left - 1; // the caption never runs under the box
            }
            const bool lit = i == selected;
            SetTextColor(sdc, ColorToRGB(lit ? tabs.MouseOverColour2 : tabs.NormalColour2));
            DrawImageCaption(*this, sdc, caption, 1, item.Text, item.Image, images);
        }
    }
    if (FOrientation == toLeft) RotateLeft(FStrip);
    else if (FOrientation == toRight) RotateRight(FStrip);

    ScopedDCState saved(dc);
    if (FUpDown.Find(*this, FHandle)) {
        // Keep the arrows visible over the strip.
        RECT arrows{};
        GetWindowRect(FUpDown.Window(), &arrows);
        MapWindowPoints(nullptr, FHandle, reinterpret_cast<POINT*>(&arrows), 2);
        ExcludeClipRect(dc, arrows.left, arrows.top, arrows.right, arrows.bottom);
    }
    BitBlt(dc, strip.left, strip.top, Width(strip), Height(strip), FStrip.Canvas().Handle(), 0, 0, SRCCOPY);
}

void TSkinTab::DrawPane(HDC dc, const RECT& pane) {
    const TDataSkinBorder* tabs = FSkinData ? FSkinData->Tabs.get() : nullptr;
    RECT margins = kBorderMargins;
    if (tabs && tabs->Style != 0 && FSkinData->TabPane) margins = FSkinData->TabPane->Margins();
    // A broken frame image must not stop the control painting.
    SwallowFailures([&] {
        DrawElement(dc, pane,
                    TElementDraw{.Image = &FPaneImage,
                                 .Margins = TurnedMargins(margins, FOrientation),
                                 .Frames = 1,
                                 .Index = 1,
                                 .Tile = false,
                                 .Transparent = false});
    });
}

// ---- TSkinTabBtn ---------------------------------------------------------------------------------

bool TSkinTabBtn::BeforeMessage(TMessage& m) {
    if (!TSkinControl::BeforeMessage(m)) return false;
    if ((m.Msg == WM_PAINT || m.Msg == WM_PRINTCLIENT) && FSkinData && HasElement(FSkinData->Buttons.get())) {
        HandlePaint(*this, m);
        return false;
    }
    return true;
}

void TSkinTabBtn::DrawSkin(HDC dc, const RECT& rect) {
    if (!FSkinData || !HasElement(FSkinData->Buttons.get())) return;
    TDataSkinButton& buttons = *FSkinData->Buttons;
    FIsEnabled = FControl ? FControl->Enabled() : IsWindowEnabled(FHandle) != FALSE;
    const int count = static_cast<int>(SendMessageW(FHandle, TCM_GETITEMCOUNT, 0, 0));
    const int selected = static_cast<int>(SendMessageW(FHandle, TCM_GETCURSEL, 0, 0));
    const auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(FHandle, TCM_GETIMAGELIST, 0, 0));
    // The whole window in one buffer: buttons sit wherever the tab position puts them, and the
    // page area gets the face colour (the pages, clipped out, paint themselves).
    TBitmap buffer(std::max(1, Width(rect)), std::max(1, Height(rect)));
    HDC bdc = buffer.Canvas().Handle();
    FillFace(bdc, rect);
    {
        ScopedSelect font(bdc, WindowFont(FHandle));
        TElementDraw cell = ElementDraw(buttons);
        cell.Frames = std::max(1, buttons.Frame);
        for (int i = 0; i < count; ++i) {
            RECT tab{};
            if (!SendMessageW(FHandle, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&tab)))
                continue;
            const TTabItem item = ReadTabItem(FHandle, i, FUnicode);
            OffsetRect(&tab, 0, 1);
            const bool down = i == selected;
            DrawElement(bdc, tab, cell.Cell(down ? 2 : 1));
            COLORREF text = RGB(0, 0, 0);
            if (!down && buttons.HasNormalColour2) text = ColorToRGB(buttons.NormalColour2);
            if (down && buttons.HasPressedColour2) text = ColorToRGB(buttons.PressedColour2);
            SetTextColor(bdc, text);
            DrawImageCaption(*this, bdc, tab, 1, item.Text, item.Image, images);
        }
    }
    BitBlt(dc, rect.left, rect.top, Width(rect), Height(rect), bdc, 0, 0, SRCCOPY);
}

// ---- TSkinTab31 ----------------------------------------------------------------------------------

bool TSkinTab31::OnAttach(const TAttachContext& context) {
    if (context.Kind != TAttachKind::Control) return TSkinControl::OnAttach(context);
    if (!TSkinControl::OnAttach(context)) return false;
    PrepareTabImage();
    if (FControl->ComponentCount() > 0)
        if (auto* scroller = dynamic_cast<TWinControl*>(FControl->Components(0));
            scroller && scroller->ClassName().find("Scroller") != std::string::npos) {
            FScroller = scroller;
            FUpDown.reset(CreateCompanion("TSkinUpDown", nullptr));
            if (FUpDown) {
                // The arrows of a tab set point left and right.
                SetPropertyText(FUpDown.get(), "Horizontal", "True");
                FUpDown->Attach(TAttachContext::ForWindow(scroller->Handle(), nullptr, FSkinData, FCanvas));
            }
        }
    Redraw();
    return true;
}

void TSkinTab31::PrepareTabImage() {
    FTabImage.Clear();
    if (TDataSkinBorder* tabs = TabsElement(FSkinData)) {
        CopyAs24(FTabImage, tabs->Image);
        FlipBitmap(FTabImage);
    }
}

void TSkinTab31::SkinChanged() {
    PrepareTabImage();
    if (FUpDown) FUpDown->SkinChanged();
    TSkinControl::SkinChanged();
}

bool TSkinTab31::BeforeMessage(TMessage& m) {
    if (!TSkinControl::BeforeMessage(m)) return false;
    switch (m.Msg) {
    case WM_PAINT:
        // The tab set still paints; the skin goes over it once more afterwards.
        HandlePaint(*this, m);
        return true;
    case WM_ERASEBKGND:
        m.Result = 1;
        return false;
    default:
        return true;
    }
}

void TSkinTab31::DrawSkin(HDC dc, const RECT& rect) {
    TDataSkinBorder* tabs = TabsElement(FSkinData);
    if (!tabs || FTabImage.Empty() || !FControl || ControlGone()) return;
    auto* list = dynamic_cast<TStrings*>(GetObjectProperty(FControl, "Tabs", "TStrings"));
    const int first = std::max(0, GetOrdProperty(FControl, "FirstIndex"));
    const int selected = GetOrdProperty(FControl, "TabIndex");
    const int startMargin = std::max(0, GetOrdProperty(FControl, "StartMargin"));
    const int endMargin = std::max(0, GetOrdProperty(FControl, "EndMargin"));
    const bool scrollerShown = FScroller && FScroller->HandleAllocated() && IsWindowVisible(FScroller->Handle());

    TBitmap buffer(std::max(1, Width(rect)), std::max(1, Height(rect)));
    HDC bdc = buffer.Canvas().Handle();
    FillFace(bdc, rect);
    if (list) {
        ScopedSelect font(bdc, FControl->Font().Handle());
        std::vector<std::wstring> texts;
        std::vector<int> widths;
        for (int i = first; i < list->Count(); ++i) {
            texts.push_back(AnsiToWide(list->Get(i)));
            SIZE size{};
            GetTextExtentPoint32W(bdc, texts.back().c_str(), static_cast<int>(texts.back().size()), &size);
            widths.push_back(size.cx);
        }
        const std::vector<RECT> places =
            LayoutTabSet(widths, startMargin, endMargin, Width(rect), Height(rect), scrollerShown);
        TElementDraw cell = ElementDraw(*tabs);
        cell.Image = &FTabImage;
        cell.Frames = std::max(1, tabs->Frame);
        cell.Margins = TurnedMargins(cell.Margins, toBottom);
        for (size_t k = 0; k < places.size(); ++k) {
            if (IsRectEmpty(&places[k])) continue;
            const bool isSelected = static_cast<int>(k) + first == selected;
            DrawElement(bdc, places[k], cell.Cell(isSelected ? 2 : 1));
            SetTextColor(bdc, ColorToRGB(isSelected ? tabs->MouseOverColour2 : tabs->NormalColour2));
            DrawCenteredCaption(*this, bdc, places[k], DT_CENTER, true, texts[k]);
        }
    }
    BitBlt(dc, rect.left, rect.top, Width(rect), Height(rect), bdc, 0, 0, SRCCOPY);
}

// ---- TSkinTabSheet -------------------------------------------------------------------------------

bool TSkinTabSheet::BeforeMessage(TMessage& m) {
    if (!TSkinControl::BeforeMessage(m)) return false;
    switch (m.Msg) {
    case WM_PAINT:
    case WM_PRINT:
    case WM_PRINTCLIENT:
        HandlePaint(*this, m);
        return false;
    case WM_ERASEBKGND: {
        RECT client{};
        GetClientRect(FHandle, &client);
        if (m.WParam) FillFace(reinterpret_cast<HDC>(m.WParam), client);
        m.Result = 1;
        return false;
    }
    default:
        return true;
    }
}

void TSkinTabSheet::DrawSkin(HDC dc, const RECT& rect) {
    FillFace(dc, rect);
    if (FControl && !ControlGone()) FControl->PaintControls(dc);
}

// ---- TSkinAdvPage --------------------------------------------------------------------------------

bool TSkinAdvPage::OnAttach(const TAttachContext& context) {
    if (context.Kind != TAttachKind::Control) return TSkinControl::OnAttach(context);
    if (!TSkinControl::OnAttach(context)) return false;
    AssignPictures(false);
    return true;
}

void TSkinAdvPage::AssignPictures(bool empty) {
    if (!FControl || ControlGone() || FControl->IsDestroying()) return;
    TDataSkinBorder* tabs = TabsElement(FSkinData);
    if (!empty && (FPageStyle != kAdvPicturePageStyle || !tabs)) return;
    const char* names[] = {"TabBackGround", "TabBackGroundActive"};
    for (int i = 0; i < 2; ++i) {
        auto* picture = dynamic_cast<TPicture*>(GetObjectProperty(FControl, names[i], "TPicture"));
        if (!picture) continue;
        if (empty) {
            picture->Assign(TBitmap());
            continue;
        }
        TElementDraw cell = ElementDraw(*tabs, i + 1);
        cell.Frames = std::max(1, tabs->Frame);
        std::unique_ptr<TBitmap> image = BuildElementImage(RECT{0, 0, kAdvPictureSize.cx, kAdvPictureSize.cy}, cell);
        if (image) picture->Assign(*image);
    }
}

void TSkinAdvPage::SkinChanged() { AssignPictures(false); }

void TSkinAdvPage::Restore() {
    TSkinControl::Restore();
    AssignPictures(true);
}

void TSkinAdvPage::DrawSkin(HDC, const RECT&) {
    // The control paints its tabs from the pictures itself; only its arrows need the skin.
    FUpDown.Find(*this, FHandle);
}

} // namespace wl
