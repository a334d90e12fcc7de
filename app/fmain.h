// TFmain, the dictionary's main window: the keyword field, the meaning memo, six command
// buttons, the dictionary table, the speech component and the skin data component. Its layout and property values are
// in fmain.form.in (compiled into the program); this class holds the handlers.
#pragma once

#include "app/components.h"
#include "skin/data/skin_data.h"
#include "ui/forms.h"
#include "ui/stdctrls.h"

#include <string>

namespace wl {

class TFmain : public TForm {
    WL_CLASS(TFmain, TForm)
public:
    explicit TFmain(TComponent* owner);
    ~TFmain() override;

    TButton* BExit = nullptr;
    TButton* BCopy = nullptr;
    TButton* BSpeak = nullptr;
    TButton* BPrint = nullptr;
    TEdit* Edit1 = nullptr;
    TMemo* Memo1 = nullptr;
    TButton* Bsearch = nullptr;
    TButton* BPicture = nullptr;
    TADOTable* ADOTable1 = nullptr;
    TSpVoice* SpVoice1 = nullptr;
    TSkinData* SkinData1 = nullptr;

    void FormCreate(TObject* sender);
    void BsearchClick(TObject* sender);
    void Edit1KeyPress(TObject* sender, char& key);
    void Edit1Click(TObject* sender);
    void Edit1Exit(TObject* sender);
    void BCopyClick(TObject* sender);
    void BPrintClick(TObject* sender);
    void BExitClick(TObject* sender);
    void BSpeakClick(TObject* sender);
    void BPictureClick(TObject* sender);
    // Speaks the Chinese part of a meaning (ANSI code page).
    void SpeakMeaning(const std::string& text);

    // The folder that FormCreate looks for words.mdb in: the executable's folder unless it was
    // set before FormCreate runs (tests use their own dictionaries).
    const std::string& StoreFolder() const { return storeFolder_; }
    void SetStoreFolder(std::string folder) { storeFolder_ = std::move(folder); }


protected:
    void WndProc(TMessage& msg) override;

private:
    void LookUp();
    // Opens the dictionary table when FormCreate left it waiting (reporting a failure as the
    // default error handler does); afterwards does nothing.
    void OpenStore();
    std::string storeFolder_;
    // FormCreate checks the dictionary is there and leaves reading its index to just after the
    // window's first paint, or to the first lookup if that comes sooner.
    bool storeWaiting_ = false;
    bool storeTimerSet_ = false;
};

// The main window while it exists.
extern TFmain* Fmain;

// The folder of the running executable, without a trailing separator: in the ANSI code page,
// and as UTF-8 (which holds any path).
std::string ExecutableFolder();
std::string ExecutableFolderUtf8();

} // namespace wl
