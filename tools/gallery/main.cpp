// The controls gallery program: the main form, a skin from the command line (a skin archive
// path) or the built-in default skin, then the message loop.
#include "skin/forms/skin_manage.h"
#include "tools/gallery/gallery_main.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int exitCode = 0;
    try {
        // The gallery's windows wear the skin its component loads, frames included.
        wl::TSkinManage::Register();
        wl::Application->Initialize();
        auto* form = new wl::TGalleryMain(wl::Application);
        form->ReadDefinitionResource();
        std::string skin = wl::GallerySkinArgument();
        if (!form->UseSkin(skin))
            MessageBoxA(
                nullptr,
                ("The skin archive '" + skin + "' cannot be read; the gallery runs without a skin.")
                    .c_str(),
                "Gallery", MB_OK | MB_ICONWARNING);
        form->Show();
        wl::Application->Run();
    } catch (...) {
        wl::Application->HandleException(nullptr);
        exitCode = 1;
    }
    wl::TSkinManagerLink::Destroy();
    wl::Application->DestroyComponents();
    return exitCode;
}
