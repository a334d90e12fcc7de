// The skinned menu bar: reading the window's menu into buttons, layout, painting, hit testing,
// and the tracking of a drop-down (opening it with the mouse or the keyboard, the message-filter
// hook that moves to the neighbouring item while one is open). Alt accelerators and SKM_MENUHOT
// come through the form object's menu part (form_menu.cpp).
#include "skin/forms/menu_bar.h"

#include "skin/data/skin_data.h"
#include "skin/data/skin_slots.h"
#include "skin/draw/skin_draw.h"
#include "skin/draw/swallowed.h"
#include "skin/forms/skin_manage.h"
#include "skin/forms/win_skin_form.h"
#include "ui/forms.h"
#include "ui/menus.h"
#include "ui/strconv.h"

#include <algorithm>
#include <cctype>

namespace wl {

WL_DEFINE_CLASS(TWinSkinMenu, WL_NO_PROPERTIES)

// ---- window-free rules ---------------------------------------------------------------------------

int MenuBarStartOffset(bool hasElement, int leftMargin, int rightMargin, bool rightToLeft, int stripWidth) {
    if (!hasElement) return 6;
    const int s = rightToLeft ? rightMargin + 8 : leftMargin + 4;
    return stripWidth < s ? 12 : s;
}

std::vector<RECT> LayoutMenuButtons(const std::vector<int>& textWidths, const RECT& strip, int start,
                                    bool rightToLeft) {
    std::vector<RECT> bounds;
    bounds.reserve(textWidths.size());
    const int stripWidth = strip.right - strip.left;
    int x = rightToLeft ? stripWidth - start : start;
    for (int text : textWidths) {
        if (text < 0) {
            bounds.push_back(RECT{0, 0, 0, 0});
            continue;
        }
        const int w = text > 0 ? text + 10 : 0;
        if (rightToLeft) {
            bounds.push_back(RECT{strip.left + x - w, strip.top, strip.left + x, strip.bottom - 1});
            x -= w;
        } else {
            bounds.push_back(RECT{strip.left + x, strip.top, strip.left + x + w, strip.bottom - 1});
            x += w;
        }
    }
    return bounds;
}

bool CaptionHasAccel(const std::string& caption, WORD key) {
    if (key == 0) return false;
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i; // "&&" is a literal ampersand
            continue;
        }
        const int a = std::toupper(static_cast<unsigned char>(caption[i + 1]));
        const int b = key < 0x100 ? std::toupper(static_cast<int>(key)) : -1;
        return a == b;
    }
    return false;
}

void TidySeparators(std::vector<TTidyEntry>& e) {
    const size_t n = e.size();
    size_t i = 0;
    // No separator above the first visible item.
    for (; i < n && !(!e[i].Separator && e[i].Visible); ++i)
        if (e[i].Separator) e[i].Visible = false;
    // One per run: the last of a run stays (and shows again when an item follows it).
    std::ptrdiff_t runLast = -1;
    for (size_t j = i; j < n; ++j) {
        if (e[j].Separator) {
            if (runLast >= 0) e[static_cast<size_t>(runLast)].Visible = false;
            runLast = static_cast<std::ptrdiff_t>(j);
        } else if (e[j].Visible) {
            if (runLast >= 0) e[static_cast<size_t>(runLast)].Visible = true;
            runLast = -1;
        }
    }
    // No separator below the last visible item.
    for (size_t j = n; j-- > 0;) {
        if (!e[j].Separator && e[j].Visible) break;
        if (e[j].Separator) e[j].Visible = false;
    }
}

int NeighbourButton(int open, int count, bool forward) {
    if (count <= 0) return -1;
    if (open < 0 || open >= count) return forward ? 0 : count - 1;
    return forward ? (open + 1) % count : (open + count - 1) % count;
}

namespace {

// A screen DC with the menu font, for measuring captions outside a paint.
class MeasureDC {
public:
    MeasureDC() : FDC(GetDC(nullptr)) {
        if (FDC && Screen) FOld = SelectObject(FDC, Screen->MenuFont().Handle());
    }
    ~MeasureDC() {
        if (FOld) SelectObject(FDC, FOld);
        if (FDC) ReleaseDC(nullptr, FDC);
    }
    MeasureDC(const MeasureDC&) = delete;
    MeasureDC& operator=(const MeasureDC&) = delete;
    HDC get() const { return FDC; }

private:
    HDC FDC;
    HGDIOBJ FOld = nullptr;
};

int CaptionWidth(HDC dc, const std::wstring& caption) {
    if (caption.empty() || !dc) return 0;
    RECT r{0, 0, 0, 0};
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &r, DT_CALCRECT | DT_NOCLIP | DT_SINGLELINE);
    return r.right - r.left;
}

TElementDraw MenuBarDraw(TDataSkinObject& element, int index) {
    static const TSkinSlot* slot = FindSlot("MenuBar");
    TElementDraw d = slot ? SlotDraw(*slot, element, index) : ElementDraw(element, index);
    d.Frames = 2;
    d.Vertical = true;
    d.Tile = false;
    d.Transparent = false;
    return d;
}

} // namespace

// ---- TMenuBtn ------------------------------------------------------------------------------------

void TMenuBtn::Paint() {
    TWinSkinForm* f = FOwnerForm;
    if (!f || !IsWindow(f->Handle()) || !FSkinData) return;
    TWinSkinMenu* bar = f->MenuBar();
    if (!bar || bar->FBackground->Empty()) return;
    // On failure the next full paint draws the button again.
    SwallowFailures([&] {
        WindowDC dc(f->Handle(), GetWindowDC(f->Handle()));
        if (!dc) return;
        const RECT strip = bar->Strip();
        const int w = FBounds.right - FBounds.left;
        BitBlt(dc.get(), FBounds.left, strip.top, w, strip.bottom - strip.top, bar->FBackground->Canvas().Handle(),
               FBounds.left - strip.left, 0, SRCCOPY);
        if (FButtonState == nbsHot || FButtonState == nbsPressed) {
            UniqueBrush frame(CreateSolidBrush(ColorToRGB(FSkinData->ButtonHilight)));
            FrameRect(dc.get(), &FBounds, frame.get());
        }
        bar->DrawCaption(dc.get(), *this, FEnabled ? FSkinData->MenuBarText : FSkinData->ButtonShadow);
    });
}

// ---- TWinSkinMenu --------------------------------------------------------------------------------

TWinSkinMenu::TWinSkinMenu(TComponent* owner) : TComponent(owner), FBackground(std::make_unique<TBitmap>()) {}

TWinSkinMenu::~TWinSkinMenu() { FreeButtons(); }

void TWinSkinMenu::Setup(TWinSkinForm* form, TSkinData* data, TMainMenu* menu, HMENU handle) {
    FOwnerForm = form;
    FSkinData = data;
    SetMenuObject(menu);
    FMenuHandle = handle;
}

void TWinSkinMenu::SetMenuObject(TMainMenu* menu) {
    if (menu == FMenu) return;
    if (FMenu) FMenu->RemoveFreeNotification(this);
    FMenu = menu;
    if (FMenu) FMenu->FreeNotification(this);
}

void TWinSkinMenu::FreeButtons() {
    if (FOwnerForm && FOwnerForm->HotObject() &&
        std::any_of(FItemButtons.begin(), FItemButtons.end(),
                    [this](const auto& b) { return b.get() == FOwnerForm->HotObject(); }))
        FOwnerForm->SetHotObject(nullptr);
    for (const auto& b : FItemButtons)
        if (b->FMenuItem) b->FMenuItem->RemoveFreeNotification(this);
    FItemButtons.clear();
}

void TWinSkinMenu::WatchItems() {
    for (const auto& b : FItemButtons)
        if (b->FMenuItem) b->FMenuItem->FreeNotification(this);
}

void TWinSkinMenu::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation != opRemove || !component) return;
    const bool menuGone = component == FMenu;
    if (menuGone) {
        FMenu = nullptr;
        FMenuHandle = nullptr; // destroyed with the menu's items
    }
    // The buttons stay (one may be on the stack of a tracked drop-down) but no longer name the
    // item, cannot be hit and take no room; the next read of the menu makes new ones.
    bool blanked = false;
    for (const auto& b : FItemButtons) {
        if (!menuGone && b->FMenuItem != component) continue;
        b->FMenuItem = nullptr;
        b->FSubMenu = nullptr;
        b->FCaption.clear();
        b->FEnabled = false;
        b->FVisible = false;
        blanked = true;
    }
    if (blanked && FOwnerForm && IsWindow(FOwnerForm->Handle()))
        RedrawWindow(FOwnerForm->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
}

TMenuBtn* TWinSkinMenu::Button(int index) const {
    if (index < 0 || index >= static_cast<int>(FItemButtons.size())) return nullptr;
    return FItemButtons[static_cast<size_t>(index)].get();
}

bool TWinSkinMenu::RightToLeft() const {
    if (FMenu) return FMenu->IsRightToLeft();
    return FOwnerForm && (GetWindowLongPtrW(FOwnerForm->Handle(), GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0;
}

void TWinSkinMenu::ReadMenu() {
    if (!FOwnerForm) return;
    const HWND window = FOwnerForm->Handle();
    TCustomForm* form = FOwnerForm->Form();
    if (form && !form->Menu()) {
        // The form let go of its menu (Menu := nil): the bar shows nothing of it any more, and
        // the menu may be freed next.
        FreeButtons();
        SetMenuObject(nullptr);
        FMenuHandle = nullptr;
        FItemCount = 0;
        LayoutItems();
        return;
    }
    if (HMENU current = GetMenu(window)) FMenuHandle = current;
    if (!FMenuHandle || !IsMenu(FMenuHandle)) return;
    if (form) SetMenuObject(form->Menu());
    // The old buttons go first, also when the menu has no items left: they name its items.
    FreeButtons();
    const int count = GetMenuItemCount(FMenuHandle);
    FItemCount = std::max(count, 0);
    for (int i = 0; i < count; ++i) {
        UINT id = 0;
        auto b = ButtonFromEntry(i, id);
        if (FMenu) {
            if (TMenuItem* item = FMenu->FindItem(id, fkCommand)) {
                b->FCaption = AnsiToWide(item->Caption());
                b->FEnabled = item->Enabled();
                b->FMenuItem = item;
                b->FSubMenu = item->Count() > 0 ? item->Handle() : nullptr;
            }
        }
        FItemButtons.push_back(std::move(b));
    }
    WatchItems();
    // The window shows no menu of its own while the skin draws the bar.
    if (GetMenu(window)) SetMenu(window, nullptr);
    LayoutItems();
}

std::unique_ptr<TMenuBtn> TWinSkinMenu::ButtonFromEntry(int index, UINT& id) const {
    wchar_t text[81] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = 80;
    if (!GetMenuItemInfoW(FMenuHandle, static_cast<UINT>(index), TRUE, &info)) info = MENUITEMINFOW{};
    auto b = std::make_unique<TMenuBtn>(FOwnerForm, FSkinData, index);
    b->FSubMenu = info.hSubMenu;
    b->FEnabled = (info.fState & 3) == 0;
    b->FVisible = true;
    b->FCommand = info.wID;
    b->FCaption = text;
    id = info.wID;
    return b;
}

void TWinSkinMenu::ReadMergedMenu() {
    if (!FOwnerForm) return;
    const HWND window = FOwnerForm->Handle();
    if (HMENU current = GetMenu(window)) FMenuHandle = current;
    if (!FMenuHandle || !IsMenu(FMenuHandle)) return;
    FreeButtons();
    const int count = GetMenuItemCount(FMenuHandle);
    FItemCount = std::max(count, 0);
    for (int i = 0; i < count; ++i) {
        UINT id = 0;
        auto b = ButtonFromEntry(i, id);
        // Owner-drawn and bitmap entries have no text of their own: the form's items give it.
        // Entries still without text (the maximized MDI child's icon and buttons) take no room.
        if (b->FCaption.empty() && FMenu) {
            if (TMenuItem* item = FMenu->FindItem(id, fkCommand)) {
                b->FCaption = AnsiToWide(item->Caption());
                b->FEnabled = item->Enabled();
                b->FCommand = item->Command();
                b->FSubMenu = item->Count() > 0 ? item->Handle() : nullptr;
            }
        }
        FItemButtons.push_back(std::move(b));
    }
    if (GetMenu(window)) SetMenu(window, nullptr);
    LayoutItems();
}

RECT TWinSkinMenu::CurrentStrip() const {
    if (!FOwnerForm) return RECT{0, 0, 0, 0};
    RECT wr{0, 0, 0, 0};
    GetWindowRect(FOwnerForm->Handle(), &wr);
    const RECT b = FOwnerForm->Borders();
    return RECT{b.left, b.top, (wr.right - wr.left) - b.right, b.top + FOwnerForm->MenuBarHeight()};
}

void TWinSkinMenu::Layout(HDC dc, const RECT& strip) {
    const int w = strip.right - strip.left, h = strip.bottom - strip.top;
    if (w <= 0 || h <= 0) return;
    TDataSkinObject* e = FSkinData ? FSkinData->MenuBar.get() : nullptr;
    const bool rtl = RightToLeft();
    const int start = MenuBarStartOffset(e && !e->Image.Empty(), e ? e->LeftWidth : 0, e ? e->RightWidth : 0, rtl, w);
    std::vector<int> widths;
    widths.reserve(FItemButtons.size());
    for (const auto& b : FItemButtons) widths.push_back(b->Visible() ? CaptionWidth(dc, b->FCaption) : -1);
    const std::vector<RECT> bounds = LayoutMenuButtons(widths, strip, start, rtl);
    for (size_t i = 0; i < FItemButtons.size(); ++i) FItemButtons[i]->SetBounds(bounds[i]);
}

void TWinSkinMenu::LayoutItems() {
    MeasureDC dc;
    Layout(dc.get(), CurrentStrip());
}

void TWinSkinMenu::DrawCaption(HDC dc, const TMenuBtn& button, TColor color) const {
    if (button.FCaption.empty()) return;
    HGDIOBJ oldFont = Screen ? SelectObject(dc, Screen->MenuFont().Handle()) : nullptr;
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(dc, ColorToRGB(button.FEnabled ? color : clBtnShadow));
    const std::wstring& text = button.FCaption;
    RECT measured{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measured,
              DT_CENTER | DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP | DT_CALCRECT);
    const RECT& b = button.Bounds();
    const int mw = measured.right - measured.left, mh = measured.bottom - measured.top;
    RECT r{b.left + ((b.right - b.left) - mw) / 2, b.top + ((b.bottom - b.top) - mh) / 2, 0, 0};
    r.right = r.left + mw;
    r.bottom = r.top + mh;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CENTER | DT_SINGLELINE | DT_EXPANDTABS);
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
    if (oldFont) SelectObject(dc, oldFont);
}

void TWinSkinMenu::PaintMenuBar(HDC dc, const RECT& strip) {
    FStripLeft = strip.left;
    FStripTop = strip.top;
    FStripRight = strip.right;
    FStripBottom = strip.bottom;
    const int w = strip.right - strip.left, h = strip.bottom - strip.top;
    TBitmap* work = SkinWorkBitmap();
    if (w <= 0 || h <= 0 || !work || !FSkinData || !FOwnerForm) return;
    if (work->Width() < w || work->Height() < h)
        work->SetSize(std::max(work->Width(), w), std::max(work->Height(), h));
    HDC workDC = work->Canvas().Handle();
    const RECT local{0, 0, w, h};
    TDataSkinObject* e = FSkinData->MenuBar.get();
    if (e && !e->Image.Empty()) {
        const TElementDraw draw = MenuBarDraw(*e, FOwnerForm->Active() ? 1 : 2);
        if (e->Tile == 1) DrawElement(workDC, local, draw);
        else DrawSkinBar(workDC, local, draw);
    } else {
        UniqueBrush fill(CreateSolidBrush(ColorToRGB(FSkinData->MenubarColour)));
        FillRect(workDC, &local, fill.get());
    }
    FBackground->SetSize(w, h);
    BitBlt(FBackground->Canvas().Handle(), 0, 0, w, h, workDC, 0, 0, SRCCOPY);
    // Captions are laid out in window coordinates (in the menu font) and drawn on the strip's
    // bitmap.
    HGDIOBJ oldFont = Screen ? SelectObject(workDC, Screen->MenuFont().Handle()) : nullptr;
    Layout(workDC, strip);
    if (oldFont) SelectObject(workDC, oldFont);
    SetViewportOrgEx(workDC, -strip.left, -strip.top, nullptr);
    for (const auto& b : FItemButtons)
        if (b->Visible()) DrawCaption(workDC, *b, FSkinData->MenuBarText);
    SetViewportOrgEx(workDC, 0, 0, nullptr);
    FOwnerForm->TitleButtons().DrawMdiButtons(workDC, strip);
    BitBlt(dc, strip.left, strip.top, w, h, workDC, 0, 0, SRCCOPY);
}

TMenuBtn* TWinSkinMenu::ItemAt(POINT p) const {
    for (const auto& b : FItemButtons)
        if (b->Visible() && !b->FCaption.empty() && PtInRect(&b->Bounds(), p)) return b.get();
    return nullptr;
}

TMenuBtn* TWinSkinMenu::FindAccelButton(WORD key) const {
    for (const auto& b : FItemButtons) {
        if (!b->FEnabled || !b->Visible()) continue;
        if (CaptionHasAccel(WideToAnsi(b->FCaption), key)) return b.get();
    }
    return nullptr;
}

// ---- tracking a drop-down ------------------------------------------------------------------------

namespace {

// The hook procedure finds its tracker through this: one drop-down is tracked at a time on a
// thread, and the tracker sets it while its hook is installed.
thread_local TMenuTracker* activeTracker = nullptr;

void TidySubItems(TMenuItem* item) {
    std::vector<TTidyEntry> entries;
    for (int i = 0; i < item->Count(); ++i)
        entries.push_back(TTidyEntry{item->Items(i)->IsLine(), item->Items(i)->Visible()});
    TidySeparators(entries);
    for (int i = 0; i < item->Count(); ++i)
        if (item->Items(i)->Visible() != entries[static_cast<size_t>(i)].Visible)
            item->Items(i)->SetVisible(entries[static_cast<size_t>(i)].Visible);
}

bool IsNt4() {
    const DWORD v = GetVersion();
    return !(v & 0x80000000u) && LOBYTE(LOWORD(v)) == 4;
}

} // namespace

int TrackedMenuIndex() { return activeTracker ? activeTracker->OpenIndex() : -1; }

bool SwitchedToOwnerDraw(UINT command) { return activeTracker && activeTracker->Switched(command); }

TMenuTracker* TMenuTracker::Active() { return activeTracker; }

TMenuTracker::~TMenuTracker() { RemoveHook(); }

bool TMenuTracker::Switched(UINT command) const {
    return std::find(FSwitchedIds.begin(), FSwitchedIds.end(), command) != FSwitchedIds.end();
}

// Switches every entry of `menu` and of its submenus to owner-draw, remembering the types.
void TMenuTracker::OwnerDrawTree(HMENU menu, std::vector<TSavedType>& saved, int depth) {
    if (!menu || depth > 16) return;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_SUBMENU | MIIM_ID;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
        if (!(info.fType & MFT_OWNERDRAW)) {
            FSwitchedIds.push_back(info.wID);
            saved.push_back(TSavedType{menu, static_cast<UINT>(i), info.fType});
            MENUITEMINFOW set{};
            set.cbSize = sizeof set;
            set.fMask = MIIM_FTYPE;
            set.fType = info.fType | MFT_OWNERDRAW;
            SetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &set);
        }
        if (info.hSubMenu) OwnerDrawTree(info.hSubMenu, saved, depth + 1);
    }
}

void TMenuTracker::RestoreTypes(const std::vector<TSavedType>& saved) {
    FSwitchedIds.clear();
    for (auto it = saved.rbegin(); it != saved.rend(); ++it) {
        if (!IsMenu(it->Menu)) continue;
        MENUITEMINFOW set{};
        set.cbSize = sizeof set;
        set.fMask = MIIM_FTYPE;
        set.fType = it->Type;
        SetMenuItemInfoW(it->Menu, it->Position, TRUE, &set);
    }
}

void TMenuTracker::InstallHook() {
    FSwitching = false;
    FSwitchTarget = -1;
    FFirstSeen = false;
    FCurrentItem = nullptr;
    FCurrentMenu = nullptr;
    FCurrentHasSub = false;
    GetCursorPos(&FLastPoint);
    if (!FHook) FHook = SetWindowsHookExW(WH_MSGFILTER, FilterProc, nullptr, GetCurrentThreadId());
    activeTracker = this;
}

void TMenuTracker::RemoveHook() {
    if (FHook) UnhookWindowsHookEx(FHook);
    FHook = nullptr;
    if (activeTracker == this) activeTracker = nullptr;
    FCurrentItem = nullptr;
    FCurrentMenu = nullptr;
    FOpenIndex = -1;
    FFirstSeen = false;
}

HHOOK TWinSkinForm::MenuHook() {
    TMenuTracker* t = TMenuTracker::Active();
    return t ? t->Hook() : nullptr;
}

bool TMenuTracker::Open(TMenuBtn* button) {
    TWinSkinMenu* bar = FForm.MenuBar();
    const HWND window = FForm.Handle();
    if (!button || !bar || !IsWindow(window) || activeTracker) return false;
    // The item's own command: what the system's bar sends for an item without a drop-down, and
    // what tells a form object's item that its drop-down opens.
    if (FForm.Form() || !button->SubMenu()) PostMessageW(window, WM_COMMAND, button->Command(), 0);
    if (!button->SubMenu()) return false;
    if (TMenuItem* item = button->MenuItem()) {
        TidySubItems(item);
        item->RebuildHandle();
    }
    HMENU menu = button->SubMenu();
    if (!IsMenu(menu)) return false;
    const int openedIndex = button->Index();
    FOpenIndex = openedIndex;
    RECT wr{0, 0, 0, 0};
    GetWindowRect(window, &wr);
    // Entries the form does not know (the MDI window list, a plain window's items) come to
    // WM_MEASUREITEM / WM_DRAWITEM too; their own types come back when the drop-down closes.
    std::vector<TSavedType> saved;
    if (!IsNt4()) OwnerDrawTree(menu, saved);
    FTracking = true;
    const bool rtl = bar->RightToLeft();
    const int x = wr.left + (rtl ? button->Bounds().right : button->Bounds().left);
    const int y = wr.top + button->Bounds().bottom;
    if (TSkinManage* m = TSkinManage::Instance()) m->MenuKind = 1;
    FTrackedMenu = menu;
    InstallHook();
    if (button->Enabled())
        TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_NONOTIFY | (rtl ? TPM_RIGHTALIGN : 0), x, y, 0, window, nullptr);
    const bool switching = FSwitching;
    const int target = FSwitchTarget;
    RemoveHook();
    RestoreTypes(saved);
    FTracking = false;
    FTrackedMenu = nullptr;
    if (!IsWindow(window) || FForm.State() == sfsDestroyed || !FForm.Subclassed()) return true;
    // The menu may have been read again while its drop-down was open (new buttons).
    TWinSkinMenu* after = FForm.MenuBar();
    if (TMenuBtn* same = after ? after->Button(openedIndex) : nullptr) same->MouseLeave();
    if (switching && after) {
        if (TMenuBtn* next = after->Button(target)) Press(next);
    }
    return true;
}

void TMenuTracker::Press(TMenuBtn* button) {
    if (!button) return;
    if (FHook && activeTracker == this && FTracking) {
        // A drop-down is open: it closes first, and the other one opens when it has.
        FSwitching = true;
        FSwitchTarget = button->Index();
        EndMenu();
        return;
    }
    const HWND window = FForm.Handle();
    RECT wr{0, 0, 0, 0};
    GetWindowRect(window, &wr);
    const int x = wr.left + button->Bounds().left + 1, y = wr.top + button->Bounds().top + 1;
    PostMessageW(window, WM_NCLBUTTONDOWN, HTMENU,
                 MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y))));
}

void TMenuTracker::NoteMenuSelect(WPARAM wParam, LPARAM lParam) {
    if (!FTracking || activeTracker != this) return;
    const UINT flags = HIWORD(wParam);
    if (flags == 0xFFFF && lParam == 0) {
        if (!FSwitching) FTracking = false;
        return;
    }
    const HMENU menu = reinterpret_cast<HMENU>(lParam);
    FCurrentMenu = menu;
    FCurrentHasSub = (flags & MF_POPUP) != 0;
    FCurrentItem = nullptr;
    TWinSkinMenu* bar = FForm.MenuBar();
    if (bar && bar->Menu()) {
        // Only the form's own items matter here (their menu's reading direction).
        FCurrentItem = FCurrentHasSub ? FindMenuItemByHandle(GetSubMenu(menu, LOWORD(wParam)))
                                      : FindMenuItemByCommand(LOWORD(wParam));
    }
}

LRESULT CALLBACK TMenuTracker::FilterProc(int code, WPARAM wParam, LPARAM lParam) {
    TMenuTracker* t = activeTracker;
    if (!t) return CallNextHookEx(nullptr, code, wParam, lParam);
    LRESULT result = 0;
    SwallowFailures([&] { result = t->Filter(code, wParam, lParam); });
    return result;
}

LRESULT TMenuTracker::Filter(int code, WPARAM wParam, LPARAM lParam) {
    auto* msg = reinterpret_cast<MSG*>(lParam);
    // In a right-to-left menu the arrow keys point the other way.
    if (msg && FCurrentItem && (msg->message == WM_KEYDOWN || msg->message == WM_KEYUP)) {
        TMenu* menu = FCurrentItem->GetParentMenu();
        if (menu && menu->IsRightToLeft()) {
            if (msg->wParam == VK_LEFT) msg->wParam = VK_RIGHT;
            else if (msg->wParam == VK_RIGHT) msg->wParam = VK_LEFT;
        }
    }
    const LRESULT next = CallNextHookEx(FHook, code, wParam, lParam);
    TWinSkinMenu* bar = FForm.MenuBar();
    if (next || code != MSGF_MENU || !msg || !bar) return next;
    if (!FFirstSeen) {
        FFirstSeen = true;
        PostMessageW(msg->hwnd ? msg->hwnd : FForm.Handle(), WM_KEYDOWN, VK_DOWN, 0);
    }
    const int count = bar->ItemCount();
    int target = -1;
    switch (msg->message) {
    case WM_KEYDOWN:
        switch (msg->wParam) {
        case VK_RETURN:
        case VK_ESCAPE: FSwitching = false; break;
        case VK_LEFT:
            // Inside a deeper submenu Left only closes that submenu.
            if (!FCurrentMenu || FCurrentMenu == FTrackedMenu) target = NeighbourButton(FOpenIndex, count, false);
            break;
        case VK_RIGHT:
            // An entry with a submenu opens it; elsewhere Right goes on to the next item.
            if (!FCurrentHasSub) target = NeighbourButton(FOpenIndex, count, true);
            break;
        default: break;
        }
        break;
    case WM_SYSKEYDOWN:
        if (msg->wParam == VK_MENU) FTracking = false;
        return next;
    case WM_MOUSEMOVE: {
        // While a menu is tracked the mouse messages carry screen coordinates.
        const POINT screen{static_cast<short>(LOWORD(msg->lParam)), static_cast<short>(HIWORD(msg->lParam))};
        if (screen.x != FLastPoint.x || screen.y != FLastPoint.y) {
            FLastPoint = screen;
            if (TMenuBtn* b = bar->ItemAt(FForm.ScreenToWindow(screen))) target = b->Index();
        }
        break;
    }
    default: break;
    }
    // Buttons without text or disabled ones are passed over by the keys.
    if (target >= 0 && msg->message == WM_KEYDOWN) {
        const bool forward = msg->wParam == VK_RIGHT;
        for (int tries = 0; tries < count; ++tries) {
            TMenuBtn* b = bar->Button(target);
            if (b && b->Visible() && !b->Caption().empty()) break;
            target = NeighbourButton(target, count, forward);
        }
    }
    if (target >= 0 && target != FOpenIndex) {
        if (TMenuBtn* b = bar->Button(target)) {
            Press(b);
            return 1; // the message is used up: the drop-down closes for the other one
        }
    }
    return next;
}

// ---- the form object's menu routes ---------------------------------------------------------------

bool TWinSkinForm::MenuTracking() const { return FActions->SystemMenuOpen() || FMenuTracker->Tracking(); }

HMENU TWinSkinForm::TrackedMenu() const { return FMenuTracker->TrackedMenu(); }

bool TWinSkinForm::OpenMenuButton(TMenuBtn* button) { return FMenuTracker->Open(button); }

void TWinSkinForm::PressMenuButton(TMenuBtn* button) { FMenuTracker->Press(button); }

TMenuBtn* TWinSkinForm::FindAccelButton(WORD key) const {
    TWinSkinMenu* bar = MenuBar();
    return bar ? bar->FindAccelButton(key) : nullptr;
}

} // namespace wl
