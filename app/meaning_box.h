// Connects the meaning codec's message to a real message box (Windows build).
#pragma once

#include <functional>
#include <string>

namespace wl {

// From now on the codec's message is shown in a modal message box with one OK button, captioned
// with the text `title` returns (in the ANSI code page) when the box is shown.
void ConnectMeaningMessageBox(std::function<std::string()> title);

} // namespace wl
