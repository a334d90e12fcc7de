// TSkinControl: the companion that takes over one control's messages, lets the control's own
// procedure do its work and then paints the control again from the skin. Every kind of skinned
// control derives from it; this unit holds what they share: attaching to a control object (a
// layer over its WindowProc) or to a bare window (an owned subclass), the message routing, the
// reactions to focus, enabling, text and paint, the property readers by name, and the shared
// painting routines.
//
// Companions are created by class name (the discovery code asks the class registry for
// "TSkinButton" and so on), so each kind only has to be defined with WL_DEFINE_CLASS in its own
// file to be found. The attach entry points the discovery code uses are all virtual here, so it
// never needs to name a companion class.
#pragma once

#include "skin/forms/skin_companion.h"
#include "skin/forms/skin_messages.h"
#include "ui/classes.h"
#include "ui/controls.h"
#include "ui/graphics.h"
#include "ui/subclass.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace wl {

class TSkinData;
class TWinSkinForm;
class TDataSkinObject;

// Sent to a skinned control: wParam > 0 switches its skin on (and redraws), else off. Never
// reaches the control itself.
inline constexpr UINT SKM_SETACTIVE = 0x3506;

// FMouseFlags bits.
enum : uint8_t { mfHot = 1, mfPressed = 2 };
// How a companion takes over what it skins.
enum class TAttachKind : unsigned char {
    Control,       // the control object that owns the companion, through its WindowProc
    Handle,        // a bare window, through an owned subclass
    Scroll,        // the scroll bars of a scrollable control (others: as Control, no colouring)
    ScrollControl, // a stand-alone scroll bar control (others: as Control, no colouring)
    SpeedButton,   // a window-less speed button, the owner (others: not at all)
};

// Everything attaching needs: the form object (may be null), the skin, the canvas the form
// object lends its companions, whether the control takes the skin's face colour, and what is
// attached (the control for the scroll kinds, the window for Handle).
struct TAttachContext {
    TAttachKind Kind = TAttachKind::Control;
    TWinSkinForm* Form = nullptr;
    TSkinData* Data = nullptr;
    TCanvas* Canvas = nullptr;
    bool Colorize = false;
    TWinControl* Control = nullptr;
    HWND Window = nullptr;

    static TAttachContext ForControl(TWinSkinForm* form, TSkinData* data, TCanvas* canvas, bool colorize) {
        return TAttachContext{TAttachKind::Control, form, data, canvas, colorize, nullptr, nullptr};
    }
    static TAttachContext ForWindow(HWND window, TWinSkinForm* form, TSkinData* data, TCanvas* canvas) {
        return TAttachContext{TAttachKind::Handle, form, data, canvas, false, nullptr, window};
    }
    static TAttachContext ForScroll(TWinControl* control, TWinSkinForm* form, TSkinData* data, TCanvas* canvas) {
        return TAttachContext{TAttachKind::Scroll, form, data, canvas, false, control, nullptr};
    }
    static TAttachContext ForScrollControl(TWinControl* control, TWinSkinForm* form, TSkinData* data,
                                           TCanvas* canvas) {
        return TAttachContext{TAttachKind::ScrollControl, form, data, canvas, false, control, nullptr};
    }
    static TAttachContext ForSpeedButton(TWinSkinForm* form, TSkinData* data, TCanvas* canvas) {
        return TAttachContext{TAttachKind::SpeedButton, form, data, canvas, false, nullptr, nullptr};
    }
};

class TSkinControl : public TComponent, public TSkinCompanion {
    WL_CLASS(TSkinControl, TComponent)
public:
    // `owner` is the skinned control (attach to a control object), or whoever owns a companion
    // of a bare window.
    explicit TSkinControl(TComponent* owner);
    ~TSkinControl() override;
    void Notification(TComponent* component, TOperation operation) override;

    // ---- attaching (once) ----
    // Takes the skin, the form object and the canvas from the context, joins the form object's
    // list and lets the family take over what the context names (OnAttach); a companion that
    // does not take leaves the list again. Whether the companion is attached.
    bool Attach(const TAttachContext& context);

    // ---- what the form object and the discovery code call ----
    void Restore() override;
    void SkinChanged() override;
    HWND Handle() const override { return FHandle; }
    TControl* Control() const override;
    bool InDispatch() const override { return FDispatch->InDispatch(); }
    TLifeState LifeState() const override { return FLifeState; }
    // Leaves its component owner, and the caller owns it from now on; nothing for a companion
    // without a component owner (it belongs to whoever made it).
    std::unique_ptr<TSkinCompanion> ReleaseFromOwner() override;

    // ---- message routing ----
    // The replacement procedure: every message of the control comes here first.
    void SkinWndProc(TMessage& m);
    // Hands the message to the procedure this companion took over. Answers whether work after
    // it may go on: false when the control's own handling freed this companion or the control
    // (or asked for the control to be freed); then nothing of either may be touched anymore.
    bool CallPrevious(TMessage& m);
    // First look at a message; false: consumed, the control never sees it.
    virtual bool BeforeMessage(TMessage& m);
    // After the control's own procedure ran.
    virtual void AfterMessage(TMessage& m);

    // ---- painting ----
    // Paints the whole window (non-client area included) into `dc`, or into the window DC when
    // null. Exceptions are swallowed: a failed paint never disturbs the control.
    virtual void PaintControl(HDC dc);
    // Draws the control into `dc` over `rect` (the window at the origin); the base draws nothing.
    virtual void DrawSkin(HDC dc, const RECT& rect);
    // Invalidates and repaints at once (a speed button through its own Invalidate).
    void Redraw();
    // Only invalidates: the window is painted with the next paint. A re-skin tells every
    // companion of a form in turn and the form is repainted once afterwards; a synchronous paint
    // per companion would paint each control twice.
    void MarkForRepaint();
    void FillFace(HDC dc, const RECT& rect) const;
    void FillParentColor(HDC dc, const RECT& rect) const;
    // The dotted focus frame around FText laid out in `rect` with DrawText `flags`.
    void DrawCaptionFocus(HDC dc, UINT flags, const RECT& rect);
    // Reads FIsEnabled (WS_DISABLED), FIsFocused (GetFocus) and FText before a paint.
    void RefreshState();
    // Starts leave tracking so that WM_MOUSELEAVE arrives when the mouse goes.
    void TrackMouseLeave() const;
    // Passes a button-down message on to the control object's MouseDown (left button).
    void ForwardMouseDown(const TMessage& m);
    // The skin's face colour resolved to RGB (the skin may hold a system colour).
    TColor FaceColor() const;

    // ---- state others read ----
    uint8_t MouseFlags() const { return FMouseFlags; }
    bool SkinActive() const { return FSkinActive; }
    bool IsAttached() const { return FAttached; }
    bool IsEnabled() const { return FIsEnabled; }
    bool Colorizes() const { return FColorize; }
    TSkinData* SkinData() const { return FSkinData; }
    TCanvas* Canvas() const { return FCanvas; }
    TWinControl* WinControl() const { return FControl; }
    // The family's variant of its look (a bare button that paints its own caption, a panel
    // drawn as a frame ...), decided by the discovery code before attaching.
    int Mode() const { return FMode; }
    void SetMode(int mode) { FMode = mode; }
    // Draws from another skin data component from now on (SkinChanged then repaints).
    void UseSkinData(TSkinData* data) { FSkinData = data; }

protected:
    // ---- state of the companion, read and set by its family ----
    uint8_t FMouseFlags = 0;
    TCanvas* FCanvas = nullptr; // the form object's control canvas, not owned
    bool FIsEnabled = false;
    bool FIsFocused = false;
    std::wstring FText;
    bool FSkinActive = true;
    bool FUnicode = false;
    TSkinData* FSkinData = nullptr; // not owned
    HWND FHandle = nullptr;
    TWinControl* FControl = nullptr;   // the skinned control object; null when attached by handle
    RECT FWindowRect{0, 0, 0, 0};      // screen coordinates, refreshed at each paint
    TControl* FGraphicControl = nullptr; // a window-less control painted through its parent
    bool FColorize = false;
    TColor FSavedColor = clNone;
    bool FAttached = false;
    TLifeState FLifeState = TLifeState::Constructed;
    TWinSkinForm* FSkinForm = nullptr; // not owned
    int FMode = 0;

    // The family's part of attaching, after the shared state is set. The base takes over the
    // control object that owns the companion (Control, and the scroll kinds for the control
    // itself) or a bare window (Handle). False: the companion did not take.
    virtual bool OnAttach(const TAttachContext& context);
    // The base's take-overs.
    bool TakeControl(bool colorize);
    bool TakeWindow(HWND window);
    // Installs the routing layer over `control`'s WindowProc (used by Attach and by window-less
    // controls, which have no handle).
    void HookWindowProc(TControl& control);
    // A control object taken over: its colour (when colouring), and the first paint.
    void ColorAndInvalidate();
    // True while the control (or the graphic control) is being destroyed.
    bool ControlGone() const { return FControlGone; }
    // CallPrevious for a further subclass of the companion's own (a combo box's edit).
    bool CallPreviousOf(const TWindowSubclass& subclass, TMessage& m);
    // Takes the routing layer off the control's WindowProc early (a window-less control whose
    // companion must stop painting before it is freed).
    void UnhookWindowProc();

private:
    void WMNCDestroy(TMessage& m);
    bool UsableAfter(const TDispatchState& dispatch) const;
    friend void HandlePaint(TSkinControl& companion, TMessage& m);
    friend void HandleEraseBackground(TSkinControl& companion, TMessage& m);

    TWindowProcLayer FOldWindowProc; // over the control object's WindowProc
    TWindowSubclass FSubclass;       // over a bare window's procedure
    bool FControlGone = false;
    // Messages passing through this companion; marked dead when it is freed, which a message
    // still on the stack sees through its own reference.
    std::shared_ptr<TDispatchState> FDispatch = std::make_shared<TDispatchState>();
};

// ---- property access by name; a nil instance or a missing property gives the default ----
// An integer property's value; -1 when missing or not an integer.
int GetOrdProperty(TObject* instance, std::string_view name);
// An enumeration's member name ("True"/"False" for Booleans); empty when missing.
std::string GetEnumProperty(TObject* instance, std::string_view name);
// A string property as UTF-16 (from the ANSI code page); empty when missing.
std::wstring GetWideProperty(TObject* instance, std::string_view name);
// The object a class-typed property holds when it is of class `className`; null otherwise.
TPersistent* GetObjectProperty(TObject* instance, std::string_view name, std::string_view className);
// Sets an integer, Boolean, enumeration or string property from text; other kinds, missing
// properties and refused values are left alone. Answers whether the value was taken.
bool SetPropertyText(TObject* instance, std::string_view name, const std::string& text);

// ---- text ----
std::wstring GetWindowTextWide(HWND window);
// The first "||" becomes a line break; later ones stay as they are.
std::wstring ReplaceLineBreakMark(std::wstring text);
// `flags` plus DT_RTLREADING when the control reads right to left.
UINT BiDiFlags(const TSkinControl& companion, UINT flags);
// DrawTextW (every drawing of control text goes through here).
int DrawTextWide(HDC dc, const std::wstring& text, RECT& rect, UINT flags);

// ---- shared painting ----
// Fills with a solid brush of `color` (system colours resolved); the brush is freed on return.
void FillColor(HDC dc, const RECT& rect, TColor color);
// The shared WM_PAINT handler: DC from wParam or BeginPaint, DrawSkin over the whole window.
void HandlePaint(TSkinControl& companion, TMessage& m);
// The shared WM_ERASEBKGND handler of transparent controls: the parent's background.
void HandleEraseBackground(TSkinControl& companion, TMessage& m);
// Paints into `dc` (the control's client coordinates) what the parent window shows under the
// control: the parent's background erase and paint, shifted by the control's position and
// clipped to the control. Nothing for a window without a parent.
void PaintParentBackground(HWND control, HDC dc);
// The same for a control object: its parent control paints through its own WindowProc. An
// exception while the parent paints ends the painting; it is swallowed and counted.
void PaintParentBackground(TControl& control, HDC dc);
// Draws cell `frame` of `frames` of an element record over `rect` (nothing for an inverted
// rectangle or a missing element); keyed exactly when the element's Trans is 1.
void DrawElementFrame(const TSkinControl& companion, HDC dc, const RECT& rect, int frames, int frame,
                      TDataSkinObject* element);
// True when the element exists and has an image.
bool HasElement(const TDataSkinObject* element);

// A function of user32 looked up by name (null where this system's user32 lacks it), so that
// features built on newer calls are skipped instead of keeping the program from loading.
// Callers keep the answer in a function-local static.
template <class Fn>
Fn User32Entry(const char* name) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

// Creates the companion class registered under `className` owned by `owner`; null when no such
// class is linked in (a kind not built) or it is no companion.
TSkinControl* CreateCompanion(std::string_view className, TComponent* owner);

} // namespace wl
