// TSkinData: the component a form carries to be skinned. It holds one skin (the archive bytes,
// stored with the form as the binary property "SkinStream", or read from SkinFile) and, once
// loaded, the element records and colours every painter reads. Its published properties say
// whether skinning is on, which kinds of controls are skinned and how classes of other libraries
// map to control kinds.
#pragma once

#include "skin/data/skin_elements.h"
#include "ui/classes.h"
#include "ui/graphics.h"

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace wl {

class TQuickIni;
class TSkinReader;
class TControl;

enum TSkinControlType : int {
    xcMainMenu, xcPopupMenu, xcMenuItem, xcToolbar, xcControlbar, xcCombo, xcCheckBox,
    xcRadioButton, xcProgress, xcScrollbar, xcEdit, xcButton, xcBitBtn, xcSpeedButton, xcSpin,
    xcPanel, xcGroupBox, xcStatusBar, xcTab, xcTrackBar, xcSystemMenu, xcFastReport
};
using TSkinControlTypes = uint32_t; // bit n = member n
constexpr TSkinControlTypes SkinControlBit(TSkinControlType t) { return 1u << t; }
constexpr TSkinControlTypes kAllSkinControls = (1u << 22) - 1;

enum TSkinOption : int {
    xoMDIScrollbar, xoMenuMerge, xoTransparent, xoPreview, xoParentBackGround, xoNoFocusRect,
    xoToolbarBK, xoMDIChildBorder, xoMenuBG
};
using TSkinOptions = uint16_t; // bit n = member n
constexpr TSkinOptions SkinOptionBit(TSkinOption o) { return static_cast<TSkinOptions>(1u << o); }

enum TSkinFormType : int { sfMainform, sfOnlyThisForm, sfDialog, sfDLL };

// OnFormSkin (Sender, window class name, DoSkin in/out).
using TOnFormSkin = TEvent<TObject*, const std::string&, bool&>;
// OnSkinControl (Sender = form skin object, SkinData, Form, Control, class name in upper case,
// SkinnedControl out).
using TOnSkinControl =
    TEvent<TComponent*, class TSkinData*, TControl*, TControl*, const std::string&, TComponent*&>;

class TSkinData : public TComponent {
    WL_CLASS(TSkinData, TComponent)
public:
    static constexpr const char* kVersion = "4.04.04.11";
    static constexpr int kCustomColourCount = 10;

    explicit TSkinData(TComponent* owner);
    ~TSkinData() override;

    // ---- published ----
    bool Active() const { return FActive; }
    void SetActive(bool value);
    int DisableTag() const { return FDisableTag; }
    void SetDisableTag(int v) { FDisableTag = v; }
    TSkinControlTypes SkinControls() const { return FSkinControls; }
    void SetSkinControls(TSkinControlTypes v) { FSkinControls = v & kAllSkinControls; }
    TSkinOptions Options() const { return FOptions; }
    void SetOptions(TSkinOptions v) { FOptions = v & 0x1FF; }
    TStringList* Skin3rd() { return &FSkin3rd; }
    const TStringList& Skin3rd() const { return FSkin3rd; }
    const std::string& SkinFile() const { return FSkinFile; }
    void SetSkinFile(const std::string& name);
    std::string SkinStore() const;
    void SetSkinStore(const std::string&) {} // an indicator only
    TSkinFormType SkinFormtype() const { return FSkinFormtype; }
    void SetSkinFormtype(TSkinFormType t) { FSkinFormtype = t; }
    std::string Version() const { return kVersion; }
    void SetVersion(const std::string&) {} // read-only in effect
    bool MenuUpdate() const { return FMenuUpdate; }
    void SetMenuUpdate(bool v) { FMenuUpdate = v; }
    bool MenuMerge() const { return FMenuMerge; }
    void SetMenuMerge(bool v) { FMenuMerge = v; }
    TOnFormSkin OnFormSkin;
    TNotifyEvent OnSkinChanged;
    TOnSkinControl OnSkinControl;

    // ---- operations ----
    void Loaded() override;
    // Opens the archive in SkinBytes and loads the skin; false when the archive did not open.
    bool LoadSkin();
    // Hands a newly loaded skin to the forms that use it.
    void ApplySkin();
    // The window filter's last word on one window: OnFormSkin, else the built-in rules.
    void FilterWindow(HWND window, const std::string& className, bool& doSkin);
    void DoSkinChanged() { OnSkinChanged(this); }
    // The control kind the class list gives a class name (see Skin3rdKind); nothing when the
    // list does not name the class.
    std::optional<std::string> Skin3rdKind(const std::string& className) const;

    // "SkinStream": a 32-bit little-endian length, then the archive.
    bool ReadBinaryProperty(const std::string& name, const std::string& bytes) override;
    void WriteBinaryProperties(std::vector<std::pair<std::string, std::string>>& out) const override;

    // ---- run-time state ----
    std::string SkinBytes; // the archive as stored with the form or read from SkinFile
    bool NotLoaded = true;
    TFont CaptionFont;
    TBitmap AppIcon;       // 24 bits, key colour 0xFF00FF; empty without an application icon
    TBitmap MenuGlyphs;    // four 16 x 16 system-menu glyphs side by side (restore, maximize,
                           // minimize, close), black on white, white transparent
    bool PaintFrames = true;

    // ---- the skin ----
    // Records that live as long as the component (refilled by each load).
    std::unique_ptr<TDataSkinBorder> BorderLeft, BorderRight, BorderTop, BorderBottom;
    std::unique_ptr<TDataSkinTitle> Title;
    std::unique_ptr<TDataSkinButton> Buttons;
    std::vector<std::unique_ptr<TDataSkinSysButton>> SysButtons;
    // Elements a load fills or leaves absent (null).
    std::unique_ptr<TDataSkinBorder> Progress;
    std::unique_ptr<TDataSkinObject> ProgressChunk, MenuBar, GroupBoxEdge;
    std::unique_ptr<TDataSkinBoxLabel> GroupBox;
    std::unique_ptr<TDataSkinBorder> Tabs;
    std::unique_ptr<TDataSkinObject> StatusBarEdges, TabPane, ToolBars;
    std::unique_ptr<TDataSkinBorder> ComboButton;
    std::unique_ptr<TDataSkinObject> SunkEdge, ExtraImages, Headerbar, MenuItem, MenuBackground,
        Scrollbar, HorzScroll, VertScroll, HorzScrollThumb, VertScrollThumb, TrackbarThumbHorz,
        TrackbarThumbVert, TrackbarThumbLeft, TrackbarThumbRight, TrackbarThumbUp,
        TrackbarThumbDown;
    std::unique_ptr<TDataSkinBorder> UpDownHorz, UpDownVert;
    std::unique_ptr<TDataSkinObject> Track, TrackVert;
    // Derived elements: made by the first load, kept across loads.
    std::unique_ptr<TDataSkinObject> ComboxArrow, Toolbar;

    // Skin colours (TColor; system colours stay symbolic until drawn).
    TColor WindowText = clWindowText, TitleTextActive = clCaptionText,
           TitleTextNoActive = clInactiveCaptionText, ButtonFace = clBtnFace,
           ButtonText = clBtnText, ButtonHilight = clBtnHighlight, Buttonlight = clBtnHighlight,
           ButtonShadow = clBtnShadow, ButtonDkShadow = cl3DDkShadow,
           HilightText = clHighlightText, Hilight = clHighlight, MenubarColour = clBtnFace,
           MenuBarText = clMenuText, MenuText = clMenuText, MenuColour = clMenu,
           ScrollbarColour = clScrollBar, FrameColour = clBtnFace;
    UniqueBrush FaceBrush; // solid ButtonFace brush, made by each load
    std::string SkinName;
    std::vector<TColor> ColourList;
    std::array<TColor, kCustomColourCount> CustomColours{};

private:
    friend class TSkinLoader;
    bool Designing() const { return (ComponentState() & csDesigning) != 0; }
    bool Reading() const { return IsLoading(); }
    void MakeAppIcon();
    void MakeCaptionFont();

    bool FActive = false;
    int FDisableTag = 99;
    TSkinControlTypes FSkinControls =
        kAllSkinControls & ~(SkinControlBit(xcMenuItem) | SkinControlBit(xcFastReport));
    TSkinOptions FOptions = SkinOptionBit(xoPreview) | SkinOptionBit(xoToolbarBK);
    TStringList FSkin3rd;
    std::string FSkinFile;
    TSkinFormType FSkinFormtype = sfMainform;
    bool FMenuUpdate = true;
    bool FMenuMerge = false;
};

// Fills `data`'s slots and colours from a parsed definition and its open archive, in the load
// order, and marks the load complete (NotLoaded false). Reports nothing: missing sections,
// keys and images give defaults or absent slots.
void LoadSkinDefinition(TSkinData& data, const TQuickIni& ini, const TSkinReader& archive);

// The program's built-in bitmap resources (the default track grooves and the system-menu
// glyphs); false when the module has no such resource.
bool LoadBuiltinBitmap(TBitmap& target, const char* resourceName);

} // namespace wl
