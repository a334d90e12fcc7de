// Catches the message boxes that code under test shows, so GUI tests can assert on their texts
// without blocking: while a MessageBoxCatcher lives, every dialog box activated on this thread
// is recorded (caption and text, as UTF-8) and answered by pressing a button.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace wl::test {

struct CaughtBox {
    std::string caption; // UTF-8
    std::string text;    // UTF-8
};

class MessageBoxCatcher {
public:
    explicit MessageBoxCatcher(int answer = IDOK);
    ~MessageBoxCatcher();
    MessageBoxCatcher(const MessageBoxCatcher&) = delete;
    MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;

    const std::vector<CaughtBox>& Boxes() const { return boxes_; }
    void Clear() { boxes_.clear(); }

private:
    static LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam);
    void Catch(HWND dialog);

    HHOOK hook_ = nullptr;
    int answer_;
    std::vector<CaughtBox> boxes_;
    MessageBoxCatcher* previous_ = nullptr;
};

// Reads caption and text of a message box window (UTF-8).
CaughtBox ReadMessageBox(HWND dialog);

// For boxes of another process (a program started by the test): waits up to `timeoutMs` for a
// dialog box of process `pid` to appear, records it, presses its OK button and returns true.
bool DismissMessageBoxOf(DWORD pid, DWORD timeoutMs, CaughtBox& box);

} // namespace wl::test
