// The user-interface classes that a form definition names, while nothing else in this program
// refers to them, must still be registered: the ui library is linked whole. This program links
// only that library and names those classes only inside texts.
#include "ui/classes.h"
#include "ui/formfile.h"
#include "ui/forms.h"

#include <gtest/gtest.h>

#include <memory>

namespace wl::test {
namespace {

TEST(FormClasses, EveryClassNamedOnlyInAFormIsRegistered) {
    // The program's two forms name the first five.
    const char* const names[] = {"TButton", "TEdit",  "TMemo",       "TPanel",        "TSplitter",
                                 "TLabel",  "TTimer", "TStringList", "TMemoryStream", "TFileStream"};
    for (const char* name : names) {
        const TClassInfo* info = FindClass(name);
        ASSERT_NE(info, nullptr) << name << " is not registered";
        EXPECT_EQ(info->name, name);
    }
}

TEST(FormClasses, FormNamingThemReadsBack) {
    Application->Initialize();
    const std::string text =
        "object Host: TForm\r\n"
        "  Caption = 'host'\r\n"
        "  object Panel1: TPanel\r\n"
        "    Height = 40\r\n"
        "    object Label1: TLabel\r\n"
        "      Caption = 'label'\r\n"
        "    end\r\n"
        "  end\r\n"
        "  object Splitter1: TSplitter\r\n"
        "  end\r\n"
        "  object Timer1: TTimer\r\n"
        "    Enabled = False\r\n"
        "    Interval = 50\r\n"
        "  end\r\n"
        "end\r\n";
    std::unique_ptr<TComponent> root(CreateComponentFromText(text, nullptr, "classes"));
    ASSERT_NE(root, nullptr);
    const struct {
        const char* name;
        const char* className;
    } expected[] = {{"Panel1", "TPanel"}, {"Label1", "TLabel"}, {"Splitter1", "TSplitter"}, {"Timer1", "TTimer"}};
    ASSERT_EQ(root->ComponentCount(), int(std::size(expected)));
    for (int i = 0; i < root->ComponentCount(); ++i) {
        EXPECT_EQ(root->Components(i)->Name(), expected[i].name);
        EXPECT_EQ(root->Components(i)->ClassName(), expected[i].className);
    }
    EXPECT_EQ(GetPropertyText(*root->Components(3), "Interval"), "50");
}

} // namespace
} // namespace wl::test
