// The fitting of a skinned window to its client area: TFormFitting, the form object's part that
// measures the frame the window wore before the skin, sizes the window so that its client area
// stays when the skinned frame replaces the system's (widening a dialog whose title would not
// fit), hands the form object the frame-metrics step of the skinned frame (TSkinFrameMetrics),
// and puts the original frame and step back when the skin lets go.
#pragma once

#include "ui/forms.h"

#include <windows.h>

#include <memory>
#include <string>

namespace wl {

class TWinSkinForm;

// The frame-metrics step a skinned form object gets while its frame is skinned, so that the
// library turns client sizes into window sizes with the skinned frame's thickness.
// Once the skin object lets go (Forget), it answers as the step it replaced (the fallback, or
// the system's).
class TSkinFrameMetrics : public TFrameMetrics {
public:
    explicit TSkinFrameMetrics(const TWinSkinForm* owner) : FOwner(owner) {}
    RECT FrameInsets(const TFrameRequest& request) const override;
    void SetFallback(std::shared_ptr<const TFrameMetrics> fallback) { FFallback = std::move(fallback); }
    void Forget() { FOwner = nullptr; }

private:
    const TWinSkinForm* FOwner;
    std::shared_ptr<const TFrameMetrics> FFallback;
};

class TFormFitting {
public:
    explicit TFormFitting(TWinSkinForm& owner) : FOwner(owner) {}
    TFormFitting(const TFormFitting&) = delete;
    TFormFitting& operator=(const TFormFitting&) = delete;

    // Reads the client rectangle and the frame the window wears now (the one it gets back when
    // the skin lets go). `final`: later calls keep what was read (the system's menu bar was
    // still in the frame).
    void MeasureOriginalFrame(bool final);
    bool FrameMeasured() const { return FFrameMeasured; }
    // A menu came to the window while skinned: the frame given back carries the system's bar.
    void AddToOriginalFrameHeight(int height) { FOrigFrameHeight += height; }
    // Sizes the window for its client area in the skinned frame: the client measured at attach,
    // or the current one (`keepCurrentClient`, a skin change).
    void FitWindowToClient(bool keepCurrentClient);
    // Whether the client area already sits in the window where the skinned frame's current
    // metrics (borders and menu-bar strip) put it: fitting again would change nothing.
    bool FrameFitsMetrics() const;
    // After WM_WINDOWPOSCHANGED: a new frame changes the client area without changing the
    // window's size, and the form object lays its controls out only on size changes.
    void ClientAreaChanged();
    // The window, whose frame measures `skinnedFrame` now, gets its original frame back around
    // the same client area.
    void PutOriginalFrameBack(SIZE skinnedFrame);
    // The form object measures its frame as it did before: the step goes back to what it replaced.
    void ForgetFrameMetrics();
    // The form object gets the step it had before the skin (a form object not being destroyed).
    void GiveBackFrameMetrics();
    // The width of the window's text in the caption font, as last measured for a dialog.
    int CaptionWidth() const { return FCaptionWidth; }

private:
    void WidenDialog(int& width);

    TWinSkinForm& FOwner;
    RECT FClientRect{0, 0, 0, 0};
    int FOrigFrameWidth = 0, FOrigFrameHeight = 0;
    bool FFrameMeasured = false;     // FClientRect and the original frame were read at attach
    RECT FLaidOutClient{0, 0, 0, 0}; // client rectangle the form object last laid out for
    std::wstring FCaption;
    int FCaptionWidth = 0;
    std::shared_ptr<TSkinFrameMetrics> FFrameMetrics;
    std::shared_ptr<const TFrameMetrics> FSavedFrameMetrics;
};

} // namespace wl
