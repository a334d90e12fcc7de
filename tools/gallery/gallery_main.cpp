// The gallery's main form (see gallery_main.h).
#include "tools/gallery/gallery_main.h"

#include "ui/buttons.h"
#include "ui/dialogs.h"
#include "ui/extctrls.h"
#include "ui/frames.h"
#include "ui/formfile.h"
#include "ui/menus.h"
#include "ui/mplayer.h"
#include "ui/stdctrls.h"
#include "ui/strconv.h"

#include <shellapi.h>

namespace wl {

WL_DEFINE_CLASS(TGalleryMain, [](ClassBuilder<TGalleryMain>& c) {
    c.Field("PageControl1", &TGalleryMain::PageControl1);
    c.Field("StatusBar1", &TGalleryMain::StatusBar1);
    c.Field("SkinData1", &TGalleryMain::SkinData1);
    c.Method("ToolButtonClick", &TGalleryMain::ToolButtonClick);
    c.Method("MenuModalClick", &TGalleryMain::MenuModalClick);
    c.Method("MenuMessageClick", &TGalleryMain::MenuMessageClick);
    c.Method("MenuExitClick", &TGalleryMain::MenuExitClick);
    c.Method("PageControl1Change", &TGalleryMain::PageControl1Change);
})

void TGalleryMain::ReadDefinitionResource() {
    if (!ReadComponentResource(*this, GetModuleHandleA(nullptr), "TGALLERYMAIN"))
        throw Exception("The gallery's form definition is missing from the program");
}

bool TGalleryMain::UseSkin(const std::string& path) {
    if (!path.empty()) {
        SkinData1->SetSkinFile(path);
        if (SkinData1->NotLoaded) return false;
    } else {
        HRSRC res = FindResourceA(nullptr, "DEFAULTSKIN", RT_RCDATA);
        HGLOBAL data = res ? LoadResource(nullptr, res) : nullptr;
        const char* bytes = data ? static_cast<const char*>(LockResource(data)) : nullptr;
        if (!bytes) return false;
        DWORD size = SizeofResource(nullptr, res);
        // The stored form of a skin: its length, then the archive.
        std::string stream(reinterpret_cast<const char*>(&size), 4);
        stream.append(bytes, size);
        SkinData1->ReadBinaryProperty("SkinStream", stream);
        if (SkinData1->NotLoaded) return false;
    }
    SkinData1->SetActive(true);
    return true;
}

void TGalleryMain::ToolButtonClick(TObject* sender) {
    auto* button = dynamic_cast<TToolButton*>(sender);
    StatusBar1->Panel(0)->SetText(button ? button->GetText() + " clicked" : "clicked");
}

void TGalleryMain::MenuModalClick(TObject*) {
    TForm dialog(nullptr);
    dialog.SetCaption("Modal dialog");
    dialog.SetBorderStyle(bsDialog);
    dialog.SetClientSize(260, 110);
    auto* label = new TLabel(&dialog);
    label->SetParent(&dialog);
    label->SetBounds(16, 16, 220, 20);
    label->SetCaption("The other windows wait for this one.");
    auto* ok = new TBitBtn(&dialog);
    ok->SetParent(&dialog);
    ok->SetKind(bkOK);
    ok->SetBounds(90, 64, 80, 28);
    int result = dialog.ShowModal();
    StatusBar1->Panel(0)->SetText("Dialog closed: " + std::to_string(result));
}

void TGalleryMain::MenuMessageClick(TObject*) {
    MessageDlg("A message dialog of the gallery.", mtInformation, MsgDlgButtons({mbOK}), 0);
}

void TGalleryMain::MenuExitClick(TObject*) {
    Close();
}

void TGalleryMain::PageControl1Change(TObject*) {
    if (TTabSheet* page = PageControl1->ActivePage())
        StatusBar1->Panel(0)->SetText(page->GetText());
}

std::string GallerySkinArgument() {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::string path;
    if (argv && argc > 1) path = WideToAnsi(argv[1]);
    LocalFree(argv);
    return path;
}

} // namespace wl
