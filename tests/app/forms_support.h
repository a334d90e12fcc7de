// Helpers for tests that drive the program's real windows in this process: dictionaries
// written with the store writer into a folder of their own, the main window created the way
// the program creates it (pointed at that folder), and recording doubles standing in for the
// speech service and the browser views.
#pragma once

#include "app/fmain.h"
#include "app/fpicture.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace wl::test {

// (word, stored mean) rows, UTF-8.
using DictRows = std::vector<std::pair<std::string, std::string>>;

// Text in the ANSI code page from UTF-8, and back.
std::string Ansi(std::string_view utf8);
std::string Utf8(std::string_view ansi);
// A meaning as the dictionary stores it (UTF-8 plain text in, hex digits out).
std::string Stored(std::string_view utf8Meaning);

// A fresh folder under the artifacts holding words.mdb with `rows` (or the raw `bytes`).
std::string DictionaryFolder(const std::string& name, const DictRows& rows);
std::string FolderWithFile(const std::string& name, const std::string& fileName, const std::string& bytes);

// Pixels of the skin's title text colour (for the window's active state) inside the box its
// skinned frame gave the window text, read through the window DC; -1 when the window is not
// skinned. `box` receives that box (window coordinates).
int TitleTextInk(HWND window, RECT* box = nullptr);

struct SpokenRequest {
    std::wstring text;
    int flags;
};

class RecordingSpeaker : public ISpeaker {
public:
    explicit RecordingSpeaker(std::vector<SpokenRequest>& log, HRESULT failWith = S_OK)
        : log_(log), failWith_(failWith) {}
    void Speak(const std::wstring& text, int flags) override;

private:
    std::vector<SpokenRequest>& log_;
    HRESULT failWith_;
};

class RecordingNavigator : public INavigator {
public:
    void Navigate(const std::wstring& address) override { addresses.push_back(address); }
    std::vector<std::wstring> addresses;
};

// The main window (and optionally the picture window) as the program builds them, the store
// read from `folder`. Speech goes to `spoken` unless `realSpeech`. Frees both windows at the end
// and swallows the quit request that closing the main window posts.
class ProgramWindows {
public:
    explicit ProgramWindows(const std::string& folder, bool withPicture = false, bool realSpeech = false);
    ~ProgramWindows();
    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    TFmain& Main() { return *main_; }
    TFPicture& Picture() { return *picture_; }
    std::vector<SpokenRequest> spoken;
    RecordingNavigator search;      // WebBrowser1
    RecordingNavigator information; // WebBrowser2

    // Sets the keyword field (ANSI text) and presses the button / Enter through real messages.
    void Type(const std::string& ansi);
    void Click(TButton* button);
    void PressEnter();
    std::string MemoUtf8();
    std::string FieldUtf8();
    // Handles this thread's pending messages, noting a quit request.
    void Pump();
    // Handles this thread's messages until `done` holds or `timeoutMs` passes, noting a quit
    // request; returns done().
    bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 2000);
    // Waits until the window shows with nothing left to paint, noting a quit request.
    bool WaitPainted(HWND window, DWORD timeoutMs = 2000);
    // Whether the program asked to end since the last call.
    bool QuitRequested();

private:
    bool quitRequested_ = false;
    TFmain* main_ = nullptr;
    TFPicture* picture_ = nullptr;
};

} // namespace wl::test
