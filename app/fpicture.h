// TFPicture, the picture window: an image search for the keyword above, the maker's
// information page below, in two hosted browser views separated by a splitter. Created hidden
// at start-up and reused; closing it only hides it. Layout in fpicture.form.
#pragma once

#include "app/browser_control.h"
#include "ui/extctrls.h"
#include "ui/forms.h"

namespace wl {

class TFPicture : public TForm {
    WL_CLASS(TFPicture, TForm)
public:
    explicit TFPicture(TComponent* owner);
    ~TFPicture() override;

    TPanel* Panel2 = nullptr;
    TWebBrowser* WebBrowser2 = nullptr;
    TSplitter* Splitter1 = nullptr;
    TPanel* Panel1 = nullptr;
    TWebBrowser* WebBrowser1 = nullptr;

    // Runs each time the window passes from hidden to shown.
    void FormShow(TObject* sender);
    // Shows the window; when it is already shown, only brings it to the front in the placement
    // the user left it (a minimized window comes back as it was before), without running
    // FormShow again.
    void ShowOrBringToFront();

private:
    // One view's navigation: its failure is reported and does not keep the other view from
    // navigating.
    void NavigateView(TWebBrowser* view, const std::wstring& address);
};

// The picture window while it exists.
extern TFPicture* FPicture;

} // namespace wl
