// Helpers for the window tests (see forms_support.h).
#include "forms_support.h"

#include "dict/meaning_encode.h"
#include "app/meaning_box.h"
#include "skin/data/skin_data.h"
#include "skin/forms/skin_manage.h"
#include "skin/forms/win_skin_form.h"
#include "support/capture.h"
#include "store/text.h"
#include "store/writer.h"
#include "support/gui.h"
#include "support/testdata.h"
#include "ui/strconv.h"

#include <ole2.h>

#include <filesystem>
#include <fstream>

namespace wl::test {

std::string Ansi(std::string_view utf8) { return Utf8ToAnsi(utf8); }
std::string Utf8(std::string_view ansi) { return AnsiToUtf8(ansi); }
std::string Stored(std::string_view utf8Meaning) { return EncodeMeaning(Ansi(utf8Meaning), kMeaningKey); }

std::string FolderWithFile(const std::string& name, const std::string& fileName, const std::string& bytes) {
    std::string folder = ArtifactDir() + "/dicts/" + name;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    std::ofstream(folder + "/" + fileName, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return folder;
}

std::string DictionaryFolder(const std::string& name, const DictRows& rows) {
    std::vector<store::WriterRow> r;
    // Words go through the ANSI code page and back so that texts GBK cannot hold fail here.
    for (const auto& [w, m] : rows) r.push_back({store::Utf8ToUtf16(w), store::Utf8ToUtf16(m)});
    return FolderWithFile(name, "words.mdb",
                          store::WriteJetTable("main", {{"word", false, 255}, {"mean", true, 0}}, r));
}

void RecordingSpeaker::Speak(const std::wstring& text, int flags) {
    log_.push_back({text, flags});
    OleCheck(failWith_);
}

namespace {
// COM for the speech service and the browsers, and the codec's message box, once per process.
void PrepareProcess() {
    static bool done = [] {
        OleInitialize(nullptr);
        ConnectMeaningMessageBox([] { return Application->Title(); });
        // As in the program: the windows wear the skin of the main window's component.
        TSkinManage::Register();
        Application->Initialize();
        return true;
    }();
    (void)done;
}
} // namespace

ProgramWindows::ProgramWindows(const std::string& folder, bool withPicture, bool realSpeech) {
    PrepareProcess();
    // The steps of the application's CreateForm, with the store folder set before FormCreate.
    std::unique_ptr<TFmain> main(new TFmain(Application));
    main->ReadDefinition();
    main->SetStoreFolder(folder);
    if (!realSpeech) main->SpVoice1->SetSpeaker(std::make_unique<RecordingSpeaker>(spoken));
    std::unique_ptr<TFPicture> picture;
    if (withPicture) {
        picture.reset(new TFPicture(Application));
        picture->ReadDefinition();
        picture->WebBrowser1->SetNavigator(&search);
        picture->WebBrowser2->SetNavigator(&information);
    }
    main_ = main.release();
    picture_ = picture.release();
    Application->SetMainForm(main_);
    main_->DoCreate();
    if (picture_) picture_->DoCreate();
    main_->Show();
    WaitPainted(main_->Handle());
}

ProgramWindows::~ProgramWindows() {
    // The program's order at its end: the skin manager first, then the forms.
    TSkinManagerLink::Destroy();
    delete picture_;
    delete main_;
    Application->SetMainForm(nullptr);
    Pump();
}

void ProgramWindows::Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quitRequested_ = true;
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool ProgramWindows::PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= timeoutMs) return done();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
        Pump();
    }
    return true;
}

bool ProgramWindows::WaitPainted(HWND window, DWORD timeoutMs) {
    // With no time left the general helper only looks; the pumping is ours, which notes a quit.
    return PumpUntil([&] { return test::WaitPainted(window, 0); }, timeoutMs);
}

bool ProgramWindows::QuitRequested() {
    Pump();
    return std::exchange(quitRequested_, false);
}

void ProgramWindows::Type(const std::string& ansi) { main_->Edit1->SetText(ansi); }

void ProgramWindows::Click(TButton* button) {
    SendMessageA(button->Handle(), BM_CLICK, 0, 0);
    Pump(); // what the click posted
}

void ProgramWindows::PressEnter() {
    HWND edit = main_->Edit1->Handle();
    SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    SendMessageA(edit, WM_CHAR, '\r', 0x001C0001);
    SendMessageA(edit, WM_KEYUP, VK_RETURN, 0xC01C0001);
    Pump(); // what the keys posted
}

std::string ProgramWindows::MemoUtf8() { return Utf8(main_->Memo1->Text()); }
std::string ProgramWindows::FieldUtf8() { return Utf8(main_->Edit1->Text()); }

int TitleTextInk(HWND window, RECT* box) {
    TSkinManage* manager = TSkinManage::Instance();
    TWinSkinForm* f = manager ? manager->FindForm(window) : nullptr;
    if (!f || !f->SkinData()) return -1;
    const RECT r = f->Frame().TitleTextRect();
    if (box) *box = r;
    const TSkinData& d = *f->SkinData();
    TColor colour = d.Title ? (f->Active() ? d.Title->ActiveText : d.Title->InActiveText) : clNone;
    if (colour == clNone) colour = f->Active() ? d.TitleTextActive : d.TitleTextNoActive;
    return TCapture::WindowDC(window).CountNear(r, ColorToRGB(colour), 48);
}

} // namespace wl::test
