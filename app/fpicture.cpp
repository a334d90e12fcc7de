// The picture window's handler (see fpicture.h).
#include "app/fpicture.h"

#include "app/fmain.h"
#include "app/picture_address.h"
#include "ui/strconv.h"

namespace wl {

TFPicture* FPicture = nullptr;

WL_DEFINE_CLASS(TFPicture, [](ClassBuilder<TFPicture>& c) {
    c.Field("Panel2", &TFPicture::Panel2);
    c.Field("WebBrowser2", &TFPicture::WebBrowser2);
    c.Field("Splitter1", &TFPicture::Splitter1);
    c.Field("Panel1", &TFPicture::Panel1);
    c.Field("WebBrowser1", &TFPicture::WebBrowser1);
    c.Method("FormShow", &TFPicture::FormShow);
})

TFPicture::TFPicture(TComponent* owner) : TForm(owner) { FPicture = this; }

TFPicture::~TFPicture() {
    if (FPicture == this) FPicture = nullptr;
}

void TFPicture::FormShow(TObject*) {
    std::string text = Fmain && Fmain->Edit1 ? Fmain->Edit1->Text() : std::string();
    if (!text.empty()) {
        std::string keyword = Trim(text);
        SetCaption(keyword + Utf8ToAnsi(kPictureCaptionSuffixUtf8));
        // The address goes to the browser as it is (no percent-encoding of the keyword).
        NavigateView(WebBrowser1, AnsiToWide(ImageSearchAddress(keyword)));
    }
    NavigateView(WebBrowser2, Utf8ToWide(InformationPageAddress(ExecutableFolderUtf8())));
}

void TFPicture::NavigateView(TWebBrowser* view, const std::wstring& address) {
    try {
        view->Navigate(address);
    } catch (...) {
        Application->HandleException(this);
    }
}

void TFPicture::ShowOrBringToFront() {
    HWND h = HandleValue();
    if (!Visible() || !h || !IsWindowVisible(h)) {
        Show();
        return;
    }
    // Showing again would apply the maximized state of the definition; the user's own
    // placement (restored, moved, minimized) is kept instead.
    if (IsIconic(h)) ShowWindow(h, SW_RESTORE);
    BringWindowToTop(h);
    SetForegroundWindow(h);
}

} // namespace wl
