// TWebBrowser: a control that hosts the platform's WebBrowser view filling its own window and
// following its size (aligned inside a panel, it follows splitter drags). Navigation goes
// through the INavigator seam: the hosted view, or a double that a test stands in.
#pragma once

#include "app/web_browser.h"
#include "ui/controls.h"

#include <functional>
#include <memory>
#include <string>

namespace wl {

class TWebBrowser : public TWinControl {
    WL_CLASS(TWebBrowser, TWinControl)
public:
    explicit TWebBrowser(TComponent* owner);
    ~TWebBrowser() override;

    // Navigates to `address` with flags, target frame, post data and headers left empty.
    // Creates the window and the view first when needed. A view that cannot be created is
    // reported once, when the window is made, and navigating then does nothing.
    void Navigate(const std::wstring& address);

    // Makes the hosted view for a window; empty: the platform's view. Tests stand in one that
    // fails. Takes effect when the view is next created.
    using HostFactory = std::function<std::unique_ptr<WebBrowserHost>(HWND parent)>;
    void SetHostFactory(HostFactory factory) { hostFactory_ = std::move(factory); }

    // A navigator that replaces the hosted view (not owned; nullptr goes back to the view).
    void SetNavigator(INavigator* navigator) { navigator_ = navigator; }
    // The hosted view, or nullptr while there is none (no window yet, or creation failed).
    WebBrowserHost* Host() const { return host_.get(); }

protected:
    void CreateWindowHandle(const TCreateParams& params) override;
    void DestroyWnd() override;
    void WndProc(TMessage& msg) override;

private:
    void CreateHost();
    std::unique_ptr<WebBrowserHost> host_;
    INavigator* navigator_ = nullptr;
    HostFactory hostFactory_;
};

} // namespace wl
