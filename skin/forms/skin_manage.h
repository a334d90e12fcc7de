// TSkinManage: the process-wide skin manager. A WH_CBT hook on the user-interface thread sees
// every window being created, activated and destroyed; each top-level window that passes the
// manager's tests gets a TWinSkinForm. Skin data components switch skinning on and off, or
// load another skin, by scheduling an action that the manager's timer carries out on every
// skinned window.
//
// Register() makes skin data components create this manager (through the link skin/data
// defines); a program that wants its windows skinned calls it before its first form is read.
#pragma once

#include "skin/data/skin_manager_link.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace wl {

class TCustomForm;
class TSkinData;
class TTimer;
class TObject;
class TBitmap;
class TWinSkinForm;
class TWinSkinPopMenu;

class TSkinManage : public TSkinManagerLink {
public:
    TSkinManage();
    ~TSkinManage() override;
    TSkinManage(const TSkinManage&) = delete;
    TSkinManage& operator=(const TSkinManage&) = delete;

    // Installs the factory; skin data components then create this manager.
    static void Register();
    // The manager when it is this kind, else nullptr.
    static TSkinManage* Instance();

    // ---- the link skin data components use ----
    void AddSkinData(TSkinData* data) override;
    void RemoveSkinData(TSkinData* data) override;
    void InstallHook() override;
    void Schedule(int action, int delayMs) override;
    bool SkinWindow(HWND window) override;
    void RefreshSkinData() override;
    void SkinDataReloading(TSkinData* data) override;
    void SkinDataReloaded(TSkinData* data) override;

    // ---- for the form skin objects ----
    TWinSkinForm* FindForm(HWND window) const;
    // The control object a form skin object skins is freeing its components: the object goes
    // now (it gives the window back before the window goes). Nothing for an object the manager
    // does not hold.
    void FreeForm(TWinSkinForm* form);
    void SetMaximizedChildren(bool on);

    // ---- popup menu windows ----
    // Attaches a popup skinner to a "#32768" window when the skin and the menu kind allow.
    void SkinPopupMenu(HWND window);
    // The window is going: its skinner lets go and is freed; whether there was one.
    bool PopupDestroyed(HWND window);
    // Gives `menu` to the popup window showing it, else to the newest popup without a menu.
    void AssignPopupMenu(HMENU menu);
    // The composed background of the popup window showing `menu`; null when there is none.
    TBitmap* PopupBackground(HMENU menu);
    const std::vector<std::unique_ptr<TWinSkinPopMenu>>& PopupMenus() const { return FPopupMenus; }

    // ---- the decision rules, usable on their own ----
    // Whether `window` would get a form skin object now (every test of SkinWindow, in order);
    // `reason` names the first test that failed.
    bool AcceptsWindow(HWND window, std::string* reason = nullptr);
    TSkinData* ChooseSkinData(HWND window) const;

    const std::vector<std::unique_ptr<TWinSkinForm>>& Forms() const { return FForms; }
    const std::vector<TSkinData*>& SkinDatas() const { return FSkinDatas; }
    TSkinData* MainSkinData() const { return FMainSkinData; }
    int PendingAction() const { return FPendingAction; }
    bool TimerEnabled() const;
    HHOOK Hook() const { return FHook; }
    // Runs the scheduled action now (what the timer does when it fires), unless the thread is
    // not quiet (see Quiet); then it stays pending for the next tick.
    void TimerTick(TObject* sender = nullptr);
    // No skinned window or companion is handling a message, and no modal, menu or move/size
    // loop runs on the thread: form objects and companions may be freed, attached or re-skinned.
    bool Quiet() const;
    void PurgeForms();

    bool Forced = false;
    int MenuKind = 0;
    bool MaximizedChildren = false;
    HWND MdiClient = nullptr;
    TCustomForm* MdiParent = nullptr;
    DWORD PlatformVersion = 0;

private:
    static LRESULT CALLBACK CbtHookProc(int code, WPARAM wParam, LPARAM lParam);
    void HookCreate(HWND window, const CBT_CREATEWNDA* create);
    bool AcceptWindow(HWND window, const std::string& className) const;
    void UnskinAndFree(TWinSkinForm* form);
    // Takes the object out of the list; null when the list does not hold it.
    std::unique_ptr<TWinSkinForm> TakeForm(TWinSkinForm* form);
    void ForgetSkinData(TSkinData* data);

    std::unique_ptr<TTimer> FTimer;
    HHOOK FHook = nullptr;
    // The form skin objects, owned here only; one that skins a control object is freed through
    // FreeForm when that control frees its components.
    std::vector<std::unique_ptr<TWinSkinForm>> FForms;
    std::vector<TSkinData*> FSkinDatas;
    std::vector<std::unique_ptr<TWinSkinPopMenu>> FPopupMenus;
    TSkinData* FMainSkinData = nullptr;
    int FPendingAction = 0;
};

} // namespace wl
