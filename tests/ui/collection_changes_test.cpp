// Per-item collection changes under Wine: a collection reports what changed, and the controls
// built on collections (list view items and columns, status bar panels, header sections, cool
// bar bands) apply that one item at a time. The control messages each control receives are
// counted through a WindowProc layer: adding an item sends one insert, removing one sends one
// delete, and the number of messages of a change does not grow with the number of items.
#include "ui/comctrls.h"
#include "ui/forms.h"

#include "support/gui.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace wl::test {
namespace {

class CollectionChanges : public ::testing::Test {
protected:
    static void SetUpTestSuite() { Application->Initialize(); }

    void SetUp() override {
        form_ = std::make_unique<TForm>(nullptr);
        form_->SetBounds(20, 20, 500, 300);
        form_->Show();
    }

    std::unique_ptr<TForm> form_;
};

std::string Describe(const TCollectionChange& c) {
    static const char* const names[] = {"added", "removed", "moved", "changed", "all"};
    std::string s = names[static_cast<int>(c.action)];
    if (c.action == TCollectionAction::AllChanged) return s;
    s += ' ';
    s += std::to_string(c.index);
    if (c.action == TCollectionAction::Moved) {
        s += " from ";
        s += std::to_string(c.from);
    }
    return s;
}

TEST_F(CollectionChanges, TheCollectionReportsWhatChanged) {
    TCollection panels(TStatusPanel::StaticClass());
    std::vector<std::string> log;
    panels.OnUpdate = [&](const TCollectionChange& c) {
        log.push_back(Describe(c));
        // The item reported is the one now at the index reported.
        if (c.item) {
            EXPECT_EQ(panels.Items(c.index), c.item) << log.back();
        }
    };
    auto panel = [&](int i) { return panels.Item<TStatusPanel>(i); };
    struct Case {
        const char* what;
        std::function<void()> change;
        std::vector<std::string> log;
    } cases[] = {
        {"add", [&] { panels.Add(); }, {"added 0"}},
        {"insert", [&] { panels.Insert(0); }, {"added 0"}},
        {"add and set",
         [&] { static_cast<TStatusPanel*>(panels.Add())->SetText("x"); },
         {"added 2", "changed 2"}},
        {"property", [&] { panel(1)->SetWidth(9); }, {"changed 1"}},
        {"move down", [&] { panels.Move(0, 2); }, {"moved 2 from 0"}},
        {"move by index", [&] { panel(2)->SetIndex(1); }, {"moved 1 from 2"}},
        {"move in place", [&] { panels.Move(1, 1); }, {}},
        {"delete", [&] { panels.Delete(1); }, {"removed 1"}},
        {"bracketed",
         [&] {
             panels.BeginUpdate();
             panels.Add();
             panels.BeginUpdate();
             panels.Delete(0);
             panels.EndUpdate();
             panel(0)->SetText("y");
             panels.EndUpdate();
         },
         {"all"}},
        {"bracketed, nothing",
         [&] {
             panels.BeginUpdate();
             panels.EndUpdate();
         },
         {}},
        {"clear", [&] { panels.Clear(); }, {"all"}},
        {"clear empty", [&] { panels.Clear(); }, {}},
        {"delete out of range", [&] { EXPECT_THROW(panels.Delete(0), Exception); }, {}},
    };
    for (const auto& c : cases) {
        log.clear();
        c.change();
        EXPECT_EQ(log, c.log) << c.what;
    }
}

// What the test needs of one collection-backed control.
struct Kind {
    const char* name;
    std::function<TWinControl*(TForm*)> make;
    std::function<TCollection*(TWinControl*)> collection;
    std::function<void(TCollectionItem*, const std::string&)> setText;
    std::function<std::vector<std::string>(HWND)> read; // the items' texts as the control has them
    UINT insert, remove, move; // messages that add, remove and move one item (0: none)
};

template <class T> T* Make(TForm* form) {
    auto* c = new T(form);
    c->SetParent(form);
    return c;
}

std::vector<std::string> ListViewTexts(HWND h) {
    std::vector<std::string> texts;
    auto count = static_cast<int>(SendMessageA(h, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char buf[64] = {};
        LVITEMA li{};
        li.pszText = buf;
        li.cchTextMax = sizeof buf;
        SendMessageA(h, LVM_GETITEMTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&li));
        texts.push_back(buf);
    }
    return texts;
}

std::vector<std::string> HeaderTexts(HWND h) {
    std::vector<std::string> texts;
    auto count = static_cast<int>(SendMessageA(h, HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char buf[64] = {};
        HDITEMA item{};
        item.mask = HDI_TEXT;
        item.pszText = buf;
        item.cchTextMax = sizeof buf;
        SendMessageA(h, HDM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        texts.push_back(buf);
    }
    return texts;
}

std::vector<std::string> StatusTexts(HWND h) {
    std::vector<std::string> texts;
    auto count = static_cast<int>(SendMessageA(h, SB_GETPARTS, 0, 0));
    for (int i = 0; i < count; ++i) {
        char buf[64] = {};
        SendMessageA(h, SB_GETTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buf));
        texts.push_back(buf);
    }
    return texts;
}

std::vector<std::string> BandTexts(HWND h) {
    std::vector<std::string> texts;
    auto count = static_cast<int>(SendMessageA(h, RB_GETBANDCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char buf[64] = {};
        REBARBANDINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = RBBIM_TEXT;
        info.lpText = buf;
        info.cch = sizeof buf;
        SendMessageA(h, RB_GETBANDINFOA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&info));
        texts.push_back(buf);
    }
    return texts;
}

const Kind kKinds[] = {
    {"list view items",
     [](TForm* f) -> TWinControl* {
         auto* lv = Make<TListView>(f);
         lv->SetViewStyle(vsReport);
         lv->AddColumn("Word", 100);
         return lv;
     },
     [](TWinControl* c) { return static_cast<TListView*>(c)->Items(); },
     [](TCollectionItem* i, const std::string& t) { static_cast<TListItem*>(i)->SetCaption(t); },
     ListViewTexts, LVM_INSERTITEMA, LVM_DELETEITEM, 0},
    {"header sections", [](TForm* f) -> TWinControl* { return Make<THeaderControl>(f); },
     [](TWinControl* c) { return static_cast<THeaderControl*>(c)->Sections(); },
     [](TCollectionItem* i, const std::string& t) { static_cast<THeaderSection*>(i)->SetText(t); },
     HeaderTexts, HDM_INSERTITEMA, HDM_DELETEITEM, 0},
    {"status bar panels", [](TForm* f) -> TWinControl* { return Make<TStatusBar>(f); },
     [](TWinControl* c) { return static_cast<TStatusBar*>(c)->Panels(); },
     [](TCollectionItem* i, const std::string& t) { static_cast<TStatusPanel*>(i)->SetText(t); },
     StatusTexts, 0, 0, 0},
    {"cool bar bands", [](TForm* f) -> TWinControl* { return Make<TCoolBar>(f); },
     [](TWinControl* c) { return static_cast<TCoolBar*>(c)->Bands(); },
     [](TCollectionItem* i, const std::string& t) { static_cast<TCoolBand*>(i)->SetText(t); },
     BandTexts, RB_INSERTBANDA, RB_DELETEBAND, RB_MOVEBAND},
};

// A change made to the collection, and what the model's texts become.
struct Op {
    const char* what;
    int inserts, removes; // expected insert and delete messages (moves: delete and insert, or
                          // one move message where the control has one)
    std::function<void(const Kind&, TCollection&, std::vector<std::string>&)> apply;
};

const Op kOps[] = {
    {"add", 1, 0,
     [](const Kind& k, TCollection& c, std::vector<std::string>& model) {
         model.push_back("new");
         k.setText(c.Add(), "new");
     }},
    {"insert second", 1, 0,
     [](const Kind& k, TCollection& c, std::vector<std::string>& model) {
         model.insert(model.begin() + 1, "ins");
         k.setText(c.Insert(1), "ins");
     }},
    {"delete second", 0, 1,
     [](const Kind&, TCollection& c, std::vector<std::string>& model) {
         model.erase(model.begin() + 1);
         c.Delete(1);
     }},
    {"move first to third", 1, 1,
     [](const Kind&, TCollection& c, std::vector<std::string>& model) {
         std::string t = model[0];
         model.erase(model.begin());
         model.insert(model.begin() + 2, t);
         c.Move(0, 2);
     }},
    {"rename third", 0, 0,
     [](const Kind& k, TCollection& c, std::vector<std::string>& model) {
         model[2] = "renamed";
         k.setText(c.Items(2), "renamed");
     }},
};

TEST_F(CollectionChanges, ControlsApplyEachChangeToOneItem) {
    for (const Kind& kind : kKinds) {
        // The same changes on a short and a long collection: every message count must match.
        std::map<std::string, std::map<UINT, int>> bySize[2];
        const int sizes[] = {3, 25};
        for (int s = 0; s < 2; ++s) {
            TWinControl* control = kind.make(form_.get());
            HWND h = control->Handle();
            TCollection& items = *kind.collection(control);
            std::map<UINT, int> counts;
            TWindowProcLayer layer = control->WindowProc.Add(
                [&](TMessage& m, const TWindowProcChain::Previous& previous) {
                    // The control's own messages (LVM_*, HDM_*, RB_*, SB_*): what the library
                    // asks of it. Its notifications and painting are its own business (a
                    // rebar notifies about every band whenever it lays the bands out).
                    if (m.Msg >= WM_USER && m.Msg < WM_APP) ++counts[m.Msg];
                    previous(m);
                });
            std::vector<std::string> model;
            for (int i = 0; i < sizes[s]; ++i) {
                counts.clear();
                model.push_back("item " + std::to_string(i));
                kind.setText(items.Add(), model.back());
                if (kind.insert) {
                    ASSERT_EQ(counts[kind.insert], 1) << kind.name << ": add " << i;
                    EXPECT_EQ(counts[kind.remove], 0) << kind.name << ": add " << i;
                }
            }
            EXPECT_EQ(kind.read(h), model) << kind.name << " after the adds";
            for (const Op& op : kOps) {
                counts.clear();
                op.apply(kind, items, model);
                bySize[s][op.what] = counts; // before the read-back adds its own messages
                std::string where = std::string(kind.name) + ", " + op.what + ", " +
                                    std::to_string(sizes[s]) + " items";
                EXPECT_EQ(kind.read(h), model) << where;
                if (kind.insert) {
                    auto& sent = bySize[s][op.what];
                    bool moving = kind.move && op.inserts && op.removes;
                    if (kind.move) {
                        EXPECT_EQ(sent[kind.move], moving ? 1 : 0) << where;
                    }
                    EXPECT_EQ(sent[kind.insert], moving ? 0 : op.inserts) << where;
                    EXPECT_EQ(sent[kind.remove], moving ? 0 : op.removes) << where;
                }
            }
            layer = {};
            delete control;
        }
        // A status bar has no per-part insert: the parts after a change get their text again,
        // so only the controls with item messages are held to counts independent of size.
        if (kind.insert) {
            for (const Op& op : kOps)
                EXPECT_EQ(bySize[0][op.what], bySize[1][op.what]) << kind.name << ", " << op.what;
        }
    }
}

// The control moves the sub-items along with an inserted or deleted column; the list view puts
// each item's sub-items back under the columns that show them.
TEST_F(CollectionChanges, ListViewSubItemsFollowColumnChanges) {
    auto* lv = Make<TListView>(form_.get());
    lv->SetViewStyle(vsReport);
    HWND h = lv->Handle();
    lv->AddColumn("Word", 80);
    lv->AddColumn("Colour", 80);
    for (const char* word : {"plum", "lime"}) {
        TListItem* item = lv->AddItem(word);
        item->SubItems()->Add(std::string(word) + "-1");
        item->SubItems()->Add(std::string(word) + "-2");
    }
    auto rows = [&] {
        std::vector<std::string> out;
        auto columns = static_cast<int>(SendMessageA(
            reinterpret_cast<HWND>(SendMessageA(h, LVM_GETHEADER, 0, 0)), HDM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < static_cast<int>(SendMessageA(h, LVM_GETITEMCOUNT, 0, 0)); ++i) {
            std::string row;
            for (int s = 0; s < columns; ++s) {
                char buf[64] = {};
                LVITEMA li{};
                li.iSubItem = s;
                li.pszText = buf;
                li.cchTextMax = sizeof buf;
                SendMessageA(h, LVM_GETITEMTEXTA, static_cast<WPARAM>(i),
                             reinterpret_cast<LPARAM>(&li));
                if (s) row += '/';
                row += buf;
            }
            out.push_back(row);
        }
        return out;
    };
    struct Case {
        const char* what;
        std::function<void()> change;
        std::vector<std::string> rows;
    } cases[] = {
        {"as built", [] {}, {"plum/plum-1", "lime/lime-1"}},
        {"column added",
         [&] { lv->AddColumn("Taste", 60); },
         {"plum/plum-1/plum-2", "lime/lime-1/lime-2"}},
        {"column inserted",
         [&] { lv->Columns()->Insert(1); },
         {"plum/plum-1/plum-2/", "lime/lime-1/lime-2/"}},
        {"column deleted",
         [&] { lv->Columns()->Delete(1); },
         {"plum/plum-1/plum-2", "lime/lime-1/lime-2"}},
        {"column moved",
         [&] { lv->Columns()->Move(2, 1); },
         {"plum/plum-1/plum-2", "lime/lime-1/lime-2"}},
        {"first column deleted", [&] { lv->Columns()->Delete(0); }, {"plum/plum-1", "lime/lime-1"}},
        {"columns rebuilt",
         [&] {
             lv->Columns()->BeginUpdate();
             lv->Columns()->Add();
             lv->Columns()->EndUpdate();
         },
         {"plum/plum-1/plum-2", "lime/lime-1/lime-2"}},
    };
    for (const auto& c : cases) {
        c.change();
        EXPECT_EQ(rows(), c.rows) << c.what;
    }
}

} // namespace
} // namespace wl::test
