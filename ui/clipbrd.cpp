// Plain-text clipboard access with an owner window and clear errors.
#include "ui/clipbrd.h"

#include "ui/graphics.h" // Win32ErrorText

#include <cstring>

namespace wl {

// Opens the clipboard for one operation and always closes it again. Another program may hold
// the clipboard for a moment, so opening is retried briefly before it is reported.
class TClipboard::Session {
public:
    explicit Session(HWND owner) {
        for (int attempt = 0; attempt < 10; ++attempt) {
            if (OpenClipboard(owner)) return;
            Sleep(10);
        }
        throw EClipboardException("Cannot open clipboard: " + Win32ErrorText(GetLastError()));
    }
    ~Session() { CloseClipboard(); }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
};

TClipboard::~TClipboard() {
    if (FOwner) DestroyWindow(FOwner);
}

HWND TClipboard::OwnerWindow() {
    if (!FOwner) {
        // The owner must be a real window: with a null owner EmptyClipboard leaves no owner and
        // SetClipboardData then fails on Windows.
        static const char kClass[] = "WordlarkClipboardOwner";
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kClass;
        RegisterClassA(&wc); // fails harmlessly when it is registered already
        FOwner = CreateWindowExA(0, kClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        if (!FOwner) throw EClipboardException("Cannot create clipboard window: " + Win32ErrorText(GetLastError()));
    }
    return FOwner;
}

std::string TClipboard::AsText() {
    Session session(OwnerWindow());
    HANDLE data = GetClipboardData(CF_TEXT);
    if (!data) return {};
    const char* text = static_cast<const char*>(GlobalLock(data));
    if (!text) return {};
    size_t size = GlobalSize(data);
    std::string result(text, strnlen(text, size));
    GlobalUnlock(data);
    return result;
}

void TClipboard::SetAsText(const std::string& text) {
    Session session(OwnerWindow());
    if (!EmptyClipboard()) throw EClipboardException("Cannot empty clipboard: " + Win32ErrorText(GetLastError()));
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (!memory) throw EClipboardException("Out of memory for the clipboard");
    char* p = static_cast<char*>(GlobalLock(memory));
    if (!p) {
        GlobalFree(memory);
        throw EClipboardException("Out of memory for the clipboard");
    }
    std::memcpy(p, text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    // On success the clipboard owns the memory; on failure it is still ours to free.
    if (!SetClipboardData(CF_TEXT, memory)) {
        DWORD error = GetLastError();
        GlobalFree(memory);
        throw EClipboardException("Cannot set clipboard data: " + Win32ErrorText(error));
    }
}

bool TClipboard::HasFormat(UINT format) const { return IsClipboardFormatAvailable(format) != FALSE; }

void TClipboard::Clear() {
    Session session(OwnerWindow());
    if (!EmptyClipboard()) throw EClipboardException("Cannot empty clipboard: " + Win32ErrorText(GetLastError()));
}

TClipboard& Clipboard() {
    static TClipboard clipboard;
    return clipboard;
}

} // namespace wl
