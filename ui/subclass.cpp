// Owned subclassing on the library's own per-window chain (see subclass.h).
#include "ui/subclass.h"

#include "ui/forms.h"
#include "ui/msgchain.h"

namespace wl {

namespace {

// The window property that finds a window's chain from its procedure.
const wchar_t kChainProperty[] = L"WlSubclassChain";

// The subclass records of one window: one procedure of ours installed in the window, the
// records as layers in front of it, and the procedure it replaced beneath them all.
class WindowChain : public std::enable_shared_from_this<WindowChain> {
public:
    using Layers = TLayerChain<TMessage>;

    explicit WindowChain(HWND window) : window_(window) {}
    WindowChain(const WindowChain&) = delete;
    WindowChain& operator=(const WindowChain&) = delete;

    // The window's chain, installed now when it has none; nullptr when the window cannot be
    // subclassed (a window of another process).
    static std::shared_ptr<WindowChain> Install(HWND window);

    [[nodiscard]] Layers::Layer Add(Layers::LayerHandler handler) { return layers_.Add(std::move(handler)); }
    // After a layer was removed: takes the chain out of the window once the last one has gone.
    void LayerRemoved();
    bool Installed() const { return installed_; }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void CallOriginal(TMessage& m) {
        m.Result = unicode_ ? CallWindowProcW(original_, window_, m.Msg, m.WParam, m.LParam)
                            : CallWindowProcA(original_, window_, m.Msg, m.WParam, m.LParam);
    }
    LONG_PTR CurrentProc() const {
        return unicode_ ? GetWindowLongPtrW(window_, GWLP_WNDPROC) : GetWindowLongPtrA(window_, GWLP_WNDPROC);
    }
    // Forgets the window; the chain is freed once the last message inside it has unwound.
    void Uninstall() {
        installed_ = false;
        RemovePropW(window_, kChainProperty);
        std::shared_ptr<WindowChain> last = std::move(self_);
    }

    HWND window_;
    WNDPROC original_ = nullptr;
    // Whether our procedure was installed as a Unicode one (see Install).
    bool unicode_ = true;
    bool installed_ = false;
    Layers layers_{[this](TMessage& m) { CallOriginal(m); }};
    // The window property holds a plain pointer; this keeps the chain while it is installed.
    std::shared_ptr<WindowChain> self_;
};

std::shared_ptr<WindowChain> WindowChain::Install(HWND window) {
    // The property of a window of another process would hold an address of that process.
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId()) return nullptr;
    if (auto* chain = static_cast<WindowChain*>(GetPropW(window, kChainProperty))) return chain->shared_from_this();
    auto chain = std::make_shared<WindowChain>(window);
    // The property goes first, so that our procedure finds the chain from its first message.
    if (!SetPropW(window, kChainProperty, chain.get())) return nullptr;
    // Our procedure takes the window's character set: a procedure set with SetWindowLongPtrW
    // makes the window a Unicode one (IsWindowUnicode, which the skin's companions read to pick
    // their A or W calls, would change, and every message an ANSI window gets would arrive
    // translated). Set with the same variant as the window's own, our procedure gets messages
    // in that set, and the procedure it replaces, read back through the same variant, is called
    // with the matching CallWindowProc; the system converts where the two sets differ.
    chain->unicode_ = IsWindowUnicode(window) != FALSE;
    SetLastError(0);
    const auto proc = reinterpret_cast<LONG_PTR>(&WindowChain::Proc);
    const LONG_PTR previous = chain->unicode_ ? SetWindowLongPtrW(window, GWLP_WNDPROC, proc)
                                              : SetWindowLongPtrA(window, GWLP_WNDPROC, proc);
    if (!previous && GetLastError() != 0) {
        RemovePropW(window, kChainProperty);
        return nullptr;
    }
    chain->original_ = reinterpret_cast<WNDPROC>(previous);
    chain->installed_ = true;
    chain->self_ = chain;
    return chain;
}

void WindowChain::LayerRemoved() {
    if (!installed_ || layers_.LayerCount() > 0) return;
    // Someone may have subclassed the window on top of us and will keep calling our procedure
    // as theirs to pass on to: putting the original back would cut them off, and when they
    // restore theirs they would put ours back. The chain then stays, empty, as a pass-through
    // to the original procedure until the window goes.
    if (CurrentProc() != reinterpret_cast<LONG_PTR>(&WindowChain::Proc)) return;
    const auto original = reinterpret_cast<LONG_PTR>(original_);
    if (unicode_) SetWindowLongPtrW(window_, GWLP_WNDPROC, original);
    else SetWindowLongPtrA(window_, GWLP_WNDPROC, original);
    Uninstall();
}

LRESULT CALLBACK WindowChain::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* chain = static_cast<WindowChain*>(GetPropW(hwnd, kChainProperty));
    if (!chain) return IsWindowUnicode(hwnd) ? DefWindowProcW(hwnd, msg, wParam, lParam)
                                             : DefWindowProcA(hwnd, msg, wParam, lParam);
    // The last record may let go of the chain (or the window be destroyed) during the message.
    std::shared_ptr<WindowChain> keep = chain->shared_from_this();
    TMessage m{msg, wParam, lParam, 0};
    chain->layers_.Dispatch(m);
    // WM_NCDESTROY is the window's last message and has been through every record (each passes
    // it on and removes itself) and the original procedure: the window has nothing left to
    // restore. The system drops the window's properties only after this message, so ours goes
    // here too.
    if (msg == WM_NCDESTROY && chain->installed_) chain->Uninstall();
    return m.Result;
}

} // namespace

struct TWindowSubclass::Record : std::enable_shared_from_this<Record> {
    using Previous = WindowChain::Layers::Previous;

    HWND window = nullptr;
    Handler handler;
    std::function<void()> onDestroyed;
    std::shared_ptr<WindowChain> chain;
    WindowChain::Layers::Layer layer;
    bool installed = false;
    bool passedOn = false; // the handler called CallPrevious for the current message
    // What lies beneath this record for the message being handled; it stays valid when the
    // record is removed during that message.
    const Previous* beneath = nullptr;
    std::shared_ptr<TDispatchState> dispatch = std::make_shared<TDispatchState>();

    ~Record() { Remove(); }

    void Remove() {
        if (!installed) return;
        installed = false;
        layer.Remove();
        chain->LayerRemoved();
    }

    void PassOn(TMessage& m) {
        passedOn = true;
        // The records beneath get a message of their own: what they change in it stays theirs.
        TMessage below{m.Msg, m.WParam, m.LParam, 0};
        if (beneath) (*beneath)(below);
        else if (installed) layer.CallPrevious(below);
        m.Result = below.Result;
    }

    void Invoke(TMessage& m, const Previous& previous) {
        // Holding the record here keeps it (and the handler that runs) alive when its owner
        // lets go of it during this message.
        std::shared_ptr<Record> self = shared_from_this();
        TDispatchState::Scope scope(dispatch);
        const UINT msg = m.Msg;
        const bool outerPassedOn = passedOn;
        const Previous* outerBeneath = beneath;
        passedOn = false;
        beneath = &previous;
        try {
            if (handler) handler(m);
            else PassOn(m);
        } catch (...) {
            if (Application) Application->HandleException(nullptr);
        }
        if (msg == WM_NCDESTROY) {
            // The window's own procedure must see its last message even when the handler kept
            // it or detached the record; the record then leaves the chain.
            if (!passedOn) PassOn(m);
            if (installed) {
                Remove();
                if (onDestroyed) {
                    try {
                        onDestroyed();
                    } catch (...) {
                        if (Application) Application->HandleException(nullptr);
                    }
                }
            }
        }
        passedOn = outerPassedOn;
        beneath = outerBeneath;
    }
};

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
    std::shared_ptr<WindowChain> chain = WindowChain::Install(window);
    if (!chain) return false;
    auto record = std::make_shared<Record>();
    record->window = window;
    record->handler = std::move(handler);
    record->onDestroyed = std::move(onWindowDestroyed);
    record->chain = chain;
    std::weak_ptr<Record> weak = record;
    record->layer = chain->Add([weak](TMessage& m, const Record::Previous& previous) {
        if (std::shared_ptr<Record> r = weak.lock()) r->Invoke(m, previous);
        else previous(m);
    });
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

bool TWindowSubclass::Attached() const { return record_ && record_->installed && record_->chain->Installed(); }

HWND TWindowSubclass::Window() const { return record_ ? record_->window : nullptr; }

void TWindowSubclass::CallPrevious(TMessage& m) const {
    if (record_) record_->PassOn(m);
}

int TWindowSubclass::DispatchDepth() const { return record_ ? record_->dispatch->Depth() : 0; }

} // namespace wl
