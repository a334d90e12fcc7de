// The main window's handlers (see fmain.h).
#include "app/fmain.h"

#include "app/fpicture.h"
#include "dict/store_words.h"
#include "app/speech_text.h"
#include "ui/clipbrd.h"
#include "ui/printers.h"
#include "ui/strconv.h"

#include <windows.h>

namespace wl {

TFmain* Fmain = nullptr;

namespace {

// Texts of the window (UTF-8; shown in the ANSI code page).
constexpr std::string_view kProgramTitle = "Wordlark";
constexpr std::string_view kMissingStoreText = "找不到词典数据库，程序启动失败！";
constexpr std::string_view kKeywordHint = "输入英文单词查意思,输入汉语查同义英文.";
constexpr std::string_view kNoPictureKeywordText = "请先输入查询图片关键字！";

// The one-shot timer that opens the dictionary once the window has painted: a timer message
// comes only when no paint is pending, so the window is in sight before the index is read.
constexpr UINT_PTR kOpenStoreTimer = 1;

// The resolution the window was laid out for; printing scales from it to the printer's.
constexpr int kDesignPixelsPerInch = 96;

bool IsAnsiLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

bool FileExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void ShowMessageBox(HWND owner, std::string_view utf8Text) {
    MessageBoxA(owner, Utf8ToAnsi(utf8Text).c_str(), Application->Title().c_str(), MB_OK);
}

} // namespace

WL_DEFINE_CLASS(TFmain, [](ClassBuilder<TFmain>& c) {
    c.Field("BExit", &TFmain::BExit);
    c.Field("BCopy", &TFmain::BCopy);
    c.Field("BSpeak", &TFmain::BSpeak);
    c.Field("BPrint", &TFmain::BPrint);
    c.Field("Edit1", &TFmain::Edit1);
    c.Field("Memo1", &TFmain::Memo1);
    c.Field("Bsearch", &TFmain::Bsearch);
    c.Field("BPicture", &TFmain::BPicture);
    c.Field("ADOTable1", &TFmain::ADOTable1);
    c.Field("SpVoice1", &TFmain::SpVoice1);
    c.Field("SkinData1", &TFmain::SkinData1);
    c.Method("FormCreate", &TFmain::FormCreate);
    c.Method("BsearchClick", &TFmain::BsearchClick);
    c.Method("Edit1KeyPress", &TFmain::Edit1KeyPress);
    c.Method("Edit1Click", &TFmain::Edit1Click);
    c.Method("Edit1Exit", &TFmain::Edit1Exit);
    c.Method("BCopyClick", &TFmain::BCopyClick);
    c.Method("BPrintClick", &TFmain::BPrintClick);
    c.Method("BExitClick", &TFmain::BExitClick);
    c.Method("BSpeakClick", &TFmain::BSpeakClick);
    c.Method("BPictureClick", &TFmain::BPictureClick);
})

std::string ExecutableFolder() {
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, n);
    size_t slash = folder.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : folder.substr(0, slash);
}

std::string ExecutableFolderUtf8() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2); // a long path was cut short
    }
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::string() : WideToUtf8(path.substr(0, slash));
}

TFmain::TFmain(TComponent* owner) : TForm(owner), storeFolder_(ExecutableFolder()) {
    Fmain = this;
    // The window's icon is the program's icon resource (five images, 128 down to 32 pixels).
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (FindResourceA(instance, "MAINICON", reinterpret_cast<LPCSTR>(RT_GROUP_ICON)))
        Icon().LoadFromResourceName(instance, "MAINICON");
}

TFmain::~TFmain() {
    if (Fmain == this) Fmain = nullptr;
}

void TFmain::FormCreate(TObject*) {
    if (!Icon().Empty()) {
        Application->Icon().SetHandle(CopyIcon(Icon().Handle()));
        Application->IconChanged();
    }
    Application->SetTitle(std::string(kProgramTitle));
    // Top-right corner of the primary screen; the stored position is overridden.
    SetBounds(Screen->Width() - Width(), 1, Width(), Height());

    std::string path = storeFolder_ + "\\words.mdb";
    if (!FileExists(path)) {
        ShowMessageBox(nullptr, kMissingStoreText);
        Application->Terminate();
        return;
    }
    ADOTable1->SetConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path +
                                   ";Persist Security Info=False");
    ADOTable1->SetTableName("main");
    storeWaiting_ = true;
}

void TFmain::OpenStore() {
    if (!storeWaiting_) return;
    storeWaiting_ = false;
    try {
        ADOTable1->Open();
    } catch (...) {
        // As when the window was created: the store's error is reported, the table stays
        // closed, and lookups then report the closed table.
        Application->HandleException(this);
    }
}

void TFmain::WndProc(TMessage& msg) {
    if (msg.Msg == WM_TIMER && msg.WParam == kOpenStoreTimer) {
        KillTimer(HandleValue(), kOpenStoreTimer);
        OpenStore();
        msg.Result = 0;
        return;
    }
    TForm::WndProc(msg);
    if (msg.Msg == WM_PAINT && storeWaiting_ && !storeTimerSet_ && HandleAllocated())
        storeTimerSet_ = SetTimer(HandleValue(), kOpenStoreTimer, 0, nullptr) != 0;
}

void TFmain::LookUp() {
    std::string text = Edit1->Text();
    if (text.empty()) return;
    OpenStore();
    // The trimmed keyword is written back before the table is touched, so it stays trimmed
    // even when the table then fails.
    Edit1->SetText(Trim(text));
    LookupResult result = LookUpWord(text, ADOTable1->Table());
    if (result.kind == LookupResult::Kind::NotFound) {
        Memo1->SetText(Utf8ToAnsi(kNotFoundText));
        return;
    }
    if (result.kind != LookupResult::Kind::Found) return;
    Memo1->SetText(result.meaning);
    SpeakMeaning(Trim(Memo1->Text()));
}

void TFmain::BsearchClick(TObject*) { LookUp(); }

void TFmain::Edit1KeyPress(TObject*, char& key) {
    // The key is left as it is: Enter still reaches the field after the lookup.
    if (key == '\r') LookUp();
}

void TFmain::Edit1Click(TObject*) {
    Edit1->SetHint(Utf8ToAnsi(kKeywordHint));
    Edit1->SetShowHint(true);
}

void TFmain::Edit1Exit(TObject*) { Edit1->SetShowHint(false); }

void TFmain::BCopyClick(TObject*) {
    Memo1->SelectAll();
    Clipboard().SetAsText(Memo1->SelText());
}

void TFmain::BPrintClick(TObject*) {
    std::unique_ptr<TBitmap> image = GetFormImage();
    TPrinter& printer = Printer();
    printer.BeginDoc(Caption());
    try {
        // The image keeps its physical size: screen pixels at the design resolution become
        // printer dots at the printer's resolution.
        RECT area{0, 0, MulDiv(image->Width(), printer.XDpi(), kDesignPixelsPerInch),
                  MulDiv(image->Height(), printer.YDpi(), kDesignPixelsPerInch)};
        printer.Canvas().StretchDraw(area, *image);
        printer.EndDoc();
    } catch (...) {
        if (printer.Printing()) printer.Abort();
        throw;
    }
}

void TFmain::BExitClick(TObject*) { Close(); }

void TFmain::BSpeakClick(TObject*) {
    std::string keyword = Edit1->Text();
    if (keyword.empty()) return;
    SpVoice1->Speak(KeywordSpeechText(keyword), kSpeakAsync);
}

void TFmain::SpeakMeaning(const std::string& text) {
    SpVoice1->Speak(MeaningSpeechText(text, IsAnsiLeadByte), kSpeakAsync);
}

void TFmain::BPictureClick(TObject*) {
    std::string text = Edit1->Text();
    if (text.empty()) {
        ShowMessageBox(Handle(), kNoPictureKeywordText);
        Edit1->SetFocus();
        return;
    }
    Edit1->SetText(Trim(text));
    if (FPicture) FPicture->ShowOrBringToFront();
}

} // namespace wl
