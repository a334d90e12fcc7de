// Run-time type information: class registry, published properties of every kind read and written
// by name, events bound to published methods, and component ownership.
#include "ui/classes.h"

#include <gtest/gtest.h>

namespace wl {
namespace {

enum TShape { shNone, shRound, shSquare };
enum TOption : unsigned { opBold = 1, opWide = 2, opTall = 4 };

class TSample : public TPersistent {
    WL_CLASS(TSample, TPersistent)
public:
    std::string label = "x";
    int size = 3;
    bool on = false;
    int32_t colour = 0;
    TShape shape = shNone;
    unsigned options = 0;
    int Size() const { return size; }
    void SetSize(int v) { size = v; }
    int ReadOnly() const { return 99; }
};

class TWidget : public TComponent {
    WL_CLASS(TWidget, TComponent)
public:
    using TComponent::TComponent;
    TSample sample;
    TStringList items;
    TNotifyEvent OnPoke;
    TEvent<TObject*, char&> OnKey;
    int loadedOrder = -1;
    static inline int loadCounter = 0;
    void Loaded() override {
        TComponent::Loaded();
        loadedOrder = loadCounter++;
    }
};

class THolder : public TComponent {
    WL_CLASS(THolder, TComponent)
public:
    using TComponent::TComponent;
    TWidget* Widget1 = nullptr;
    std::vector<std::string> calls;
    void Poke(TObject* sender) { calls.push_back("Poke " + static_cast<TComponent*>(sender)->Name()); }
    void Key(TObject*, char& key) { key = 'Z'; }
};

WL_DEFINE_CLASS(TSample, [](ClassBuilder<TSample>& c) {
    c.Str("Label", &TSample::label, [](TSample& s, const std::string& v) { s.label = v; });
    c.Int("Size", &TSample::Size, &TSample::SetSize);
    c.Bool("On", &TSample::on, [](TSample& s, bool v) { s.on = v; });
    c.Color("Colour", &TSample::colour, [](TSample& s, int32_t v) { s.colour = v; });
    c.Enum("Shape", &TSample::shape, [](TSample& s, TShape v) { s.shape = v; },
           {{"shNone", shNone}, {"shRound", shRound}, {"shSquare", shSquare}});
    c.Set("Options", &TSample::options, [](TSample& s, unsigned v) { s.options = v; },
          {{"opBold", opBold}, {"opWide", opWide}, {"opTall", opTall}});
    c.Int("ReadOnly", &TSample::ReadOnly, nullptr);
})
WL_DEFINE_CLASS(TWidget, [](ClassBuilder<TWidget>& c) {
    c.Object("Sample", [](TWidget& w) { return &w.sample; });
    c.Object("Items", [](TWidget& w) { return &w.items; });
    c.Event("OnPoke", &TWidget::OnPoke);
    c.Event("OnKey", &TWidget::OnKey);
})
WL_DEFINE_CLASS(THolder, [](ClassBuilder<THolder>& c) {
    c.Method("Poke", &THolder::Poke);
    c.Method("Key", &THolder::Key);
    c.Field("Widget1", &THolder::Widget1);
})

TEST(ClassInfo, NamesAncestryAndCreationByName) {
    TWidget w(nullptr);
    EXPECT_EQ(w.ClassName(), "TWidget");
    EXPECT_TRUE(w.InheritsFrom("TComponent"));
    EXPECT_TRUE(w.InheritsFrom(TPersistent::StaticClass()));
    EXPECT_FALSE(w.InheritsFrom("TSample"));
    EXPECT_EQ(FindClass("twidget"), &TWidget::StaticClass());

    std::unique_ptr<TObject> made(CreateObjectByName("TWidget", nullptr));
    EXPECT_EQ(made->ClassName(), "TWidget");
    EXPECT_THROW(CreateObjectByName("TNoSuchThing", nullptr), EClassNotFound);
    EXPECT_THROW(CreateObjectByName("TStrings", nullptr), EClassNotFound); // abstract
}

TEST(Properties, ReadAndWriteEveryKindAsText) {
    struct Case {
        const char* path;
        const char* text;     // written
        const char* readBack; // read afterwards
    } cases[] = {
        {"Sample.Label", "hello 'q'", "hello 'q'"},
        {"Sample.Size", "$10", "16"},
        {"Sample.Size", "-7", "-7"},
        {"Sample.On", "true", "True"},
        {"Sample.On", "False", "False"},
        {"Sample.Colour", "255", "clRed"},
        {"Sample.Colour", "$80000005", "clWindow"},
        {"Sample.Colour", "clbtnface", "clBtnFace"},
        {"Sample.Colour", "$00123456", "$00123456"},
        {"Sample.Shape", "SHROUND", "shRound"},
        {"Sample.Options", "[opTall, opBold]", "[opBold, opTall]"},
        {"Sample.Options", "[]", "[]"},
        {"Items.Strings", "a\r\nb", "a\r\nb\r\n"},
        {"Name", "Widget7", "Widget7"},
        {"Tag", "42", "42"},
    };
    TWidget w(nullptr);
    for (const auto& c : cases) {
        SetPropertyText(w, c.path, c.text);
        EXPECT_EQ(GetPropertyText(w, c.path), c.readBack) << c.path << " = " << c.text;
    }
    EXPECT_EQ(w.sample.options, 0u);
    EXPECT_EQ(w.items.Count(), 2);
}

TEST(Properties, BadNamesAndValuesThrowNamingTheProperty) {
    struct Case {
        const char* path;
        const char* text;
        const char* mention;
    } cases[] = {
        {"Sample.Nope", "1", "Nope"},
        {"Nope.Size", "1", "Nope"},
        {"Sample.Size.X", "1", "Size"},
        {"Sample.Size", "12a", "12a"},
        {"Sample.On", "yes", "yes"},
        {"Sample.Colour", "clNoSuchColour", "clNoSuchColour"},
        {"Sample.Shape", "shOval", "Shape"},
        {"Sample.Options", "[opBold, opOval]", "Options"},
        {"Sample.Options", "opBold", "Options"},
        {"Sample.Options", "[opBold,]", "Options"},
        {"Sample.ReadOnly", "1", "ReadOnly"},
        {"Sample", "x", "Sample"},
        {"OnPoke", "Poke", "OnPoke"},
        {"Name", "1abc", "1abc"},
    };
    TWidget w(nullptr);
    for (const auto& c : cases) {
        try {
            SetPropertyText(w, c.path, c.text);
            ADD_FAILURE() << "accepted " << c.path << " = " << c.text;
        } catch (const Exception& e) {
            EXPECT_NE(std::string(e.what()).find(c.mention), std::string::npos) << e.what();
        }
    }
    EXPECT_EQ(w.sample.size, 3); // nothing half-written
}

TEST(Properties, EventsBindToPublishedMethodsOfMatchingSignature) {
    THolder holder(nullptr);
    auto* w = new TWidget(&holder);
    w->SetName("Widget1");
    SetMethodProperty(*w, "OnPoke", holder, "Poke");
    SetMethodProperty(*w, "OnKey", holder, "key");
    EXPECT_EQ(GetPropertyText(*w, "OnPoke"), "Poke");
    EXPECT_EQ(GetMethodName(*w, "OnKey"), "Key");
    w->OnPoke(w);
    char k = 'a';
    w->OnKey(w, k);
    EXPECT_EQ(holder.calls, std::vector<std::string>{"Poke Widget1"});
    EXPECT_EQ(k, 'Z'); // the key arrives by reference

    EXPECT_THROW(SetMethodProperty(*w, "OnPoke", holder, "Key"), EPropertyError); // signature
    EXPECT_THROW(SetMethodProperty(*w, "OnPoke", holder, "Missing"), EPropertyError);
    EXPECT_THROW(SetMethodProperty(*w, "Tag", holder, "Poke"), EPropertyError);

    const TFieldInfo* f = holder.ClassInfo().FindField("widget1");
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(f->assign(holder, w));
    EXPECT_EQ(holder.Widget1, w);
    EXPECT_FALSE(f->assign(holder, &holder)); // wrong class
}

TEST(Component, OwnerFreesOwnedAndNamesAreUnique) {
    struct Probe : TComponent {
        using TComponent::TComponent;
        int* deaths;
        ~Probe() override { ++*deaths; }
    };
    int deaths = 0;
    {
        TComponent owner(nullptr);
        auto* a = new Probe(&owner);
        auto* b = new Probe(&owner);
        a->deaths = b->deaths = &deaths;
        a->SetName("A");
        EXPECT_THROW(b->SetName("a"), EPropertyError);
        b->SetName("B");
        EXPECT_EQ(owner.FindComponent("b"), b);
        EXPECT_EQ(owner.ComponentCount(), 2);
        delete a; // leaves its owner's list
        EXPECT_EQ(deaths, 1);
        EXPECT_EQ(owner.ComponentCount(), 1);
        EXPECT_EQ(owner.Components(0), b);
    }
    EXPECT_EQ(deaths, 2);
}

TEST(Component, FreeNotificationReachesTheWatcher) {
    struct Watcher : TComponent {
        using TComponent::TComponent;
        TComponent* watched = nullptr;
        void Notification(TComponent* c, TOperation op) override {
            TComponent::Notification(c, op);
            if (op == opRemove && c == watched) watched = nullptr;
        }
    };
    Watcher watcher(nullptr);
    auto* other = new TComponent(nullptr);
    watcher.watched = other;
    watcher.FreeNotification(other);
    delete other;
    EXPECT_EQ(watcher.watched, nullptr);
}

TEST(StringList, TextSplittingAndNameValuePairs) {
    struct Case {
        const char* text;
        std::vector<std::string> lines;
    } cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb\rc", {"a", "b", "c"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
    };
    TStringList list;
    for (const auto& c : cases) {
        list.SetText(c.text);
        EXPECT_EQ(list.Lines(), c.lines) << c.text;
    }
    list.SetText("TPngBitBtn=pngbitbtn\r\nTComboboxex=combobox");
    EXPECT_EQ(list.Value("tcomboboxex"), "combobox");
    list.SetValue("TPngBitBtn", "");
    EXPECT_EQ(list.Count(), 1);
    EXPECT_THROW(list.Get(5), Exception);

    int changes = 0;
    list.OnChange = [&](TObject*) { ++changes; };
    list.BeginUpdate();
    list.Add("x");
    list.Add("y");
    list.EndUpdate();
    EXPECT_EQ(changes, 1);
}

} // namespace
} // namespace wl
