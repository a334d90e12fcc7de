// A form class with every control of the library, its handlers published by name, and a
// component with a binary property; shared by the form file and control tests.
#pragma once

#include "ui/extctrls.h"
#include "ui/forms.h"
#include "ui/stdctrls.h"

#include <string>
#include <vector>

namespace wl::test {

// A component whose "Data" is a binary property of form files.
class TBlob : public TComponent {
    WL_CLASS(TBlob, TComponent)
public:
    using TComponent::TComponent;
    std::string data;
    bool ReadBinaryProperty(const std::string& name, const std::string& bytes) override;
    void WriteBinaryProperties(std::vector<std::pair<std::string, std::string>>& out) const override;
};

class TGalleryForm : public TForm {
    WL_CLASS(TGalleryForm, TForm)
public:
    using TForm::TForm;
    TPanel* Panel1 = nullptr;
    TPanel* Panel2 = nullptr;
    TPanel* Panel3 = nullptr;
    TSplitter* Splitter1 = nullptr;
    TMemo* Memo1 = nullptr;
    TLabel* Label1 = nullptr;
    TEdit* Edit1 = nullptr;
    TButton* Button1 = nullptr;
    TButton* Button2 = nullptr;
    TTimer* Timer1 = nullptr;
    TBlob* Blob1 = nullptr;

    std::vector<std::string> log;
    // Whether every component had been loaded when OnCreate ran.
    bool loadedBeforeCreate = false;
    std::string buttonError = "Boom from the button";

    void FormCreate(TObject* sender);
    void FormShow(TObject* sender);
    void Button1Click(TObject* sender);
    void Edit1Exit(TObject* sender);
    void Edit1KeyPress(TObject* sender, char& key);
    void Timer1Timer(TObject* sender);
};

// The definition in tests/ui/data/gallery.dfm (also compiled in as a resource).
std::string GalleryText();

} // namespace wl::test
