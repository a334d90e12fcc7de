// What a skinned form object needs of the control companions that paint its child controls,
// and how it finds them. The companions themselves live in a layer above this one; they derive
// from TSkinCompanion, and that layer registers the discovery functions below, so the form
// object never names a companion class.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

namespace wl {

class TControl;
class TWinSkinForm;

// Where a companion is in its life.
enum class TLifeState : unsigned char {
    Constructed,     // made, not attached
    Attached,
    Restored,        // gave its control its own look back and stays (a panel's colour)
    WindowDestroyed, // its window is gone: the form object only frees it
};

class TSkinCompanion {
public:
    virtual ~TSkinCompanion() = default;

    // The window of the control, 0 before it has one.
    virtual HWND Handle() const = 0;
    // The control object, nullptr for a plain child window.
    virtual TControl* Control() const = 0;
    virtual TLifeState LifeState() const = 0;
    // Gives the control back its own look and messages.
    virtual void Restore() = 0;
    // The skin was replaced: reload what was taken from it and repaint.
    virtual void SkinChanged() = 0;
    // Whether a message of the control is passing through the companion right now (then the
    // companion must not be freed or re-skinned).
    virtual bool InDispatch() const { return false; }
    // The companion leaves the owner that would free it (a control, for a companion owned by
    // its control) and is handed to the caller; null when no such owner has it (the list owns
    // it already, or another companion does).
    virtual std::unique_ptr<TSkinCompanion> ReleaseFromOwner() { return nullptr; }
};

// The companions of one form object, in the order they came. A companion of a control object
// is owned by that control (its component owner) and goes with it; the list keeps a reference
// that the companion takes out as it goes. A companion without a control (a bare window's, the
// discovery's watcher) is owned by the list. A helper companion is owned by the companion that
// made it (unique_ptr); the list only refers to it. When the form object lets go of a companion
// it is restored and then freed by the list when the list owns it or its control does (taken
// from the control first); a helper is left to its companion.
class TCompanionList {
public:
    TCompanionList() = default;
    TCompanionList(const TCompanionList&) = delete;
    TCompanionList& operator=(const TCompanionList&) = delete;

    const std::vector<TSkinCompanion*>& Items() const { return FItems; }
    // A reference to a companion owned elsewhere; whether it was listed already.
    bool Add(TSkinCompanion* companion);
    // A companion the list owns from now on (listed once, whether it was listed before or not).
    TSkinCompanion* Adopt(std::unique_ptr<TSkinCompanion> companion);
    // The companion goes: the list forgets it without freeing it.
    void Remove(TSkinCompanion* companion);
    // The newest companion of `window`, taken out of the list; the caller owns it.
    std::unique_ptr<TSkinCompanion> TakeNewest(HWND window);
    // Restores every companion whose window still exists and frees them all, first come first.
    void FreeAll();
    // Frees the companions whose window is gone.
    void Purge();

private:
    // The companion's owner hands it over: the list's own entry, or its control.
    std::unique_ptr<TSkinCompanion> Ownership(TSkinCompanion* companion);

    std::vector<TSkinCompanion*> FItems;
    std::vector<std::unique_ptr<TSkinCompanion>> FOwned;
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
