// The controls gallery: one main form whose pages hold the library's controls in the states
// worth looking at, with a skin data component that takes a skin archive from the command line
// or the built-in default skin. Its Skin menu makes it a skin author's workbench: open a skin
// archive, reload it, go back to the built-in skin or to none, reopen one of the last five; the
// open file is watched and reloaded when it changes, and the status bar names the skin with its
// load and switch times, or why a file was refused.
#pragma once

#include "skin/data/skin_data.h"
#include "tools/gallery/skin_loading.h"
#include "ui/comctrls.h"
#include "ui/forms.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace wl {

class TMenuItem;
class TTimer;

class TGalleryMain : public TForm {
    WL_CLASS(TGalleryMain, TForm)
public:
    using TForm::TForm;
    TPageControl* PageControl1 = nullptr;
    TStatusBar* StatusBar1 = nullptr;
    TSkinData* SkinData1 = nullptr;
    TTabSheet* PageLive = nullptr;
    TMenuItem* MenuView = nullptr;

    TMenuItem* MenuSkin = nullptr;
    std::array<TMenuItem*, 5> MenuRecent{}; // the recent skins, most recent first
    TMenuItem* MenuRecentLine = nullptr;
    TTimer* SkinWatch = nullptr;

    // Reads the definition compiled into the program, and the recent skins list from the
    // user's application-data folder.
    void ReadDefinitionResource();
    // Loads the skin archive `path`, or the built-in default skin when it is empty, and turns
    // skinning on; false when the archive could not be used (the skin worn before stays).
    bool UseSkin(const std::string& path);

    // ---- the Skin menu, without its dialogs ----
    // Switches to the skin archive file `path` and puts it first in the recent list; false when
    // the file cannot be used: the skin worn before stays, and SkinProblem() says why.
    bool OpenSkinFile(const std::string& path);
    // Loads the current skin again: its file, or the built-in skin.
    bool ReloadSkin();
    bool UseDefaultSkin();
    void TurnSkinOff();
    // The system's Open dialog for a skin archive; the chosen path, or "" when cancelled.
    std::string ChooseSkinFile();
    // Where the recent list is kept (read at once); ReadDefinitionResource uses the default.
    void SetRecentSkinsFile(const std::string& file);
    const std::vector<std::string>& RecentSkins() const { return FRecent; }
    // The file the worn skin came from; "" for the built-in skin.
    const std::string& SkinPath() const { return FSkinPath; }
    // Why the last load failed; empty after a load that worked.
    const std::string& SkinProblem() const { return FProblem; }
    // The status bar panel that tells the skin.
    static constexpr int kSkinPanel = 2;
    // Milliseconds of the last load (reading and building the skin) and of the switch that
    // followed (until the skin manager has re-skinned the windows); negative while unknown.
    double LoadMs() const { return FLoadMs; }
    double SwitchMs() const { return FSwitchMs; }

    void MenuOpenSkinClick(TObject* sender);
    void MenuReloadClick(TObject* sender);
    void MenuDefaultSkinClick(TObject* sender);
    void MenuNoSkinClick(TObject* sender);
    void MenuRecentClick(TObject* sender);
    // Polls the open skin file's stamp; a change reloads it.
    void SkinWatchTimer(TObject* sender);

    void ToolButtonClick(TObject* sender);
    // A small modal dialog with an OK button; returns its modal result.
    void MenuModalClick(TObject* sender);
    void MenuMessageClick(TObject* sender);
    void MenuExitClick(TObject* sender);
    void PageControl1Change(TObject* sender);

    // The "Live" page: controls made and freed while the program runs, and a menu emptied and
    // filled again. "Add button" adds a button "Remove me N" that frees itself when clicked;
    // "Add list box" a list box of 50 items with a button under it that frees both.
    void LiveAddButtonClick(TObject* sender);
    void LiveAddListClick(TObject* sender);
    // Frees every item of the View menu (the View entry stays on the bar), or makes them again.
    void LiveEmptyViewClick(TObject* sender);
    void LiveFillViewClick(TObject* sender);

private:
    enum class TLoadKind { Chosen, Start, Watch };
    bool LoadFile(const std::string& path, TLoadKind kind);
    bool LoadBuiltIn();
    void StartSwitch(bool activate);
    void SwitchNow();
    void SkinSwitched();
    void ShowSkinStatus();
    void ShowProblem(const std::string& path, const std::string& problem);
    void UpdateRecentMenu();
    void ShowLoadFailure(const std::string& path);

    int FLiveButtons = 0; // buttons added so far (their numbers)
    int FLiveLists = 0;

    std::string FSkinPath;
    std::string FProblem;
    std::string FRecentFile;
    std::vector<std::string> FRecent;
    TFileStamp FWatchStamp; // of the file as last loaded or refused
    double FLoadMs = -1, FSwitchMs = -1;
    int64_t FSwitchStart = 0; // performance counter when a switch was scheduled; 0 when none waits
    bool FLoading = false;
};

// The skin archive path from a command line's arguments ("" when none).
std::string GallerySkinArgument();

} // namespace wl
