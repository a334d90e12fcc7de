// Functions of system libraries that only some actions need (printing, media devices,
// automation strings), looked up on first use: the program starts without loading those
// libraries, which saves their loading and initialisation on every start.
#pragma once

#include <windows.h>

namespace wl {

// The address of the export `name` of the system library `dll` (loaded from the system folder
// on first use and kept for the life of the process), or nullptr when either is missing.
FARPROC SystemProc(const wchar_t* dll, const char* name);

// SystemProc typed as the function it is; call it as `SystemFunction<decltype(::Name)>(...)`.
template <class F>
F* SystemFunction(const wchar_t* dll, const char* name) {
    // Through the generic function pointer type, which converts to any other without a warning.
    return reinterpret_cast<F*>(reinterpret_cast<void (*)()>(SystemProc(dll, name)));
}

} // namespace wl
