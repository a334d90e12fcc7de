// Owned subclassing through comctl32's subclass chain (see subclass.h).
#include "ui/subclass.h"

#include "ui/forms.h"
#include "ui/msgchain.h"

#include <commctrl.h>

namespace wl {

struct TWindowSubclass::Record : std::enable_shared_from_this<Record> {
    HWND window = nullptr;
    Handler handler;
    std::function<void()> onDestroyed;
    bool installed = false;
    bool passedOn = false; // the handler called CallPrevious for the current message
    std::shared_ptr<TDispatchState> dispatch = std::make_shared<TDispatchState>();

    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                 DWORD_PTR refData);
    void Remove() {
        if (installed) RemoveWindowSubclass(window, Proc, reinterpret_cast<UINT_PTR>(this));
        installed = false;
    }
};

LRESULT CALLBACK TWindowSubclass::Record::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                               DWORD_PTR refData) {
    // The reference data is the record; holding it here keeps it (and the handler that runs)
    // alive when its owner lets go of it during this message.
    std::shared_ptr<Record> self = reinterpret_cast<Record*>(refData)->shared_from_this();
    TDispatchState::Scope scope(self->dispatch);
    TMessage m{msg, wParam, lParam, 0};
    const bool outerPassedOn = self->passedOn;
    self->passedOn = false;
    try {
        if (self->handler) self->handler(m);
        else m.Result = DefSubclassProc(hwnd, msg, wParam, lParam);
    } catch (...) {
        if (Application) Application->HandleException(nullptr);
    }
    if (msg == WM_NCDESTROY) {
        // The window's own procedure must see its last message even when the handler kept it.
        if (!self->passedOn) m.Result = DefSubclassProc(hwnd, msg, wParam, lParam);
        if (self->installed) {
            self->Remove();
            if (self->onDestroyed) {
                try {
                    self->onDestroyed();
                } catch (...) {
                    if (Application) Application->HandleException(nullptr);
                }
            }
        }
    }
    self->passedOn = outerPassedOn;
    return m.Result;
}

TWindowSubclass::TWindowSubclass(HWND window, Handler handler, std::function<void()> onWindowDestroyed) {
    Attach(window, std::move(handler), std::move(onWindowDestroyed));
}

TWindowSubclass::~TWindowSubclass() { Detach(); }

TWindowSubclass::TWindowSubclass(TWindowSubclass&& other) noexcept : record_(std::move(other.record_)) {}

TWindowSubclass& TWindowSubclass::operator=(TWindowSubclass&& other) noexcept {
    if (this != &other) {
        Detach();
        record_ = std::move(other.record_);
    }
    return *this;
}

bool TWindowSubclass::Attach(HWND window, Handler handler, std::function<void()> onWindowDestroyed) {
    Detach();
    if (!IsWindow(window)) return false;
    auto record = std::make_shared<Record>();
    record->window = window;
    record->handler = std::move(handler);
    record->onDestroyed = std::move(onWindowDestroyed);
    if (!SetWindowSubclass(window, Record::Proc, reinterpret_cast<UINT_PTR>(record.get()),
                           reinterpret_cast<DWORD_PTR>(record.get())))
        return false;
    record->installed = true;
    record_ = std::move(record);
    return true;
}

void TWindowSubclass::Detach() {
    if (!record_) return;
    record_->Remove();
    // A message still inside the handler holds its own reference to the record, so the record
    // and the handler that is running are freed only when that message has unwound.
    record_.reset();
}

bool TWindowSubclass::Attached() const { return record_ && record_->installed; }

HWND TWindowSubclass::Window() const { return record_ ? record_->window : nullptr; }

void TWindowSubclass::CallPrevious(TMessage& m) const {
    if (!record_) return;
    record_->passedOn = true;
    m.Result = DefSubclassProc(record_->window, m.Msg, m.WParam, m.LParam);
}

int TWindowSubclass::DispatchDepth() const { return record_ ? record_->dispatch->Depth() : 0; }

} // namespace wl
