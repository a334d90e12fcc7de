// What a skinned form object needs of the control companions that paint its child controls,
// and how it finds them. The companions themselves live in a layer above this one; they derive
// from TSkinCompanion, and that layer registers the discovery functions below, so the form
// object never names a companion class.
#pragma once

#include <windows.h>

namespace wl {

class TControl;
class TWinSkinForm;

class TSkinCompanion {
public:
    virtual ~TSkinCompanion() = default;

    // The window of the control, 0 before it has one.
    virtual HWND Handle() const = 0;
    // The control object, nullptr for a plain child window.
    virtual TControl* Control() const = 0;
    // 6 once the control's window is destroyed (the form object then only frees the companion).
    virtual int LifeState() const = 0;
    // Gives the control back its own look and messages.
    virtual void Restore() = 0;
    // The skin was replaced: reload what was taken from it and repaint.
    virtual void SkinChanged() = 0;
    // Whether a message of the control is passing through the companion right now (then the
    // companion must not be freed or re-skinned).
    virtual bool InDispatch() const { return false; }
};

// Hooks the companion layer registers. Each is optional; an unset one finds nothing.
struct TControlDiscovery {
    // Full scan of a form object's controls (start and re-scan).
    void (*ScanForm)(TWinSkinForm& form) = nullptr;
    // Scan of a plain window's child windows.
    void (*ScanWindow)(TWinSkinForm& form) = nullptr;
    // One child window created while the form is skinned.
    void (*SkinChildWindow)(TWinSkinForm& form, HWND child) = nullptr;
    // A scroll-bar companion's control re-created its window: make a new companion for it,
    // of the same kind as `previous` (which is freed by the caller afterwards).
    void (*RecreateScroll)(TWinSkinForm& form, TSkinCompanion& previous) = nullptr;
};

void SetControlDiscovery(const TControlDiscovery& discovery);
const TControlDiscovery& ControlDiscovery();

} // namespace wl
