// Menus, menu items, their HMENU handles and their messages (see menus.h); the menu parts of
// forms and controls (Menu, PopupMenu, shortcuts, WM_CONTEXTMENU).
#include "ui/menus.h"

#include "ui/forms.h"
#include "ui/imglist.h"

#include <windowsx.h>

#include <algorithm>
#include <cctype>
#include <unordered_map>

namespace wl {

// ---- shortcuts and accelerators ----------------------------------------------------------------

namespace {

struct KeyName {
    WORD key;
    const char* name;
};

const KeyName kKeyNames[] = {
    {VK_BACK, "BkSp"}, {VK_TAB, "Tab"},   {VK_RETURN, "Enter"}, {VK_ESCAPE, "Esc"},
    {VK_SPACE, "Space"}, {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"}, {VK_END, "End"},
    {VK_HOME, "Home"}, {VK_LEFT, "Left"}, {VK_UP, "Up"},       {VK_RIGHT, "Right"},
    {VK_DOWN, "Down"}, {VK_INSERT, "Ins"}, {VK_DELETE, "Del"},
};

std::string KeyToText(WORD key) {
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, static_cast<char>(key));
    if (key >= VK_F1 && key <= VK_F24) return "F" + std::to_string(key - VK_F1 + 1);
    for (const KeyName& k : kKeyNames)
        if (k.key == key) return k.name;
    return {};
}

WORD TextToKey(const std::string& text) {
    if (text.size() == 1) {
        char c = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')) return static_cast<WORD>(c);
    }
    if (text.size() >= 2 && text.size() <= 3 && (text[0] == 'F' || text[0] == 'f')) {
        int32_t n = 0;
        if (std::all_of(text.begin() + 1, text.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
            TryStrToInt(text.substr(1), n) && n >= 1 && n <= 24)
            return static_cast<WORD>(VK_F1 + n - 1);
    }
    for (const KeyName& k : kKeyNames)
        if (SameText(text, k.name)) return k.key;
    return 0;
}

} // namespace

TShortCut MakeShortCut(WORD key, unsigned shift) {
    TShortCut s = static_cast<TShortCut>(key & 0xFF);
    if (shift & ssShift) s |= scShift;
    if (shift & ssCtrl) s |= scCtrl;
    if (shift & ssAlt) s |= scAlt;
    return s;
}

std::string ShortCutToText(TShortCut shortCut) {
    std::string key = KeyToText(static_cast<WORD>(shortCut & 0xFF));
    if (key.empty()) return {};
    std::string text;
    if (shortCut & scShift) text += "Shift+";
    if (shortCut & scCtrl) text += "Ctrl+";
    if (shortCut & scAlt) text += "Alt+";
    return text + key;
}

TShortCut TextToShortCut(const std::string& text) {
    static const std::pair<const char*, TShortCut> kModifiers[] = {
        {"Shift+", scShift}, {"Ctrl+", scCtrl}, {"Alt+", scAlt}};
    std::string rest = text;
    TShortCut mods = 0;
    for (bool found = true; found;) {
        found = false;
        for (const auto& [name, bit] : kModifiers) {
            size_t n = std::char_traits<char>::length(name);
            if (rest.size() > n && SameText(std::string_view(rest).substr(0, n), name)) {
                mods |= bit;
                rest.erase(0, n);
                found = true;
            }
        }
    }
    WORD key = TextToKey(rest);
    return key ? static_cast<TShortCut>(mods | key) : 0;
}

char GetHotkey(const std::string& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return static_cast<char>(std::toupper(static_cast<unsigned char>(caption[i + 1])));
    }
    return 0;
}

std::string StripHotkey(const std::string& caption) {
    std::string out;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] != '&') {
            out += caption[i];
        } else if (i + 1 < caption.size() && caption[i + 1] == '&') {
            out += '&';
            ++i;
        }
    }
    return out;
}

TOwnerDrawState OwnerDrawStateFromItemState(UINT s) {
    TOwnerDrawState d = 0;
    if (s & ODS_SELECTED) d |= odSelected;
    if (s & ODS_GRAYED) d |= odGrayed;
    if (s & ODS_DISABLED) d |= odDisabled;
    if (s & ODS_CHECKED) d |= odChecked;
    if (s & ODS_FOCUS) d |= odFocused;
    if (s & ODS_DEFAULT) d |= odDefault;
    if (s & ODS_HOTLIGHT) d |= odHotLight;
    if (s & ODS_INACTIVE) d |= odInactive;
    if (s & ODS_NOACCEL) d |= odNoAccel;
    if (s & ODS_NOFOCUSRECT) d |= odNoFocusRect;
    return d;
}

// ---- registry of items by command and by handle ------------------------------------------------

namespace {

// Index = command id; slot 0 is never used (a command of 0 means "no item").
std::vector<TMenuItem*>& Commands() {
    static std::vector<TMenuItem*> commands(1, nullptr);
    return commands;
}
size_t g_firstFree = 1;

std::unordered_map<HMENU, TMenuItem*>& Handles() {
    static std::unordered_map<HMENU, TMenuItem*> handles;
    return handles;
}

TMenuItem* g_selected = nullptr;

UINT AllocateCommand(TMenuItem* item) {
    auto& c = Commands();
    size_t i = g_firstFree;
    while (i < c.size() && c[i]) ++i;
    if (i == c.size()) {
        if (c.size() > 0xFFFF) throw EMenuError("Too many menu items");
        c.push_back(nullptr);
    }
    c[i] = item;
    g_firstFree = i + 1;
    return static_cast<UINT>(i);
}

void ReleaseCommand(UINT command) {
    auto& c = Commands();
    if (command == 0 || command >= c.size()) return;
    c[command] = nullptr;
    g_firstFree = std::min<size_t>(g_firstFree, command);
}

bool IsLiveItem(const void* p) {
    if (!p) return false;
    const auto& c = Commands();
    return std::find(c.begin() + 1, c.end(), p) != c.end();
}

// The components a reference property can name: those of the component itself and of its
// owners (a control names its form's components, a form its own).
TComponent* FindReference(const TComponent& from, const std::string& name) {
    for (const TComponent* c = &from; c; c = c->Owner())
        if (TComponent* found = c->FindComponent(name)) return found;
    return nullptr;
}

template <class T>
T* ResolveReference(const TComponent& from, const std::string& name, const char* what) {
    if (name.empty()) return nullptr;
    TComponent* c = FindReference(from, name);
    if (!c) throw EPropertyError("Component " + name + " does not exist");
    T* typed = dynamic_cast<T*>(c);
    if (!typed) throw EPropertyError(name + " is not " + what);
    return typed;
}

// A canvas bound to a device context for the length of a scope, with the menu font.
class MenuCanvas {
public:
    explicit MenuCanvas(HDC dc) {
        canvas_.Font().Assign(Screen->MenuFont());
        canvas_.Attach(dc);
    }
    ~MenuCanvas() { canvas_.Detach(); }
    MenuCanvas(const MenuCanvas&) = delete;
    MenuCanvas& operator=(const MenuCanvas&) = delete;
    TCanvas& get() { return canvas_; }

private:
    TControlCanvas canvas_;
};

} // namespace

void MenuFree::operator()(HMENU menu) const {
    while (GetMenuItemCount(menu) > 0)
        if (!RemoveMenu(menu, 0, MF_BYPOSITION)) break;
    DestroyMenu(menu);
}

TMenuItem* FindMenuItemByCommand(UINT command) {
    const auto& c = Commands();
    return command < c.size() ? c[command] : nullptr;
}

TMenuItem* FindMenuItemByHandle(HMENU submenu) {
    auto it = Handles().find(submenu);
    return it == Handles().end() ? nullptr : it->second;
}

TMenuItem* SelectedMenuItem() { return g_selected; }

namespace {
// A window that destroys itself takes its menu bar and every submenu in it along; the items
// whose handles went that way forget them (they are made again when needed).
void ForgetDestroyedMenus() {
    std::vector<TMenuItem*> gone;
    for (const auto& [menu, item] : Handles())
        if (!IsMenu(menu)) gone.push_back(item);
    for (TMenuItem* item : gone) item->ForgetHandle();
}
} // namespace

// ---- TMenuItem ---------------------------------------------------------------------------------

namespace {
void PublishMenuItem(ClassBuilder<TMenuItem>& c) {
    c.Str("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption);
    c.Bool("AutoCheck", &TMenuItem::AutoCheck, &TMenuItem::SetAutoCheck);
    c.Enum("Break", &TMenuItem::Break, &TMenuItem::SetBreak,
           {{"mbNone", mbNone}, {"mbBreak", mbBreak}, {"mbBarBreak", mbBarBreak}});
    c.Bool("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked);
    c.Bool("Default", &TMenuItem::Default, &TMenuItem::SetDefault);
    c.Bool("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled);
    c.Int("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex);
    c.Str("Hint", &TMenuItem::Hint, &TMenuItem::SetHint);
    c.Int("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex);
    c.Bool("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem);
    c.Int("ShortCut", [](const TMenuItem& i) { return static_cast<int>(i.ShortCut()); },
          [](TMenuItem& i, int v) {
              if (v < 0 || v > 0xFFFF) throw EPropertyError(std::to_string(v) + " is not a valid shortcut");
              i.SetShortCut(static_cast<TShortCut>(v));
          });
    c.Bool("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible);
    c.Event("OnClick", &TMenuItem::OnClick);
    c.Event("OnMeasureItem", &TMenuItem::OnMeasureItem);
    c.Event("OnDrawItem", &TMenuItem::OnDrawItem);
    c.Event("OnAdvancedDrawItem", &TMenuItem::OnAdvancedDrawItem);
}
} // namespace

WL_DEFINE_CLASS(TMenuItem, PublishMenuItem)

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) { command_ = AllocateCommand(this); }

TMenuItem::~TMenuItem() {
    Destroying();
    if (parent_) parent_->Remove(this);
    while (!items_.empty()) delete items_.back();
    if (handle_) Handles().erase(handle_.get());
    handle_.reset();
    ReleaseCommand(command_);
    if (g_selected == this) g_selected = nullptr;
}

HMENU TMenuItem::Handle() {
    if (!handle_) {
        HMENU h = menu_ && menu_->IsMenuBar() ? CreateMenu() : CreatePopupMenu();
        if (!h) throw EMenuError("Cannot create a menu: " + SysErrorMessage(GetLastError()));
        handle_.reset(h);
        Handles()[h] = this;
        RebuildHandle();
    }
    return handle_.get();
}

void TMenuItem::ForgetHandle() {
    if (!handle_) return;
    Handles().erase(handle_.get());
    handle_.release();
}

TMenu* TMenuItem::GetParentMenu() const {
    const TMenuItem* i = this;
    while (i->parent_) i = i->parent_;
    return i->menu_;
}

bool TMenuItem::IsMenuBarItem() const { return parent_ && parent_->menu_ && parent_->menu_->IsMenuBar(); }

bool TMenuItem::IsOwnerDraw() const {
    if (OnMeasureItem || OnDrawItem || OnAdvancedDrawItem) return true;
    TMenu* menu = GetParentMenu();
    if (!menu) return false;
    if (menu->OwnerDraw()) return true;
    // Glyphs are drawn by the item itself; the menu bar shows text only.
    return !IsMenuBarItem() && (menu->Images() || HasBitmap());
}

void TMenuItem::FillEntry(MENUITEMINFOA& info, std::string& text) {
    info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA | MIIM_SUBMENU;
    if (IsLine()) {
        info.fType |= MFT_SEPARATOR;
    } else {
        text = caption_;
        if (shortCut_ && !IsMenuBarItem()) text += "\t" + ShortCutToText(shortCut_);
        info.fMask |= MIIM_STRING;
        info.dwTypeData = text.data();
        info.cch = static_cast<UINT>(text.size());
    }
    if (IsOwnerDraw()) info.fType |= MFT_OWNERDRAW;
    if (radioItem_) info.fType |= MFT_RADIOCHECK;
    if (break_ == mbBreak) info.fType |= MFT_MENUBREAK;
    else if (break_ == mbBarBreak) info.fType |= MFT_MENUBARBREAK;
    if (TMenu* menu = GetParentMenu(); menu && menu->IsRightToLeft()) info.fType |= MFT_RIGHTORDER;
    if (checked_) info.fState |= MFS_CHECKED;
    if (!enabled_) info.fState |= MFS_GRAYED;
    if (default_) info.fState |= MFS_DEFAULT;
    info.wID = command_;
    info.hSubMenu = items_.empty() ? nullptr : Handle();
    info.dwItemData = reinterpret_cast<ULONG_PTR>(this);
}

void TMenuItem::RebuildHandle() {
    if (!handle_) return;
    HMENU h = handle_.get();
    while (GetMenuItemCount(h) > 0)
        if (!RemoveMenu(h, 0, MF_BYPOSITION)) break;
    std::vector<TMenuItem*> entries;
    if (menu_) menu_->GetRootEntries(entries);
    else
        for (TMenuItem* i : items_)
            if (i->visible_) entries.push_back(i);
    UINT pos = 0;
    for (TMenuItem* e : entries) {
        MENUITEMINFOA info;
        std::string text;
        e->FillEntry(info, text);
        if (InsertMenuItemA(h, pos, TRUE, &info)) ++pos;
    }
}

void TMenuItem::Changed() {
    if (IsDestroying()) return;
    if (parent_) parent_->ItemsChanged();
}

void TMenuItem::ItemsChanged() {
    if (IsDestroying()) return;
    RebuildHandle();
    // The parent's entry for this item gains or loses its submenu with the first or last item.
    if (parent_ && !parent_->IsDestroying()) parent_->RebuildHandle();
    if (TMenu* menu = GetParentMenu(); menu && !menu->IsDestroying()) menu->MenuChanged();
}

void TMenuItem::SetCaption(const std::string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    Changed();
}

void TMenuItem::SetShortCut(TShortCut shortCut) {
    if (shortCut == shortCut_) return;
    shortCut_ = shortCut;
    Changed();
}

void TMenuItem::TurnSiblingsOff() {
    if (!parent_ || !radioItem_) return;
    for (TMenuItem* i : parent_->items_)
        if (i != this && i->radioItem_ && i->groupIndex_ == groupIndex_) i->checked_ = false;
}

void TMenuItem::SetChecked(bool on) {
    if (on == checked_) return;
    checked_ = on;
    if (on) TurnSiblingsOff();
    Changed();
}

void TMenuItem::SetRadioItem(bool on) {
    if (on == radioItem_) return;
    radioItem_ = on;
    if (on && checked_) TurnSiblingsOff();
    Changed();
}

void TMenuItem::SetGroupIndex(int index) {
    if (index < 0 || index > 255) throw EPropertyError(std::to_string(index) + " is not a valid group index");
    if (index == groupIndex_) return;
    groupIndex_ = index;
    if (checked_) TurnSiblingsOff();
    // Also places top-level items anew when menus are merged.
    Changed();
}

void TMenuItem::SetDefault(bool on) {
    if (on == default_) return;
    default_ = on;
    // One default item per submenu.
    if (on && parent_)
        for (TMenuItem* i : parent_->items_)
            if (i != this) i->default_ = false;
    Changed();
}

void TMenuItem::SetEnabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    Changed();
}

void TMenuItem::SetVisible(bool on) {
    if (on == visible_) return;
    visible_ = on;
    Changed();
}

void TMenuItem::SetBreak(TMenuBreak b) {
    if (b == break_) return;
    break_ = b;
    Changed();
}

void TMenuItem::SetImageIndex(int index) {
    if (index == imageIndex_) return;
    imageIndex_ = index;
    Changed();
}

TBitmap& TMenuItem::Bitmap() {
    if (!bitmap_) {
        bitmap_ = std::make_unique<TBitmap>();
        bitmap_->OnChange = [this](TObject*) { Changed(); };
    }
    return *bitmap_;
}

bool TMenuItem::ReadBinaryProperty(const std::string& name, const std::string& bytes) {
    if (name != "Bitmap") return inherited::ReadBinaryProperty(name, bytes);
    TBitmap loaded;
    loaded.ReadBinaryProperty("Data", bytes);
    Bitmap().Assign(loaded);
    Changed();
    return true;
}

void TMenuItem::WriteBinaryProperties(std::vector<std::pair<std::string, std::string>>& out) const {
    inherited::WriteBinaryProperties(out);
    if (!HasBitmap()) return;
    std::vector<std::pair<std::string, std::string>> data;
    bitmap_->WriteBinaryProperties(data);
    for (auto& [name, bytes] : data)
        if (name == "Data") out.emplace_back("Bitmap", std::move(bytes));
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
    if (!item) throw EMenuError("No menu item to insert");
    if (item->parent_ || item->menu_) throw EMenuError("Menu item " + item->Name() + " is already in a menu");
    for (const TMenuItem* p = this; p; p = p->parent_)
        if (p == item) throw EMenuError("A menu item cannot contain itself");
    if (index < 0 || index > Count()) throw EMenuError("Menu index out of range");
    items_.insert(items_.begin() + index, item);
    item->parent_ = this;
    if (item->checked_) item->TurnSiblingsOff();
    ItemsChanged();
}

void TMenuItem::Delete(int index) {
    if (index < 0 || index >= Count()) throw EMenuError("Menu index out of range");
    delete items_[static_cast<size_t>(index)];
}

void TMenuItem::Remove(TMenuItem* item) {
    auto it = std::find(items_.begin(), items_.end(), item);
    if (it == items_.end()) throw EMenuError("Menu item not found");
    items_.erase(it);
    item->parent_ = nullptr;
    ItemsChanged();
}

void TMenuItem::Clear() {
    while (!items_.empty()) delete items_.back();
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
    auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TMenuItem::SetMenuIndex(int index) {
    if (!parent_) return;
    TMenuItem* p = parent_;
    index = std::clamp(index, 0, p->Count() - 1);
    if (index == MenuIndex()) return;
    p->items_.erase(p->items_.begin() + MenuIndex());
    p->items_.insert(p->items_.begin() + index, this);
    p->ItemsChanged();
}

TMenuItem* TMenuItem::Find(const std::string& caption) const {
    std::string wanted = StripHotkey(caption);
    for (TMenuItem* i : items_)
        if (SameText(StripHotkey(i->caption_), wanted)) return i;
    return nullptr;
}

void TMenuItem::Click() {
    if (!enabled_) return;
    if (autoCheck_) SetChecked(!checked_);
    OnClick(this);
}

void TMenuItem::MeasureItem(TCanvas& canvas, int& width, int& height) {
    TMenu* menu = GetParentMenu();
    TCustomImageList* images = menu ? menu->Images() : nullptr;
    if (IsLine()) {
        width = 10;
        height = std::max(GetSystemMetrics(SM_CYMENUSIZE) / 2, 5);
    } else {
        TFontStyles oldStyle = canvas.Font().Style();
        if (default_) canvas.Font().SetStyle(oldStyle | FontStyles({fsBold}));
        SIZE text = canvas.TextExtent(StripHotkey(caption_));
        width = text.cx;
        height = text.cy + 6;
        if (!IsMenuBarItem()) {
            if (shortCut_) width += 20 + canvas.TextWidth(ShortCutToText(shortCut_));
            if (images) {
                width += images->Width() + 6;
                height = std::max(height, images->Height() + 4);
            } else if (HasBitmap()) {
                width += bitmap_->Width() + 6;
                height = std::max(height, bitmap_->Height() + 4);
            }
        }
        canvas.Font().SetStyle(oldStyle);
    }
    OnMeasureItem(this, &canvas, width, height);
}

void TMenuItem::DrawItem(TCanvas& canvas, const RECT& rect, TOwnerDrawState state) {
    if (OnAdvancedDrawItem) OnAdvancedDrawItem(this, &canvas, rect, state);
    else if (OnDrawItem) OnDrawItem(this, &canvas, rect, (state & odSelected) != 0);
    else DefaultDrawItem(canvas, rect, state);
}

namespace {
// A check mark (or a radio dot) in `color`, centred in `box`.
void DrawCheck(HDC dc, const RECT& box, bool radio, TColor color) {
    COLORREF c = static_cast<COLORREF>(ColorToRGB(color));
    int cx = (box.left + box.right) / 2, cy = (box.top + box.bottom) / 2;
    UniqueBrush brush(CreateSolidBrush(c));
    UniquePen pen(CreatePen(PS_SOLID, 1, c));
    ScopedSelect b(dc, brush.get()), p(dc, pen.get());
    if (radio) {
        Ellipse(dc, cx - 3, cy - 3, cx + 3, cy + 3);
        return;
    }
    for (int dy = 0; dy < 3; ++dy) {
        POINT pts[3] = {{cx - 3, cy - 1 + dy}, {cx - 1, cy + 1 + dy}, {cx + 4, cy - 4 + dy}};
        Polyline(dc, pts, 3);
    }
}
} // namespace

void TMenuItem::DefaultDrawItem(TCanvas& canvas, const RECT& rect, TOwnerDrawState state) {
    bool selected = (state & odSelected) != 0;
    bool bar = IsMenuBarItem();
    TMenu* menu = GetParentMenu();
    TCustomImageList* images = menu ? menu->Images() : nullptr;
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(selected && !IsLine() ? clHighlight : bar ? clMenuBar : clMenu);
    canvas.FillRect(rect);
    if (IsLine()) {
        RECT line = rect;
        line.top = (rect.top + rect.bottom) / 2 - 1;
        DrawEdge(canvas.Handle(), &line, EDGE_ETCHED, BF_TOP);
        return;
    }
    TColor textColor = !enabled_ ? clGrayText : selected ? clHighlightText : clMenuText;
    RECT textRect = rect;
    if (!bar) {
        int glyphWidth = images ? images->Width() : HasBitmap() ? bitmap_->Width() : 16;
        RECT glyph{rect.left + 2, rect.top, rect.left + 2 + glyphWidth, rect.bottom};
        int height = rect.bottom - rect.top;
        if (images && imageIndex_ >= 0 && imageIndex_ < images->Count()) {
            int y = rect.top + (height - images->Height()) / 2;
            if (checked_) {
                RECT frame{glyph.left - 1, y - 1, glyph.right + 1, y + images->Height() + 1};
                DrawEdge(canvas.Handle(), &frame, BDR_SUNKENOUTER, BF_RECT);
            }
            images->Draw(canvas, glyph.left, y, imageIndex_, enabled_);
        } else if (HasBitmap()) {
            int y = rect.top + (height - bitmap_->Height()) / 2;
            GdiTransparentBlt(canvas.Handle(), glyph.left, y, bitmap_->Width(), bitmap_->Height(),
                           bitmap_->Canvas().Handle(), 0, 0, bitmap_->Width(), bitmap_->Height(),
                           static_cast<UINT>(ColorToRGB(bitmap_->TransparentColor())));
        } else if (checked_) {
            DrawCheck(canvas.Handle(), glyph, radioItem_, textColor);
        }
        textRect.left = glyph.right + 6;
        textRect.right -= 6;
    }
    canvas.Font().SetColor(textColor);
    TFontStyles oldStyle = canvas.Font().Style();
    if (default_) canvas.Font().SetStyle(oldStyle | FontStyles({fsBold}));
    canvas.Brush().SetStyle(bsClear);
    HDC dc = canvas.Handle();
    SetBkMode(dc, TRANSPARENT);
    UINT flags = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS | (bar ? DT_CENTER : DT_LEFT);
    if (state & odNoAccel) flags |= DT_HIDEPREFIX;
    if (menu && menu->IsRightToLeft()) flags |= DT_RTLREADING;
    DrawTextA(dc, caption_.c_str(), static_cast<int>(caption_.size()), &textRect, flags);
    if (shortCut_ && !bar) {
        std::string s = ShortCutToText(shortCut_);
        DrawTextA(dc, s.c_str(), static_cast<int>(s.size()), &textRect, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    }
    canvas.Font().SetStyle(oldStyle);
    canvas.Brush().SetStyle(bsSolid);
}

TComponent* TMenuItem::GetParentComponent() const {
    if (!parent_) return nullptr;
    if (parent_->menu_) return parent_->menu_;
    return parent_;
}

void TMenuItem::SetParentComponent(TComponent* parent) {
    if (auto* menu = dynamic_cast<TMenu*>(parent)) menu->Items()->Add(this);
    else if (auto* item = dynamic_cast<TMenuItem*>(parent)) item->Add(this);
    else throw EMenuError("A menu item belongs in a menu or another menu item");
}

bool TMenuItem::GetChildComponents(std::vector<TComponent*>& children) const {
    children.assign(items_.begin(), items_.end());
    return true;
}

// ---- TMenu -------------------------------------------------------------------------------------

WL_DEFINE_ABSTRACT_CLASS(TMenu, [](ClassBuilder<TMenu>& c) {
    c.Enum("BiDiMode", &TMenu::BiDiMode, &TMenu::SetBiDiMode,
           {{"bdLeftToRight", bdLeftToRight}, {"bdRightToLeft", bdRightToLeft}});
    c.Ident("Images", &TMenu::ImagesName, &TMenu::SetImagesName);
    c.Bool("OwnerDraw", &TMenu::OwnerDraw, &TMenu::SetOwnerDraw);
})

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(std::make_unique<TMenuItem>(nullptr)) {
    items_->menu_ = this;
}

TMenu::~TMenu() {
    Destroying();
    items_.reset();
}

void TMenu::SetImages(TCustomImageList* images) {
    if (images == images_) return;
    if (images_) images_->RemoveFreeNotification(this);
    images_ = images;
    if (images) images->FreeNotification(this);
    Rebuild();
}

std::string TMenu::ImagesName() const { return images_ ? images_->Name() : std::string(); }

void TMenu::SetImagesName(const std::string& name) {
    SetImages(ResolveReference<TCustomImageList>(*this, name, "an image list"));
}

void TMenu::SetOwnerDraw(bool on) {
    if (on == ownerDraw_) return;
    ownerDraw_ = on;
    Rebuild();
}

void TMenu::SetBiDiMode(TMenuBiDiMode mode) {
    if (mode == biDiMode_) return;
    biDiMode_ = mode;
    Rebuild();
}

namespace {
TMenuItem* FindIn(TMenuItem* item, UINT value, TFindItemKind kind) {
    bool match = false;
    switch (kind) {
    case fkCommand: match = item->Command() == value; break;
    case fkHandle: match = item->HandleAllocated() && reinterpret_cast<UINT_PTR>(item->Handle()) == value; break;
    case fkShortCut: match = item->ShortCut() == value && value != 0; break;
    }
    if (match) return item;
    for (int i = 0; i < item->Count(); ++i)
        if (TMenuItem* found = FindIn(item->Items(i), value, kind)) return found;
    return nullptr;
}

void RebuildTree(TMenuItem* item) {
    item->RebuildHandle();
    for (int i = 0; i < item->Count(); ++i) RebuildTree(item->Items(i));
}

// The enabled, visible item with this shortcut below `item`, through enabled, visible parents.
TMenuItem* FindShortCut(TMenuItem* item, TShortCut shortCut) {
    for (int i = 0; i < item->Count(); ++i) {
        TMenuItem* c = item->Items(i);
        if (!c->Enabled() || !c->Visible()) continue;
        if (c->ShortCut() == shortCut) return c;
        if (TMenuItem* found = FindShortCut(c, shortCut)) return found;
    }
    return nullptr;
}
} // namespace

TMenuItem* TMenu::FindItem(UINT value, TFindItemKind kind) const { return FindIn(items_.get(), value, kind); }

bool TMenu::IsShortCut(TShortCut shortCut) {
    if (!shortCut) return false;
    TMenuItem* item = FindShortCut(items_.get(), shortCut);
    if (!item) return false;
    item->Click();
    return true;
}

void TMenu::Rebuild() {
    if (IsDestroying()) return;
    RebuildTree(items_.get());
    MenuChanged();
}

void TMenu::GetRootEntries(std::vector<TMenuItem*>& entries) const {
    for (TMenuItem* i : items_->items_)
        if (i->Visible()) entries.push_back(i);
}

void TMenu::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == images_) {
        images_ = nullptr;
        Rebuild();
    }
}

bool TMenu::GetChildComponents(std::vector<TComponent*>& children) const {
    return items_->GetChildComponents(children);
}

// ---- TMainMenu ---------------------------------------------------------------------------------

WL_DEFINE_CLASS(TMainMenu, [](ClassBuilder<TMainMenu>& c) {
    c.Bool("AutoMerge", &TMainMenu::AutoMerge, &TMainMenu::SetAutoMerge);
})

TMainMenu::TMainMenu(TComponent* owner) : TMenu(owner) {}

TMainMenu::~TMainMenu() {
    if (mergedInto_) mergedInto_->Unmerge(this);
    if (merged_) Unmerge(merged_);
    SetWindowHandle(nullptr);
}

void TMainMenu::SetWindowHandle(HWND window) {
    if (window_ && window_ != window && IsWindow(window_) && Items()->HandleAllocated() &&
        GetMenu(window_) == Items()->Handle())
        ::SetMenu(window_, nullptr);
    window_ = window;
    if (window) ::SetMenu(window, Handle());
}

void TMainMenu::Merge(TMainMenu* menu) {
    if (!menu || menu == this || menu == merged_) return;
    if (merged_) Unmerge(merged_);
    if (menu->mergedInto_) menu->mergedInto_->Unmerge(menu);
    merged_ = menu;
    menu->mergedInto_ = this;
    menu->FreeNotification(this);
    Items()->RebuildHandle();
    MenuChanged();
}

void TMainMenu::Unmerge(TMainMenu* menu) {
    if (!menu || menu != merged_) return;
    merged_ = nullptr;
    menu->mergedInto_ = nullptr;
    if (IsDestroying()) return;
    Items()->RebuildHandle();
    MenuChanged();
}

void TMainMenu::GetRootEntries(std::vector<TMenuItem*>& entries) const {
    std::vector<TMenuItem*> mine;
    TMenu::GetRootEntries(mine);
    if (!merged_) {
        entries = std::move(mine);
        return;
    }
    std::vector<TMenuItem*> theirs;
    merged_->GetRootEntries(theirs);
    // Their groups replace ours; each of theirs goes after the last item of a group not above
    // its own.
    for (TMenuItem* i : mine)
        if (std::none_of(theirs.begin(), theirs.end(),
                         [i](TMenuItem* t) { return t->GroupIndex() == i->GroupIndex(); }))
            entries.push_back(i);
    for (TMenuItem* t : theirs) {
        auto pos = entries.end();
        while (pos != entries.begin() && (*(pos - 1))->GroupIndex() > t->GroupIndex()) --pos;
        entries.insert(pos, t);
    }
}

void TMainMenu::MenuChanged() {
    if (mergedInto_) {
        mergedInto_->Items()->RebuildHandle();
        mergedInto_->MenuChanged();
        return;
    }
    if (!window_ || !IsWindow(window_)) return;
    DrawMenuBar(window_);
    if (TControl* form = FindControl(window_); form && !form->IsDestroying()) form->Perform(CM_MENUCHANGED);
}

TMenuItem* TMainMenu::FindItem(UINT value, TFindItemKind kind) const {
    if (TMenuItem* found = TMenu::FindItem(value, kind)) return found;
    return merged_ ? merged_->FindItem(value, kind) : nullptr;
}

void TMainMenu::Notification(TComponent* component, TOperation operation) {
    TMenu::Notification(component, operation);
    if (operation != opRemove) return;
    if (component == merged_) Unmerge(merged_);
    if (component == mergedInto_) mergedInto_ = nullptr;
    if (window_ && !IsWindow(window_)) {
        // The window was destroyed with this menu still set on it (its form was freed while
        // the menu belongs to another owner): the system destroyed the handles.
        window_ = nullptr;
        ForgetDestroyedMenus();
    }
}

// ---- TPopupMenu --------------------------------------------------------------------------------

WL_DEFINE_CLASS(TPopupMenu, [](ClassBuilder<TPopupMenu>& c) {
    c.Enum("Alignment", &TPopupMenu::Alignment, &TPopupMenu::SetAlignment,
           {{"paLeft", paLeft}, {"paRight", paRight}, {"paCenter", paCenter}});
    c.Bool("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup);
    c.Event("OnPopup", &TPopupMenu::OnPopup);
})

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner) {}
TPopupMenu::~TPopupMenu() = default;

void TPopupMenu::SetPopupComponent(TComponent* component) {
    if (component == popupComponent_) return;
    if (popupComponent_) popupComponent_->RemoveFreeNotification(this);
    popupComponent_ = component;
    if (component) component->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* component, TOperation operation) {
    TMenu::Notification(component, operation);
    if (operation == opRemove && component == popupComponent_) popupComponent_ = nullptr;
}

void TPopupMenu::Popup(int x, int y) {
    OnPopup(this);
    // Handlers assigned since the last showing decide which entries are owner-drawn.
    HMENU menu = Handle();
    RebuildTree(Items());
    UINT flags = TPM_RIGHTBUTTON;
    TPopupAlignment a = alignment_;
    if (IsRightToLeft()) {
        flags |= TPM_LAYOUTRTL;
        if (a == paLeft) a = paRight;
        else if (a == paRight) a = paLeft;
    }
    flags |= a == paRight ? TPM_RIGHTALIGN : a == paCenter ? TPM_CENTERALIGN : TPM_LEFTALIGN;
    TrackPopupMenu(menu, flags, x, y, 0, PopupListWindow(), nullptr);
}

// ---- message handling --------------------------------------------------------------------------

namespace {

// Room the default drawing needs beyond what MeasureItem gives (which leaves margins and, without
// glyphs, the check-mark column to whoever draws): margins on both sides and the glyph column.
int DefaultDrawingPadding(const TMenuItem& item) {
    if (item.OnDrawItem || item.OnAdvancedDrawItem || item.IsLine()) return 0;
    if (item.IsMenuBarItem()) return 12;
    TMenu* menu = item.GetParentMenu();
    bool glyphs = (menu && menu->Images()) || item.HasBitmap();
    return 2 + (glyphs ? 0 : 16 + 6) + 6;
}

TMenuItem* ItemOfOwnerDraw(UINT id, ULONG_PTR data) {
    if (data && IsLiveItem(reinterpret_cast<const void*>(data))) return reinterpret_cast<TMenuItem*>(data);
    return data ? nullptr : FindMenuItemByCommand(id);
}

} // namespace

bool DispatchMenuMessage(TMenuMessage& m, bool (*accepts)(const TMenu*, const void*), const void* context) {
    auto ok = [&](TMenuItem* item) { return item && accepts(item->GetParentMenu(), context); };
    switch (m.msg) {
    case WM_COMMAND: {
        // Menus and accelerators come without a control window.
        if (m.lParam != 0 || HIWORD(m.wParam) > 1) return false;
        TMenuItem* item = FindMenuItemByCommand(LOWORD(m.wParam));
        if (!ok(item)) return false;
        item->Click();
        m.result = 0;
        return true;
    }
    case WM_INITMENUPOPUP: {
        TMenuItem* item = FindMenuItemByHandle(reinterpret_cast<HMENU>(m.wParam));
        if (!ok(item)) return false;
        // Handlers assigned since the menu was built decide which entries are owner-drawn.
        item->RebuildHandle();
        // A submenu about to open lets its item's handler prepare it.
        if (item->Parent()) item->OnClick(item);
        m.result = 0;
        return true;
    }
    case WM_MENUSELECT: {
        UINT flags = HIWORD(m.wParam);
        if (flags == 0xFFFF && m.lParam == 0) {
            g_selected = nullptr;
            return false;
        }
        auto menu = reinterpret_cast<HMENU>(m.lParam);
        TMenuItem* item = (flags & MF_POPUP) ? FindMenuItemByHandle(GetSubMenu(menu, LOWORD(m.wParam)))
                                             : FindMenuItemByCommand(LOWORD(m.wParam));
        g_selected = ok(item) ? item : nullptr;
        return false;
    }
    case WM_MEASUREITEM: {
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(m.lParam);
        if (!mis || mis->CtlType != ODT_MENU) return false;
        TMenuItem* item = ItemOfOwnerDraw(mis->itemID, mis->itemData);
        if (!ok(item)) return false;
        WindowDC dc(m.window);
        MenuCanvas canvas(dc.get());
        int width = static_cast<int>(mis->itemWidth), height = static_cast<int>(mis->itemHeight);
        item->MeasureItem(canvas.get(), width, height);
        width += DefaultDrawingPadding(*item);
        mis->itemWidth = static_cast<UINT>(std::max(width, 0));
        mis->itemHeight = static_cast<UINT>(std::max(height, 0));
        m.result = TRUE;
        return true;
    }
    case WM_DRAWITEM: {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.lParam);
        if (!dis || dis->CtlType != ODT_MENU) return false;
        TMenuItem* item = ItemOfOwnerDraw(dis->itemID, dis->itemData);
        if (!ok(item)) return false;
        ScopedDCState state(dis->hDC);
        MenuCanvas canvas(dis->hDC);
        item->DrawItem(canvas.get(), dis->rcItem, OwnerDrawStateFromItemState(dis->itemState));
        m.result = TRUE;
        return true;
    }
    default: return false;
    }
}

namespace {

// The menu whose item's submenu PopupMenuItem is showing right now (its owner-draw and
// initialisation messages come to the popup window while it is open).
const TMenu* t_trackedItemMenu = nullptr;

bool AcceptsPopupMenus(const TMenu* menu, const void*) {
    return dynamic_cast<const TPopupMenu*>(menu) != nullptr || (menu && menu == t_trackedItemMenu);
}

LRESULT CALLBACK PopupListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    TMenuMessage m{hwnd, msg, wParam, lParam, 0};
    try {
        if (DispatchMenuMessage(m, AcceptsPopupMenus, nullptr)) return m.result;
    } catch (...) {
        if (Application) Application->HandleException(nullptr);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

} // namespace

void PopupMenuItem(TMenuItem* item, int x, int y) {
    if (!item || item->Count() == 0) return;
    RebuildTree(item);
    HMENU submenu = item->Handle();
    const TMenu* previous = t_trackedItemMenu;
    t_trackedItemMenu = item->GetParentMenu();
    // The choice is returned rather than posted: the popup window would get the command only
    // after the tracked menu stopped being accepted there.
    UINT command = static_cast<UINT>(TrackPopupMenu(submenu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD,
                                                    x, y, 0, PopupListWindow(), nullptr));
    t_trackedItemMenu = previous;
    if (command == 0) return;
    if (TMenuItem* chosen = FindMenuItemByCommand(command)) chosen->Click();
}

HWND PopupListWindow() {
    static HWND window = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = PopupListProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "WlPopupList";
        RegisterClassA(&wc);
        return CreateWindowExA(0, "WlPopupList", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    }();
    return window;
}

// ---- forms and controls ------------------------------------------------------------------------

void TControl::SetPopupMenu(TPopupMenu* menu) {
    if (menu == popupMenu_) return;
    if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
    popupMenu_ = menu;
    if (menu) menu->FreeNotification(this);
}

std::string TControl::PopupMenuName() const { return popupMenu_ ? popupMenu_->Name() : std::string(); }

void TControl::SetPopupMenuName(const std::string& name) {
    SetPopupMenu(ResolveReference<TPopupMenu>(*this, name, "a popup menu"));
}

void TControl::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == popupMenu_) popupMenu_ = nullptr;
}

bool TControl::DoContextPopup(TMessage& m) {
    POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
    // From the keyboard (Shift+F10, the menu key) the point is (-1, -1).
    bool keyboard = p.x == -1 && p.y == -1;
    TControl* target = this;
    if (auto* w = dynamic_cast<TWinControl*>(this); w && !keyboard) {
        TControl* child = w->ControlAtPos(w->ScreenToClient(p));
        if (child && !dynamic_cast<TWinControl*>(child) && child->PopupMenu()) target = child;
    }
    TPopupMenu* menu = target->PopupMenu();
    if (!menu || !menu->AutoPopup()) return false;
    if (keyboard) p = target->ClientToScreen({target->ClientWidth() / 2, target->ClientHeight() / 2});
    menu->SetPopupComponent(target);
    menu->Popup(p.x, p.y);
    m.Result = 1;
    return true;
}

void TCustomForm::SetMenu(TMainMenu* menu) {
    if (menu == menu_) return;
    // A menu bar comes on top of the client area, it does not take from it: the frame grows
    // or shrinks instead.
    const RECT client = ClientRect();
    if (menu_) {
        if (menu_->MergedInto()) menu_->MergedInto()->Unmerge(menu_);
        if (HandleAllocated() && menu_->WindowHandle() == HandleValue()) menu_->SetWindowHandle(nullptr);
        menu_->RemoveFreeNotification(this);
    }
    menu_ = menu;
    if (menu) menu->FreeNotification(this);
    if (!HandleAllocated()) {
        SetClientSize(client.right, client.bottom);
        return;
    }
    AttachMenu();
    SetClientSize(client.right, client.bottom);
    Perform(CM_MENUCHANGED);
}

std::string TCustomForm::MenuName() const { return menu_ ? menu_->Name() : std::string(); }

void TCustomForm::SetMenuName(const std::string& name) {
    SetMenu(ResolveReference<TMainMenu>(*this, name, "a main menu"));
}

void TCustomForm::AttachMenu() {
    if (!menu_ || !HandleAllocated()) return;
    TCustomForm* main = Application ? Application->MainForm() : nullptr;
    if (menu_->AutoMerge() && main && main != this && main->Menu()) {
        main->Menu()->Merge(menu_);
        return;
    }
    menu_->SetWindowHandle(HandleValue());
}

bool TCustomForm::IsShortCut(WORD key, TShiftState shift) {
    TShortCut sc = MakeShortCut(key, shift & (ssShift | ssCtrl | ssAlt));
    if (menu_ && menu_->IsShortCut(sc)) return true;
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* popup = dynamic_cast<TPopupMenu*>(Components(i)); popup && popup->IsShortCut(sc)) return true;
    return false;
}

namespace {
// Items a form handles: those of its menu bar, with the menu merged into it.
bool AcceptsFormMenu(const TMenu* menu, const void* context) {
    const auto* form = static_cast<const TCustomForm*>(context);
    const TMainMenu* bar = form->Menu();
    return bar && menu && (menu == bar || menu == bar->Merged());
}
} // namespace

bool TCustomForm::HandleMenuMessage(TMessage& m) {
    switch (m.Msg) {
    case WM_CREATE: AttachMenu(); return false;
    case WM_DESTROY:
        // The system would destroy a menu still set on the window; it belongs to the menu.
        if (menu_) {
            if (menu_->WindowHandle() == HandleValue()) menu_->SetWindowHandle(nullptr);
            if (menu_->MergedInto()) menu_->MergedInto()->Unmerge(menu_);
        }
        return false;
    case WM_COMMAND:
    case WM_INITMENUPOPUP:
    case WM_MENUSELECT:
    case WM_MEASUREITEM:
    case WM_DRAWITEM: {
        TMenuMessage mm{HandleValue(), m.Msg, m.WParam, m.LParam, 0};
        if (!DispatchMenuMessage(mm, AcceptsFormMenu, this)) return false;
        m.Result = mm.result;
        return true;
    }
    default: return false;
    }
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
    TWinControl::Notification(component, operation);
    if (operation == opRemove && component == menu_) menu_ = nullptr;
}

} // namespace wl
