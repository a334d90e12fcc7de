// The process-wide skin manager as far as skin data components use it: the components it
// knows, its main skin, its flags and counts, and the actions scheduled on it. Windows are not
// skinned yet: hooking, the action timer and window skinning come with the window layer, which
// will act on exactly the state kept here.
#pragma once

#include <windows.h>

#include <vector>

namespace wl {

class TSkinData;

// Scheduled actions.
enum TSkinAction : int { skaSkinAll = 1, skaUnskinAll = 2, skaReskin = 3 };

class TSkinManage {
public:
    // The one manager of the process: nothing until Create has run.
    static TSkinManage* Instance();
    static TSkinManage& Create(); // returns the existing one when there is one
    // Ends the process-wide manager (program end and tests).
    static void Destroy();

    // Components in the order they joined; the first main-form component becomes MainData.
    void AddSkinData(TSkinData* data);
    void RemoveSkinData(TSkinData* data);
    const std::vector<TSkinData*>& SkinDataList() const { return FSkinData; }
    TSkinData* MainData() const { return FMainData; }

    void InstallHook() { FHookInstalled = true; }
    bool HookInstalled() const { return FHookInstalled; }

    struct TScheduled {
        int Action;
        int DelayMs;
        TSkinData* Data; // PendingSkinData when it was scheduled
    };
    void Schedule(int action, int delayMs);
    const std::vector<TScheduled>& ScheduledActions() const { return FScheduled; }

    // Asks for one window to be skinned with its component's skin (recorded until the window
    // layer exists).
    void SkinWindow(HWND window) { FSkinWindowRequests.push_back(window); }
    const std::vector<HWND>& SkinWindowRequests() const { return FSkinWindowRequests; }

    // Re-reads PendingSkinData's skin into the forms skinned with it.
    void RefreshSkinData() { ++FRefreshCount; }
    int RefreshCount() const { return FRefreshCount; }

    bool Skinning = false;
    int Started = 0;
    TSkinData* PendingSkinData = nullptr;

private:
    TSkinManage() = default;
    std::vector<TSkinData*> FSkinData;
    TSkinData* FMainData = nullptr;
    bool FHookInstalled = false;
    std::vector<TScheduled> FScheduled;
    std::vector<HWND> FSkinWindowRequests;
    int FRefreshCount = 0;
};

} // namespace wl
