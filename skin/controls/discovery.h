// Control discovery: when a skinned window starts, its child controls are found and each is
// handed to the companion of its kind. The decision which companion a control gets (and how it
// is attached, with which options and which follow-up scans) is made by pure functions from
// facts about the control or the plain window, so it can be tested without windows; the scans
// gather those facts and carry the decisions out on a skinned form object.
//
// Companions are created by class name; a kind that is not linked in leaves its controls
// unskinned. The scans are registered with the form object layer at start-up (see
// SetControlDiscovery).
#pragma once

#include "skin/data/skin_data.h"
#include "ui/comctrls.h"

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wl {

class TControl;
class TWinControl;
class TWinSkinForm;
class TSkinControl;
class TDataSkinButton;

// ---- the decision, window-free ---------------------------------------------------------------

// Which attach entry point a new companion gets.
enum class TAttachMode { Attach, Handle, Scroll, ScrollControl, SpeedButton };

// One companion to create: class name, attach entry point, colourize flag, FMode and at most one
// published option of the companion.
struct TCompanionPlan {
    std::string ClassName;
    TAttachMode Mode = TAttachMode::Attach;
    bool Colorize = false;
    int FMode = 0;
    std::string Option, OptionValue;
};

enum class TStepKind {
    Companion,         // the plan on the control (or window) itself
    ChildCompanion,    // the plan on every child control
    ChildEmbedScroll,  // every child: stand-alone scroll bars and scrolling controls
    SkinChildren,      // the whole decision for every child control
    ScanChildren,      // the child controls, the container being the control
    ScanComponents,    // the components the control owns (frames, embedded forms)
    DisableChildren,   // every child control's Tag := DisableTag
    SetProperty,       // a published property of the control := text
    ToolbarHandlers,   // the toolbar drawing handlers, where the events are unassigned
    HookToolbarMenu,   // skin drawing for the items of the toolbar's menu
    HookButtonMenu,    // skin drawing for the tool button's menu item
    BandColors,        // every cool band's Color := ButtonFace
    FaceColor,         // the window's control object's Color := ButtonFace
    ChildWindows,      // every WS_CHILD child window of the window
    FirstChildWindow,  // the plan on the window's first child window
};

struct TDiscoveryStep {
    TStepKind Kind = TStepKind::Companion;
    TCompanionPlan Plan;
    std::string Property, Value; // SetProperty
};

struct TSkinDecision {
    std::vector<TDiscoveryStep> Steps;
    // A compact description ("ScanChildren; TSkinGroupBox[colorize]"), empty for nothing.
    std::string Text() const;
};

// What the decision needs to know about a framework control.
struct TControlFacts {
    std::vector<std::string> Classes; // its class name first, then its ancestors'
    std::string UpperName;            // its class name in upper case
    bool Windowed = false;
    bool HasChildren = false;
    LONG_PTR Style = 0;               // window style (0 without a window)
    intptr_t Tag = 0;
    int DisableTag = 99;
    TSkinControlTypes SkinControls = 0;
    TSkinOptions Options = 0;
    bool HasTabs = false;             // the skin has a Tabs element
    bool FrameSkinned = false;        // the form's frame is skinned
    std::optional<std::string> ThirdPartyKind; // what the skin data's class list says
    int TabStyle = tsTabs;
    int DateMode = dmComboBox;
    int DateKind = dtkDate;
    int NumButtons = -1;              // integer property NumButtons, -1 without one
    std::string KindName;             // enumerated property Kind, empty without one
    bool HasMenuItem = false;         // a tool button with a menu item
    bool HasMenu = false;             // a toolbar with a menu
    bool HasBorder = false;           // window and client rectangle differ in size

    bool Is(std::string_view className) const;
    bool Has(TSkinControlType type) const { return (SkinControls & SkinControlBit(type)) != 0; }
};

// The whole decision for a control that passed the checks of parent, existing skin, handle and
// the application's event: the DisableTag rule, the class list, the excluded classes, then the
// class tests in their order.
TSkinDecision DecideControl(const TControlFacts& facts);
// The class list's kind acted upon; nothing when the list does not name the class (the class
// tests follow). A known kind with its condition false decides "nothing".
std::optional<TSkinDecision> DecideThirdParty(const TControlFacts& facts);
// A windowed control with a scroll-bar style, or one of the scrolling list/memo/tree classes.
bool IsScrollingControl(const TControlFacts& facts);
// The companion a child of an "embedscrollbar" control gets, if any.
std::optional<TCompanionPlan> EmbedScrollPlan(const TControlFacts& child);
// Whether a disabled control's children are disabled too (radio and check groups).
bool DisablesGroupChildren(std::string_view className, bool hasChildren);
// The decision for a plain child window from its class name (any case) and style.
TSkinDecision DecideWindow(std::string_view className, LONG_PTR style, bool hasFirstChild);

// Toolbar buttons: the frame of the Buttons element for a draw state (0: draw nothing), and
// the text colour that frame asks for, if the skin gives one.
int ToolbarButtonFrame(TCustomDrawState state);
std::optional<TColor> ToolbarButtonTextColor(int frame, const TDataSkinButton& buttons);

// ---- the scans on a skinned form object -------------------------------------------------------

// The facts of a control as the decision reads them (its window is not created here).
TControlFacts ReadControlFacts(TWinSkinForm& form, TControl& control);

void ScanForm(TWinSkinForm& form);
void ScanComponents(TWinSkinForm& form, TComponent* component);
void ScanChildren(TWinSkinForm& form, TWinControl* control);
void SkinControl(TWinSkinForm& form, TControl* control, TComponent* container);
// True when the class list names the control's class (the control is then done).
bool SkinThirdParty(TWinSkinForm& form, const std::string& upperName, TControl* control);
void DisableGroupChildren(TWinSkinForm& form, TControl* control);
bool IsControlSkinned(const TWinSkinForm& form, TControl* control);
void SkinChildWindows(TWinSkinForm& form, HWND window);
void SkinChildWindow(TWinSkinForm& form, HWND window);

// The toolbar drawing handlers (installed on toolbars by the scan, taken off at unskinning).
void ToolbarDraw(TWinSkinForm& form, TToolBar* toolbar, const RECT& rect, bool& defaultDraw);
void ToolbarButtonDraw(TWinSkinForm& form, TToolBar* toolbar, TToolButton* button,
                       TCustomDrawState state, bool& defaultDraw);

} // namespace wl
