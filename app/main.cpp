// Program entry: the application object, the main window, the hidden picture window, then the
// message loop until the main window closes.
#include "app/fmain.h"
#include "app/fpicture.h"
#include "app/meaning_box.h"

#include <windows.h>
#include <ole2.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // The speech service and the browser views are COM objects living on this thread.
    HRESULT ole = OleInitialize(nullptr);
    int exitCode = 0;
    try {
        wl::ConnectMeaningMessageBox([] { return wl::Application->Title(); });
        wl::Application->Initialize();
        wl::Application->CreateForm<wl::TFmain>();
        wl::Application->CreateForm<wl::TFPicture>();
        wl::Application->Run();
    } catch (...) {
        wl::Application->HandleException(nullptr);
        exitCode = 1;
    }
    // The forms (and the COM objects they hold) go before COM is shut down.
    wl::Application->DestroyComponents();
    if (SUCCEEDED(ole)) OleUninitialize();
    return exitCode;
}
