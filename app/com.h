// Small COM helpers for the speech and browser components: an owning interface pointer, an
// owning BSTR, the exception that carries a failed call's system text, and OLE started on
// first use. The program reaches ole32 and oleaut32 only by name, when speech or a browser view
// is first needed: a start that never speaks or shows pictures loads neither library.
#pragma once

#include "ui/sysutils.h"

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <utility>

namespace wl {

// A failed COM call: the message is the system's text for the HRESULT.
class EOleSysError : public Exception {
public:
    EOleSysError(const std::string& message, HRESULT code) : Exception(message), code_(code) {}
    HRESULT ErrorCode() const { return code_; }

private:
    HRESULT code_;
};

// The system's text for an HRESULT (ANSI code page), without the trailing line break.
std::string HResultText(HRESULT hr);

// Starts OLE on the calling (user-interface) thread once per process, before the first COM
// object is made. A start that fails is not reported here: creating the object then fails
// with the system's own error, which the caller reports as before.
void OleNeeded();
// Ends what OleNeeded started (program end); nothing when it never ran or failed.
void OleDone();
// CoCreateInstance and OleSetContainedObject of ole32, looked up by name; where ole32 cannot
// be loaded the creation fails with the loader's error.
HRESULT ComCreateInstance(REFCLSID clsid, DWORD context, REFIID iid, void** out);
HRESULT ComSetContainedObject(IUnknown* object, BOOL contained);

// Throws EOleSysError for a failed HRESULT.
inline void OleCheck(HRESULT hr) {
    if (FAILED(hr)) throw EOleSysError(HResultText(hr), hr);
}

template <class T> class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr& other) : p_(other.p_) {
        if (p_) p_->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(p_, other.p_);
        return *this;
    }
    ~ComPtr() { Reset(); }

    void Reset() {
        if (p_) std::exchange(p_, nullptr)->Release();
    }
    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For out-parameters: releases what is held and hands out the slot.
    T** Put() {
        Reset();
        return &p_;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }

    template <class U> HRESULT As(REFIID iid, ComPtr<U>& out) const {
        return p_ ? p_->QueryInterface(iid, out.PutVoid()) : E_POINTER;
    }

private:
    T* p_ = nullptr;
};

// The automation library that keeps BSTRs is loaded on the first string, not at start-up; a
// string that cannot be made is null, as when memory runs out.
class BStr {
public:
    explicit BStr(const std::wstring& text);
    ~BStr();
    BStr(const BStr&) = delete;
    BStr& operator=(const BStr&) = delete;
    BSTR Get() const { return s_; }

private:
    BSTR s_;
};

} // namespace wl
