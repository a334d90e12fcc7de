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

#include <string>

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
    c.Field("PageLive", &TGalleryMain::PageLive);
    c.Field("MenuView", &TGalleryMain::MenuView);
    c.Method("LiveAddButtonClick", &TGalleryMain::LiveAddButtonClick);
    c.Method("LiveAddListClick", &TGalleryMain::LiveAddListClick);
    c.Method("LiveEmptyViewClick", &TGalleryMain::LiveEmptyViewClick);
    c.Method("LiveFillViewClick", &TGalleryMain::LiveFillViewClick);
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

void TGalleryMain::LiveAddButtonClick(TObject*) {
    const int n = ++FLiveButtons;
    const int k = n - 1;
    auto* button = new TButton(this);
    button->SetParent(PageLive);
    button->SetBounds(8 + (k % 3) * 100, 48 + (k / 3 % 9) * 32, 92, 26);
    button->SetCaption("Remove me " + std::to_string(n));
    // Freed inside its own click: the library releases it once that message has been handled.
    button->OnClick = [button](TObject*) { delete button; };
}

void TGalleryMain::LiveAddListClick(TObject*) {
    const int k = FLiveLists++;
    const int left = 320 + (k % 2) * 150, top = 48 + (k / 2 % 2) * 8;
    auto* list = new TListBox(this);
    list->SetParent(PageLive);
    list->SetBounds(left, top, 140, 240);
    for (int i = 1; i <= 50; ++i) list->Items().Add("Item " + std::to_string(i));
    auto* remove = new TButton(this);
    remove->SetParent(PageLive);
    remove->SetBounds(left, top + 246, 140, 26);
    remove->SetCaption("Remove list box");
    remove->OnClick = [list, remove](TObject*) {
        delete list;
        delete remove;
    };
}

void TGalleryMain::LiveEmptyViewClick(TObject*) {
    if (MenuView) MenuView->Clear();
}

void TGalleryMain::LiveFillViewClick(TObject*) {
    if (!MenuView || MenuView->Count() > 0) return;
    auto* checked = new TMenuItem(this);
    checked->SetCaption("Checked item");
    checked->SetChecked(true);
    MenuView->Add(checked);
    auto* disabled = new TMenuItem(this);
    disabled->SetCaption("Disabled item");
    disabled->SetEnabled(false);
    MenuView->Add(disabled);
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
