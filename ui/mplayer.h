// The media player: a bar of nine buttons (play, pause, stop, next, previous, step, back,
// record, eject) that drives a device of the media control interface (MCI, winmm).
//
// The button layout is a window-free function (MediaPlayerButtonRects) so it can be tested
// without windows. Every failed MCI command raises EMCIDeviceError with the system's error text;
// a click whose command fails is reported by the application's error handler like any other
// exception in an event.
#pragma once

#include "ui/controls.h"

#include <string>
#include <vector>

namespace wl {

enum TMPBtnType { btPlay, btPause, btStop, btNext, btPrev, btStep, btBack, btRecord, btEject };
constexpr int kMPButtonCount = 9;
// A set of buttons: bit (1 << TMPBtnType).
using TButtonSet = unsigned;
constexpr TButtonSet kAllMPButtons = (1u << kMPButtonCount) - 1;
constexpr TButtonSet MPButtonBit(TMPBtnType b) {
    return 1u << b;
}

enum TMPModes { mpNotReady, mpStopped, mpPlaying, mpRecording, mpSeeking, mpPaused, mpOpen };
enum TMPDeviceTypes {
    dtAutoSelect,
    dtAVIVideo,
    dtCDAudio,
    dtDAT,
    dtDigitalVideo,
    dtMMMovie,
    dtOther,
    dtOverlay,
    dtScanner,
    dtSequencer,
    dtVCR,
    dtVideodisc,
    dtWaveAudio
};
enum TMPNotifyValues { nvSuccessful, nvSuperseded, nvAborted, nvFailure };

// A failed media command; the text is the system's description of the error.
class EMCIDeviceError : public Exception {
public:
    using Exception::Exception;
};

struct TMPButtonRect {
    TMPBtnType button;
    RECT rect;
};

// The visible buttons from left to right, side by side over the whole width: each gets
// width / count pixels and the first (width mod count) one pixel more, so they fill the bar.
std::vector<TMPButtonRect> MediaPlayerButtonRects(int width, int height, TButtonSet visible);
// The button at a point, or -1.
int MediaPlayerButtonAt(const std::vector<TMPButtonRect>& rects, int x, int y);
// The buttons that make sense in a device mode (used when AutoEnable is on). Nothing is
// enabled while no device is open.
TButtonSet MediaPlayerAutoButtons(bool open, TMPModes mode, bool canEject, bool canRecord);

using TMPBtnEvent = TEvent<TObject*, TMPBtnType, bool&>;
using TMPPostBtnEvent = TEvent<TObject*, TMPBtnType>;

class TMediaPlayer : public TCustomControl {
    WL_CLASS(TMediaPlayer, TCustomControl)
public:
    explicit TMediaPlayer(TComponent* owner);
    ~TMediaPlayer() override;

    const std::string& FileName() const { return fileName_; }
    void SetFileName(const std::string& name) { fileName_ = name; }
    TMPDeviceTypes DeviceType() const { return deviceType_; }
    void SetDeviceType(TMPDeviceTypes t) { deviceType_ = t; }
    bool AutoOpen() const { return autoOpen_; }
    void SetAutoOpen(bool on) { autoOpen_ = on; }
    bool AutoEnable() const { return autoEnable_; }
    void SetAutoEnable(bool on);
    bool AutoRewind() const { return autoRewind_; }
    void SetAutoRewind(bool on) { autoRewind_ = on; }
    bool Notify() const { return notify_; }
    void SetNotify(bool on) { notify_ = on; }
    bool Wait() const { return wait_; }
    void SetWait(bool on) { wait_ = on; }
    TButtonSet VisibleButtons() const { return visibleButtons_; }
    void SetVisibleButtons(TButtonSet set);
    TButtonSet EnabledButtons() const { return enabledButtons_; }
    void SetEnabledButtons(TButtonSet set);
    TButtonSet ColoredButtons() const { return coloredButtons_; }
    void SetColoredButtons(TButtonSet set);
    // The buttons that react to clicks now: EnabledButtons, or the mode's buttons when
    // AutoEnable is on; none while the control is disabled.
    TButtonSet ActiveButtons() const;

    // Device commands; each raises EMCIDeviceError on failure.
    void Open();
    void Close();
    void Play();
    void Pause();
    void Resume();
    void Stop();
    void Next();
    void Previous();
    void Step();
    void Back();
    void StartRecording();
    void Eject();
    bool IsOpen() const { return deviceId_ != 0; }
    unsigned DeviceID() const { return deviceId_; }
    TMPModes Mode() const;
    int Position() const;
    void SetPosition(int position);
    int Length() const;
    int Frames() const { return frames_; }
    void SetFrames(int n) { frames_ = n > 0 ? n : 1; }
    // The result of the last command (0 for success) and its text.
    unsigned Error() const { return error_; }
    std::string ErrorMessage() const;
    TMPNotifyValues NotifyValue() const { return notifyValue_; }

    // A button of the bar pressed as if by the mouse: OnClick, the default action, OnPostClick.
    void ClickButton(TMPBtnType button);
    void Loaded() override;

    TMPBtnEvent OnClick;
    TMPPostBtnEvent OnPostClick;
    TNotifyEvent OnNotify;

protected:
    void Paint() override;
    void WndProc(TMessage& msg) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    // Sends a command to the open device (or MCI_OPEN); raises on failure.
    void Send(UINT command, DWORD_PTR flags, void* params, bool needOpen = true);
    DWORD_PTR NotifyFlags();
    DWORD StatusItem(DWORD item) const;
    void DoDefault(TMPBtnType button);
    void PaintButton(HDC dc, const TMPButtonRect& b, bool enabled, bool pressed);

    std::string fileName_;
    TMPDeviceTypes deviceType_ = dtAutoSelect;
    bool autoOpen_ = false, autoEnable_ = true, autoRewind_ = true, notify_ = true, wait_ = false;
    TButtonSet visibleButtons_ = kAllMPButtons;
    TButtonSet enabledButtons_ = kAllMPButtons;
    TButtonSet coloredButtons_ = kAllMPButtons;
    unsigned deviceId_ = 0;
    unsigned error_ = 0;
    int frames_ = 1;
    bool canEject_ = false, canRecord_ = false;
    bool pausedOnce_ = false;
    TMPNotifyValues notifyValue_ = nvSuccessful;
    int downButton_ = -1;
    bool pressed_ = false;
};

} // namespace wl
