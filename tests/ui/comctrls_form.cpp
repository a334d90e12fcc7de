// The common-controls test form (see comctrls_form.h).
#include "comctrls_form.h"

#include "support/testdata.h"
#include "ui/imglist.h"

namespace wl::test {

// The form names TEdit only in its text: keep the unit that registers it in the program.
[[maybe_unused]] const TClassInfo& kEditClass = TEdit::StaticClass();
[[maybe_unused]] const TClassInfo& kImageListClass = TImageList::StaticClass();

WL_DEFINE_CLASS(TComCtlForm, [](ClassBuilder<TComCtlForm>& c) {
    c.Field("Edit1", &TComCtlForm::Edit1);
    c.Field("Edit2", &TComCtlForm::Edit2);
    c.Method("TrackBar1Change", &TComCtlForm::TrackBar1Change);
    c.Method("PageControl1Change", &TComCtlForm::PageControl1Change);
})

void TComCtlForm::TrackBar1Change(TObject*) {
    log.push_back("track " + std::to_string(Get<TTrackBar>("TrackBar1")->Position()));
}

void TComCtlForm::PageControl1Change(TObject*) {
    TTabSheet* page = Get<TPageControl>("PageControl1")->ActivePage();
    log.push_back("page " + (page ? page->Name() : std::string("none")));
}

std::string ComCtlText() {
    return ReadFileBytes(WL_COMCTL_DFM);
}

} // namespace wl::test
