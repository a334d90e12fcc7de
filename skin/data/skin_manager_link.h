// What skin data components ask of the process-wide skin manager: join and leave, install its
// window hook, schedule a skin / unskin / re-skin action, skin one window now, refresh the
// forms of a reloaded skin. The manager itself (window hook, action timer, form skin objects)
// lives in the window layer above; it registers a factory here, and components reach it only
// through this interface. Without a registered factory a component still gets a manager that
// keeps the shared state, but no window is ever skinned.
#pragma once

#include <windows.h>

#include <memory>

namespace wl {

class TSkinData;

// Scheduled actions.
enum TSkinAction : int { skaSkinAll = 1, skaUnskinAll = 2, skaReskin = 3 };

// Where the manager is in its life. Idle: nothing has asked for skinning yet, a scheduled
// action is only remembered; Running: actions are carried out by the manager's timer; Ending:
// the manager is being destroyed and keeps its lists as they are while it lets go of them.
enum class TManagerPhase : unsigned char { Idle, Running, Ending };

class TSkinManagerLink {
public:
    virtual ~TSkinManagerLink() = default;

    // The one manager of the process: nothing until Create has run.
    static TSkinManagerLink* Instance();
    // Makes the manager through the registered factory; returns the existing one when there is.
    static TSkinManagerLink& Create();
    // Ends the process-wide manager (program end and tests).
    static void Destroy();
    using Factory = std::unique_ptr<TSkinManagerLink> (*)();
    static void SetFactory(Factory factory);

    virtual void AddSkinData(TSkinData* data) = 0;
    // Also forgets the component wherever the manager still names it.
    virtual void RemoveSkinData(TSkinData* data) = 0;
    virtual void InstallHook() = 0;
    virtual void Schedule(int action, int delayMs) = 0;
    // Skins one window with its component's skin; whether a form skin object was made.
    virtual bool SkinWindow(HWND window) = 0;
    // Re-reads PendingSkinData's skin into the forms skinned with it.
    virtual void RefreshSkinData() = 0;
    // The component is about to replace its skin records, and has replaced them: whatever
    // points into the records lets go before and is rebuilt after.
    virtual void SkinDataReloading(TSkinData* /*data*/) {}
    virtual void SkinDataReloaded(TSkinData* /*data*/) {}

    // ---- shared state ----
    TManagerPhase Phase() const { return FPhase; }
    bool Running() const { return FPhase == TManagerPhase::Running; }
    bool Ending() const { return FPhase == TManagerPhase::Ending; }
    // Idle becomes Running; an ending manager stays ending.
    void MarkRunning() {
        if (FPhase == TManagerPhase::Idle) FPhase = TManagerPhase::Running;
    }
    // A component that skins its own form (or a library's) started: counted, and the manager runs.
    void ComponentStarted() {
        ++FStartedComponents;
        MarkRunning();
    }
    int StartedComponents() const { return FStartedComponents; }

    // Whether new windows are skinned.
    bool Skinning() const { return FSkinning; }
    void SetSkinning(bool on) { FSkinning = on; }
    // The component whose scheduled action or reloaded skin is waiting.
    TSkinData* PendingSkinData() const { return FPendingSkinData; }
    void SetPendingSkinData(TSkinData* data) { FPendingSkinData = data; }

protected:
    // The manager's destructor, before it lets go of its windows.
    void BeginEnding() { FPhase = TManagerPhase::Ending; }

private:
    TManagerPhase FPhase = TManagerPhase::Idle;
    int FStartedComponents = 0;
    bool FSkinning = false;
    TSkinData* FPendingSkinData = nullptr;
};

} // namespace wl
