// The media player bar and its MCI device (see mplayer.h).
#include "ui/mplayer.h"

#include "ui/graphics_handles.h"
#include "ui/system_proc.h"

#include <mmsystem.h>

#include <algorithm>

namespace wl {

// ---- geometry ----------------------------------------------------------------------------------

std::vector<TMPButtonRect> MediaPlayerButtonRects(int width, int height, TButtonSet visible) {
    std::vector<TMPButtonRect> rects;
    int count = 0;
    for (int b = 0; b < kMPButtonCount; ++b)
        if (visible & (1u << b)) ++count;
    if (count == 0 || width <= 0 || height <= 0) return rects;
    int base = width / count, extra = width % count, x = 0;
    for (int b = 0; b < kMPButtonCount; ++b) {
        if (!(visible & (1u << b))) continue;
        int w = base + (extra > 0 ? 1 : 0);
        if (extra > 0) --extra;
        rects.push_back({static_cast<TMPBtnType>(b), RECT{x, 0, x + w, height}});
        x += w;
    }
    return rects;
}

int MediaPlayerButtonAt(const std::vector<TMPButtonRect>& rects, int x, int y) {
    for (const auto& r : rects) {
        POINT p{x, y};
        if (r.rect.right > r.rect.left && PtInRect(&r.rect, p)) return r.button;
    }
    return -1;
}

TButtonSet MediaPlayerAutoButtons(bool open, TMPModes mode, bool canEject, bool canRecord) {
    if (!open) return 0;
    TButtonSet set = MPButtonBit(btNext) | MPButtonBit(btPrev);
    if (canEject) set |= MPButtonBit(btEject);
    switch (mode) {
    case mpPlaying:
        set |= MPButtonBit(btPause) | MPButtonBit(btStop);
        break;
    case mpRecording:
        set |= MPButtonBit(btPause) | MPButtonBit(btStop);
        break;
    case mpPaused:
        set |= MPButtonBit(btPlay) | MPButtonBit(btPause) | MPButtonBit(btStop) |
               MPButtonBit(btStep) | MPButtonBit(btBack);
        break;
    case mpStopped:
    case mpSeeking:
    case mpOpen:
        set |= MPButtonBit(btPlay) | MPButtonBit(btStep) | MPButtonBit(btBack);
        if (canRecord) set |= MPButtonBit(btRecord);
        break;
    case mpNotReady:
        break;
    }
    return set;
}

// ---- TMediaPlayer ------------------------------------------------------------------------------

namespace {
const std::initializer_list<TEnumMember> kButtons = {
    {"btPlay", 1 << btPlay}, {"btPause", 1 << btPause},   {"btStop", 1 << btStop},
    {"btNext", 1 << btNext}, {"btPrev", 1 << btPrev},     {"btStep", 1 << btStep},
    {"btBack", 1 << btBack}, {"btRecord", 1 << btRecord}, {"btEject", 1 << btEject}};

// MCI device type names, in the order of TMPDeviceTypes (dtAutoSelect: from the file).
const char* const kDeviceNames[] = {"",        "AVIVideo",  "CDAudio",  "DAT",     "DigitalVideo",
                                    "MMMovie", "Other",     "Overlay",  "Scanner", "Sequencer",
                                    "VCR",     "Videodisc", "WaveAudio"};

// The media control interface's library is loaded when a device is first used, not at start-up.
MCIERROR MciSendCommand(MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR params) {
    static auto* const send = SystemFunction<decltype(::mciSendCommandA)>(L"winmm.dll", "mciSendCommandA");
    return send ? send(device, message, flags, params) : MCIERR_CANNOT_LOAD_DRIVER;
}

BOOL MciGetErrorString(MCIERROR code, char* text, UINT size) {
    static auto* const get = SystemFunction<decltype(::mciGetErrorStringA)>(L"winmm.dll", "mciGetErrorStringA");
    return get ? get(code, text, size) : FALSE;
}

std::string MciErrorText(MCIERROR code) {
    char text[256] = {};
    if (!MciGetErrorString(code, text, sizeof text) || !text[0])
        return "Media device error " + std::to_string(code);
    return text;
}
} // namespace

WL_DEFINE_CLASS(TMediaPlayer, [](ClassBuilder<TMediaPlayer>& c) {
    c.Str("FileName", &TMediaPlayer::FileName, &TMediaPlayer::SetFileName);
    c.Enum("DeviceType", &TMediaPlayer::DeviceType, &TMediaPlayer::SetDeviceType,
           {{"dtAutoSelect", dtAutoSelect},
            {"dtAVIVideo", dtAVIVideo},
            {"dtCDAudio", dtCDAudio},
            {"dtDAT", dtDAT},
            {"dtDigitalVideo", dtDigitalVideo},
            {"dtMMMovie", dtMMMovie},
            {"dtOther", dtOther},
            {"dtOverlay", dtOverlay},
            {"dtScanner", dtScanner},
            {"dtSequencer", dtSequencer},
            {"dtVCR", dtVCR},
            {"dtVideodisc", dtVideodisc},
            {"dtWaveAudio", dtWaveAudio}});
    c.Bool("AutoOpen", &TMediaPlayer::AutoOpen, &TMediaPlayer::SetAutoOpen);
    c.Bool("AutoEnable", &TMediaPlayer::AutoEnable, &TMediaPlayer::SetAutoEnable);
    c.Bool("AutoRewind", &TMediaPlayer::AutoRewind, &TMediaPlayer::SetAutoRewind);
    c.Set("VisibleButtons", &TMediaPlayer::VisibleButtons, &TMediaPlayer::SetVisibleButtons,
          kButtons);
    c.Set("EnabledButtons", &TMediaPlayer::EnabledButtons, &TMediaPlayer::SetEnabledButtons,
          kButtons);
    c.Set("ColoredButtons", &TMediaPlayer::ColoredButtons, &TMediaPlayer::SetColoredButtons,
          kButtons);
    c.Event("OnClick", &TMediaPlayer::OnClick);
    c.Event("OnPostClick", &TMediaPlayer::OnPostClick);
    c.Event("OnNotify", &TMediaPlayer::OnNotify);
})

TMediaPlayer::TMediaPlayer(TComponent* owner) : TCustomControl(owner) {
    clickOnMouseUp_ = false;
    SetBounds(0, 0, 253, 30);
}

TMediaPlayer::~TMediaPlayer() {
    if (deviceId_) {
        // Closing must not raise from a destructor.
        MciSendCommand(deviceId_, MCI_CLOSE, 0, 0);
        deviceId_ = 0;
    }
}

void TMediaPlayer::SetAutoEnable(bool on) {
    autoEnable_ = on;
    Invalidate();
}
void TMediaPlayer::SetVisibleButtons(TButtonSet set) {
    visibleButtons_ = set & kAllMPButtons;
    Invalidate();
}
void TMediaPlayer::SetEnabledButtons(TButtonSet set) {
    enabledButtons_ = set & kAllMPButtons;
    Invalidate();
}
void TMediaPlayer::SetColoredButtons(TButtonSet set) {
    coloredButtons_ = set & kAllMPButtons;
    Invalidate();
}

TButtonSet TMediaPlayer::ActiveButtons() const {
    if (!Enabled()) return 0;
    if (autoEnable_)
        return MediaPlayerAutoButtons(IsOpen(), IsOpen() ? Mode() : mpNotReady, canEject_,
                                      canRecord_);
    return enabledButtons_;
}

void TMediaPlayer::Send(UINT command, DWORD_PTR flags, void* params, bool needOpen) {
    if (needOpen && !deviceId_) {
        error_ = MCIERR_INVALID_DEVICE_ID;
        throw EMCIDeviceError(MciErrorText(error_));
    }
    error_ = MciSendCommand(deviceId_, command, flags, reinterpret_cast<DWORD_PTR>(params));
    if (error_) throw EMCIDeviceError(MciErrorText(error_));
}

DWORD_PTR TMediaPlayer::NotifyFlags() {
    DWORD_PTR flags = 0;
    if (notify_ && HandleAllocated()) flags |= MCI_NOTIFY;
    if (wait_) flags |= MCI_WAIT;
    return flags;
}

std::string TMediaPlayer::ErrorMessage() const {
    return error_ ? MciErrorText(error_) : std::string();
}

void TMediaPlayer::Open() {
    if (deviceId_) Close();
    MCI_OPEN_PARMSA open{};
    DWORD_PTR flags = MCI_WAIT;
    open.dwCallback = HandleAllocated() ? reinterpret_cast<DWORD_PTR>(HandleValue()) : 0;
    if (deviceType_ != dtAutoSelect) {
        open.lpstrDeviceType = kDeviceNames[deviceType_];
        flags |= MCI_OPEN_TYPE;
    }
    if (!fileName_.empty()) {
        open.lpstrElementName = fileName_.c_str();
        flags |= MCI_OPEN_ELEMENT;
    }
    if (!(flags & (MCI_OPEN_TYPE | MCI_OPEN_ELEMENT))) {
        error_ = MCIERR_NO_ELEMENT_ALLOWED;
        throw EMCIDeviceError("No file name or device type to open");
    }
    flags |= MCI_OPEN_SHAREABLE;
    MCIERROR err = MciSendCommand(0, MCI_OPEN, flags, reinterpret_cast<DWORD_PTR>(&open));
    if (err) {
        // Some devices cannot be shared: try once more for exclusive use.
        flags &= ~static_cast<DWORD_PTR>(MCI_OPEN_SHAREABLE);
        err = MciSendCommand(0, MCI_OPEN, flags, reinterpret_cast<DWORD_PTR>(&open));
    }
    error_ = err;
    if (err) throw EMCIDeviceError(MciErrorText(err));
    deviceId_ = open.wDeviceID;
    MCI_SET_PARMS set{};
    set.dwTimeFormat = MCI_FORMAT_MILLISECONDS;
    MciSendCommand(deviceId_, MCI_SET, MCI_SET_TIME_FORMAT, reinterpret_cast<DWORD_PTR>(&set));
    MCI_GETDEVCAPS_PARMS caps{};
    caps.dwItem = MCI_GETDEVCAPS_CAN_EJECT;
    canEject_ = !MciSendCommand(deviceId_, MCI_GETDEVCAPS, MCI_GETDEVCAPS_ITEM,
                                 reinterpret_cast<DWORD_PTR>(&caps)) &&
                caps.dwReturn;
    caps.dwItem = MCI_GETDEVCAPS_CAN_RECORD;
    canRecord_ = !MciSendCommand(deviceId_, MCI_GETDEVCAPS, MCI_GETDEVCAPS_ITEM,
                                  reinterpret_cast<DWORD_PTR>(&caps)) &&
                 caps.dwReturn;
    Invalidate();
}

void TMediaPlayer::Close() {
    if (!deviceId_) return;
    MCI_GENERIC_PARMS p{};
    MCIDEVICEID id = deviceId_;
    deviceId_ = 0;
    Invalidate();
    error_ = MciSendCommand(id, MCI_CLOSE, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&p));
    if (error_) throw EMCIDeviceError(MciErrorText(error_));
}

void TMediaPlayer::Play() {
    if (autoRewind_ && IsOpen() && Position() >= Length() && Length() > 0) {
        MCI_SEEK_PARMS seek{};
        Send(MCI_SEEK, MCI_SEEK_TO_START | MCI_WAIT, &seek);
    }
    MCI_PLAY_PARMS p{};
    p.dwCallback = HandleAllocated() ? reinterpret_cast<DWORD_PTR>(HandleValue()) : 0;
    Send(MCI_PLAY, NotifyFlags(), &p);
    Invalidate();
}

void TMediaPlayer::Pause() {
    // A second pause resumes, as the pause button toggles.
    if (Mode() == mpPaused) {
        Resume();
        return;
    }
    MCI_GENERIC_PARMS p{};
    p.dwCallback = HandleAllocated() ? reinterpret_cast<DWORD_PTR>(HandleValue()) : 0;
    Send(MCI_PAUSE, NotifyFlags(), &p);
    Invalidate();
}

void TMediaPlayer::Resume() {
    MCI_GENERIC_PARMS p{};
    p.dwCallback = HandleAllocated() ? reinterpret_cast<DWORD_PTR>(HandleValue()) : 0;
    Send(MCI_RESUME, NotifyFlags(), &p);
    Invalidate();
}

void TMediaPlayer::Stop() {
    MCI_GENERIC_PARMS p{};
    p.dwCallback = HandleAllocated() ? reinterpret_cast<DWORD_PTR>(HandleValue()) : 0;
    Send(MCI_STOP, NotifyFlags(), &p);
    Invalidate();
}

void TMediaPlayer::Next() {
    MCI_SEEK_PARMS p{};
    Send(MCI_SEEK, MCI_SEEK_TO_END | MCI_WAIT, &p);
    Invalidate();
}

void TMediaPlayer::Previous() {
    MCI_SEEK_PARMS p{};
    Send(MCI_SEEK, MCI_SEEK_TO_START | MCI_WAIT, &p);
    Invalidate();
}

void TMediaPlayer::Step() {
    MCI_ANIM_STEP_PARMS p{};
    p.dwFrames = static_cast<DWORD>(frames_);
    Send(MCI_STEP, MCI_ANIM_STEP_FRAMES | MCI_WAIT, &p);
}

void TMediaPlayer::Back() {
    MCI_ANIM_STEP_PARMS p{};
    p.dwFrames = static_cast<DWORD>(frames_);
    Send(MCI_STEP, MCI_ANIM_STEP_FRAMES | MCI_ANIM_STEP_REVERSE | MCI_WAIT, &p);
}

void TMediaPlayer::StartRecording() {
    MCI_RECORD_PARMS p{};
    p.dwCallback = HandleAllocated() ? reinterpret_cast<DWORD_PTR>(HandleValue()) : 0;
    Send(MCI_RECORD, NotifyFlags(), &p);
    Invalidate();
}

void TMediaPlayer::Eject() {
    MCI_SET_PARMS p{};
    Send(MCI_SET, MCI_SET_DOOR_OPEN | MCI_WAIT, &p);
}

DWORD TMediaPlayer::StatusItem(DWORD item) const {
    if (!deviceId_) return 0;
    MCI_STATUS_PARMS p{};
    p.dwItem = item;
    if (MciSendCommand(deviceId_, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT,
                        reinterpret_cast<DWORD_PTR>(&p)))
        return 0;
    return static_cast<DWORD>(p.dwReturn);
}

TMPModes TMediaPlayer::Mode() const {
    if (!deviceId_) return mpNotReady;
    switch (StatusItem(MCI_STATUS_MODE)) {
    case MCI_MODE_STOP:
        return mpStopped;
    case MCI_MODE_PLAY:
        return mpPlaying;
    case MCI_MODE_RECORD:
        return mpRecording;
    case MCI_MODE_SEEK:
        return mpSeeking;
    case MCI_MODE_PAUSE:
        return mpPaused;
    case MCI_MODE_OPEN:
        return mpOpen;
    default:
        return mpNotReady;
    }
}

int TMediaPlayer::Position() const {
    return static_cast<int>(StatusItem(MCI_STATUS_POSITION));
}

void TMediaPlayer::SetPosition(int position) {
    MCI_SEEK_PARMS p{};
    p.dwTo = static_cast<DWORD>(std::max(position, 0));
    Send(MCI_SEEK, MCI_TO | MCI_WAIT, &p);
}

int TMediaPlayer::Length() const {
    return static_cast<int>(StatusItem(MCI_STATUS_LENGTH));
}

void TMediaPlayer::Loaded() {
    TCustomControl::Loaded();
    if (autoOpen_) Open();
}

void TMediaPlayer::DoDefault(TMPBtnType button) {
    switch (button) {
    case btPlay:
        Play();
        break;
    case btPause:
        Pause();
        break;
    case btStop:
        Stop();
        break;
    case btNext:
        Next();
        break;
    case btPrev:
        Previous();
        break;
    case btStep:
        Step();
        break;
    case btBack:
        Back();
        break;
    case btRecord:
        StartRecording();
        break;
    case btEject:
        Eject();
        break;
    }
}

void TMediaPlayer::ClickButton(TMPBtnType button) {
    if (!(ActiveButtons() & MPButtonBit(button)) || !(visibleButtons_ & MPButtonBit(button)))
        return;
    bool doDefault = true;
    OnClick(this, button, doDefault);
    if (doDefault) DoDefault(button);
    OnPostClick(this, button);
    Invalidate();
}

void TMediaPlayer::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TCustomControl::MouseDown(button, shift, x, y);
    if (button != mbLeft) return;
    int hit = MediaPlayerButtonAt(MediaPlayerButtonRects(Width(), Height(), visibleButtons_), x, y);
    if (hit < 0 || !(ActiveButtons() & (1u << hit))) return;
    downButton_ = hit;
    pressed_ = true;
    if (HandleAllocated()) SetCapture(HandleValue());
    Invalidate();
}

void TMediaPlayer::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TCustomControl::MouseUp(button, shift, x, y);
    if (downButton_ < 0) return;
    int down = downButton_;
    downButton_ = -1;
    pressed_ = false;
    if (HandleAllocated() && GetCapture() == HandleValue()) ReleaseCapture();
    Invalidate();
    int hit = MediaPlayerButtonAt(MediaPlayerButtonRects(Width(), Height(), visibleButtons_), x, y);
    if (hit == down) ClickButton(static_cast<TMPBtnType>(hit));
}

void TMediaPlayer::WndProc(TMessage& m) {
    if (m.Msg == MM_MCINOTIFY) {
        switch (m.WParam) {
        case MCI_NOTIFY_SUCCESSFUL:
            notifyValue_ = nvSuccessful;
            break;
        case MCI_NOTIFY_SUPERSEDED:
            notifyValue_ = nvSuperseded;
            break;
        case MCI_NOTIFY_ABORTED:
            notifyValue_ = nvAborted;
            break;
        default:
            notifyValue_ = nvFailure;
            break;
        }
        Invalidate();
        OnNotify(this);
        return;
    }
    TCustomControl::WndProc(m);
}

// ---- painting ----------------------------------------------------------------------------------

namespace {
COLORREF GlyphColor(TMPBtnType b) {
    switch (b) {
    case btPlay:
        return RGB(0, 128, 0);
    case btPause:
        return RGB(192, 160, 0);
    case btStop:
    case btRecord:
        return RGB(192, 0, 0);
    case btEject:
        return RGB(0, 0, 0);
    default:
        return RGB(0, 0, 160);
    }
}

void Triangle(HDC dc, int x, int cy, int w, int h, bool right) {
    POINT pts[3];
    if (right)
        pts[0] = {x, cy - h / 2}, pts[1] = {x + w, cy}, pts[2] = {x, cy + h / 2};
    else
        pts[0] = {x + w, cy - h / 2}, pts[1] = {x, cy}, pts[2] = {x + w, cy + h / 2};
    Polygon(dc, pts, 3);
}
} // namespace

void TMediaPlayer::PaintButton(HDC dc, const TMPButtonRect& b, bool enabled, bool pressed) {
    RECT r = b.rect;
    UniqueBrush face(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
    FillRect(dc, &r, face.get());
    DrawEdge(dc, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    COLORREF color = !enabled                                    ? GetSysColor(COLOR_GRAYTEXT)
                     : (coloredButtons_ & MPButtonBit(b.button)) ? GlyphColor(b.button)
                                                                 : GetSysColor(COLOR_BTNTEXT);
    UniqueBrush brush(CreateSolidBrush(color));
    UniquePen pen(CreatePen(PS_SOLID, 1, color));
    ScopedSelect selBrush(dc, brush.get());
    ScopedSelect selPen(dc, pen.get());
    int off = pressed ? 1 : 0;
    int cx = (r.left + r.right) / 2 + off, cy = (r.top + r.bottom) / 2 + off;
    int s = std::max(2, static_cast<int>(std::min(r.right - r.left, r.bottom - r.top)) / 3);
    switch (b.button) {
    case btPlay:
        Triangle(dc, cx - s / 2, cy, s, s, true);
        break;
    case btPause:
        Rectangle(dc, cx - s / 2, cy - s / 2, cx - s / 6, cy + s / 2);
        Rectangle(dc, cx + s / 6, cy - s / 2, cx + s / 2, cy + s / 2);
        break;
    case btStop:
        Rectangle(dc, cx - s / 2, cy - s / 2, cx + s / 2, cy + s / 2);
        break;
    case btNext:
        Triangle(dc, cx - s / 2, cy, s / 2, s, true);
        Triangle(dc, cx, cy, s / 2, s, true);
        Rectangle(dc, cx + s / 2, cy - s / 2, cx + s / 2 + 2, cy + s / 2);
        break;
    case btPrev:
        Rectangle(dc, cx - s / 2 - 2, cy - s / 2, cx - s / 2, cy + s / 2);
        Triangle(dc, cx - s / 2, cy, s / 2, s, false);
        Triangle(dc, cx, cy, s / 2, s, false);
        break;
    case btStep:
        Triangle(dc, cx - s / 2, cy, s / 2, s, true);
        Rectangle(dc, cx + 1, cy - s / 2, cx + 3, cy + s / 2);
        break;
    case btBack:
        Rectangle(dc, cx - 3, cy - s / 2, cx - 1, cy + s / 2);
        Triangle(dc, cx, cy, s / 2, s, false);
        break;
    case btRecord:
        Ellipse(dc, cx - s / 2, cy - s / 2, cx + s / 2, cy + s / 2);
        break;
    case btEject: {
        POINT pts[3] = {{cx - s / 2, cy}, {cx, cy - s / 2}, {cx + s / 2, cy}};
        Polygon(dc, pts, 3);
    }
        Rectangle(dc, cx - s / 2, cy + 2, cx + s / 2, cy + 4);
        break;
    }
}

void TMediaPlayer::Paint() {
    HDC dc = Canvas().Handle();
    RECT all{0, 0, Width(), Height()};
    UniqueBrush back(CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(Color()))));
    FillRect(dc, &all, back.get());
    TButtonSet active = ActiveButtons();
    for (const auto& b : MediaPlayerButtonRects(Width(), Height(), visibleButtons_))
        PaintButton(dc, b, (active & MPButtonBit(b.button)) != 0,
                    pressed_ && downButton_ == b.button);
}

} // namespace wl
