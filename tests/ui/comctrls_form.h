// A form holding one or more of every common control, read from tests/ui/data/comctrls.dfm;
// shared by the common-control tests.
#pragma once

#include "ui/comctrls.h"
#include "ui/forms.h"
#include "ui/mplayer.h"
#include "ui/stdctrls.h"

#include <string>
#include <vector>

namespace wl::test {

class TComCtlForm : public TForm {
    WL_CLASS(TComCtlForm, TForm)
public:
    using TForm::TForm;
    TEdit* Edit1 = nullptr;
    TEdit* Edit2 = nullptr;
    std::vector<std::string> log;

    void TrackBar1Change(TObject* sender);
    void PageControl1Change(TObject* sender);

    // The component `name`, which must exist and be a T.
    template <class T> T* Get(const std::string& name) const {
        auto* c = dynamic_cast<T*>(FindComponent(name));
        if (!c) throw Exception("No " + name + " of the expected class");
        return c;
    }
};

// The definition in tests/ui/data/comctrls.dfm.
std::string ComCtlText();

} // namespace wl::test
