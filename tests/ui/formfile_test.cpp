// Form definitions: reading a form with every control, the round trip through the writer,
// resources compiled into the program, and errors that name the form, line and property.
#include "gallery_form.h"

#include "ui/formfile.h"
#include "ui/strconv.h"

#include <gtest/gtest.h>

#include <memory>

namespace wl::test {
namespace {

class FormFile : public ::testing::Test {
protected:
    static void SetUpTestSuite() { Application->Initialize(); }
};

TEST_F(FormFile, ReadsComponentsPropertiesEventsAndBinaryData) {
    TGalleryForm form(nullptr);
    form.ReadDefinitionText(GalleryText());
    ASSERT_NE(form.Edit1, nullptr);
    ASSERT_NE(form.Memo1, nullptr);
    EXPECT_EQ(form.Name(), "Gallery");
    EXPECT_EQ(form.Caption(), "Gallery " + Utf8ToAnsi("图片"));
    EXPECT_EQ(form.BorderIcons(), biSystemMenu | biMinimize);
    EXPECT_EQ(form.ActiveControl(), form.Edit1);
    EXPECT_EQ(form.Edit1->Parent(), form.Panel1);
    EXPECT_EQ(form.Memo1->Parent(), form.Panel2);
    EXPECT_EQ(form.Edit1->Owner(), &form);
    EXPECT_EQ(form.Edit1->Text(), "apple");
    EXPECT_EQ(form.Edit1->Color(), clWhite);
    EXPECT_FALSE(form.Edit1->Ctl3D());
    EXPECT_EQ(form.Edit1->Font().Color(), clBlue);
    EXPECT_EQ(form.Edit1->Font().Height(), -13);
    EXPECT_EQ(GetPropertyText(*form.Edit1, "Font.Style"), "[fsBold]");
    EXPECT_FALSE(form.Edit1->ParentFont());
    EXPECT_TRUE(form.Memo1->ParentFont());
    EXPECT_EQ(form.Memo1->Lines().Count(), 2);
    EXPECT_EQ(form.Memo1->Lines()[1], "second line " + Utf8ToAnsi("中文"));
    EXPECT_EQ(form.Splitter1->Color(), clActiveCaption);
    EXPECT_GT(form.Label1->Width(), 40); // sized to its caption once loaded
    EXPECT_EQ(form.Splitter1->Cursor(), crVSplit);
    EXPECT_EQ(form.Timer1->Interval(), 50u);
    EXPECT_EQ(form.Blob1->data, std::string("\x05\0\0\0\x01\x02\x03\x04\xAA", 9));
    EXPECT_EQ(GetMethodName(*form.Button1, "OnClick"), "Button1Click");
    EXPECT_EQ(form.Button2->Enabled(), false);
    char key = 'a';
    form.Edit1->OnKeyPress(form.Edit1, key);
    EXPECT_EQ(key, 'b');
    for (int i = 0; i < form.ComponentCount(); ++i)
        EXPECT_FALSE(form.Components(i)->IsLoading()) << form.Components(i)->Name();
    // Tab orders given in the file are applied once all siblings exist.
    EXPECT_EQ(form.Button1->TabOrder(), 0);
    EXPECT_EQ(form.Edit1->TabOrder(), 1);
    EXPECT_EQ(form.Button2->TabOrder(), 2);
    EXPECT_EQ(form.Panel3->TabOrder(), 3);
}

TEST_F(FormFile, WriterOutputReadsBackToTheSameValues) {
    TGalleryForm first(nullptr);
    first.ReadDefinitionText(GalleryText());
    // Values changed in code must survive too.
    first.Edit1->SetText("it's " + Utf8ToAnsi("苹果"));
    first.Memo1->Lines().Add("");
    first.Memo1->Lines().Add("#5 'quoted'");
    first.Blob1->data = std::string(70, '\x7F');
    first.Panel2->SetHeight(120);
    first.Memo1->Font().SetStyle(FontStyles({fsItalic}));
    std::string text = WriteComponentText(first);
    EXPECT_NE(text.find("object Gallery: TGalleryForm"), std::string::npos) << text;
    EXPECT_NE(text.find("OnClick = Button1Click"), std::string::npos) << text;
    EXPECT_EQ(text.find_first_of("\x80\xFF"), std::string::npos) << "non-ASCII bytes written";

    TGalleryForm second(nullptr);
    second.ReadDefinitionText(text);
    EXPECT_EQ(WriteComponentText(second), text);
    EXPECT_EQ(second.Edit1->Text(), first.Edit1->Text());
    EXPECT_EQ(second.Memo1->Lines().Lines(), first.Memo1->Lines().Lines());
    EXPECT_EQ(second.Blob1->data, first.Blob1->data);
    EXPECT_EQ(second.Panel2->Height(), 120);
    EXPECT_EQ(second.Memo1->Font().Style(), FontStyles({fsItalic}));
    EXPECT_EQ(second.Edit1->Font().Color(), clBlue);
    EXPECT_EQ(second.Caption(), first.Caption());
    EXPECT_EQ(second.ActiveControl(), second.Edit1);
    EXPECT_EQ(second.Edit1->TabOrder(), 1);
}

// Binary values are written 32 bytes to a line, the closing brace on the last one: lengths
// that fill their last line exactly must close it too, and every length must read back.
TEST_F(FormFile, BinaryValuesOfEveryLineFillReadBack) {
    for (size_t size : {size_t(0), size_t(1), size_t(31), size_t(32), size_t(33), size_t(64), size_t(96), size_t(100)}) {
        TGalleryForm first(nullptr);
        first.ReadDefinitionText(GalleryText());
        std::string bytes;
        for (size_t i = 0; i < size; ++i) bytes += char((i * 37 + size) & 0xFF);
        first.Blob1->data = bytes;
        std::string text = WriteComponentText(first);
        // Braces balance: one opening and one closing brace for the value.
        size_t at = text.find("Blob1");
        ASSERT_NE(at, std::string::npos) << size;
        size_t open = text.find('{', at), close = text.find('}', at);
        ASSERT_NE(open, std::string::npos) << size;
        ASSERT_NE(close, std::string::npos) << size;
        EXPECT_EQ(text.find('{', open + 1) > close, true) << size << "\n" << text;
        TGalleryForm second(nullptr);
        try {
            second.ReadDefinitionText(text);
        } catch (const Exception& e) {
            ADD_FAILURE() << size << ": " << e.what() << "\n" << text;
            continue;
        }
        EXPECT_EQ(second.Blob1->data, bytes) << size;
        EXPECT_EQ(WriteComponentText(second), text) << size;
    }
}

TEST_F(FormFile, StringsKeepEveryCharacterThroughQuoting) {
    struct Case {
        std::string ansi;
        const char* quoted;
    } cases[] = {
        {"", "''"},
        {"plain", "'plain'"},
        {"it's", "'it''s'"},
        {"a\r\nb", "'a'#13#10'b'"},
        {Utf8ToAnsi("中文"), "#20013#25991"},
        {"x" + Utf8ToAnsi("词") + "y", "'x'#35789'y'"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(QuoteFormString(c.ansi), c.quoted);
        TEdit edit(nullptr);
        ReadComponentText(edit, std::string("object E: TEdit\n Text = ") + c.quoted + "\nend\n", "T");
        EXPECT_EQ(edit.Text(), c.ansi) << c.quoted;
    }
}

TEST_F(FormFile, Utf8TextWithByteOrderMarkBecomesAnsi) {
    TEdit edit(nullptr);
    ReadComponentText(edit, "\xEF\xBB\xBFobject E: TEdit\n  Text = '" + std::string("查询") + "' + 'x'\nend", "T");
    EXPECT_EQ(edit.Text(), Utf8ToAnsi("查询") + "x");
}

TEST_F(FormFile, ResourceCompiledIntoTheProgramCreatesTheForm) {
    auto* form = Application->CreateForm<TGalleryForm>();
    std::unique_ptr<TGalleryForm> owned(form);
    ASSERT_NE(form->Memo1, nullptr);
    EXPECT_EQ(form->log, std::vector<std::string>{"create"});
    EXPECT_TRUE(form->loadedBeforeCreate);
    EXPECT_EQ(Application->MainForm(), form);
    owned.reset();
    EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST_F(FormFile, BadDefinitionsNameTheFormLineAndProperty) {
    struct Case {
        const char* text;
        std::vector<const char*> mentions;
    } cases[] = {
        {"object F: TGalleryForm\n  Left = 'x'\nend", {"TGalleryForm", "line 2", "Left"}},
        {"object F: TGalleryForm\n  Nonsense = 1\nend", {"line 2", "Nonsense"}},
        {"object F: TGalleryForm\n  Caption = 12\nend", {"line 2", "Caption"}},
        {"object F: TGalleryForm\n  BorderIcons = [biSystemMenu, biOops]\nend", {"line 2", "BorderIcons"}},
        {"object F: TGalleryForm\n  object B: TNoSuchButton\n  end\nend", {"line 2", "TNoSuchButton"}},
        {"object F: TGalleryForm\n  object Edit1: TButton\n  end\nend", {"line 2", "Edit1"}},
        {"object F: TGalleryForm\n  OnCreate = NoSuchHandler\nend", {"line 2", "OnCreate", "NoSuchHandler"}},
        {"object F: TGalleryForm\n  OnCreate = Edit1KeyPress\nend", {"line 2", "OnCreate"}},
        {"object F: TGalleryForm\n  Caption = 'open\nend", {"line 2", "unterminated"}},
        {"object F: TGalleryForm\n  Left = 99999999999\nend", {"line 2"}},
        {"object F: TGalleryForm\n\n  object B: TBlob\n    Data = {0G}\n  end\nend", {"line 4"}},
        {"object F: TGalleryForm\n  object B: TBlob\n    Other = {00}\n  end\nend", {"line 3", "Other"}},
        {"object F: TGalleryForm\n  object B: TBlob\n    Data = {00\n    0A\n  end\nend", {"line 3", "unterminated"}},
        {"object F: TGalleryForm\n  object B: TBlob\n    Data = {00\n    0}\n  end\nend", {"line 4", "odd number"}},
        {"object F: TGalleryForm\n  Left = 1\n", {"line 3", "'end'"}},
        {"object F: TEdit\nend", {"TEdit"}},
        {"", {"line 1", "'object'"}},
        {"object F: TGalleryForm\nend\nobject", {"line 3"}},
        {"object F: TGalleryForm\n  Font = 1\nend", {"line 2", "Font"}},
    };
    for (const auto& c : cases) {
        TGalleryForm form(nullptr);
        try {
            form.ReadDefinitionText(c.text);
            ADD_FAILURE() << "accepted:\n" << c.text;
        } catch (const EFormError& e) {
            std::string what = e.what();
            for (const char* m : c.mentions) EXPECT_NE(what.find(m), std::string::npos) << what;
        }
    }
}

TEST_F(FormFile, CreatingAnUnreadableFormByNameLeavesNothingBehind) {
    TComponent owner(nullptr);
    EXPECT_THROW(CreateComponentFromText("object P: TPanel\n  object E: TEdit\n    Text = 5\n  end\nend",
                                         &owner, "Broken"),
                 EFormError);
    EXPECT_EQ(owner.ComponentCount(), 0);
    std::unique_ptr<TComponent> made(
        CreateComponentFromText("object P: TPanel\n  Caption = 'ok'\nend", nullptr, "Fine"));
    EXPECT_EQ(GetPropertyText(*made, "Caption"), "ok");
}

} // namespace
} // namespace wl::test
