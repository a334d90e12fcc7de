// Program entry: the application object, the main window, the hidden picture window, then the
// message loop until the main window closes.
#include "app/fmain.h"
#include "app/fpicture.h"
#include "app/meaning_box.h"
#include "skin/forms/skin_manage.h"

#include "app/com.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // The speech service and the browser views are COM objects living on this thread; OLE is
    // started when the first of them is needed (OleNeeded), not here.
    int exitCode = 0;
    try {
        wl::ConnectMeaningMessageBox([] { return wl::Application->Title(); });
        // The main window's skin data component makes the skin manager while the window is
        // read; from then on every window of the program wears the skin.
        wl::TSkinManage::Register();
        wl::Application->Initialize();
        wl::Application->CreateForm<wl::TFmain>();
        wl::Application->CreateForm<wl::TFPicture>();
        wl::Application->Run();
    } catch (...) {
        wl::Application->HandleException(nullptr);
        exitCode = 1;
    }
    // The skin manager lets go of the windows before the forms are freed; the forms (and the
    // COM objects they hold) go before COM is shut down.
    wl::TSkinManagerLink::Destroy();
    wl::Application->DestroyComponents();
    wl::OleDone();
    return exitCode;
}
