// The speech service and browser connections against what the platform provides here: errors
// become exceptions with the system's text, and hosting a browser neither crashes nor blocks.
#include "app/speech_voice.h"
#include "app/web_browser.h"
#include "support/gui.h"

#include <gtest/gtest.h>

#include <thread>

namespace wl {
namespace {

TEST(HResultText, GivesTheSystemTextOrTheCode) {
    EXPECT_FALSE(HResultText(E_NOTIMPL).empty());
    EXPECT_NE(HResultText(E_NOTIMPL).back(), '\n');
    EXPECT_EQ(HResultText(static_cast<HRESULT>(0xA0001234)), "OLE error A0001234");
}

TEST(SapiSpeaker, ServiceThatCannotBeReachedIsAnException) {
    // A thread that never initialised COM cannot create the voice: the failure must surface as
    // an exception carrying the system's text, not as silence or a crash.
    std::string message;
    HRESULT code = S_OK;
    std::thread worker([&] {
        SapiSpeaker speaker;
        try {
            speaker.Speak(L"<LANG LANGID=\"409\">apple", 1);
        } catch (const EOleSysError& e) {
            message = e.what();
            code = e.ErrorCode();
        }
    });
    worker.join();
    EXPECT_EQ(code, CO_E_NOTINITIALIZED);
    EXPECT_EQ(message, HResultText(CO_E_NOTINITIALIZED));
}

TEST(SapiSpeaker, SpeakEitherQueuesOrReportsTheServiceError) {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    {
        SapiSpeaker speaker;
        try {
            speaker.Speak(L"<LANG LANGID=\"409\">apple", 1);
            SUCCEED() << "the speech service accepted the request";
        } catch (const EOleSysError& e) {
            EXPECT_TRUE(FAILED(e.ErrorCode()));
            EXPECT_EQ(std::string(e.what()), HResultText(e.ErrorCode()));
            std::printf("speech service here: error 0x%08lX, connected=%d\n",
                        static_cast<unsigned long>(e.ErrorCode()), speaker.Connected() ? 1 : 0);
        }
    }
    CoUninitialize();
}

TEST(WebBrowserHost, HostsAndNavigatesWithoutBlocking) {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    HWND parent = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                  320, 240, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(parent, nullptr);
    try {
        WebBrowserHost host(parent);
        ASSERT_NE(host.Browser(), nullptr);
        host.Navigate(L"about:blank");
        host.FitToParent();
        test::PumpMessages(); // what the navigation posted
        READYSTATE state = READYSTATE_UNINITIALIZED;
        host.Browser()->get_ReadyState(&state);
        std::printf("browser ready state after navigation: %d\n", static_cast<int>(state));
    } catch (const EOleSysError& e) {
        std::printf("browser could not be hosted: 0x%08lX\n", static_cast<unsigned long>(e.ErrorCode()));
        EXPECT_TRUE(FAILED(e.ErrorCode()));
    }
    DestroyWindow(parent);
    OleUninitialize();
}

} // namespace
} // namespace wl
