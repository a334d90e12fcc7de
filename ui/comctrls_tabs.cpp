// Tab controls, page controls and their pages (see comctrls.h).
#include "ui/comctrls.h"

#include <algorithm>

namespace wl {

// ---- TCustomTabControl -------------------------------------------------------------------------

WL_DEFINE_ABSTRACT_CLASS(TCustomTabControl, [](ClassBuilder<TCustomTabControl>& c) {
    c.Enum("TabPosition", &TCustomTabControl::TabPosition, &TCustomTabControl::SetTabPosition,
           {{"tpTop", tpTop}, {"tpBottom", tpBottom}, {"tpLeft", tpLeft}, {"tpRight", tpRight}});
    c.Enum("Style", &TCustomTabControl::Style, &TCustomTabControl::SetStyle,
           {{"tsTabs", tsTabs}, {"tsButtons", tsButtons}, {"tsFlatButtons", tsFlatButtons}});
    c.Bool("MultiLine", &TCustomTabControl::MultiLine, &TCustomTabControl::SetMultiLine);
    c.Int("TabWidth", &TCustomTabControl::TabWidth, &TCustomTabControl::SetTabWidth);
    c.Int("TabHeight", &TCustomTabControl::TabHeight, &TCustomTabControl::SetTabHeight);
    c.Bool("OwnerDraw", &TCustomTabControl::OwnerDraw, &TCustomTabControl::SetOwnerDraw);
    c.Event("OnChange", &TCustomTabControl::OnChange);
    c.Event("OnChanging", &TCustomTabControl::OnChanging);
    c.Event("OnDrawTab", &TCustomTabControl::OnDrawTab);
})

TCustomTabControl::TCustomTabControl(TComponent* owner) : TWinControl(owner) {
    InitCommonControlClasses(ICC_TAB_CLASSES);
    ownPaint_ = false;
    SetTabStop(true);
    SetBounds(0, 0, 289, 193);
}

void TCustomTabControl::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.baseClass = WC_TABCONTROLA;
    switch (tabPosition_) {
    case tpTop:
        break;
    case tpBottom:
        p.style |= TCS_BOTTOM;
        break;
    // Tabs at the sides exist only in several rows.
    case tpLeft:
        p.style |= TCS_VERTICAL | TCS_MULTILINE;
        break;
    case tpRight:
        p.style |= TCS_VERTICAL | TCS_RIGHT | TCS_MULTILINE;
        break;
    }
    if (style_ == tsButtons)
        p.style |= TCS_BUTTONS;
    else if (style_ == tsFlatButtons)
        p.style |= TCS_BUTTONS | TCS_FLATBUTTONS;
    if (multiLine_) p.style |= TCS_MULTILINE;
    if (tabWidth_ > 0) p.style |= TCS_FIXEDWIDTH;
    if (ownerDraw_) p.style |= TCS_OWNERDRAWFIXED;
}

void TCustomTabControl::CreateWindowHandle(const TCreateParams& p) {
    TWinControl::CreateWindowHandle(p);
    if (tabWidth_ > 0 || tabHeight_ > 0)
        SendMessageA(HandleValue(), TCM_SETITEMSIZE, 0, MAKELPARAM(tabWidth_, tabHeight_));
    UpdateTabs();
}

void TCustomTabControl::UpdateTabs() {
    if (!HandleAllocated()) return;
    HWND h = HandleValue();
    std::vector<std::string> captions = TabCaptions();
    SendMessageA(h, TCM_DELETEALLITEMS, 0, 0);
    for (size_t i = 0; i < captions.size(); ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(captions[i].c_str());
        SendMessageA(h, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    if (tabIndex_ >= static_cast<int>(captions.size()))
        tabIndex_ = static_cast<int>(captions.size()) - 1;
    SendMessageA(h, TCM_SETCURSEL, static_cast<WPARAM>(tabIndex_), 0);
    AlignControls();
}

void TCustomTabControl::SetTabPosition(TTabPosition p) {
    if (p == tabPosition_) return;
    tabPosition_ = p;
    RecreateWnd();
}

void TCustomTabControl::SetStyle(TTabStyle s) {
    if (s == style_) return;
    style_ = s;
    RecreateWnd();
}

void TCustomTabControl::SetMultiLine(bool on) {
    if (on == multiLine_) return;
    multiLine_ = on;
    RecreateWnd();
}

void TCustomTabControl::SetTabWidth(int w) {
    if (w == tabWidth_) return;
    tabWidth_ = std::max(w, 0);
    RecreateWnd();
}

void TCustomTabControl::SetTabHeight(int h) {
    if (h == tabHeight_) return;
    tabHeight_ = std::max(h, 0);
    RecreateWnd();
}

void TCustomTabControl::SetOwnerDraw(bool on) {
    if (on == ownerDraw_) return;
    ownerDraw_ = on;
    RecreateWnd();
}

RECT TCustomTabControl::DisplayRect() const {
    RECT r{0, 0, width_, height_};
    if (!HandleAllocated()) return r;
    GetClientRect(HandleValue(), &r);
    SendMessageA(HandleValue(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    return r;
}

void TCustomTabControl::AdjustClientRect(RECT& rect) const {
    if (HandleAllocated()) rect = DisplayRect();
}

int TCustomTabControl::TabIndex() const {
    if (HandleAllocated())
        return static_cast<int>(SendMessageA(HandleValue(), TCM_GETCURSEL, 0, 0));
    return tabIndex_;
}

void TCustomTabControl::SetTabIndex(int index) {
    tabIndex_ = index;
    if (HandleAllocated())
        SendMessageA(HandleValue(), TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int TCustomTabControl::IndexOfTabAt(int x, int y) const {
    if (!HandleAllocated()) return -1;
    TCHITTESTINFO hit{{x, y}, 0};
    return static_cast<int>(
        SendMessageA(HandleValue(), TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

bool TCustomTabControl::CanChange() {
    bool allow = true;
    OnChanging(this, allow);
    return allow;
}

void TCustomTabControl::Change() {
    OnChange(this);
}

void TCustomTabControl::WndProc(TMessage& m) {
    switch (m.Msg) {
    case CN_NOTIFY:
        switch (reinterpret_cast<NMHDR*>(m.LParam)->code) {
        case TCN_SELCHANGING:
            m.Result = CanChange() ? FALSE : TRUE; // TRUE keeps the current tab
            return;
        case TCN_SELCHANGE:
            tabIndex_ = TabIndex();
            Change();
            return;
        default:
            return;
        }
    case CN_DRAWITEM: {
        auto* ds = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
        OnDrawTab(this, static_cast<int>(ds->itemID), ds->rcItem,
                  (ds->itemState & ODS_SELECTED) != 0);
        m.Result = TRUE;
        return;
    }
    default:
        break;
    }
    TWinControl::WndProc(m);
}

// ---- TTabControl -------------------------------------------------------------------------------

WL_DEFINE_CLASS(TTabControl, [](ClassBuilder<TTabControl>& c) {
    c.Object("Tabs", [](TTabControl& t) { return t.Tabs(); });
    c.Int("TabIndex", &TTabControl::TabIndex, &TTabControl::SetTabIndex);
})

TTabControl::TTabControl(TComponent* owner) : TCustomTabControl(owner) {
    tabs_.OnChange = [this](TObject*) { UpdateTabs(); };
}

// ---- TTabSheet ---------------------------------------------------------------------------------

WL_DEFINE_CLASS(TTabSheet, [](ClassBuilder<TTabSheet>& c) {
    c.Str(
        "Caption", [](const TTabSheet& s) { return s.GetText(); },
        [](TTabSheet& s, const std::string& t) { s.SetText(t); });
    c.Bool("TabVisible", &TTabSheet::TabVisible, &TTabSheet::SetTabVisible);
    c.Int("PageIndex", &TTabSheet::PageIndex, &TTabSheet::SetPageIndex);
    c.Int("ImageIndex", &TTabSheet::ImageIndex, &TTabSheet::SetImageIndex);
})

TTabSheet::TTabSheet(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 100, 100);
}

TTabSheet::~TTabSheet() {
    if (pageControl_) pageControl_->RemovePage(this);
}

void TTabSheet::SetParent(TWinControl* parent) {
    if (pageControl_ && pageControl_ != parent) pageControl_->RemovePage(this);
    TWinControl::SetParent(parent);
    if (auto* pc = dynamic_cast<TPageControl*>(parent); pc && pc != pageControl_)
        pc->InsertPage(this);
}

void TTabSheet::SetPageControl(TPageControl* control) {
    SetParent(control);
}

void TTabSheet::SetTabVisible(bool on) {
    if (on == tabVisible_) return;
    tabVisible_ = on;
    if (pageControl_) pageControl_->PagesChanged();
}

int TTabSheet::PageIndex() const {
    if (!pageControl_) return -1;
    auto& pages = pageControl_->pages_;
    return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int index) {
    if (pageControl_) pageControl_->MovePage(this, index);
}

void TTabSheet::SetImageIndex(int index) {
    imageIndex_ = index;
    if (pageControl_) pageControl_->PagesChanged();
}

int TTabSheet::TabIndex() const {
    if (!pageControl_ || !tabVisible_) return -1;
    int tab = 0;
    for (TTabSheet* p : pageControl_->pages_) {
        if (p == this) return tab;
        if (p->tabVisible_) ++tab;
    }
    return -1;
}

void TTabSheet::TextChanged() {
    TWinControl::TextChanged();
    if (pageControl_) pageControl_->PagesChanged();
}

// ---- TPageControl ------------------------------------------------------------------------------

WL_DEFINE_CLASS(TPageControl, [](ClassBuilder<TPageControl>& c) {
    c.Ident("ActivePage", &TPageControl::ActivePageName, &TPageControl::SetActivePageName);
})

TPageControl::TPageControl(TComponent* owner) : TCustomTabControl(owner) {}

TPageControl::~TPageControl() {
    for (TTabSheet* p : pages_)
        p->pageControl_ = nullptr;
    pages_.clear();
}

std::vector<std::string> TPageControl::TabCaptions() const {
    std::vector<std::string> captions;
    for (TTabSheet* p : pages_)
        if (p->tabVisible_) captions.push_back(p->GetText());
    return captions;
}

TTabSheet* TPageControl::PageForTab(int tab) const {
    if (tab < 0) return nullptr;
    for (TTabSheet* p : pages_)
        if (p->tabVisible_ && tab-- == 0) return p;
    return nullptr;
}

void TPageControl::InsertPage(TTabSheet* page) {
    page->pageControl_ = this;
    pages_.push_back(page);
    page->SetAlign(alNone);
    if (!IsLoading() && !activePage_) activePage_ = page;
    PagesChanged();
}

void TPageControl::RemovePage(TTabSheet* page) {
    auto it = std::find(pages_.begin(), pages_.end(), page);
    if (it == pages_.end()) return;
    size_t index = static_cast<size_t>(it - pages_.begin());
    pages_.erase(it);
    page->pageControl_ = nullptr;
    if (activePage_ == page) {
        // The neighbour takes over, as when a tab is closed.
        activePage_ = nullptr;
        if (!pages_.empty() && !IsDestroying()) {
            TTabSheet* next = pages_[std::min(index, pages_.size() - 1)];
            activePage_ = next;
        }
    }
    if (!IsDestroying()) PagesChanged();
}

void TPageControl::MovePage(TTabSheet* page, int index) {
    auto it = std::find(pages_.begin(), pages_.end(), page);
    if (it == pages_.end()) return;
    pages_.erase(it);
    index = std::clamp(index, 0, static_cast<int>(pages_.size()));
    pages_.insert(pages_.begin() + index, page);
    PagesChanged();
}

void TPageControl::PagesChanged() {
    if (IsLoading()) return;
    tabIndex_ = activePage_ ? activePage_->TabIndex() : -1;
    UpdateTabs();
    LayoutPages();
}

void TPageControl::LayoutPages() {
    RECT r = DisplayRect();
    for (TTabSheet* p : pages_) {
        if (HandleAllocated()) p->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
        p->SetVisible(p == activePage_);
    }
}

void TPageControl::SetActivePage(TTabSheet* page) {
    if (page && page->pageControl_ != this)
        throw EPropertyError("Page " + page->Name() + " does not belong to " + Name());
    activePage_ = page;
    if (IsLoading()) return;
    SetTabIndex(page ? page->TabIndex() : -1);
    LayoutPages();
}

std::string TPageControl::ActivePageName() const {
    if (activePage_) return activePage_->Name();
    return pendingActive_;
}

void TPageControl::SetActivePageName(const std::string& name) {
    if (IsLoading()) {
        pendingActive_ = name;
        return;
    }
    TTabSheet* found = nullptr;
    for (TTabSheet* p : pages_)
        if (SameText(p->Name(), name)) found = p;
    if (!name.empty() && !found) throw EPropertyError("Page " + name + " does not exist");
    SetActivePage(found);
}

int TPageControl::ActivePageIndex() const {
    return activePage_ ? activePage_->PageIndex() : -1;
}

void TPageControl::SetActivePageIndex(int index) {
    SetActivePage(index >= 0 && index < PageCount() ? pages_[static_cast<size_t>(index)] : nullptr);
}

void TPageControl::Loaded() {
    TCustomTabControl::Loaded();
    std::string pending = pendingActive_;
    pendingActive_.clear();
    if (!pending.empty())
        SetActivePageName(pending);
    else if (!activePage_ && !pages_.empty())
        SetActivePage(pages_.front());
    else
        PagesChanged();
}

void TPageControl::CreateWindowHandle(const TCreateParams& p) {
    tabIndex_ = activePage_ ? activePage_->TabIndex() : -1;
    TCustomTabControl::CreateWindowHandle(p);
    LayoutPages();
}

void TPageControl::BoundsChanged(const RECT& old) {
    TCustomTabControl::BoundsChanged(old);
    if (HandleAllocated()) LayoutPages();
}

void TPageControl::Change() {
    // The tab the user picked shows its page; the others hide.
    activePage_ = PageForTab(TabIndex());
    LayoutPages();
    TCustomTabControl::Change();
}

} // namespace wl
