// The gallery's main form (see gallery_main.h).
#include "tools/gallery/gallery_main.h"

#include "skin/forms/skin_manage.h"
#include "tools/gallery/recent_skins.h"

#include "ui/buttons.h"
#include "ui/dialogs.h"
#include "ui/extctrls.h"
#include "ui/frames.h"
#include "ui/formfile.h"
#include "ui/menus.h"
#include "ui/mplayer.h"
#include "ui/stdctrls.h"
#include "ui/strconv.h"

#include <commdlg.h>
#include <shellapi.h>

#include <cstdio>
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
    c.Field("MenuSkin", &TGalleryMain::MenuSkin);
    c.Field("MenuRecentLine", &TGalleryMain::MenuRecentLine);
    c.Field("SkinWatch", &TGalleryMain::SkinWatch);
    c.Method("MenuOpenSkinClick", &TGalleryMain::MenuOpenSkinClick);
    c.Method("MenuReloadClick", &TGalleryMain::MenuReloadClick);
    c.Method("MenuDefaultSkinClick", &TGalleryMain::MenuDefaultSkinClick);
    c.Method("MenuNoSkinClick", &TGalleryMain::MenuNoSkinClick);
    c.Method("MenuRecentClick", &TGalleryMain::MenuRecentClick);
    c.Method("SkinWatchTimer", &TGalleryMain::SkinWatchTimer);
})

namespace {

int64_t Now() {
    LARGE_INTEGER t{};
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

double MsSince(int64_t start) {
    LARGE_INTEGER f{};
    QueryPerformanceFrequency(&f);
    return f.QuadPart
               ? 1000.0 * static_cast<double>(Now() - start) / static_cast<double>(f.QuadPart)
               : 0.0;
}

std::string Ms(double ms) {
    char text[32];
    std::snprintf(text, sizeof text, ms < 10 ? "%.1f ms" : "%.0f ms", ms);
    return text;
}

// A path as a menu caption: "&" would underline the next letter.
std::string MenuText(const std::string& path) {
    std::string text;
    for (char c : path) {
        if (c == '&') text += '&';
        text += c;
    }
    return text;
}

} // namespace

void TGalleryMain::ReadDefinitionResource() {
    if (!ReadComponentResource(*this, GetModuleHandleA(nullptr), "TGALLERYMAIN"))
        throw Exception("The gallery's form definition is missing from the program");
    for (size_t i = 0; i < MenuRecent.size(); ++i) {
        std::string name = "MenuRecent";
        name += std::to_string(i + 1);
        MenuRecent[i] = dynamic_cast<TMenuItem*>(FindComponent(name));
    }
    // The switch time ends when the manager has carried out the scheduled action.
    SkinData1->OnSkinChanged = [this](TObject*) { SkinSwitched(); };
    SetRecentSkinsFile(DefaultRecentSkinsFile());
}

bool TGalleryMain::UseSkin(const std::string& path) {
    return path.empty() ? UseDefaultSkin() : LoadFile(path, TLoadKind::Start);
}

bool TGalleryMain::OpenSkinFile(const std::string& path) {
    return LoadFile(path, TLoadKind::Chosen);
}

bool TGalleryMain::ReloadSkin() {
    return FSkinPath.empty() ? UseDefaultSkin() : LoadFile(FSkinPath, TLoadKind::Chosen);
}

bool TGalleryMain::UseDefaultSkin() {
    if (FLoading) return false;
    FLoading = true;
    const bool ok = LoadBuiltIn();
    FLoading = false;
    return ok;
}

bool TGalleryMain::LoadBuiltIn() {
    HRSRC res = FindResourceA(nullptr, "DEFAULTSKIN", RT_RCDATA);
    HGLOBAL data = res ? LoadResource(nullptr, res) : nullptr;
    const char* bytes = data ? static_cast<const char*>(LockResource(data)) : nullptr;
    if (!bytes) {
        FProblem = "the program holds no built-in skin";
        ShowProblem("", FProblem);
        return false;
    }
    const DWORD size = SizeofResource(nullptr, res);
    const int64_t start = Now();
    // The component forgets its file first (SkinFile ""), then takes the skin's stored form: its
    // length, then the archive.
    SkinData1->SetSkinFile("");
    std::string stream(reinterpret_cast<const char*>(&size), 4);
    stream.append(bytes, size);
    SkinData1->ReadBinaryProperty("SkinStream", stream);
    FLoadMs = MsSince(start);
    if (SkinData1->NotLoaded) {
        FProblem = "the built-in skin does not load";
        ShowProblem("", FProblem);
        return false;
    }
    FSkinPath.clear();
    FWatchStamp = {};
    FProblem.clear();
    SkinData1->ApplySkin();
    StartSwitch(true);
    return true;
}

bool TGalleryMain::LoadFile(const std::string& path, TLoadKind kind) {
    if (FLoading) return false;
    FLoading = true;
    struct Done {
        bool& loading;
        ~Done() { loading = false; }
    } done{FLoading};
    // Checked in full before the component sees it: a file that would leave the gallery half
    // skinned, or skinned from garbage, never reaches it.
    const TFileStamp stamp = FileStampOf(path);
    const int64_t start = Now();
    TSkinFileRead read = ReadSkinArchiveFile(path);
    if (!read.Ok) {
        FProblem = read.Problem;
        // A file held by its writer, or gone for a moment, is tried again on the next poll.
        if (kind == TLoadKind::Watch && !read.Busy) FWatchStamp = stamp;
        ShowProblem(path, FProblem);
        return false;
    }
    const std::string previous = SkinData1->SkinBytes;
    const bool hadSkin = !SkinData1->NotLoaded;
    SkinData1->SetSkinFile(path);
    // The file may have changed between the check and the component's own read.
    bool loaded = !SkinData1->NotLoaded;
    if (loaded && SkinData1->SkinBytes != read.Bytes)
        loaded = SkinArchiveProblem(SkinData1->SkinBytes).empty();
    if (!loaded) {
        if (hadSkin) {
            SkinData1->SkinBytes = previous;
            SkinData1->LoadSkin();
            SkinData1->ApplySkin();
        }
        FProblem = "the file changed while it was read";
        ShowProblem(path, FProblem);
        return false;
    }
    FLoadMs = MsSince(start);
    FSkinPath = path;
    FWatchStamp = stamp;
    FProblem.clear();
    if (kind == TLoadKind::Chosen) {
        PushRecentSkin(FRecent, path);
        SaveRecentSkinsFile(FRecentFile, FRecent);
        UpdateRecentMenu();
    }
    // A change on disk keeps skinning as it is (off stays off).
    StartSwitch(kind != TLoadKind::Watch);
    return true;
}

void TGalleryMain::StartSwitch(bool activate) {
    FSwitchMs = -1;
    FSwitchStart = Now();
    if (activate && !SkinData1->Active()) SkinData1->SetActive(true);
    ShowSkinStatus();
    SwitchNow();
}

void TGalleryMain::SwitchNow() {
    // The switch now rather than on the manager's next tick, unless a window is busy with a
    // message or a modal loop runs (then the manager keeps it for its timer). Before the gallery
    // shows, its start-up leaves the first skinning to the manager.
    if (!HandleAllocated() || !IsWindowVisible(HandleValue())) return;
    if (TSkinManage* m = TSkinManage::Instance(); m && m->TimerEnabled()) m->TimerTick();
}

void TGalleryMain::TurnSkinOff() {
    if (!SkinData1->Active()) return;
    FSwitchMs = -1;
    FSwitchStart = Now();
    SkinData1->SetActive(false);
    ShowSkinStatus();
    SwitchNow();
}

void TGalleryMain::SkinSwitched() {
    if (!FSwitchStart) return;
    FSwitchMs = MsSince(FSwitchStart);
    FSwitchStart = 0;
    ShowSkinStatus();
}

void TGalleryMain::ShowSkinStatus() {
    if (!StatusBar1) return;
    std::string text;
    if (!SkinData1->Active()) {
        text = "No skin";
    } else {
        text = FSkinPath.empty() ? "built-in skin" : FileNameOf(FSkinPath);
        if (FLoadMs >= 0) text += ": loaded in " + Ms(FLoadMs);
        if (FSwitchMs >= 0) text += ", switched in " + Ms(FSwitchMs);
    }
    StatusBar1->Panel(kSkinPanel)->SetText(text);
}

void TGalleryMain::ShowProblem(const std::string& path, const std::string& problem) {
    if (!StatusBar1) return;
    const std::string name = path.empty() ? "built-in skin" : FileNameOf(path);
    StatusBar1->Panel(kSkinPanel)->SetText(name + ": " + problem + "; the skin stays");
}

void TGalleryMain::SetRecentSkinsFile(const std::string& file) {
    FRecentFile = file;
    FRecent = LoadRecentSkinsFile(file);
    UpdateRecentMenu();
}

void TGalleryMain::UpdateRecentMenu() {
    for (size_t i = 0; i < MenuRecent.size(); ++i) {
        TMenuItem* item = MenuRecent[i];
        if (!item) continue;
        const bool used = i < FRecent.size();
        if (used) {
            std::string caption = "&";
            caption += std::to_string(i + 1);
            caption += ' ';
            caption += MenuText(FRecent[i]);
            item->SetCaption(caption);
        }
        item->SetVisible(used);
    }
    if (MenuRecentLine) MenuRecentLine->SetVisible(!FRecent.empty());
}

std::string TGalleryMain::ChooseSkinFile() {
    wchar_t file[MAX_PATH * 2] = {};
    std::wstring folder;
    if (!FSkinPath.empty()) {
        folder = AnsiToWide(FSkinPath);
        folder.resize(
            folder.find_last_of(L"\\/") == std::wstring::npos ? 0 : folder.find_last_of(L"\\/"));
    }
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = Handle();
    ofn.lpstrFilter = L"Skin archives (*.skn)\0*.skn\0All files\0*.*\0";
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = static_cast<DWORD>(std::size(file));
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.lpstrTitle = L"Open skin";
    ofn.lpstrDefExt = L"skn";
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameW(&ofn)) return {};
    return WideToAnsi(file);
}

void TGalleryMain::ShowLoadFailure(const std::string& path) {
    MessageDlg("The skin '" + path + "' cannot be used: " + FProblem +
                   ".\nThe gallery keeps the skin it wears.",
               mtWarning, MsgDlgButtons({mbOK}), 0);
}

void TGalleryMain::MenuOpenSkinClick(TObject*) {
    const std::string path = ChooseSkinFile();
    if (!path.empty() && !OpenSkinFile(path)) ShowLoadFailure(path);
}

void TGalleryMain::MenuReloadClick(TObject*) {
    if (!ReloadSkin() && !FSkinPath.empty()) ShowLoadFailure(FSkinPath);
}

void TGalleryMain::MenuDefaultSkinClick(TObject*) {
    UseDefaultSkin();
}

void TGalleryMain::MenuNoSkinClick(TObject*) {
    TurnSkinOff();
}

void TGalleryMain::MenuRecentClick(TObject* sender) {
    for (size_t i = 0; i < MenuRecent.size() && i < FRecent.size(); ++i) {
        if (MenuRecent[i] != sender) continue;
        const std::string path = FRecent[i]; // the list changes while it loads
        if (!OpenSkinFile(path)) ShowLoadFailure(path);
        return;
    }
}

void TGalleryMain::SkinWatchTimer(TObject*) {
    if (FSkinPath.empty() || FLoading) return;
    if (FileStampOf(FSkinPath) == FWatchStamp) return;
    LoadFile(FSkinPath, TLoadKind::Watch);
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
    for (int i = 1; i <= 50; ++i)
        list->Items().Add("Item " + std::to_string(i));
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
