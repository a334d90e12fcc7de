// The hosted browser control (see browser_control.h).
#include "app/browser_control.h"

#include "ui/forms.h"

namespace wl {

WL_DEFINE_CLASS(TWebBrowser, WL_NO_PROPERTIES)

TWebBrowser::TWebBrowser(TComponent* owner) : TWinControl(owner) {
    width_ = 300;
    height_ = 150;
    SetTabStop(true);
}

TWebBrowser::~TWebBrowser() {
    // The view must let go of its site while our window still exists.
    host_.reset();
}

void TWebBrowser::CreateHost() {
    OleNeeded(); // the first view starts OLE on this thread
    host_ = hostFactory_ ? hostFactory_(HandleValue()) : std::make_unique<WebBrowserHost>(HandleValue());
}

void TWebBrowser::CreateWindowHandle(const TCreateParams& params) {
    TWinControl::CreateWindowHandle(params);
    // A view that cannot be created is reported, and the window stays as an empty area: window
    // creation itself must not fail because of it.
    try {
        CreateHost();
    } catch (...) {
        Application->HandleException(this);
    }
}

void TWebBrowser::DestroyWnd() {
    host_.reset();
    TWinControl::DestroyWnd();
}

void TWebBrowser::WndProc(TMessage& msg) {
    switch (msg.Msg) {
    case WM_SIZE:
        TWinControl::WndProc(msg);
        if (host_) host_->FitToParent();
        return;
    case WM_DESTROY:
        // Destroyed with its parent window: the view goes first.
        host_.reset();
        break;
    default: break;
    }
    TWinControl::WndProc(msg);
}

void TWebBrowser::Navigate(const std::wstring& address) {
    if (navigator_) {
        navigator_->Navigate(address);
        return;
    }
    // Making the window makes the view, or reports why it cannot be made; a missing view is not
    // reported again for every address.
    HandleNeeded();
    if (host_) host_->Navigate(address);
}

} // namespace wl
