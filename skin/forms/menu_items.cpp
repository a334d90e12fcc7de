// Skin-drawn menu items: owner-draw switching, WM_MEASUREITEM / WM_DRAWITEM of a skinned window,
// and the item painting shared by the menu-bar drop-downs, the skinned system menu, the popup
// menus of forms and frames, and toolbar and tool-button menus.
#include "skin/forms/menu_items.h"

#include "skin/data/skin_data.h"
#include "skin/draw/skin_draw.h"
#include "skin/draw/swallowed.h"
#include "skin/forms/menu_bar.h"
#include "skin/forms/popup_menu.h"
#include "skin/forms/skin_manage.h"
#include "skin/forms/win_skin_form.h"
#include "ui/forms.h"
#include "ui/frames.h"
#include "ui/imglist.h"
#include "ui/menus.h"
#include "ui/strconv.h"

#include <algorithm>
#include <unordered_map>

namespace wl {

namespace {

// Method names the skin binds its handlers under, so that switching off removes only its own.
constexpr const char* kDrawHandler = "DrawSkinnedItem";
constexpr const char* kMeasureMain = "MeasureMainItem";
constexpr const char* kMeasurePopup = "MeasurePopupItem";

bool Ours(const std::string& method) {
    return method == kDrawHandler || method == kMeasureMain || method == kMeasurePopup;
}

// What the skin replaced while it draws a menu: the application's own item handlers and the
// menu's own OwnerDraw, given back when the skin lets go. An entry goes with its item or menu.
class TReplacedHandlers : public TComponent {
public:
    TReplacedHandlers() : TComponent(nullptr) {}

    void KeepDraw(TMenuItem* item) {
        if (!item->OnDrawItem || Ours(item->OnDrawItem.MethodName())) return;
        Watch(item);
        FItems[item].Draw = item->OnDrawItem;
    }
    void KeepMeasure(TMenuItem* item) {
        if (!item->OnMeasureItem || Ours(item->OnMeasureItem.MethodName())) return;
        Watch(item);
        FItems[item].Measure = item->OnMeasureItem;
    }
    void KeepOwnerDraw(TMenu* menu) {
        if (FMenus.count(menu)) return;
        Watch(menu);
        FMenus[menu] = menu->OwnerDraw();
    }
    // The skin's handlers of `item` give way to what they replaced (or to none).
    void GiveBack(TMenuItem* item) {
        auto it = FItems.find(item);
        const TItemEvents saved = it != FItems.end() ? it->second : TItemEvents{};
        if (it != FItems.end()) FItems.erase(it);
        if (Ours(item->OnDrawItem.MethodName())) item->OnDrawItem = saved.Draw;
        if (Ours(item->OnMeasureItem.MethodName())) item->OnMeasureItem = saved.Measure;
        Unwatch(item);
    }
    // The menu's OwnerDraw as it was before the skin set it (a menu it never set stays).
    void GiveBackOwnerDraw(TMenu* menu) {
        auto it = FMenus.find(menu);
        if (it == FMenus.end()) return;
        const bool before = it->second;
        FMenus.erase(it);
        Unwatch(menu);
        menu->SetOwnerDraw(before);
    }
    bool Took(const TMenu* menu) const { return FMenus.count(menu) != 0; }

    void Notification(TComponent* component, TOperation operation) override {
        TComponent::Notification(component, operation);
        if (operation != opRemove) return;
        FItems.erase(component);
        FMenus.erase(component);
    }

private:
    struct TItemEvents {
        TMenuDrawItemEvent Draw;
        TMenuMeasureItemEvent Measure;
    };
    void Watch(TComponent* c) { c->FreeNotification(this); }
    void Unwatch(TComponent* c) {
        if (!FItems.count(c) && !FMenus.count(c)) c->RemoveFreeNotification(this);
    }
    std::unordered_map<const TComponent*, TItemEvents> FItems;
    std::unordered_map<const TComponent*, bool> FMenus;
};

// One for the thread, never freed: items outlive any form object, and its entries go with them.
TReplacedHandlers& Replaced() {
    thread_local TReplacedHandlers* store = new TReplacedHandlers();
    return *store;
}

// The handlers find the skin object through its window each time: an item may outlive the
// object (a menu shared between forms), and then draws itself again.
TWinSkinForm* LiveSkinForm(HWND window) {
    TSkinManage* m = TSkinManage::Instance();
    TWinSkinForm* f = m && window ? m->FindForm(window) : nullptr;
    return f && f->State() != sfsDestroyed && f->Subclassed() ? f : nullptr;
}

void BindDraw(TWinSkinForm& form, TMenuItem* item) {
    const HWND window = form.Handle();
    Replaced().KeepDraw(item);
    item->OnDrawItem.Bind([window](TObject* sender, TCanvas* canvas, RECT rect, bool selected) {
        auto* item = static_cast<TMenuItem*>(sender);
        if (TWinSkinForm* f = LiveSkinForm(window)) f->MenuItems().DrawSkinnedItem(item, *canvas, rect, selected);
        else item->DefaultDrawItem(*canvas, rect, selected ? TOwnerDrawState{odSelected} : TOwnerDrawState{0});
    }, kDrawHandler);
}

void BindMeasure(TWinSkinForm& form, TMenuItem* item, bool popup) {
    const HWND window = form.Handle();
    Replaced().KeepMeasure(item);
    if (popup)
        item->OnMeasureItem.Bind([window](TObject* sender, TCanvas* canvas, int& w, int& h) {
            if (TWinSkinForm* f = LiveSkinForm(window)) f->MenuItems().MeasurePopupItem(static_cast<TMenuItem*>(sender), *canvas, w, h);
        }, kMeasurePopup);
    else
        item->OnMeasureItem.Bind([window](TObject* sender, TCanvas* canvas, int& w, int& h) {
            if (TWinSkinForm* f = LiveSkinForm(window)) f->MenuItems().MeasureMainItem(static_cast<TMenuItem*>(sender), *canvas, w, h);
        }, kMeasureMain);
}

void ClearOurs(TMenuItem* item) { Replaced().GiveBack(item); }

bool HasMenuItemElement(const TSkinData* d) { return d && d->MenuItem && !d->MenuItem->Image.Empty(); }

int ElementLeftMargin(const TSkinData* d) { return HasMenuItemElement(d) ? d->MenuItem->LeftWidth : 0; }

std::wstring MenuString(HMENU menu, UINT id) {
    wchar_t text[81] = {};
    if (!menu) return {};
    const int n = GetMenuStringW(menu, id, text, 80, MF_BYCOMMAND);
    return std::wstring(text, static_cast<size_t>(std::clamp(n, 0, 80)));
}

// The scratch bitmap items are composed on (at least the item's size; its canvas has the menu
// font). One per thread, reused: a drop-down paints all its items one after the other, and a
// font or a bitmap made per item costs more than the drawing.
TBitmap& ItemBitmap(const RECT& rect) {
    thread_local std::unique_ptr<TBitmap> scratch;
    const int w = std::max<int>(1, rect.right - rect.left), h = std::max<int>(1, rect.bottom - rect.top);
    if (!scratch) {
        scratch = std::make_unique<TBitmap>();
        if (Screen) scratch->Canvas().Font().Assign(Screen->MenuFont());
    }
    if (scratch->Width() < w || scratch->Height() < h)
        scratch->SetSize(std::max(scratch->Width(), w), std::max(scratch->Height(), h));
    return *scratch;
}

// A canvas with the menu font to bind to a device context for one message; the thread's own
// when it is free (the font handle is kept), else a new one.
class MenuCanvasScope {
public:
    explicit MenuCanvasScope(HDC dc) {
        thread_local TControlCanvas shared;
        thread_local bool prepared = false;
        if (!prepared && Screen) {
            shared.Font().Assign(Screen->MenuFont());
            prepared = true;
        }
        if (shared.HandleAllocated()) {
            FOwn = std::make_unique<TControlCanvas>();
            if (Screen) FOwn->Font().Assign(Screen->MenuFont());
            FCanvas = FOwn.get();
        } else {
            FCanvas = &shared;
        }
        FCanvas->Attach(dc);
    }
    ~MenuCanvasScope() { FCanvas->Detach(); }
    MenuCanvasScope(const MenuCanvasScope&) = delete;
    MenuCanvasScope& operator=(const MenuCanvasScope&) = delete;
    TControlCanvas& get() { return *FCanvas; }

private:
    std::unique_ptr<TControlCanvas> FOwn;
    TControlCanvas* FCanvas = nullptr;
};

// The MenuItem element rendered at an item's size: every item of a drop-down has the same
// width and most the same height, so the few renderings a menu needs are kept (emptied with
// the skin's frame metrics).
struct TItemImage {
    HBITMAP Source;
    int SourceWidth, SourceHeight, Width, Height, Index;
    std::unique_ptr<TBitmap> Image;
};
thread_local std::vector<TItemImage> itemImages;

TBitmap* RenderedItem(TDataSkinObject& e, int w, int h, int index) {
    HBITMAP source = e.Image.Handle();
    for (const TItemImage& c : itemImages)
        if (c.Source == source && c.SourceWidth == e.Image.Width() && c.SourceHeight == e.Image.Height() &&
            c.Width == w && c.Height == h && c.Index == index)
            return c.Image.get();
    TElementDraw draw = ElementDraw(e, index);
    draw.Frames = 5;
    draw.Vertical = false;
    std::unique_ptr<TBitmap> image = BuildElementImage(RECT{0, 0, w, h}, draw);
    if (!image) return nullptr;
    if (itemImages.size() >= 8) itemImages.erase(itemImages.begin());
    itemImages.push_back(TItemImage{source, e.Image.Width(), e.Image.Height(), w, h, index, std::move(image)});
    return itemImages.back().Image.get();
}

// An 8 x 8 checker brush of two colours.
UniqueBrush CheckerBrush(TColor a, TColor b, HDC dc) {
    static const WORD bits[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    UniqueBitmap pattern(CreateBitmap(8, 8, 1, 1, bits));
    SetTextColor(dc, ColorToRGB(a));
    SetBkColor(dc, ColorToRGB(b));
    return UniqueBrush(CreatePatternBrush(pattern.get()));
}

// The system's check-mark bitmap, loaded once per thread.
HBITMAP SystemCheck() {
    thread_local UniqueBitmap check(
        static_cast<HBITMAP>(LoadImageW(nullptr, MAKEINTRESOURCEW(OBM_CHECK), IMAGE_BITMAP, 0, 0, 0)));
    return check.get();
}

// The system check mark drawn in `color` where it has ink; the rest of the cell is untouched.
void DrawSystemCheck(HDC dc, int x, int y, TColor color) {
    HBITMAP check = SystemCheck();
    if (!check) return;
    BITMAP info{};
    GetObjectW(check, sizeof info, &info);
    UniqueDC memory(CreateCompatibleDC(dc));
    HDC src = memory.get();
    if (!src) return;
    HGDIOBJ oldBitmap = SelectObject(src, check);
    UniqueBrush ink(CreateSolidBrush(ColorToRGB(color)));
    HGDIOBJ oldBrush = SelectObject(dc, ink.get());
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
    // Where the mask is black (the mark) the brush shows, elsewhere the destination stays.
    constexpr DWORD kPSDPxax = 0x00B8074A;
    BitBlt(dc, x, y, info.bmWidth, info.bmHeight, src, 0, 0, kPSDPxax);
    SetBkColor(dc, oldBk);
    SetTextColor(dc, oldText);
    SelectObject(dc, oldBrush);
    SelectObject(src, oldBitmap);
}

SIZE SystemCheckSize() {
    BITMAP info{};
    if (HBITMAP check = SystemCheck()) GetObjectW(check, sizeof info, &info);
    return SIZE{info.bmWidth, info.bmHeight};
}

TSkinManage* Manager() { return TSkinManage::Instance(); }

} // namespace

void ClearMenuItemImages() { itemImages.clear(); }

// ---- window-free rules ---------------------------------------------------------------------------

int MainItemExtraWidth(bool hasElement, int leftMargin, bool hasImages) {
    return (hasElement ? leftMargin : 0) + (hasImages ? 0 : 25) + 10;
}

int PopupItemExtraWidth(bool hasElement, int leftMargin, bool hasImages) {
    return (hasElement ? leftMargin : 0) + (hasImages ? 0 : 23) + 12;
}

TColor MenuItemTextColor(const TSkinData& d, bool enabled, bool selected) {
    if (enabled) return selected ? d.HilightText : d.MenuText;
    return d.ButtonShadow == d.MenuText ? clBtnShadow : d.ButtonShadow;
}

// ---- switching owner-draw ------------------------------------------------------------------------

void HookMenuItems(TWinSkinForm& form, TMenuItem* item, bool on) {
    if (!item) return;
    if (on) {
        BindDraw(form, item);
        BindMeasure(form, item, false);
    } else {
        ClearOurs(item);
    }
    for (int i = 0; i < item->Count(); ++i) HookMenuItems(form, item->Items(i), on);
}

namespace {

void MainItems(TWinSkinForm& form, TMenuItem* item, int depth, bool on) {
    if (on) {
        if (depth >= 2 && !item->OnDrawItem) {
            BindDraw(form, item);
            BindMeasure(form, item, false);
        }
    } else {
        ClearOurs(item);
    }
    for (int i = 0; i < item->Count(); ++i) MainItems(form, item->Items(i), depth + 1, on);
}

void PopupItems(TWinSkinForm& form, TMenuItem* item, bool on) {
    for (int i = 0; i < item->Count(); ++i) {
        TMenuItem* sub = item->Items(i);
        if (on) {
            BindDraw(form, sub);
            if (!sub->OnMeasureItem) BindMeasure(form, sub, true);
        } else {
            ClearOurs(sub);
        }
        PopupItems(form, sub, on);
    }
}

} // namespace

void TSkinMenuItems::SetMainMenuOwnerDraw(TComponent* form, bool on) {
    if (!form) return;
    for (int i = 0; i < form->ComponentCount(); ++i) {
        auto* menu = dynamic_cast<TMainMenu*>(form->Components(i));
        if (!menu) continue;
        if (on) Replaced().KeepOwnerDraw(menu);
        for (int k = 0; k < menu->Items()->Count(); ++k) MainItems(FOwner, menu->Items()->Items(k), 1, on);
        if (on) menu->SetOwnerDraw(true);
        else Replaced().GiveBackOwnerDraw(menu);
    }
}

void TSkinMenuItems::SkinPopupItems(TMenuItem* root) {
    if (root) PopupItems(FOwner, root, true);
}

void TSkinMenuItems::SetPopupOwnerDraw(TComponent* component, bool on) {
    if (!component || !SkinData()) return;
    if (FOwner.Form() && std::string(FOwner.Form()->ClassName()) == "TwwRichEditForm") return;
    for (int i = 0; i < component->ComponentCount(); ++i) {
        TComponent* c = component->Components(i);
        if (dynamic_cast<TCustomFrame*>(c) || dynamic_cast<TCustomForm*>(c)) {
            SetPopupOwnerDraw(c, on);
            continue;
        }
        if (auto* popup = dynamic_cast<TPopupMenu*>(c)) SkinPopupMenu(FOwner, popup, on);
    }
}

bool SkinPopupMenu(TWinSkinForm& form, TPopupMenu* popup, bool on) {
    TSkinData* data = form.SkinData();
    if (!popup || !popup->Items()) return false;
    if (on) {
        // The disable tag keeps a menu out, and so does a skin that leaves popup menus alone.
        if (!data || !(data->SkinControls() & SkinControlBit(xcPopupMenu)) || popup->Tag() == data->DisableTag())
            return false;
        Replaced().KeepOwnerDraw(popup);
        popup->SetOwnerDraw(true);
        PopupItems(form, popup->Items(), true);
        return true;
    }
    // Only a menu the skin took is given back: others (the disable tag's) were never touched.
    if (!Replaced().Took(popup)) return false;
    PopupItems(form, popup->Items(), false);
    Replaced().GiveBackOwnerDraw(popup);
    return true;
}

TSkinData* TSkinMenuItems::SkinData() const { return FOwner.SkinData(); }

// ---- measuring -----------------------------------------------------------------------------------

void TSkinMenuItems::MeasureMainItem(TMenuItem* item, TCanvas&, int& width, int&) {
    TMenu* menu = item ? item->GetParentMenu() : nullptr;
    width += MainItemExtraWidth(HasMenuItemElement(SkinData()), ElementLeftMargin(SkinData()), menu && menu->Images());
}

void TSkinMenuItems::MeasurePopupItem(TMenuItem* item, TCanvas&, int& width, int&) {
    TMenu* menu = item ? item->GetParentMenu() : nullptr;
    // The skin may have been unloaded since the menu was built: read it only while it is there.
    const bool element = SkinData() && !SkinData()->NotLoaded && HasMenuItemElement(SkinData());
    width += PopupItemExtraWidth(element, element ? SkinData()->MenuItem->LeftWidth : 0, menu && menu->Images());
}

void TSkinMenuItems::MeasureItem(TMessage& m) {
    auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
    if (!mis || mis->CtlType != ODT_MENU || !FOwner.MenuBar()) {
        FOwner.Default(m);
        return;
    }
    TMainMenu* menu = FOwner.Form() ? FOwner.MenuBar()->Menu() : nullptr;
    if (TMenuItem* item = menu ? menu->FindItem(mis->itemID, fkCommand) : nullptr) {
        WindowDC dc(FOwner.Handle());
        MenuCanvasScope scope(dc.get());
        TCanvas& canvas = scope.get();
        int width = 0, height = static_cast<int>(mis->itemHeight);
        // The item's own size first (its measure handler left out), then the skin's room.
        const auto own = item->OnMeasureItem;
        item->OnMeasureItem.Clear();
        item->MeasureItem(canvas, width, height);
        item->OnMeasureItem = own;
        MeasureMainItem(item, canvas, width, height);
        mis->itemWidth = static_cast<UINT>(std::max(width, 0));
        mis->itemHeight = static_cast<UINT>(std::max(height, 0));
        m.Result = TRUE;
        return;
    }
    // Entries their owner draws itself stay with it; the ones the skin switched are drawn here.
    if (!SwitchedToOwnerDraw(mis->itemID)) {
        FOwner.Default(m);
        return;
    }
    const std::wstring full = MenuString(FOwner.TrackedMenu(), mis->itemID);
    const size_t tab = full.find(L'\t');
    const std::wstring caption = full.substr(0, tab);
    WindowDC dc(FOwner.Handle());
    HGDIOBJ old = Screen ? SelectObject(dc.get(), Screen->MenuFont().Handle()) : nullptr;
    SIZE text{0, 0};
    GetTextExtentPoint32W(dc.get(), caption.c_str(), static_cast<int>(caption.size()), &text);
    int width = text.cx + 26 + ElementLeftMargin(SkinData());
    if (tab != std::wstring::npos) {
        const std::wstring shortcut = full.substr(tab + 1);
        SIZE s{0, 0};
        GetTextExtentPoint32W(dc.get(), shortcut.c_str(), static_cast<int>(shortcut.size()), &s);
        width += 20 + s.cx;
    }
    if (old) SelectObject(dc.get(), old);
    int height = static_cast<int>(mis->itemHeight);
    height = full.empty() ? 8 : std::max(height, static_cast<int>(text.cy)) + 4;
    if (GetVersion() & 0x80000000u) height += 4;
    mis->itemWidth = static_cast<UINT>(width);
    mis->itemHeight = static_cast<UINT>(height);
    m.Result = TRUE;
}

// ---- drawing -------------------------------------------------------------------------------------

void TSkinMenuItems::DrawItem(TMessage& m) {
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
    if (!dis || dis->CtlType != ODT_MENU || !FOwner.MenuBar()) {
        FOwner.Default(m);
        return;
    }
    const auto menu = reinterpret_cast<HMENU>(dis->hwndItem);
    if (TSkinManage* manager = Manager()) manager->AssignPopupMenu(menu);
    const bool selected = (dis->itemState & ODS_SELECTED) != 0;
    TMainMenu* own = FOwner.Form() ? FOwner.MenuBar()->Menu() : nullptr;
    if (TMenuItem* item = own ? own->FindItem(dis->itemID, fkCommand) : nullptr) {
        ScopedDCState state(dis->hDC);
        MenuCanvasScope scope(dis->hDC);
        TCanvas& canvas = scope.get();
        // A failed item paint leaves the item as it was.
        SwallowFailures([&] {
            if (HasMenuItemElement(SkinData())) DrawSkinnedItem(item, canvas, dis->rcItem, selected);
            else DrawFlatItem(item, canvas, selected, dis->rcItem);
        });
        m.Result = TRUE;
        return;
    }
    if (!SwitchedToOwnerDraw(dis->itemID)) {
        FOwner.Default(m);
        return;
    }
    // An entry without a form item: a temporary item stands for it while it is drawn.
    TMenuItem temp(nullptr);
    wchar_t text[81] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE | MIIM_FTYPE | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = 80;
    GetMenuItemInfoW(menu, dis->itemID, FALSE, &info);
    const std::wstring full = (info.fType & MFT_SEPARATOR) ? std::wstring() : std::wstring(text);
    const size_t tab = full.find(L'\t');
    const std::string caption = WideToAnsi(full.substr(0, tab));
    temp.SetCaption(caption.empty() ? "-" : caption);
    if (tab != std::wstring::npos) temp.SetShortCut(TextToShortCut(WideToAnsi(full.substr(tab + 1))));
    temp.SetEnabled((info.fState & 3) == 0);
    temp.SetChecked((info.fState & MFS_CHECKED) != 0);
    ScopedDCState state(dis->hDC);
    MenuCanvasScope scope(dis->hDC);
    TCanvas& canvas = scope.get();
    SwallowFailures([&] { DrawRawItem(menu, &temp, selected, dis->rcItem, canvas); });
    m.Result = TRUE;
}

void TSkinMenuItems::ComposeItem(HMENU menu, TMenuItem* item, TCanvas& canvas, const RECT& rect, bool selected,
                               bool separatorOnly) {
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    if (w <= 0 || h <= 0) return;
    TBitmap& bitmap = ItemBitmap(rect);
    HDC dc = bitmap.Canvas().Handle();
    const RECT local{0, 0, w, h};
    // The popup window's own background under the item, found from the item's position in it.
    bool painted = false;
    if (TSkinManage* manager = Manager()) {
        for (const auto& popup : manager->PopupMenus()) {
            if (popup->Menu() != menu || !menu) continue;
            TBitmap* background = popup->ComposedBackground();
            if (!background) break;
            RECT wr{0, 0, 0, 0};
            POINT origin{0, 0};
            GetWindowRect(popup->Handle(), &wr);
            ClientToScreen(popup->Handle(), &origin);
            BitBlt(dc, 0, 0, w, h, background->Canvas().Handle(), rect.left + origin.x - wr.left,
                   rect.top + origin.y - wr.top, SRCCOPY);
            painted = true;
            break;
        }
    }
    if (!painted) {
        UniqueBrush fill(CreateSolidBrush(ColorToRGB(SkinData()->MenuColour)));
        FillRect(dc, &local, fill.get());
    }
    HDC target = canvas.Handle();
    if (separatorOnly) {
        BitBlt(target, rect.left, rect.top, w, h, dc, 0, 0, SRCCOPY);
        DrawSeparator(canvas, rect);
        return;
    }
    TDataSkinObject& e = *SkinData()->MenuItem;
    if (TBitmap* image = RenderedItem(e, w, h, selected ? 4 : 1); image && !image->Empty()) {
        if (e.Trans) TransparentBlit(dc, local, *image, kSkinKeyColor);
        else BitBlt(dc, 0, 0, w, h, image->Canvas().Handle(), 0, 0, SRCCOPY);
    }
    DrawItemContent(item, bitmap.Canvas(), selected, local);
    BitBlt(target, rect.left, rect.top, w, h, bitmap.Canvas().Handle(), 0, 0, SRCCOPY);
}

void TSkinMenuItems::DrawSkinnedItem(TMenuItem* item, TCanvas& canvas, const RECT& rect, bool selected) {
    if (!item) return;
    if (!HasMenuItemElement(SkinData())) {
        DrawFlatItem(item, canvas, selected, rect);
        return;
    }
    HMENU parentMenu = nullptr;
    if (TMenuItem* parent = item->Parent(); parent && parent->HandleAllocated()) {
        parentMenu = parent->Handle();
        if (TSkinManage* manager = Manager()) manager->AssignPopupMenu(parentMenu);
    }
    ComposeItem(parentMenu, item, canvas, rect, selected, item->IsLine());
}

void TSkinMenuItems::DrawRawItem(HMENU menu, TMenuItem* item, bool selected, const RECT& rect, TCanvas& canvas) {
    if (!item) return;
    if (!HasMenuItemElement(SkinData())) {
        DrawFlatItem(item, canvas, selected, rect);
        return;
    }
    ComposeItem(menu, item, canvas, rect, selected, false);
}

void TSkinMenuItems::DrawFlatItem(TMenuItem* item, TCanvas& canvas, bool selected, const RECT& rect) {
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    if (!item || w <= 0 || h <= 0 || !SkinData()) return;
    TBitmap& bitmap = ItemBitmap(rect);
    const RECT local{0, 0, w, h};
    UniqueBrush fill(CreateSolidBrush(ColorToRGB(selected ? SkinData()->Hilight : SkinData()->MenuColour)));
    FillRect(bitmap.Canvas().Handle(), &local, fill.get());
    DrawItemContent(item, bitmap.Canvas(), selected, local);
    BitBlt(canvas.Handle(), rect.left, rect.top, w, h, bitmap.Canvas().Handle(), 0, 0, SRCCOPY);
}

void TSkinMenuItems::DrawSeparator(TCanvas& canvas, const RECT& rect) {
    if (!HasMenuItemElement(SkinData())) return;
    TBitmap& image = SkinData()->MenuItem->Image;
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    const int cw = image.Width() / 5, ih = image.Height();
    if (w <= 0 || h <= 0 || cw <= 0 || ih <= 0) return;
    const int left = std::clamp<int>(SkinData()->MenuItem->LeftWidth, 0, cw);
    const int right = std::clamp<int>(SkinData()->MenuItem->RightWidth, 0, cw - left);
    const int y0 = h < ih ? ih - h : 0;
    TBitmap piece;
    piece.SetSize(w, h);
    HDC dst = piece.Canvas().Handle(), src = image.Canvas().Handle();
    SetStretchBltMode(dst, COLORONCOLOR);
    StretchBlt(dst, 0, 0, left, h, src, cw, y0, left, ih - y0, SRCCOPY);
    StretchBlt(dst, w - right, 0, right, h, src, 2 * cw - right, y0, right, ih - y0, SRCCOPY);
    StretchBlt(dst, left, 0, w - left - right, h, src, cw + left, y0, cw - left - right, ih - y0, SRCCOPY);
    TransparentBlit(canvas.Handle(), rect, piece, kSkinKeyColor);
}

void TSkinMenuItems::DrawMenuText(TMenuItem* item, TCanvas& canvas, UINT flags, bool selected, RECT& rect,
                                std::wstring text) {
    const bool measuring = (flags & DT_CALCRECT) != 0;
    if (measuring && (text.empty() || text == L"&")) text += L" ";
    HDC dc = canvas.Handle();
    if (text != L"-") {
        canvas.Brush().SetStyle(bsClear);
        const TFontStyles old = canvas.Font().Style();
        if (item && item->Default()) canvas.Font().SetStyle(old | FontStyles({fsBold}));
        dc = canvas.Handle();
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, ColorToRGB(MenuItemTextColor(*SkinData(), !item || item->Enabled(), selected)));
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, flags);
        canvas.Font().SetStyle(old);
        return;
    }
    if (measuring) return;
    RECT line = rect;
    OffsetRect(&line, 0, 4);
    DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
}

void TSkinMenuItems::DrawItemContent(TMenuItem* item, TCanvas& canvas, bool selected, const RECT& rect) {
    if (!item || !SkinData()) return;
    const std::wstring caption = AnsiToWide(item->Caption());
    TMenu* menu = item->GetParentMenu();
    if (!menu && FOwner.MenuBar()) menu = FOwner.MenuBar()->Menu();
    TCustomImageList* images = menu ? menu->Images() : nullptr;
    int g = images ? images->Width() : 16;
    if (item->Checked()) g = std::max(g, 16);
    const bool rtl = menu && menu->IsRightToLeft();
    const bool line = item->IsLine();
    const int margin = ElementLeftMargin(SkinData());
    RECT box{0, 0, 0, 0};
    if (!line) {
        if (rtl) {
            box.right = rect.right - 1 - margin;
            box.left = box.right - g;
        } else {
            box.left = rect.left + 1 + margin;
            box.right = box.left + g;
        }
        box.top = rect.top + 1;
        box.bottom = box.top + g;
    }
    HDC dc = canvas.Handle();
    if (!line) {
        const int index = item->ImageIndex();
        if (images && index >= 0 && index < images->Count()) {
            if (item->Checked()) {
                UniqueBrush checker = CheckerBrush(clBtnFace, clBtnHighlight, dc);
                FillRect(dc, &box, checker.get());
                RECT edge = box;
                DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
            }
            images->Draw(canvas, box.left, box.top, index, item->Enabled());
            dc = canvas.Handle();
        } else if (item->Checked()) {
            const SIZE s = SystemCheckSize();
            const int x = box.left + (g - s.cx) / 2 + 1;
            const int y = rect.top + ((rect.bottom - rect.top) - s.cy) / 2 + 1;
            DrawSystemCheck(dc, x, y, clBtnText);
        }
    }
    // Caption, then the shortcut on the far side of the text area, both centred vertically.
    RECT area = rtl ? RECT{rect.left + 1, rect.top, box.left - 3, rect.bottom}
                    : RECT{box.right + 3, rect.top, rect.right - 1, rect.bottom};
    const UINT align = rtl ? DT_RIGHT : 0;
    RECT text = area;
    if (line) {
        // A "-" caption draws its etched line across the item.
        text = rect;
        text.top = rect.top + ((rect.bottom - rect.top) - 8) / 2;
    }
    // The caption's measured extent: the shortcut starts where the caption ends, so a long
    // caption is never overprinted.
    RECT measured = text;
    DrawMenuText(item, canvas, DT_EXPANDTABS | DT_SINGLELINE | DT_NOCLIP | DT_CALCRECT | align, selected, measured,
                 caption);
    DrawMenuText(item, canvas, DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER | align, selected, text, caption);
    if (item->ShortCut() && !line) {
        const std::wstring shortcut = AnsiToWide(ShortCutToText(item->ShortCut()));
        const LONG captionEnd = std::min(area.right, std::max(area.left, measured.right));
        RECT s = rtl ? RECT{area.left + 10, area.top, area.right, area.bottom}
                     : RECT{captionEnd, area.top, area.right - 10, area.bottom};
        // No room left after the caption: no shortcut rather than one over the caption.
        if (s.right > s.left)
            DrawMenuText(item, canvas, DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER | (rtl ? 0 : DT_RIGHT), selected,
                         s, shortcut);
    }
}

} // namespace wl
