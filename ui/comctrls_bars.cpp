// Tool bars and their buttons, cool bars (rebars) with bands, and date-time pickers (see
// comctrls.h).
#include "ui/comctrls.h"

#include "ui/imglist.h"
#include "ui/menus.h"

#include <algorithm>
#include <cstdio>

namespace wl {

// ---- TToolButton -------------------------------------------------------------------------------

WL_DEFINE_CLASS(TToolButton, [](ClassBuilder<TToolButton>& c) {
    c.Str(
        "Caption", [](const TToolButton& b) { return b.GetText(); },
        [](TToolButton& b, const std::string& t) { b.SetText(t); });
    c.Enum("Style", &TToolButton::Style, &TToolButton::SetStyle,
           {{"tbsButton", tbsButton},
            {"tbsCheck", tbsCheck},
            {"tbsDropDown", tbsDropDown},
            {"tbsSeparator", tbsSeparator},
            {"tbsDivider", tbsDivider}});
    c.Int("ImageIndex", &TToolButton::ImageIndex, &TToolButton::SetImageIndex);
    c.Bool("Down", &TToolButton::Down, &TToolButton::SetDown);
    c.Bool("Grouped", &TToolButton::Grouped, &TToolButton::SetGrouped);
    c.Ident("DropdownMenu", &TToolButton::DropdownMenuName, &TToolButton::SetDropdownMenuName);
    c.Ident("MenuItem", &TToolButton::MenuItemName, &TToolButton::SetMenuItemName);
})

TToolButton::TToolButton(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, 23, 22);
}

void TToolButton::SetDropdownMenu(TPopupMenu* menu) {
    if (dropdownMenu_) dropdownMenu_->RemoveFreeNotification(this);
    dropdownMenu_ = menu;
    pendingMenu_.clear();
    if (menu) menu->FreeNotification(this);
}

std::string TToolButton::DropdownMenuName() const {
    return dropdownMenu_ ? dropdownMenu_->Name() : pendingMenu_;
}

void TToolButton::SetDropdownMenuName(const std::string& name) {
    if (IsLoading()) {
        pendingMenu_ = name;
        return;
    }
    TComponent* c = name.empty() || !Owner() ? nullptr : Owner()->FindComponent(name);
    if (!name.empty() && !dynamic_cast<TPopupMenu*>(c))
        throw EPropertyError("Popup menu " + name + " does not exist");
    SetDropdownMenu(static_cast<TPopupMenu*>(c));
}

void TToolButton::SetMenuItem(TMenuItem* item) {
    if (menuItem_) menuItem_->RemoveFreeNotification(this);
    menuItem_ = item;
    pendingMenuItem_.clear();
    if (item) {
        item->FreeNotification(this);
        UpdateFromMenuItem();
    }
}

std::string TToolButton::MenuItemName() const {
    return menuItem_ ? menuItem_->Name() : pendingMenuItem_;
}

void TToolButton::SetMenuItemName(const std::string& name) {
    if (IsLoading()) {
        pendingMenuItem_ = name;
        return;
    }
    TComponent* c = name.empty() || !Owner() ? nullptr : Owner()->FindComponent(name);
    if (!name.empty() && !dynamic_cast<TMenuItem*>(c))
        throw EPropertyError("Menu item " + name + " does not exist");
    SetMenuItem(static_cast<TMenuItem*>(c));
}

void TToolButton::UpdateFromMenuItem() {
    if (!menuItem_) return;
    SetText(menuItem_->Caption());
    SetEnabled(menuItem_->Enabled());
    SetVisible(menuItem_->Visible());
}

void TToolButton::Loaded() {
    TGraphicControl::Loaded();
    if (!pendingMenu_.empty()) SetDropdownMenuName(std::string(pendingMenu_));
    if (!pendingMenuItem_.empty()) SetMenuItemName(std::string(pendingMenuItem_));
}

void TToolButton::Notification(TComponent* component, TOperation operation) {
    TGraphicControl::Notification(component, operation);
    if (operation != opRemove) return;
    if (component == dropdownMenu_) dropdownMenu_ = nullptr;
    if (component == menuItem_) menuItem_ = nullptr;
}

TToolButton::~TToolButton() {
    if (dropdownMenu_) dropdownMenu_->RemoveFreeNotification(this);
    if (menuItem_) menuItem_->RemoveFreeNotification(this);
    TToolBar* bar = ToolBar();
    if (bar && !bar->IsDestroying() && bar->HandleAllocated()) {
        auto index =
            SendMessageA(bar->HandleValue(), TB_COMMANDTOINDEX, static_cast<WPARAM>(id_), 0);
        if (index >= 0)
            SendMessageA(bar->HandleValue(), TB_DELETEBUTTON, static_cast<WPARAM>(index), 0);
    }
}

TToolBar* TToolButton::ToolBar() const {
    return dynamic_cast<TToolBar*>(Parent());
}

void TToolButton::SetParent(TWinControl* parent) {
    TToolBar* old = ToolBar();
    TGraphicControl::SetParent(parent);
    if (old && old != parent) old->RebuildButtons();
    if (TToolBar* bar = ToolBar()) {
        if (id_ == 0) id_ = bar->nextId_++;
        bar->RebuildButtons();
    }
}

void TToolButton::Changed() {
    if (TToolBar* bar = ToolBar()) bar->RebuildButtons();
}

void TToolButton::SetStyle(TToolButtonStyle s) {
    style_ = s;
    Changed();
}

void TToolButton::SetImageIndex(int i) {
    imageIndex_ = i;
    Changed();
}

bool TToolButton::Down() const {
    TToolBar* bar = ToolBar();
    if (bar && bar->HandleAllocated() && id_)
        return SendMessageA(bar->HandleValue(), TB_ISBUTTONCHECKED, static_cast<WPARAM>(id_), 0) !=
               0;
    return down_;
}

void TToolButton::SetDown(bool on) {
    down_ = on;
    TToolBar* bar = ToolBar();
    if (bar && bar->HandleAllocated() && id_)
        SendMessageA(bar->HandleValue(), TB_CHECKBUTTON, static_cast<WPARAM>(id_),
                     MAKELPARAM(on, 0));
}

void TToolButton::SetGrouped(bool on) {
    grouped_ = on;
    Changed();
}

void TToolButton::SetEnabled(bool enabled) {
    TGraphicControl::SetEnabled(enabled);
    TToolBar* bar = ToolBar();
    if (bar && bar->HandleAllocated() && id_)
        SendMessageA(bar->HandleValue(), TB_ENABLEBUTTON, static_cast<WPARAM>(id_),
                     MAKELPARAM(enabled, 0));
}

void TToolButton::SetVisible(bool visible) {
    TGraphicControl::SetVisible(visible);
    TToolBar* bar = ToolBar();
    if (bar && bar->HandleAllocated() && id_) {
        SendMessageA(bar->HandleValue(), TB_HIDEBUTTON, static_cast<WPARAM>(id_),
                     MAKELPARAM(!visible, 0));
        bar->UpdateButtonBounds();
    }
}

void TToolButton::TextChanged() {
    TGraphicControl::TextChanged();
    Changed();
}

void TToolButton::PlaceAt(const RECT& r) {
    // The bar places its buttons; the objects only follow, without moving anything.
    left_ = r.left;
    top_ = r.top;
    width_ = r.right - r.left;
    height_ = r.bottom - r.top;
}

void TToolButton::Click() {
    down_ = Down();
    TGraphicControl::Click();
    if (!menuItem_) return;
    if (menuItem_->Count() == 0) {
        menuItem_->Click();
        return;
    }
    // The item's submenu drops down under the button, like a menu bar's.
    TToolBar* bar = ToolBar();
    if (!bar || !bar->HandleAllocated()) return;
    POINT p{left_, top_ + height_};
    ::ClientToScreen(bar->HandleValue(), &p);
    PopupMenuItem(menuItem_, p.x, p.y);
}

// ---- TToolBar ----------------------------------------------------------------------------------

WL_DEFINE_CLASS(TToolBar, [](ClassBuilder<TToolBar>& c) {
    c.Bool("Flat", &TToolBar::Flat, &TToolBar::SetFlat);
    c.Bool("ShowCaptions", &TToolBar::ShowCaptions, &TToolBar::SetShowCaptions);
    c.Int("ButtonWidth", &TToolBar::ButtonWidth, &TToolBar::SetButtonWidth);
    c.Int("ButtonHeight", &TToolBar::ButtonHeight, &TToolBar::SetButtonHeight);
    c.Set("EdgeBorders", &TToolBar::EdgeBorders, &TToolBar::SetEdgeBorders,
          {{"ebLeft", ebLeft}, {"ebTop", ebTop}, {"ebRight", ebRight}, {"ebBottom", ebBottom}});
    c.Ident("Images", &TToolBar::ImagesName, &TToolBar::SetImagesName);
    c.Ident("Menu", &TToolBar::MenuName, &TToolBar::SetMenuName);
    c.Event("OnCustomDraw", &TToolBar::OnCustomDraw);
    c.Event("OnCustomDrawButton", &TToolBar::OnCustomDrawButton);
})

TToolBar::~TToolBar() {
    if (images_) images_->RemoveFreeNotification(this);
    if (menu_) menu_->RemoveFreeNotification(this);
}

void TToolBar::SetMenu(TMainMenu* menu) {
    if (menu == menu_) return;
    FreeMenuButtons();
    if (menu_) menu_->RemoveFreeNotification(this);
    menu_ = menu;
    pendingMenu_.clear();
    if (!menu) return;
    menu->FreeNotification(this);
    MakeMenuButtons();
}

std::string TToolBar::MenuName() const {
    return menu_ ? menu_->Name() : pendingMenu_;
}

void TToolBar::SetMenuName(const std::string& name) {
    if (IsLoading()) {
        pendingMenu_ = name;
        return;
    }
    TComponent* c = name.empty() || !Owner() ? nullptr : Owner()->FindComponent(name);
    if (!name.empty() && !dynamic_cast<TMainMenu*>(c))
        throw EPropertyError("Main menu " + name + " does not exist");
    SetMenu(static_cast<TMainMenu*>(c));
}

// One button per top-level item, owned by the bar itself so that form definitions keep only
// the reference to the menu.
void TToolBar::MakeMenuButtons() {
    SetShowCaptions(true);
    TMenuItem* items = menu_->Items();
    for (int i = 0; i < items->Count(); ++i) {
        auto* button = new TToolButton(this);
        button->SetGrouped(true);
        button->SetParent(this);
        button->SetMenuItem(items->Items(i));
    }
}

// The bar owns no buttons but those it made for its menu.
void TToolBar::FreeMenuButtons() {
    for (int i = ComponentCount() - 1; i >= 0; --i)
        if (auto* b = dynamic_cast<TToolButton*>(Components(i))) delete b;
}

void TToolBar::SetImages(TCustomImageList* images) {
    if (images_) images_->RemoveFreeNotification(this);
    images_ = images;
    pendingImages_.clear();
    if (images) images->FreeNotification(this);
    RebuildButtons();
}

std::string TToolBar::ImagesName() const {
    return images_ ? images_->Name() : pendingImages_;
}

void TToolBar::SetImagesName(const std::string& name) {
    if (IsLoading()) {
        pendingImages_ = name;
        return;
    }
    TComponent* c = name.empty() || !Owner() ? nullptr : Owner()->FindComponent(name);
    if (!name.empty() && !dynamic_cast<TCustomImageList*>(c))
        throw EPropertyError("Image list " + name + " does not exist");
    SetImages(static_cast<TCustomImageList*>(c));
}

void TToolBar::Loaded() {
    TWinControl::Loaded();
    if (!pendingImages_.empty()) SetImagesName(std::string(pendingImages_));
    if (!pendingMenu_.empty()) SetMenuName(std::string(pendingMenu_));
}

void TToolBar::Notification(TComponent* component, TOperation operation) {
    TWinControl::Notification(component, operation);
    if (operation == opRemove && component == menu_) {
        FreeMenuButtons();
        menu_ = nullptr;
    }
    if (operation == opRemove && component == images_) {
        images_ = nullptr;
        // The list's handle goes with it: the bar must not keep it.
        if (HandleAllocated()) SendMessageA(HandleValue(), TB_SETIMAGELIST, 0, 0);
    }
}

TToolBar::TToolBar(TComponent* owner)
    : TWinControl(owner), canvas_(std::make_unique<TControlCanvas>()) {
    InitCommonControlClasses(ICC_BAR_CLASSES);
    ownPaint_ = false;
    clickOnMouseUp_ = false;
    SetBounds(0, 0, 150, 29);
    SetAlign(alTop);
}

void TToolBar::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.baseClass = TOOLBARCLASSNAMEA;
    p.style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER | TBSTYLE_TOOLTIPS;
    if (flat_) p.style |= TBSTYLE_FLAT | TBSTYLE_TRANSPARENT;
    // Edges drawn by the window frame: a static edge when any side is asked for.
    if (edgeBorders_ != 0) p.exStyle |= WS_EX_STATICEDGE;
}

void TToolBar::CreateWindowHandle(const TCreateParams& p) {
    TWinControl::CreateWindowHandle(p);
    SendMessageA(HandleValue(), TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    // Drop-down buttons show their arrow.
    SendMessageA(HandleValue(), TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    RebuildButtons();
}

int TToolBar::ButtonCount() const {
    int n = 0;
    for (int i = 0; i < ControlCount(); ++i)
        if (dynamic_cast<TToolButton*>(Controls(i))) ++n;
    return n;
}

TToolButton* TToolBar::Buttons(int index) const {
    for (int i = 0; i < ControlCount(); ++i)
        if (auto* b = dynamic_cast<TToolButton*>(Controls(i)); b && index-- == 0) return b;
    return nullptr;
}

TToolButton* TToolBar::FindButton(int id) const {
    for (int i = 0; i < ControlCount(); ++i)
        if (auto* b = dynamic_cast<TToolButton*>(Controls(i)); b && b->id_ == id) return b;
    return nullptr;
}

void TToolBar::RebuildButtons() {
    if (!HandleAllocated() || rebuilding_ || IsDestroying()) return;
    rebuilding_ = true;
    HWND h = HandleValue();
    while (SendMessageA(h, TB_BUTTONCOUNT, 0, 0) > 0)
        SendMessageA(h, TB_DELETEBUTTON, 0, 0);
    // The list's handle may have been made anew since the last time: hand it over each time.
    HIMAGELIST list = images_ ? images_->Handle() : nullptr;
    SendMessageA(h, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list));
    if (images_)
        SendMessageA(h, TB_SETBITMAPSIZE, 0, MAKELPARAM(images_->Width(), images_->Height()));
    else
        SendMessageA(h, TB_SETBITMAPSIZE, 0,
                     MAKELPARAM(std::max(buttonWidth_ - 7, 0), std::max(buttonHeight_ - 6, 0)));
    SendMessageA(h, TB_SETBUTTONSIZE, 0, MAKELPARAM(buttonWidth_, buttonHeight_));
    if (!showCaptions_) SendMessageA(h, TB_SETMAXTEXTROWS, 0, 0);
    std::vector<std::string> captions;
    std::vector<TToolButton*> buttons;
    for (int i = 0; i < ControlCount(); ++i)
        if (auto* b = dynamic_cast<TToolButton*>(Controls(i))) buttons.push_back(b);
    captions.reserve(buttons.size());
    for (TToolButton* b : buttons) {
        TBBUTTON tb{};
        tb.idCommand = b->id_;
        tb.iBitmap = b->imageIndex_ >= 0 ? b->imageIndex_ : I_IMAGENONE;
        tb.fsState = static_cast<BYTE>((b->Enabled() ? TBSTATE_ENABLED : 0) |
                                       (b->down_ ? TBSTATE_CHECKED : 0) |
                                       (b->Visible() ? 0 : TBSTATE_HIDDEN));
        switch (b->style_) {
        case tbsButton:
            tb.fsStyle = BTNS_BUTTON;
            break;
        case tbsCheck:
            tb.fsStyle = BTNS_CHECK | (b->grouped_ ? BTNS_GROUP : 0);
            break;
        case tbsDropDown:
            tb.fsStyle = BTNS_DROPDOWN;
            break;
        case tbsSeparator:
        case tbsDivider:
            tb.fsStyle = BTNS_SEP;
            tb.iBitmap = 6;
            break;
        }
        if (showCaptions_ && b->style_ != tbsSeparator && b->style_ != tbsDivider) {
            captions.push_back(b->GetText());
            tb.iString = reinterpret_cast<INT_PTR>(captions.back().c_str());
        } else {
            tb.iString = -1;
        }
        SendMessageA(h, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&tb));
    }
    rebuilding_ = false;
    UpdateButtonBounds();
    Invalidate();
}

void TToolBar::UpdateButtonBounds() {
    if (!HandleAllocated()) return;
    for (int i = 0; i < ControlCount(); ++i) {
        auto* b = dynamic_cast<TToolButton*>(Controls(i));
        if (!b) continue;
        auto index = SendMessageA(HandleValue(), TB_COMMANDTOINDEX, static_cast<WPARAM>(b->id_), 0);
        RECT r{};
        if (index >= 0 && SendMessageA(HandleValue(), TB_GETITEMRECT, static_cast<WPARAM>(index),
                                       reinterpret_cast<LPARAM>(&r))) {
            b->PlaceAt(r);
        }
    }
}

void TToolBar::SetFlat(bool on) {
    if (on == flat_) return;
    flat_ = on;
    RecreateWnd();
}

void TToolBar::SetShowCaptions(bool on) {
    if (on == showCaptions_) return;
    showCaptions_ = on;
    RecreateWnd();
}

void TToolBar::SetButtonWidth(int w) {
    buttonWidth_ = std::max(w, 1);
    RebuildButtons();
}

void TToolBar::SetButtonHeight(int h) {
    buttonHeight_ = std::max(h, 1);
    RebuildButtons();
}

void TToolBar::SetEdgeBorders(unsigned e) {
    if (e == edgeBorders_) return;
    edgeBorders_ = e;
    RecreateWnd();
}

void TToolBar::WndProc(TMessage& m) {
    if (IsMouseMessage(m.Msg)) {
        // The buttons are the bar's own: mouse messages go to the system control, not to the
        // windowless button objects.
        TControl::WndProc(m);
        return;
    }
    if (m.Msg == CN_COMMAND) {
        if (TToolButton* b = FindButton(LOWORD(m.WParam))) b->Click();
        return;
    }
    if (m.Msg == CN_NOTIFY && reinterpret_cast<NMHDR*>(m.LParam)->code == NM_CUSTOMDRAW) {
        CustomDraw(m);
        return;
    }
    if (m.Msg == CN_NOTIFY && reinterpret_cast<NMHDR*>(m.LParam)->code == TBN_DROPDOWN) {
        // The arrow of a drop-down button: its menu opens under the button.
        auto* nm = reinterpret_cast<NMTOOLBARA*>(m.LParam);
        TToolButton* b = FindButton(nm->iItem);
        m.Result = TBDDRET_DEFAULT;
        if (!b || !b->DropdownMenu()) return;
        RECT r{};
        SendMessageA(HandleValue(), TB_GETRECT, static_cast<WPARAM>(nm->iItem),
                     reinterpret_cast<LPARAM>(&r));
        POINT p{r.left, r.bottom};
        ::ClientToScreen(HandleValue(), &p);
        b->DropdownMenu()->SetPopupComponent(b);
        b->DropdownMenu()->Popup(p.x, p.y);
        return;
    }
    TWinControl::WndProc(m);
}

void TToolBar::CustomDraw(TMessage& m) {
    auto* cd = reinterpret_cast<NMTBCUSTOMDRAW*>(m.LParam);
    m.Result = CDRF_DODEFAULT;
    bool defaultDraw = true;
    // The canvas borrows the bar's device context only for the handler's time.
    struct Borrow {
        TControlCanvas& canvas;
        Borrow(TControlCanvas& c, HDC dc) : canvas(c) { canvas.Attach(dc); }
        ~Borrow() { canvas.Detach(); }
    };
    switch (cd->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        if (OnCustomDraw) {
            Borrow borrow(*canvas_, cd->nmcd.hdc);
            OnCustomDraw(this, cd->nmcd.rc, defaultDraw);
        }
        if (!defaultDraw)
            m.Result = CDRF_SKIPDEFAULT;
        else if (OnCustomDrawButton)
            m.Result = CDRF_NOTIFYITEMDRAW;
        break;
    case CDDS_ITEMPREPAINT: {
        TToolButton* button = FindButton(static_cast<int>(cd->nmcd.dwItemSpec));
        if (!button || !OnCustomDrawButton) break;
        TCustomDrawState state = 0;
        UINT s = cd->nmcd.uItemState;
        if (s & CDIS_SELECTED) state |= cdsSelected;
        if (s & CDIS_GRAYED) state |= cdsGrayed;
        if (s & CDIS_DISABLED) state |= cdsDisabled;
        if (s & CDIS_CHECKED) state |= cdsChecked;
        if (s & CDIS_FOCUS) state |= cdsFocused;
        if (s & CDIS_DEFAULT) state |= cdsDefault;
        if (s & CDIS_HOT) state |= cdsHot;
        {
            Borrow borrow(*canvas_, cd->nmcd.hdc);
            OnCustomDrawButton(this, button, state, defaultDraw);
        }
        if (!defaultDraw) m.Result = CDRF_SKIPDEFAULT;
        break;
    }
    default:
        break;
    }
}

// ---- TCoolBar ----------------------------------------------------------------------------------

WL_DEFINE_CLASS(TCoolBand, [](ClassBuilder<TCoolBand>& c) {
    c.Ident("Control", &TCoolBand::ControlName, &TCoolBand::SetControlName);
    c.Str("Text", &TCoolBand::Text, &TCoolBand::SetText);
    c.Int("Width", &TCoolBand::Width, &TCoolBand::SetWidth);
    c.Int("MinHeight", &TCoolBand::MinHeight, &TCoolBand::SetMinHeight);
    c.Bool("Break", &TCoolBand::Break, &TCoolBand::SetBreak);
    c.Color("Color", &TCoolBand::Color, &TCoolBand::SetColor);
})

namespace {
TCoolBar* BarOf(const TCoolBand& band) {
    return band.Collection() ? dynamic_cast<TCoolBar*>(band.Collection()->Owner()) : nullptr;
}
} // namespace

void TCoolBand::SetControl(TWinControl* control) {
    TCoolBar* bar = BarOf(*this);
    if (control && bar && control == bar) throw EPropertyError("A cool bar cannot be its own band");
    control_ = control;
    pendingControl_.clear();
    if (control && bar) control->FreeNotification(bar);
    Changed();
}

std::string TCoolBand::ControlName() const {
    return control_ ? control_->Name() : pendingControl_;
}

void TCoolBand::SetControlName(const std::string& name) {
    TCoolBar* bar = BarOf(*this);
    if (!bar || bar->IsLoading()) {
        pendingControl_ = name;
        return;
    }
    TComponent* root = bar->Owner();
    TComponent* c = name.empty() || !root ? nullptr : root->FindComponent(name);
    if (!name.empty() && !dynamic_cast<TWinControl*>(c))
        throw EPropertyError("Control " + name + " does not exist");
    SetControl(static_cast<TWinControl*>(c));
}

void TCoolBand::SetText(const std::string& t) {
    text_ = t;
    Changed();
}
void TCoolBand::SetWidth(int w) {
    width_ = std::max(w, 0);
    Changed();
}
void TCoolBand::SetMinHeight(int h) {
    minHeight_ = std::max(h, 0);
    Changed();
}
void TCoolBand::SetBreak(bool on) {
    break_ = on;
    Changed();
}
void TCoolBand::SetColor(TColor c) {
    color_ = c;
    Changed();
}

WL_DEFINE_CLASS(TCoolBar, [](ClassBuilder<TCoolBar>& c) {
    c.Object("Bands", [](TCoolBar& b) { return b.Bands(); });
})

TCoolBar::TCoolBar(TComponent* owner) : TWinControl(owner), bands_(TCoolBand::StaticClass(), this) {
    InitCommonControlClasses(ICC_COOL_CLASSES | ICC_BAR_CLASSES);
    ownPaint_ = false;
    bands_.OnUpdate = [this](const TCollectionChange& change) { UpdateBands(change); };
    SetBounds(0, 0, 150, 75);
    SetAlign(alTop);
}

TCoolBar::~TCoolBar() {
    bands_.OnUpdate = nullptr;
    for (int i = 0; i < bands_.Count(); ++i)
        if (TWinControl* c = Band(i)->control_) c->RemoveFreeNotification(this);
}

void TCoolBar::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.baseClass = REBARCLASSNAMEA;
    p.style |= RBS_VARHEIGHT | RBS_BANDBORDERS | CCS_NODIVIDER | CCS_NOPARENTALIGN | CCS_NORESIZE;
}

void TCoolBar::CreateWindowHandle(const TCreateParams& p) {
    TWinControl::CreateWindowHandle(p);
    UpdateBands({});
}

void TCoolBar::Loaded() {
    TWinControl::Loaded();
    for (int i = 0; i < bands_.Count(); ++i) {
        TCoolBand* band = Band(i);
        if (!band->pendingControl_.empty())
            band->SetControlName(std::string(band->pendingControl_));
    }
}

void TCoolBar::Notification(TComponent* component, TOperation operation) {
    TWinControl::Notification(component, operation);
    if (operation != opRemove) return;
    for (int i = 0; i < bands_.Count(); ++i)
        if (Band(i)->control_ == component) {
            Band(i)->control_ = nullptr;
            UpdateBands({TCollectionAction::ItemChanged, i, -1, Band(i)});
        }
}

void TCoolBar::PushBand(int index, UINT message) {
    TCoolBand* band = Band(index);
    REBARBANDINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = RBBIM_STYLE | RBBIM_TEXT | RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_COLORS | RBBIM_CHILD;
    info.fStyle = RBBS_CHILDEDGE | (band->break_ ? RBBS_BREAK : 0);
    info.lpText = const_cast<char*>(band->text_.c_str());
    info.clrFore = GetSysColor(COLOR_BTNTEXT);
    info.clrBack = static_cast<COLORREF>(ColorToRGB(band->color_));
    info.cyMinChild = static_cast<UINT>(band->minHeight_);
    info.cx = static_cast<UINT>(band->width_ > 0 ? band->width_ : width_);
    if (TWinControl* c = band->control_) {
        // The band's window must be a child of the bar.
        if (c->Parent() != this) c->SetParent(this);
        info.hwndChild = c->Handle();
        info.cxMinChild = 0;
    }
    SendMessageA(HandleValue(), message, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&info));
}

void TCoolBar::UpdateBands(const TCollectionChange& change) {
    if (!HandleAllocated() || IsDestroying()) return;
    HWND h = HandleValue();
    switch (change.action) {
    case TCollectionAction::Added:
        PushBand(change.index, RB_INSERTBANDA);
        break;
    case TCollectionAction::Removed:
        SendMessageA(h, RB_DELETEBAND, static_cast<WPARAM>(change.index), 0);
        break;
    case TCollectionAction::Moved:
        SendMessageA(h, RB_MOVEBAND, static_cast<WPARAM>(change.from),
                     static_cast<LPARAM>(change.index));
        break;
    case TCollectionAction::ItemChanged:
        PushBand(change.index, RB_SETBANDINFOA);
        break;
    case TCollectionAction::AllChanged:
        while (SendMessageA(h, RB_GETBANDCOUNT, 0, 0) > 0)
            SendMessageA(h, RB_DELETEBAND, 0, 0);
        for (int i = 0; i < bands_.Count(); ++i)
            PushBand(i, RB_INSERTBANDA);
        break;
    }
}

// ---- TDateTimePicker ---------------------------------------------------------------------------

WL_DEFINE_CLASS(TDateTimePicker, [](ClassBuilder<TDateTimePicker>& c) {
    c.Str("Date", &TDateTimePicker::DateText, &TDateTimePicker::SetDateText);
    c.Str("Time", &TDateTimePicker::TimeText, &TDateTimePicker::SetTimeText);
    c.Enum("Kind", &TDateTimePicker::Kind, &TDateTimePicker::SetKind,
           {{"dtkDate", dtkDate}, {"dtkTime", dtkTime}});
    c.Enum("DateFormat", &TDateTimePicker::DateFormat, &TDateTimePicker::SetDateFormat,
           {{"dfShort", dfShort}, {"dfLong", dfLong}});
    c.Enum("DateMode", &TDateTimePicker::DateMode, &TDateTimePicker::SetDateMode,
           {{"dmComboBox", dmComboBox}, {"dmUpDown", dmUpDown}});
    c.Bool("ShowCheckbox", &TDateTimePicker::ShowCheckbox, &TDateTimePicker::SetShowCheckbox);
    c.Bool("Checked", &TDateTimePicker::Checked, &TDateTimePicker::SetChecked);
    c.Event("OnChange", &TDateTimePicker::OnChange);
})

TDateTimePicker::TDateTimePicker(TComponent* owner) : TWinControl(owner) {
    InitCommonControlClasses(ICC_DATE_CLASSES);
    ownPaint_ = false;
    SetTabStop(true);
    SetColor(clWindow);
    GetLocalTime(&value_);
    value_.wMilliseconds = 0;
    SetBounds(0, 0, 186, 21);
}

void TDateTimePicker::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.baseClass = DATETIMEPICK_CLASSA;
    if (kind_ == dtkTime)
        p.style |= DTS_TIMEFORMAT;
    else if (dateFormat_ == dfLong)
        p.style |= DTS_LONGDATEFORMAT;
    if (dateMode_ == dmUpDown) p.style |= DTS_UPDOWN;
    if (showCheckbox_) p.style |= DTS_SHOWNONE;
}

void TDateTimePicker::CreateWindowHandle(const TCreateParams& p) {
    TWinControl::CreateWindowHandle(p);
    PushValue();
}

void TDateTimePicker::PushValue() {
    if (!HandleAllocated()) return;
    // Some versions refuse GDT_NONE without a time to ignore: always pass one.
    if (showCheckbox_ && !checked_)
        SendMessageA(HandleValue(), DTM_SETSYSTEMTIME, GDT_NONE, reinterpret_cast<LPARAM>(&value_));
    else
        SendMessageA(HandleValue(), DTM_SETSYSTEMTIME, GDT_VALID,
                     reinterpret_cast<LPARAM>(&value_));
}

SYSTEMTIME TDateTimePicker::DateTime() const {
    if (HandleAllocated()) {
        SYSTEMTIME st{};
        if (SendMessageA(HandleValue(), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) ==
            GDT_VALID) {
            st.wMilliseconds = 0;
            return st;
        }
    }
    return value_;
}

namespace {
// A valid calendar date and time of day (the system's own conversion decides), with the day of
// the week filled in; false for anything else.
bool Normalize(SYSTEMTIME& st) {
    static const WORD kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (st.wYear < 1601 || st.wYear > 9999 || st.wMonth < 1 || st.wMonth > 12 || st.wDay < 1 ||
        st.wHour > 23 || st.wMinute > 59 || st.wSecond > 59)
        return false;
    bool leap = (st.wYear % 4 == 0 && st.wYear % 100 != 0) || st.wYear % 400 == 0;
    if (st.wDay > kDays[st.wMonth - 1] + (st.wMonth == 2 && leap ? 1 : 0)) return false;
    FILETIME ft;
    if (!SystemTimeToFileTime(&st, &ft)) return false;
    return FileTimeToSystemTime(&ft, &st) != 0;
}
} // namespace

void TDateTimePicker::SetDateTime(const SYSTEMTIME& value) {
    SYSTEMTIME st = value;
    st.wMilliseconds = 0;
    if (!Normalize(st)) throw EConvertError("Invalid date or time");
    value_ = st;
    PushValue();
}

std::string TDateTimePicker::DateText() const {
    SYSTEMTIME st = DateTime();
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04u-%02u-%02u", st.wYear, st.wMonth, st.wDay);
    return buf;
}

std::string TDateTimePicker::TimeText() const {
    SYSTEMTIME st = DateTime();
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02u:%02u:%02u", st.wHour, st.wMinute, st.wSecond);
    return buf;
}

void TDateTimePicker::SetDateText(const std::string& text) {
    unsigned y = 0, mo = 0, d = 0;
    int used = 0;
    SYSTEMTIME st = DateTime();
    if (std::sscanf(text.c_str(), "%4u-%2u-%2u%n", &y, &mo, &d, &used) != 3 ||
        used != static_cast<int>(text.size()))
        throw EConvertError("'" + text + "' is not a valid date");
    st.wYear = static_cast<WORD>(y);
    st.wMonth = static_cast<WORD>(mo);
    st.wDay = static_cast<WORD>(d);
    if (!Normalize(st)) throw EConvertError("'" + text + "' is not a valid date");
    value_ = st;
    PushValue();
}

void TDateTimePicker::SetTimeText(const std::string& text) {
    unsigned h = 0, mi = 0, s = 0;
    int used = 0;
    SYSTEMTIME st = DateTime();
    if (std::sscanf(text.c_str(), "%2u:%2u:%2u%n", &h, &mi, &s, &used) != 3 ||
        used != static_cast<int>(text.size()) || h > 23 || mi > 59 || s > 59)
        throw EConvertError("'" + text + "' is not a valid time");
    st.wHour = static_cast<WORD>(h);
    st.wMinute = static_cast<WORD>(mi);
    st.wSecond = static_cast<WORD>(s);
    value_ = st;
    PushValue();
}

void TDateTimePicker::SetKind(TDateTimeKind k) {
    if (k == kind_) return;
    value_ = DateTime();
    kind_ = k;
    RecreateWnd();
}

void TDateTimePicker::SetDateFormat(TDTDateFormat f) {
    if (f == dateFormat_) return;
    value_ = DateTime();
    dateFormat_ = f;
    RecreateWnd();
}

void TDateTimePicker::SetDateMode(TDTDateMode m) {
    if (m == dateMode_) return;
    value_ = DateTime();
    dateMode_ = m;
    RecreateWnd();
}

void TDateTimePicker::SetShowCheckbox(bool on) {
    if (on == showCheckbox_) return;
    value_ = DateTime();
    checked_ = Checked();
    showCheckbox_ = on;
    RecreateWnd();
}

bool TDateTimePicker::Checked() const {
    if (HandleAllocated() && showCheckbox_) {
        SYSTEMTIME st{};
        return SendMessageA(HandleValue(), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) ==
               GDT_VALID;
    }
    return checked_;
}

void TDateTimePicker::SetChecked(bool on) {
    value_ = DateTime();
    checked_ = on;
    PushValue();
}

void TDateTimePicker::WndProc(TMessage& m) {
    if (m.Msg == CN_NOTIFY && reinterpret_cast<NMHDR*>(m.LParam)->code == DTN_DATETIMECHANGE) {
        auto* nm = reinterpret_cast<NMDATETIMECHANGE*>(m.LParam);
        checked_ = nm->dwFlags == GDT_VALID;
        if (checked_) {
            value_ = nm->st;
            value_.wMilliseconds = 0;
        }
        OnChange(this);
        return;
    }
    TWinControl::WndProc(m);
}

} // namespace wl
