// The clipboard as the program uses it: plain text in the ANSI code page (CF_TEXT).
// The clipboard is opened only for the duration of each call; a hidden message-only window of
// this object owns what it puts there.
#pragma once

#include "ui/sysutils.h"

#include <windows.h>

#include <string>

namespace wl {

// The clipboard could not be opened or written.
class EClipboardException : public Exception {
public:
    using Exception::Exception;
};

class TClipboard {
public:
    TClipboard() = default;
    ~TClipboard();
    TClipboard(const TClipboard&) = delete;
    TClipboard& operator=(const TClipboard&) = delete;

    // The text on the clipboard ("" when there is none); stops at the first zero byte and never
    // reads past the data block, even if it lacks the terminating zero.
    std::string AsText();
    // Replaces everything on the clipboard with the text. Throws EClipboardException.
    void SetAsText(const std::string& text);
    bool HasFormat(UINT format) const;
    // Empties the clipboard. Throws EClipboardException.
    void Clear();

    // The window that owns what this object put on the clipboard (created on first use).
    HWND OwnerWindow();

private:
    class Session;
    HWND FOwner = nullptr;
};

// The program's clipboard object.
TClipboard& Clipboard();

} // namespace wl
