// TSkinData inside a form definition: the main window's component with its values and the
// default skin in "SkinStream" is written, read back (the skin loads while the form is read)
// and written again to the same text.
#include "skin_test_util.h"

#include "skin/data/skin_values.h"
#include "support/testdata.h"
#include "ui/formfile.h"

using namespace wl;
using namespace skintest;

namespace {
// A class list as a form stores it: classes and kinds in mixed case, a class kept unskinned
// with "nil" ahead of a later line for the same class.
const std::vector<std::string> kClassList = {"TRzGroup=nil", "TRZGROUP=panel",
                                             "TcxButton=BitBtn", "TAdvPageControl=nil",
                                             "TTBToolbar=Panel"};

// A skin data component with the values a main window stores.
void SetUpMainWindowSkinData(TSkinData& d, const std::string& archive) {
    d.SetName("SkinData1");
    SetPropertyText(d, "DisableTag", "99");
    SetPropertyText(d, "Options", "[xoPreview, xoToolbarBK]");
    SetPropertyText(d, "SkinFormtype", "sfMainform");
    SetPropertyText(d, "MenuUpdate", "True");
    SetPropertyText(d, "MenuMerge", "False");
    SetStringListProperty(d, "Skin3rd.Strings", kClassList);
    d.SkinBytes = archive;
    d.SetDesigning(true); // stored as designed: Active without running the manager
    SetPropertyText(d, "Active", "True");
}
} // namespace

TEST_F(SkinDataTest, MainWindowSkinDataRoundTrip) {
#ifndef WL_DEFAULT_SKIN
    GTEST_SKIP() << "no default skin archive in this build";
#else
    const std::string archive = test::ReadFileBytes(WL_DEFAULT_SKIN);
    TComponent root(nullptr);
    root.SetName("Fmain");
    auto* stored = new TSkinData(&root);
    SetUpMainWindowSkinData(*stored, archive);
    const std::string text = WriteComponentText(root);
    EXPECT_NE(text.find("object SkinData1: TSkinData"), std::string::npos) << text.substr(0, 400);
    EXPECT_NE(text.find("SkinStream = {"), std::string::npos);
    EXPECT_NE(text.find("'TAdvPageControl=nil'"), std::string::npos);
    EXPECT_NE(text.find("Active = True"), std::string::npos);

    TComponent copy(nullptr);
    ReadComponentText(copy, text, "Fmain");
    auto* d = dynamic_cast<TSkinData*>(copy.FindComponent("SkinData1"));
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->SkinBytes, archive);
    EXPECT_FALSE(d->NotLoaded);            // loaded while the form was read
    EXPECT_TRUE(d->Active());              // and switched on at Loaded
    // The class list read from the definition replaces the default one and maps classes
    // without regard to case; the first line of a class decides.
    EXPECT_EQ(d->Skin3rd()->Count(), static_cast<int>(kClassList.size()));
    struct Kind {
        const char* cls;
        const char* kind; // nullptr: the list does not name the class
    } kinds[] = {{"trzgroup", "nil"},  {"TRZGROUP", "nil"},        {"TCXBUTTON", "bitbtn"},
                 {"tadvpagecontrol", "nil"}, {"TTBToolbar", "panel"}, {"TcxGroupbox", nullptr},
                 {"TCategoryButtons", nullptr}};
    for (const Kind& k : kinds) {
        const auto kind = d->Skin3rdKind(k.cls);
        EXPECT_EQ(kind.has_value(), k.kind != nullptr) << k.cls;
        if (kind && k.kind) {
            EXPECT_EQ(*kind, k.kind) << k.cls;
        }
    }
    EXPECT_EQ(d->SkinName, "Wordlark Calm");
    ASSERT_NE(RecordingManager::Instance(), nullptr);
    EXPECT_EQ(RecordingManager::Instance()->MainData(), d);
    ASSERT_EQ(RecordingManager::Instance()->ScheduledActions().size(), 1u);
    EXPECT_EQ(RecordingManager::Instance()->ScheduledActions()[0].Action, 1);
    // Written at run time the text is the same, except the design-time indicator, which reads
    // "(none)" at run time and is therefore left out.
    std::string expected = text;
    const std::string store = "    SkinStore = '(Good)'\r\n";
    ASSERT_NE(expected.find(store), std::string::npos);
    expected.erase(expected.find(store), store.size());
    EXPECT_TRUE(WriteComponentText(copy) == expected);
#endif
}

TEST_F(SkinDataTest, EmptySkinStreamInAForm) {
    TComponent root(nullptr);
    root.SetName("Form1");
    auto* d = new TSkinData(&root);
    d->SetName("SkinData1");
    const std::string text = WriteComponentText(root);
    EXPECT_NE(text.find("SkinStream = {"), std::string::npos);
    TComponent copy(nullptr);
    ReadComponentText(copy, text, "Form1");
    auto* e = dynamic_cast<TSkinData*>(copy.FindComponent("SkinData1"));
    ASSERT_NE(e, nullptr);
    EXPECT_TRUE(e->SkinBytes.empty());
    EXPECT_TRUE(e->NotLoaded);
    EXPECT_FALSE(e->Active());
    // "SkinStore" written as "(Good)" changes nothing when read.
    TComponent third(nullptr);
    std::string withStore = text;
    withStore.insert(withStore.find("SkinStream"), "SkinStore = '(Good)'\n    ");
    ReadComponentText(third, withStore, "Form1");
    EXPECT_EQ(GetPropertyText(*third.FindComponent("SkinData1"), "SkinStore"), "(none)");
}
