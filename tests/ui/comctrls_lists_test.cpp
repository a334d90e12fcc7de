// Header controls, list views and tree views under Wine: what the objects hold reaches the
// system controls (read back with their own messages), and what the user does there comes back
// as events and values.
#include "comctrls_form.h"

#include "support/gui.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace wl::test {
namespace {

class ComCtlLists : public ::testing::Test {
protected:
    static void SetUpTestSuite() { Application->Initialize(); }

    void SetUp() override {
        form_ = std::make_unique<TComCtlForm>(nullptr);
        form_->ReadDefinitionText(ComCtlText());
        form_->Get<TPageControl>("PageControl1")->SetActivePageIndex(1);
        form_->Show();
        EXPECT_TRUE(WaitPainted(form_->Handle()));
    }

    std::unique_ptr<TComCtlForm> form_;
};

std::string ColumnText(HWND lv, int index, int* width) {
    char buf[64] = {};
    LVCOLUMNA c{};
    c.mask = LVCF_TEXT | LVCF_WIDTH;
    c.pszText = buf;
    c.cchTextMax = sizeof buf;
    if (!SendMessageA(lv, LVM_GETCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&c)))
        return "<none>";
    *width = c.cx;
    return buf;
}

std::string ItemText(HWND lv, int item, int sub) {
    char buf[64] = {};
    LVITEMA li{};
    li.iSubItem = sub;
    li.pszText = buf;
    li.cchTextMax = sizeof buf;
    SendMessageA(lv, LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&li));
    return buf;
}

// The whole list as the control has it: "caption/sub1/sub2" per row.
std::vector<std::string> Rows(HWND lv) {
    std::vector<std::string> rows;
    auto count = static_cast<int>(SendMessageA(lv, LVM_GETITEMCOUNT, 0, 0));
    int columns = static_cast<int>(SendMessageA(
        reinterpret_cast<HWND>(SendMessageA(lv, LVM_GETHEADER, 0, 0)), HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::string row = ItemText(lv, i, 0);
        for (int s = 1; s < columns; ++s) {
            row += '/';
            row += ItemText(lv, i, s);
        }
        rows.push_back(row);
    }
    return rows;
}

TEST_F(ComCtlLists, ListViewColumnsAndItemsReachTheControl) {
    auto* lv = form_->Get<TListView>("ListView1");
    HWND h = lv->Handle();
    struct Column {
        const char* caption;
        int width;
    } columns[] = {{"Fruit", 100}, {"Colour", 80}, {"Taste", 70}};
    for (int i = 0; i < 3; ++i) {
        int width = 0;
        EXPECT_EQ(ColumnText(h, i, &width), columns[i].caption);
        EXPECT_EQ(width, columns[i].width) << columns[i].caption;
    }
    DWORD ex = static_cast<DWORD>(SendMessageA(h, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    EXPECT_EQ(ex & (LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES),
              static_cast<DWORD>(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES));
    EXPECT_EQ(GetWindowLongPtrA(h, GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);

    struct Case {
        const char* what;
        std::function<void()> change;
        std::vector<std::string> rows;
    } cases[] = {
        {"as read", [] {}, {"apple/red/sweet", "lemon/yellow/"}},
        {"item added",
         [&] { lv->AddItem("plum")->SubItems()->Add("blue"); },
         {"apple/red/sweet", "lemon/yellow/", "plum/blue/"}},
        {"caption changed",
         [&] { lv->Item(0)->SetCaption("pear"); },
         {"pear/red/sweet", "lemon/yellow/", "plum/blue/"}},
        {"sub-items shortened",
         [&] { lv->Item(0)->SubItems()->Delete(1); },
         {"pear/red/", "lemon/yellow/", "plum/blue/"}},
        {"item moved",
         [&] { lv->Item(2)->SetIndex(0); },
         {"plum/blue/", "pear/red/", "lemon/yellow/"}},
        {"item deleted", [&] { lv->Items()->Delete(1); }, {"plum/blue/", "lemon/yellow/"}},
    };
    for (const auto& c : cases) {
        c.change();
        EXPECT_EQ(Rows(h), c.rows) << c.what;
    }
    // Check and selection states follow the items through every rebuild.
    auto state = [&](int i, UINT mask) {
        return static_cast<UINT>(SendMessageA(h, LVM_GETITEMSTATE, static_cast<WPARAM>(i), mask));
    };
    EXPECT_EQ(state(1, LVIS_STATEIMAGEMASK),
              static_cast<UINT>(INDEXTOSTATEIMAGEMASK(2))); // lemon checked
    EXPECT_EQ(state(0, LVIS_STATEIMAGEMASK), static_cast<UINT>(INDEXTOSTATEIMAGEMASK(1)));
    EXPECT_TRUE(state(1, LVIS_SELECTED));
    EXPECT_FALSE(state(0, LVIS_SELECTED));
    // A column renamed and re-aligned, and one removed, reach the header.
    lv->Column(0)->SetCaption("Name");
    lv->Columns()->Delete(2);
    int width = 0;
    EXPECT_EQ(ColumnText(h, 0, &width), "Name");
    EXPECT_EQ(ColumnText(h, 2, &width), "<none>");
}

TEST_F(ComCtlLists, ListViewSelectionAndChecksMadeInTheControlComeBack) {
    auto* lv = form_->Get<TListView>("ListView1");
    HWND h = lv->Handle();
    std::vector<std::string> events;
    lv->OnSelectItem = [&](TObject*, TListItem* item, bool selected) {
        events.push_back(item->Caption() + (selected ? " on" : " off"));
    };
    auto setState = [&](int i, UINT state, UINT mask) {
        LVITEMA li{};
        li.state = state;
        li.stateMask = mask;
        SendMessageA(h, LVM_SETITEMSTATE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&li));
    };
    setState(0, LVIS_SELECTED, LVIS_SELECTED);
    setState(1, 0, LVIS_SELECTED);
    setState(0, INDEXTOSTATEIMAGEMASK(2), LVIS_STATEIMAGEMASK);
    EXPECT_EQ(events, (std::vector<std::string>{"apple on", "lemon off"}));
    EXPECT_TRUE(lv->Item(0)->Selected());
    EXPECT_FALSE(lv->Item(1)->Selected());
    EXPECT_TRUE(lv->Item(0)->Checked());
    EXPECT_EQ(lv->Selected(), lv->Item(0));
    // The values survive a new window.
    lv->SetShowColumnHeaders(false);
    EXPECT_EQ(SendMessageA(lv->Handle(), LVM_GETITEMSTATE, 0, LVIS_SELECTED), LVIS_SELECTED);
    EXPECT_EQ(SendMessageA(lv->Handle(), LVM_GETITEMSTATE, 0, LVIS_STATEIMAGEMASK),
              static_cast<LRESULT>(INDEXTOSTATEIMAGEMASK(2)));
    EXPECT_TRUE(GetWindowLongPtrA(lv->Handle(), GWL_STYLE) & LVS_NOCOLUMNHEADER);
}

TEST_F(ComCtlLists, ListViewColumnClickAndCustomDrawReachTheirEvents) {
    auto* lv = form_->Get<TListView>("ListView1");
    std::vector<std::string> clicked;
    lv->OnColumnClick = [&](TObject*, TListColumn* c) { clicked.push_back(c->Caption()); };
    int itemsDrawn = 0;
    bool wholeDrawn = false;
    lv->OnCustomDraw = [&](TCustomListView*, const RECT&, bool&) { wholeDrawn = true; };
    lv->OnCustomDrawItem = [&](TCustomListView*, TListItem*, TCustomDrawState, bool&) {
        ++itemsDrawn;
    };
    HWND header = reinterpret_cast<HWND>(SendMessageA(lv->Handle(), LVM_GETHEADER, 0, 0));
    RECT r{};
    SendMessageA(header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(header, WM_LBUTTONUP, 0, at);
    EXPECT_EQ(clicked, std::vector<std::string>{"Colour"});
    RedrawWindow(lv->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    PumpUntil([&] { return wholeDrawn && itemsDrawn >= 2; });
    EXPECT_TRUE(wholeDrawn);
    EXPECT_GE(itemsDrawn, 2);
}

TEST_F(ComCtlLists, HeaderSectionsReachTheControlAndReportClicks) {
    auto* hc = form_->Get<THeaderControl>("HeaderControl1");
    HWND h = hc->Handle();
    ASSERT_EQ(SendMessageA(h, HDM_GETITEMCOUNT, 0, 0), 3);
    struct Case {
        int index;
        const char* text;
        int width;
        int format;
    } cases[] = {
        {0, "Word", 120, HDF_LEFT}, {1, "Count", 60, HDF_RIGHT}, {2, "Drawn", 50, HDF_OWNERDRAW}};
    for (const auto& c : cases) {
        char buf[32] = {};
        HDITEMA item{};
        item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
        item.pszText = buf;
        item.cchTextMax = sizeof buf;
        ASSERT_TRUE(SendMessageA(h, HDM_GETITEMA, static_cast<WPARAM>(c.index),
                                 reinterpret_cast<LPARAM>(&item)));
        if (!(c.format & HDF_OWNERDRAW)) {
            EXPECT_STREQ(buf, c.text);
        }
        EXPECT_EQ(item.cxy, c.width) << c.text;
        EXPECT_TRUE(item.fmt & c.format || c.format == HDF_LEFT) << c.text;
    }
    std::vector<std::string> clicks;
    hc->OnSectionClick = [&](THeaderControl*, THeaderSection* s) { clicks.push_back(s->Text()); };
    int drawn = 0;
    hc->OnDrawSection = [&](THeaderControl*, THeaderSection* s, const RECT&, bool) {
        if (s->Text() == "Drawn") ++drawn;
    };
    for (int i : {0, 1}) {
        RECT r{};
        SendMessageA(h, HDM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
        LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(h, WM_LBUTTONUP, 0, at);
    }
    EXPECT_EQ(clicks, std::vector<std::string>{"Word"}); // "Count" does not allow clicks
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    PumpUntil([&] { return drawn >= 1; });
    EXPECT_GE(drawn, 1);
    // Widths stay within the section's limits.
    hc->Section(0)->SetWidth(1000);
    EXPECT_EQ(hc->Section(0)->Width(), 300);
    hc->Section(0)->SetWidth(5);
    EXPECT_EQ(hc->Section(0)->Width(), 40);
}

// The tree as the control has it, one indented line per item.
void TreeLines(HWND tv, HTREEITEM item, int level, std::vector<std::string>& out) {
    for (; item; item = reinterpret_cast<HTREEITEM>(SendMessageA(tv, TVM_GETNEXTITEM, TVGN_NEXT,
                                                                 reinterpret_cast<LPARAM>(item)))) {
        char buf[64] = {};
        TVITEMA it{};
        it.mask = TVIF_TEXT;
        it.hItem = item;
        it.pszText = buf;
        it.cchTextMax = sizeof buf;
        SendMessageA(tv, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it));
        out.push_back(std::string(static_cast<size_t>(level), ' ') + buf);
        auto child = reinterpret_cast<HTREEITEM>(
            SendMessageA(tv, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
        TreeLines(tv, child, level + 1, out);
    }
}

std::vector<std::string> TreeLines(HWND tv) {
    std::vector<std::string> out;
    TreeLines(tv, reinterpret_cast<HTREEITEM>(SendMessageA(tv, TVM_GETNEXTITEM, TVGN_ROOT, 0)), 0,
              out);
    return out;
}

TEST_F(ComCtlLists, TreeViewItemsKeepTheirOrderAndNesting) {
    auto* tv = form_->Get<TTreeView>("TreeView1");
    HWND h = tv->Handle();
    TTreeNodes* nodes = tv->Items();
    struct Case {
        const char* what;
        std::function<void()> change;
        std::vector<std::string> lines;
    } cases[] = {
        {"as read", [] {}, {"Fruit", " Apple", "  Red apple", " Lemon", "Vegetables", " Leek"}},
        {"child appended",
         [&] { nodes->AddChild(nodes->Root(0)->Item(0), "Green apple"); },
         {"Fruit", " Apple", "  Red apple", "  Green apple", " Lemon", "Vegetables", " Leek"}},
        {"branch deleted",
         [&] { nodes->Delete(nodes->Root(0)->Item(0)); },
         {"Fruit", " Lemon", "Vegetables", " Leek"}},
        {"renamed",
         [&] { nodes->Root(1)->SetText("Greens"); },
         {"Fruit", " Lemon", "Greens", " Leek"}},
        {"lines set",
         [&] {
             nodes->SetLines({"a", " b", "  c", "d"});
         },
         {"a", " b", "  c", "d"}},
        {"new window",
         [&] {
             tv->SetShowRoot(false);
             tv->Perform(CM_RECREATEWND);
         },
         {"a", " b", "  c", "d"}},
    };
    for (const auto& c : cases) {
        c.change();
        EXPECT_EQ(TreeLines(tv->Handle()), c.lines) << c.what;
        EXPECT_EQ(nodes->Lines(), c.lines) << c.what;
    }
    EXPECT_EQ(nodes->Count(), 4);
    (void)h;
}

TEST_F(ComCtlLists, TreeViewSelectionAndExpansionReachTheirEvents) {
    auto* tv = form_->Get<TTreeView>("TreeView1");
    std::vector<std::string> events;
    tv->OnChange = [&](TObject*, TTreeNode* n) {
        events.push_back("change " + (n ? n->Text() : "-"));
    };
    tv->OnExpanded = [&](TObject*, TTreeNode* n) {
        events.push_back("expanded " + (n ? n->Text() : "-"));
    };
    TTreeNode* lemon = tv->Items()->Root(0)->Item(1);
    TTreeNode* fruit = tv->Items()->Root(0);
    fruit->SetExpanded(true);
    tv->SetSelected(lemon);
    EXPECT_EQ(tv->Selected(), lemon);
    EXPECT_TRUE(fruit->Expanded());
    EXPECT_EQ(events, (std::vector<std::string>{"expanded Fruit", "change Lemon"}));
    // A bad indentation leaves the tree as it was.
    EXPECT_THROW(tv->Items()->SetLines({"x", "   y"}), EPropertyError);
    EXPECT_EQ(tv->Items()->Count(), 6);
}

} // namespace
} // namespace wl::test
