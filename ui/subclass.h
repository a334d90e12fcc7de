// Owned subclassing of any window, the library's own or a foreign one (a message box, the edit
// and list of a combo box, a "#32768" menu window, a tooltip).
//
// A TWindowSubclass installs a handler in front of a window's procedure. All records of one
// window sit in one chain of the library's own: a single procedure of ours replaces the
// window's (SetWindowLongPtr), finds the chain through a window property and calls the records
// from the latest down to the replaced procedure, so any number of subclasses can be removed in
// any order. The handler passes messages on with CallPrevious; when the last record goes the
// replaced procedure is put back (unless another procedure has been installed on top of ours
// since: ours then stays as a pass-through until the window is destroyed). When the window is destroyed
// the record removes itself at WM_NCDESTROY and calls OnWindowDestroyed; freeing the record
// from inside its own handler (or from that notification) is safe: the part the window
// procedure still uses is freed once the message has unwound.
//
//     TWindowSubclass sub(hwnd, [&](TMessage& m) {
//         if (m.Msg == WM_NCPAINT) { PaintFrame(); return; }
//         sub.CallPrevious(m);
//     });
#pragma once

#include "ui/messages.h"

#include <functional>
#include <memory>

namespace wl {

class TWindowSubclass {
public:
    using Handler = std::function<void(TMessage&)>;

    TWindowSubclass() = default;
    // Subclasses `window` at once; Attached() tells whether that worked.
    TWindowSubclass(HWND window, Handler handler, std::function<void()> onWindowDestroyed = {});
    ~TWindowSubclass();
    TWindowSubclass(TWindowSubclass&& other) noexcept;
    TWindowSubclass& operator=(TWindowSubclass&& other) noexcept;
    TWindowSubclass(const TWindowSubclass&) = delete;
    TWindowSubclass& operator=(const TWindowSubclass&) = delete;

    bool Attach(HWND window, Handler handler, std::function<void()> onWindowDestroyed = {});
    // Removes the subclass (if the window still has it) and forgets the window.
    void Detach();
    bool Attached() const;
    // The window, also after it was destroyed (until Detach).
    HWND Window() const;
    // Inside the handler: hands the message to what lies beneath this subclass.
    void CallPrevious(TMessage& m) const;
    // Number of messages of this record being dispatched right now (nested sends count).
    int DispatchDepth() const;

private:
    struct Record;
    std::shared_ptr<Record> record_;
};

} // namespace wl
