// The gallery form of the UI tests (see gallery_form.h).
#include "gallery_form.h"

#include "support/testdata.h"

namespace wl::test {

WL_DEFINE_CLASS(TBlob, WL_NO_PROPERTIES)

bool TBlob::ReadBinaryProperty(const std::string& name, const std::string& bytes) {
    if (name != "Data") return false;
    data = bytes;
    return true;
}

void TBlob::WriteBinaryProperties(std::vector<std::pair<std::string, std::string>>& out) const {
    out.emplace_back("Data", data);
}

WL_DEFINE_CLASS(TGalleryForm, [](ClassBuilder<TGalleryForm>& c) {
    c.Field("Panel1", &TGalleryForm::Panel1);
    c.Field("Panel2", &TGalleryForm::Panel2);
    c.Field("Panel3", &TGalleryForm::Panel3);
    c.Field("Splitter1", &TGalleryForm::Splitter1);
    c.Field("Memo1", &TGalleryForm::Memo1);
    c.Field("Label1", &TGalleryForm::Label1);
    c.Field("Edit1", &TGalleryForm::Edit1);
    c.Field("Button1", &TGalleryForm::Button1);
    c.Field("Button2", &TGalleryForm::Button2);
    c.Field("Timer1", &TGalleryForm::Timer1);
    c.Field("Blob1", &TGalleryForm::Blob1);
    c.Method("FormCreate", &TGalleryForm::FormCreate);
    c.Method("FormShow", &TGalleryForm::FormShow);
    c.Method("Button1Click", &TGalleryForm::Button1Click);
    c.Method("Edit1Exit", &TGalleryForm::Edit1Exit);
    c.Method("Edit1KeyPress", &TGalleryForm::Edit1KeyPress);
    c.Method("Timer1Timer", &TGalleryForm::Timer1Timer);
})

void TGalleryForm::FormCreate(TObject*) {
    log.push_back("create");
    loadedBeforeCreate = true;
    for (int i = 0; i < ComponentCount(); ++i)
        if (Components(i)->IsLoading()) loadedBeforeCreate = false;
}

void TGalleryForm::FormShow(TObject*) { log.push_back("show"); }

void TGalleryForm::Button1Click(TObject*) { throw Exception(buttonError); }

void TGalleryForm::Edit1Exit(TObject*) { log.push_back("exit"); }

void TGalleryForm::Edit1KeyPress(TObject*, char& key) {
    if (key == 'a') key = 'b';
    if (key == '!') key = 0;
}

void TGalleryForm::Timer1Timer(TObject*) { log.push_back("timer"); }

std::string GalleryText() { return ReadFileBytes(WL_GALLERY_DFM); }

} // namespace wl::test
