// Shows the meaning codec's message in a message box (see meaning_box.h).
#include "app/meaning_box.h"

#include "dict/meaning.h"
#include "ui/strconv.h"

#include <windows.h>

namespace wl {

void ConnectMeaningMessageBox(std::function<std::string()> title) {
    SetMeaningMessageSink([title = std::move(title)](std::string_view text) {
        std::wstring caption = title ? AnsiToWide(title()) : std::wstring();
        MessageBoxW(GetActiveWindow(), Utf8ToWide(text).c_str(), caption.c_str(), MB_OK);
    });
}

} // namespace wl
