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
        WebBrowser1->Navigate(AnsiToWide(ImageSearchAddress(keyword)));
    }
    WebBrowser2->Navigate(Utf8ToWide(kInformationPage));
}

} // namespace wl
