// An embedded web browser view: the platform's WebBrowser control hosted in place inside a
// parent window, through IWebBrowser2. Navigation goes through the INavigator seam so tests can
// record the addresses without a browser engine.
#pragma once

#include "app/com.h"

#include <exdisp.h>
#include <oleidl.h>

#include <string>

namespace wl {

class INavigator {
public:
    virtual ~INavigator() = default;
    virtual void Navigate(const std::wstring& address) = 0;
};

class WebBrowserHost : public INavigator {
public:
    // Creates the control and activates it in place over the parent's client area.
    // Throws EOleSysError when the control cannot be created. Needs OleInitialize on the thread.
    explicit WebBrowserHost(HWND parent);
    ~WebBrowserHost() override;
    WebBrowserHost(const WebBrowserHost&) = delete;
    WebBrowserHost& operator=(const WebBrowserHost&) = delete;

    // Navigation flags, target frame, post data and headers are all left empty.
    void Navigate(const std::wstring& address) override;
    // Makes the view fill the parent's client area again (after the parent was resized).
    void FitToParent();
    IWebBrowser2* Browser() const { return browser_.Get(); }

private:
    class Site;
    HWND parent_;
    Site* site_ = nullptr;
    ComPtr<IOleObject> object_;
    ComPtr<IWebBrowser2> browser_;
};

} // namespace wl
