// List views and tree views (see comctrls.h).
#include "ui/comctrls.h"

#include "ui/comctrls_shared.h"

#include <algorithm>

namespace wl {

using comctl::ChangeStyle;
using comctl::kAlignments;

namespace {
int ColumnFormat(TAlignment a) {
    return a == taCenter ? LVCFMT_CENTER : a == taRightJustify ? LVCFMT_RIGHT : LVCFMT_LEFT;
}
} // namespace

// ---- TListColumn / TListItem -------------------------------------------------------------------

WL_DEFINE_CLASS(TListColumn, [](ClassBuilder<TListColumn>& c) {
    c.Str("Caption", &TListColumn::Caption, &TListColumn::SetCaption);
    c.Int("Width", &TListColumn::Width, &TListColumn::SetWidth);
    c.Enum("Alignment", &TListColumn::Alignment, &TListColumn::SetAlignment, kAlignments);
})

void TListColumn::SetCaption(const std::string& c) {
    caption_ = c;
    Changed();
}

int TListColumn::Width() const {
    // The user may have dragged the column's divider.
    if (view_ && view_->HandleAllocated() && Index() >= 0) {
        int w = static_cast<int>(SendMessageA(view_->HandleValue(), LVM_GETCOLUMNWIDTH,
                                              static_cast<WPARAM>(Index()), 0));
        if (w > 0) return w;
    }
    return width_;
}

void TListColumn::SetWidth(int w) {
    width_ = w;
    Changed();
}

void TListColumn::SetAlignment(TAlignment a) {
    alignment_ = a;
    Changed();
}

WL_DEFINE_CLASS(TListItem, [](ClassBuilder<TListItem>& c) {
    c.Str("Caption", &TListItem::Caption, &TListItem::SetCaption);
    c.Object("SubItems", [](TListItem& i) { return i.SubItems(); });
    c.Int("ImageIndex", &TListItem::ImageIndex, &TListItem::SetImageIndex);
    c.Bool("Selected", &TListItem::Selected, &TListItem::SetSelected);
    c.Bool("Checked", &TListItem::Checked, &TListItem::SetChecked);
})

TListItem::TListItem() {
    subItems_.OnChange = [this](TObject*) { Changed(); };
}

void TListItem::SetCaption(const std::string& c) {
    caption_ = c;
    Changed();
}

void TListItem::SetImageIndex(int i) {
    imageIndex_ = i;
    Changed();
}

bool TListItem::Selected() const {
    return selected_;
}

void TListItem::SetSelected(bool on) {
    selected_ = on;
    if (view_) view_->PushItemState(Index());
}

bool TListItem::Checked() const {
    return checked_;
}

void TListItem::SetChecked(bool on) {
    checked_ = on;
    if (view_) view_->PushItemState(Index());
}

// ---- TCustomListView ---------------------------------------------------------------------------

WL_DEFINE_ABSTRACT_CLASS(TCustomListView, [](ClassBuilder<TCustomListView>& c) {
    c.Object("Columns", [](TCustomListView& v) { return v.Columns(); });
    c.Object("Items", [](TCustomListView& v) { return v.Items(); });
    c.Enum("ViewStyle", &TCustomListView::ViewStyle, &TCustomListView::SetViewStyle,
           {{"vsIcon", vsIcon},
            {"vsSmallIcon", vsSmallIcon},
            {"vsList", vsList},
            {"vsReport", vsReport}});
    c.Bool("RowSelect", &TCustomListView::RowSelect, &TCustomListView::SetRowSelect);
    c.Bool("GridLines", &TCustomListView::GridLines, &TCustomListView::SetGridLines);
    c.Bool("Checkboxes", &TCustomListView::Checkboxes, &TCustomListView::SetCheckboxes);
    c.Bool("ReadOnly", &TCustomListView::ReadOnly, &TCustomListView::SetReadOnly);
    c.Bool("HideSelection", &TCustomListView::HideSelection, &TCustomListView::SetHideSelection);
    c.Bool("ShowColumnHeaders", &TCustomListView::ShowColumnHeaders,
           &TCustomListView::SetShowColumnHeaders);
    c.Bool("MultiSelect", &TCustomListView::MultiSelect, &TCustomListView::SetMultiSelect);
    c.Event("OnSelectItem", &TCustomListView::OnSelectItem);
    c.Event("OnColumnClick", &TCustomListView::OnColumnClick);
    c.Event("OnCustomDraw", &TCustomListView::OnCustomDraw);
    c.Event("OnCustomDrawItem", &TCustomListView::OnCustomDrawItem);
})
WL_DEFINE_CLASS(TListView, WL_NO_PROPERTIES)

TCustomListView::TCustomListView(TComponent* owner)
    : TWinControl(owner), columns_(TListColumn::StaticClass()), items_(TListItem::StaticClass()) {
    InitCommonControlClasses(ICC_LISTVIEW_CLASSES);
    ownPaint_ = false;
    clickOnMouseUp_ = false; // the control reports clicks itself (NM_CLICK)
    SetTabStop(true);
    SetColor(clWindow);
    columns_.OnUpdate = [this](const TCollectionChange& change) { ColumnsChanged(change); };
    items_.OnUpdate = [this](const TCollectionChange& change) { ItemsChanged(change); };
    SetBounds(0, 0, 250, 150);
}

TCustomListView::~TCustomListView() {
    columns_.OnUpdate = nullptr;
    items_.OnUpdate = nullptr;
}

TListItem* TCustomListView::AddItem(const std::string& caption) {
    auto* item = static_cast<TListItem*>(items_.Add());
    item->SetCaption(caption);
    return item;
}

TListColumn* TCustomListView::AddColumn(const std::string& caption, int width) {
    auto* column = static_cast<TListColumn*>(columns_.Add());
    column->SetCaption(caption);
    column->SetWidth(width);
    return column;
}

void TCustomListView::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.baseClass = WC_LISTVIEWA;
    p.exStyle |= WS_EX_CLIENTEDGE;
    static const DWORD views[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
    // Without LVS_SHAREIMAGELISTS: the control frees the check-box images it makes itself.
    p.style |= views[viewStyle_];
    if (!readOnly_) p.style |= LVS_EDITLABELS;
    if (!hideSelection_) p.style |= LVS_SHOWSELALWAYS;
    if (!showColumnHeaders_) p.style |= LVS_NOCOLUMNHEADER;
    if (!multiSelect_) p.style |= LVS_SINGLESEL;
}

void TCustomListView::CreateWindowHandle(const TCreateParams& p) {
    TWinControl::CreateWindowHandle(p);
    HWND h = HandleValue();
    COLORREF back = static_cast<COLORREF>(ColorToRGB(Color()));
    SendMessageA(h, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(back));
    SendMessageA(h, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(back));
    UpdateExStyle();
    ColumnsChanged({});
    ItemsChanged({});
}

void TCustomListView::UpdateExStyle() {
    if (!HandleAllocated()) return;
    DWORD ex = 0;
    if (rowSelect_) ex |= LVS_EX_FULLROWSELECT;
    if (gridLines_) ex |= LVS_EX_GRIDLINES;
    if (checkboxes_) ex |= LVS_EX_CHECKBOXES;
    DWORD mask = LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES;
    SendMessageA(HandleValue(), LVM_SETEXTENDEDLISTVIEWSTYLE, mask, static_cast<LPARAM>(ex));
}

void TCustomListView::PushColumn(int index, bool insert) {
    TListColumn* col = Column(index);
    col->view_ = this;
    LVCOLUMNA c{};
    c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    c.fmt = ColumnFormat(col->Alignment());
    c.cx = col->width_;
    c.pszText = const_cast<char*>(col->Caption().c_str());
    c.iSubItem = index;
    SendMessageA(HandleValue(), insert ? LVM_INSERTCOLUMNA : LVM_SETCOLUMNA,
                 static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&c));
}

void TCustomListView::ColumnsChanged(const TCollectionChange& change) {
    for (int i = 0; i < columns_.Count(); ++i)
        Column(i)->view_ = this;
    if (!HandleAllocated()) return;
    HWND h = HandleValue();
    int first = 0; // the first column whose place changed
    switch (change.action) {
    case TCollectionAction::ItemChanged:
        PushColumn(change.index, false);
        return;
    case TCollectionAction::Added:
        PushColumn(change.index, true);
        first = change.index;
        break;
    case TCollectionAction::Removed:
        SendMessageA(h, LVM_DELETECOLUMN, static_cast<WPARAM>(change.index), 0);
        first = change.index;
        break;
    case TCollectionAction::Moved:
        SendMessageA(h, LVM_DELETECOLUMN, static_cast<WPARAM>(change.from), 0);
        PushColumn(change.index, true);
        first = std::min(change.from, change.index);
        break;
    case TCollectionAction::AllChanged:
        while (SendMessageA(h, LVM_DELETECOLUMN, 0, 0)) {
        }
        for (int i = 0; i < columns_.Count(); ++i)
            PushColumn(i, true);
        break;
    }
    // The control moves the items' sub-items along with its columns (and drops those of a
    // deleted column), while column c always shows sub-item c - 1 of the item's list: the
    // columns from the changed place on and the sub-items they show are set again.
    for (int i = first + 1; i < columns_.Count(); ++i)
        PushColumn(i, false);
    bool was = syncing_;
    syncing_ = true;
    for (int i = 0; i < items_.Count(); ++i) {
        if (first == 0)
            PushItem(i, false);
        else
            PushSubItems(i, first - 1);
    }
    syncing_ = was;
}

void TCustomListView::PushItem(int index, bool insert) {
    TListItem* it = Item(index);
    it->view_ = this;
    LVITEMA li{};
    li.mask = LVIF_TEXT | LVIF_IMAGE;
    li.iItem = index;
    li.pszText = const_cast<char*>(it->Caption().c_str());
    li.iImage = it->ImageIndex();
    SendMessageA(HandleValue(), insert ? LVM_INSERTITEMA : LVM_SETITEMA, 0,
                 reinterpret_cast<LPARAM>(&li));
    PushSubItems(index, 0);
    PushItemState(index);
}

void TCustomListView::PushSubItems(int index, int first) {
    TListItem* it = Item(index);
    int subCount = it->SubItems()->Count();
    // Sub-items beyond the list are cleared, so a shortened list leaves nothing behind.
    int columns = std::max(columns_.Count() - 1, subCount);
    for (int s = first; s < columns; ++s) {
        std::string text = s < subCount ? it->SubItems()->Get(s) : std::string();
        LVITEMA sub{};
        sub.iSubItem = s + 1;
        sub.pszText = const_cast<char*>(text.c_str());
        SendMessageA(HandleValue(), LVM_SETITEMTEXTA, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&sub));
    }
}

void TCustomListView::PushItemState(int index) {
    if (!HandleAllocated() || index < 0 || index >= items_.Count()) return;
    TListItem* it = Item(index);
    bool was = syncing_;
    syncing_ = true;
    LVITEMA li{};
    li.stateMask = LVIS_SELECTED | LVIS_STATEIMAGEMASK;
    li.state = (it->selected_ ? LVIS_SELECTED : 0) | INDEXTOSTATEIMAGEMASK(it->checked_ ? 2 : 1);
    if (!checkboxes_) li.stateMask &= ~LVIS_STATEIMAGEMASK;
    SendMessageA(HandleValue(), LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&li));
    syncing_ = was;
    // A single-selection view drops the other selections: follow it.
    if (it->selected_ && !multiSelect_)
        for (int i = 0; i < items_.Count(); ++i)
            if (i != index) Item(i)->selected_ = false;
}

void TCustomListView::ItemsChanged(const TCollectionChange& change) {
    if (change.action == TCollectionAction::AllChanged)
        for (int i = 0; i < items_.Count(); ++i)
            Item(i)->view_ = this;
    else if (change.item)
        static_cast<TListItem*>(change.item)->view_ = this;
    if (!HandleAllocated()) return;
    HWND h = HandleValue();
    bool was = syncing_;
    syncing_ = true;
    switch (change.action) {
    case TCollectionAction::Added:
        PushItem(change.index, true);
        break;
    case TCollectionAction::Removed:
        SendMessageA(h, LVM_DELETEITEM, static_cast<WPARAM>(change.index), 0);
        break;
    case TCollectionAction::Moved:
        SendMessageA(h, LVM_DELETEITEM, static_cast<WPARAM>(change.from), 0);
        PushItem(change.index, true);
        break;
    case TCollectionAction::ItemChanged:
        PushItem(change.index, false);
        break;
    case TCollectionAction::AllChanged:
        SendMessageA(h, LVM_DELETEALLITEMS, 0, 0);
        for (int i = 0; i < items_.Count(); ++i)
            PushItem(i, true);
        break;
    }
    syncing_ = was;
}

TListItem* TCustomListView::Selected() const {
    for (int i = 0; i < items_.Count(); ++i)
        if (Item(i)->Selected()) return Item(i);
    return nullptr;
}

void TCustomListView::SetViewStyle(TViewStyle v) {
    viewStyle_ = v;
    if (!HandleAllocated()) return;
    ChangeStyle(HandleValue(), LVS_TYPEMASK, false);
    static const DWORD views[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
    ChangeStyle(HandleValue(), views[v], true);
    Invalidate();
}

void TCustomListView::SetRowSelect(bool on) {
    rowSelect_ = on;
    UpdateExStyle();
}
void TCustomListView::SetGridLines(bool on) {
    gridLines_ = on;
    UpdateExStyle();
}
void TCustomListView::SetCheckboxes(bool on) {
    checkboxes_ = on;
    UpdateExStyle();
    if (HandleAllocated())
        for (int i = 0; i < items_.Count(); ++i)
            PushItemState(i);
}
void TCustomListView::SetReadOnly(bool on) {
    readOnly_ = on;
    if (HandleAllocated()) ChangeStyle(HandleValue(), LVS_EDITLABELS, !on);
}
void TCustomListView::SetHideSelection(bool on) {
    hideSelection_ = on;
    if (HandleAllocated()) ChangeStyle(HandleValue(), LVS_SHOWSELALWAYS, !on);
}
void TCustomListView::SetShowColumnHeaders(bool on) {
    if (on == showColumnHeaders_) return;
    showColumnHeaders_ = on;
    RecreateWnd();
}
void TCustomListView::SetMultiSelect(bool on) {
    multiSelect_ = on;
    if (HandleAllocated()) ChangeStyle(HandleValue(), LVS_SINGLESEL, !on);
}

void TCustomListView::CustomDraw(TMessage& m) {
    auto* cd = reinterpret_cast<NMLVCUSTOMDRAW*>(m.LParam);
    m.Result = CDRF_DODEFAULT;
    switch (cd->nmcd.dwDrawStage) {
    case CDDS_PREPAINT: {
        bool defaultDraw = true;
        if (OnCustomDraw) OnCustomDraw(this, cd->nmcd.rc, defaultDraw);
        if (!defaultDraw)
            m.Result = CDRF_SKIPDEFAULT;
        else if (OnCustomDrawItem)
            m.Result = CDRF_NOTIFYITEMDRAW;
        break;
    }
    case CDDS_ITEMPREPAINT: {
        auto index = static_cast<int>(cd->nmcd.dwItemSpec);
        if (index < 0 || index >= items_.Count()) break;
        TCustomDrawState state = 0;
        UINT s = cd->nmcd.uItemState;
        if (s & CDIS_SELECTED) state |= cdsSelected;
        if (s & CDIS_GRAYED) state |= cdsGrayed;
        if (s & CDIS_DISABLED) state |= cdsDisabled;
        if (s & CDIS_CHECKED) state |= cdsChecked;
        if (s & CDIS_FOCUS) state |= cdsFocused;
        if (s & CDIS_DEFAULT) state |= cdsDefault;
        if (s & CDIS_HOT) state |= cdsHot;
        bool defaultDraw = true;
        OnCustomDrawItem(this, Item(index), state, defaultDraw);
        if (!defaultDraw) m.Result = CDRF_SKIPDEFAULT;
        break;
    }
    default:
        break;
    }
}

void TCustomListView::Notify(TMessage& m) {
    auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
    switch (hdr->code) {
    case NM_CUSTOMDRAW:
        CustomDraw(m);
        return;
    case NM_CLICK:
        Click();
        return;
    case NM_DBLCLK:
        OnDblClick(this);
        return;
    case LVN_COLUMNCLICK: {
        int col = reinterpret_cast<NMLISTVIEW*>(m.LParam)->iSubItem;
        if (col >= 0 && col < columns_.Count()) OnColumnClick(this, Column(col));
        return;
    }
    case LVN_ITEMCHANGED: {
        auto* nm = reinterpret_cast<NMLISTVIEW*>(m.LParam);
        if (syncing_ || !(nm->uChanged & LVIF_STATE)) return;
        // -1 stands for every item (a selection cleared at once).
        int first = nm->iItem < 0 ? 0 : nm->iItem;
        int last = nm->iItem < 0 ? items_.Count() - 1 : nm->iItem;
        for (int i = first; i <= last && i < items_.Count(); ++i) {
            TListItem* it = Item(i);
            if ((nm->uNewState ^ nm->uOldState) & LVIS_SELECTED) {
                bool selected = (nm->uNewState & LVIS_SELECTED) != 0;
                if (selected != it->selected_) {
                    it->selected_ = selected;
                    OnSelectItem(this, it, selected);
                }
            }
            if (checkboxes_ && ((nm->uNewState ^ nm->uOldState) & LVIS_STATEIMAGEMASK))
                it->checked_ = (nm->uNewState & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
        }
        return;
    }
    case LVN_ENDLABELEDITA: {
        auto* nm = reinterpret_cast<NMLVDISPINFOA*>(m.LParam);
        int index = nm->item.iItem;
        if (nm->item.pszText && index >= 0 && index < items_.Count()) {
            Item(index)->caption_ = nm->item.pszText;
            m.Result = TRUE;
        }
        return;
    }
    default:
        break;
    }
    DefaultHandler(m);
}

void TCustomListView::WndProc(TMessage& m) {
    if (m.Msg == CN_NOTIFY) {
        Notify(m);
        return;
    }
    TWinControl::WndProc(m);
}

// ---- TTreeNodes --------------------------------------------------------------------------------

void TTreeNode::SetText(const std::string& text) {
    text_ = text;
    if (view_ && item_ && view_->HandleAllocated()) {
        TVITEMA tv{};
        tv.mask = TVIF_TEXT;
        tv.hItem = item_;
        tv.pszText = const_cast<char*>(text_.c_str());
        SendMessageA(view_->HandleValue(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
    }
}

bool TTreeNode::Expanded() const {
    if (!view_ || !item_ || !view_->HandleAllocated()) return false;
    auto state = static_cast<UINT>(SendMessageA(view_->HandleValue(), TVM_GETITEMSTATE,
                                                reinterpret_cast<WPARAM>(item_), TVIS_EXPANDED));
    return (state & TVIS_EXPANDED) != 0;
}

void TTreeNode::SetExpanded(bool on) {
    if (view_ && item_ && view_->HandleAllocated())
        SendMessageA(view_->HandleValue(), TVM_EXPAND, on ? TVE_EXPAND : TVE_COLLAPSE,
                     reinterpret_cast<LPARAM>(item_));
}

WL_DEFINE_CLASS(TTreeNodes, [](ClassBuilder<TTreeNodes>& c) {
    c.List("Strings", &TTreeNodes::Lines, &TTreeNodes::SetLines);
})

int TTreeNodes::Count() const {
    int n = RootCount();
    std::vector<const TTreeNode*> stack;
    for (const auto& r : roots_)
        stack.push_back(r.get());
    while (!stack.empty()) {
        const TTreeNode* node = stack.back();
        stack.pop_back();
        n += node->Count();
        for (int i = 0; i < node->Count(); ++i)
            stack.push_back(node->Item(i));
    }
    return n;
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, const std::string& text) {
    auto node = std::make_unique<TTreeNode>();
    node->text_ = text;
    node->parent_ = parent;
    node->view_ = view_;
    TTreeNode* raw = node.get();
    (parent ? parent->children_ : roots_).push_back(std::move(node));
    if (view_) view_->InsertNode(raw);
    return raw;
}

void TTreeNodes::Delete(TTreeNode* node) {
    if (!node) return;
    if (view_) view_->RemoveNode(node);
    auto& list = node->parent_ ? node->parent_->children_ : roots_;
    auto it =
        std::find_if(list.begin(), list.end(), [node](const auto& p) { return p.get() == node; });
    if (it != list.end()) list.erase(it);
}

void TTreeNodes::Clear() {
    while (!roots_.empty())
        Delete(roots_.back().get());
}

TTreeNode* TTreeNodes::FindItem(HTREEITEM item) const {
    std::vector<TTreeNode*> stack;
    for (const auto& r : roots_)
        stack.push_back(r.get());
    while (!stack.empty()) {
        TTreeNode* node = stack.back();
        stack.pop_back();
        if (node->item_ == item) return node;
        for (const auto& c : node->children_)
            stack.push_back(c.get());
    }
    return nullptr;
}

std::vector<std::string> TTreeNodes::Lines() const {
    std::vector<std::string> lines;
    // Depth first, in order: each node's line is indented by its level.
    std::vector<const TTreeNode*> stack;
    for (auto it = roots_.rbegin(); it != roots_.rend(); ++it)
        stack.push_back(it->get());
    while (!stack.empty()) {
        const TTreeNode* node = stack.back();
        stack.pop_back();
        lines.push_back(std::string(static_cast<size_t>(node->Level()), ' ') + node->Text());
        for (auto it = node->children_.rbegin(); it != node->children_.rend(); ++it)
            stack.push_back(it->get());
    }
    return lines;
}

void TTreeNodes::SetLines(const std::vector<std::string>& lines) {
    // Check the whole text before anything changes.
    int previous = -1;
    for (const std::string& line : lines) {
        int level = static_cast<int>(line.find_first_not_of(' '));
        if (level < 0) level = static_cast<int>(line.size());
        if (level > previous + 1)
            throw EPropertyError("Tree item '" + line.substr(static_cast<size_t>(level)) +
                                 "' is indented deeper than one level below the item before it");
        previous = level;
    }
    Clear();
    std::vector<TTreeNode*> path; // the last node of each level
    for (const std::string& line : lines) {
        size_t level = std::min(line.find_first_not_of(' '), line.size());
        path.resize(level);
        TTreeNode* parent = level == 0 ? nullptr : path[level - 1];
        path.push_back(AddChild(parent, line.substr(level)));
    }
}

// ---- TCustomTreeView ---------------------------------------------------------------------------

WL_DEFINE_ABSTRACT_CLASS(TCustomTreeView, [](ClassBuilder<TCustomTreeView>& c) {
    c.Object("Items", [](TCustomTreeView& v) { return v.Items(); });
    c.Bool("ShowButtons", &TCustomTreeView::ShowButtons, &TCustomTreeView::SetShowButtons);
    c.Bool("ShowLines", &TCustomTreeView::ShowLines, &TCustomTreeView::SetShowLines);
    c.Bool("ShowRoot", &TCustomTreeView::ShowRoot, &TCustomTreeView::SetShowRoot);
    c.Bool("ReadOnly", &TCustomTreeView::ReadOnly, &TCustomTreeView::SetReadOnly);
    c.Bool("HideSelection", &TCustomTreeView::HideSelection, &TCustomTreeView::SetHideSelection);
    c.Event("OnChange", &TCustomTreeView::OnChange);
    c.Event("OnExpanded", &TCustomTreeView::OnExpanded);
})
WL_DEFINE_CLASS(TTreeView, WL_NO_PROPERTIES)

TCustomTreeView::TCustomTreeView(TComponent* owner) : TWinControl(owner) {
    InitCommonControlClasses(ICC_TREEVIEW_CLASSES);
    ownPaint_ = false;
    clickOnMouseUp_ = false; // the control reports clicks itself (NM_CLICK)
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 121, 97);
}

TCustomTreeView::~TCustomTreeView() {
    // Nodes must not talk to a window that is going away.
    std::vector<TTreeNode*> stack;
    for (const auto& r : nodes_.roots_)
        stack.push_back(r.get());
    while (!stack.empty()) {
        TTreeNode* n = stack.back();
        stack.pop_back();
        n->view_ = nullptr;
        n->item_ = nullptr;
        for (const auto& c : n->children_)
            stack.push_back(c.get());
    }
    nodes_.view_ = nullptr;
}

void TCustomTreeView::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.baseClass = WC_TREEVIEWA;
    p.exStyle |= WS_EX_CLIENTEDGE;
    if (showButtons_) p.style |= TVS_HASBUTTONS;
    if (showLines_) p.style |= TVS_HASLINES;
    if (showRoot_) p.style |= TVS_LINESATROOT;
    if (!readOnly_) p.style |= TVS_EDITLABELS;
    if (!hideSelection_) p.style |= TVS_SHOWSELALWAYS;
}

void TCustomTreeView::CreateWindowHandle(const TCreateParams& p) {
    TWinControl::CreateWindowHandle(p);
    SendMessageA(HandleValue(), TVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
    std::vector<TTreeNode*> stack;
    for (auto it = nodes_.roots_.rbegin(); it != nodes_.roots_.rend(); ++it)
        stack.push_back(it->get());
    while (!stack.empty()) {
        TTreeNode* n = stack.back();
        stack.pop_back();
        InsertNode(n);
        for (auto it = n->children_.rbegin(); it != n->children_.rend(); ++it)
            stack.push_back(it->get());
    }
}

void TCustomTreeView::DestroyWnd() {
    std::vector<TTreeNode*> stack;
    for (const auto& r : nodes_.roots_)
        stack.push_back(r.get());
    while (!stack.empty()) {
        TTreeNode* n = stack.back();
        stack.pop_back();
        n->item_ = nullptr;
        for (const auto& c : n->children_)
            stack.push_back(c.get());
    }
    TWinControl::DestroyWnd();
}

void TCustomTreeView::InsertNode(TTreeNode* node) {
    node->view_ = this;
    if (!HandleAllocated()) return;
    TVINSERTSTRUCTA ins{};
    ins.hParent = node->parent_ ? node->parent_->item_ : TVI_ROOT;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_PARAM;
    ins.item.pszText = const_cast<char*>(node->text_.c_str());
    ins.item.lParam = reinterpret_cast<LPARAM>(node);
    node->item_ = reinterpret_cast<HTREEITEM>(
        SendMessageA(HandleValue(), TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
}

void TCustomTreeView::ForgetItems(TTreeNode* node) {
    node->item_ = nullptr;
    for (const auto& c : node->children_)
        ForgetItems(c.get());
}

void TCustomTreeView::RemoveNode(TTreeNode* node) {
    if (HandleAllocated() && node->item_)
        SendMessageA(HandleValue(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(node->item_));
    ForgetItems(node);
}

TTreeNode* TCustomTreeView::Selected() const {
    if (!HandleAllocated()) return nullptr;
    auto item =
        reinterpret_cast<HTREEITEM>(SendMessageA(HandleValue(), TVM_GETNEXTITEM, TVGN_CARET, 0));
    return item ? nodes_.FindItem(item) : nullptr;
}

void TCustomTreeView::SetSelected(TTreeNode* node) {
    if (!HandleAllocated()) return;
    SendMessageA(HandleValue(), TVM_SELECTITEM, TVGN_CARET,
                 reinterpret_cast<LPARAM>(node ? node->item_ : nullptr));
}

void TCustomTreeView::SetShowButtons(bool on) {
    showButtons_ = on;
    if (HandleAllocated()) ChangeStyle(HandleValue(), TVS_HASBUTTONS, on);
}
void TCustomTreeView::SetShowLines(bool on) {
    showLines_ = on;
    if (HandleAllocated()) ChangeStyle(HandleValue(), TVS_HASLINES, on);
}
void TCustomTreeView::SetShowRoot(bool on) {
    showRoot_ = on;
    if (HandleAllocated()) ChangeStyle(HandleValue(), TVS_LINESATROOT, on);
}
void TCustomTreeView::SetReadOnly(bool on) {
    readOnly_ = on;
    if (HandleAllocated()) ChangeStyle(HandleValue(), TVS_EDITLABELS, !on);
}
void TCustomTreeView::SetHideSelection(bool on) {
    hideSelection_ = on;
    if (HandleAllocated()) ChangeStyle(HandleValue(), TVS_SHOWSELALWAYS, !on);
}

void TCustomTreeView::Notify(TMessage& m) {
    auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
    switch (hdr->code) {
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW: {
        // Both structures carry the new item's handle at the same place.
        auto* nm = reinterpret_cast<NMTREEVIEWA*>(m.LParam);
        OnChange(this, nodes_.FindItem(nm->itemNew.hItem));
        return;
    }
    case TVN_ITEMEXPANDEDA:
    case TVN_ITEMEXPANDEDW: {
        auto* nm = reinterpret_cast<NMTREEVIEWA*>(m.LParam);
        if (nm->action & TVE_EXPAND) OnExpanded(this, nodes_.FindItem(nm->itemNew.hItem));
        return;
    }
    case TVN_ENDLABELEDITA: {
        auto* nm = reinterpret_cast<NMTVDISPINFOA*>(m.LParam);
        if (TTreeNode* node = nm->item.pszText ? nodes_.FindItem(nm->item.hItem) : nullptr) {
            node->text_ = nm->item.pszText;
            m.Result = TRUE;
        }
        return;
    }
    case NM_CLICK:
        Click();
        return;
    default:
        break;
    }
    DefaultHandler(m);
}

void TCustomTreeView::WndProc(TMessage& m) {
    if (m.Msg == CN_NOTIFY) {
        Notify(m);
        return;
    }
    TWinControl::WndProc(m);
}

} // namespace wl
