// The controls gallery: one main form whose pages hold the library's controls in the states
// worth looking at, with a skin data component that takes a skin archive from the command line
// or the built-in default skin.
#pragma once

#include "skin/data/skin_data.h"
#include "ui/comctrls.h"
#include "ui/forms.h"

#include <string>

namespace wl {

class TMenuItem;

class TGalleryMain : public TForm {
    WL_CLASS(TGalleryMain, TForm)
public:
    using TForm::TForm;
    TPageControl* PageControl1 = nullptr;
    TStatusBar* StatusBar1 = nullptr;
    TSkinData* SkinData1 = nullptr;
    TTabSheet* PageLive = nullptr;
    TMenuItem* MenuView = nullptr;

    // Reads the definition compiled into the program.
    void ReadDefinitionResource();
    // Loads the skin archive `path`, or the built-in default skin when it is empty; false when
    // the archive could not be read.
    bool UseSkin(const std::string& path);

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
    int FLiveButtons = 0; // buttons added so far (their numbers)
    int FLiveLists = 0;
};

// The skin archive path from a command line's arguments ("" when none).
std::string GallerySkinArgument();

} // namespace wl
