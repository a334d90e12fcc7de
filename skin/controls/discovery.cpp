// Control discovery: the pure decisions (which companion a control or a plain window gets) and
// the scans that gather facts, carry the decisions out on a skinned form object, and undo what
// they changed on the controls when the skin is removed.
#include "skin/controls/discovery.h"

#include "skin/controls/skin_control.h"
#include "skin/data/skin_elements.h"
#include "skin/draw/skin_draw.h"
#include "skin/draw/swallowed.h"
#include "skin/forms/menu_items.h"
#include "skin/forms/skin_companion.h"
#include "skin/forms/win_skin_form.h"
#include "ui/extctrls.h"
#include "ui/forms.h"
#include "ui/menus.h"
#include "ui/stdctrls.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace wl {

namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string Upper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

TCompanionPlan Plan(std::string className, TAttachMode mode = TAttachMode::Attach, bool colorize = false,
                    int fmode = 0) {
    TCompanionPlan p;
    p.ClassName = std::move(className);
    p.Mode = mode;
    p.Colorize = colorize;
    p.FMode = fmode;
    return p;
}

TCompanionPlan WithOption(TCompanionPlan p, std::string option, std::string value) {
    p.Option = std::move(option);
    p.OptionValue = std::move(value);
    return p;
}

struct Builder {
    TSkinDecision d;
    Builder& Companion(TCompanionPlan p) {
        d.Steps.push_back({TStepKind::Companion, std::move(p), {}, {}});
        return *this;
    }
    Builder& Children(TCompanionPlan p) {
        d.Steps.push_back({TStepKind::ChildCompanion, std::move(p), {}, {}});
        return *this;
    }
    Builder& FirstChild(TCompanionPlan p) {
        d.Steps.push_back({TStepKind::FirstChildWindow, std::move(p), {}, {}});
        return *this;
    }
    Builder& Step(TStepKind kind) {
        d.Steps.push_back({kind, {}, {}, {}});
        return *this;
    }
    Builder& Set(std::string property, std::string value) {
        d.Steps.push_back({TStepKind::SetProperty, {}, std::move(property), std::move(value)});
        return *this;
    }
    operator TSkinDecision() { return std::move(d); }
};

std::string PlanText(const TCompanionPlan& p) {
    std::vector<std::string> attrs;
    switch (p.Mode) {
    case TAttachMode::Attach: break;
    case TAttachMode::Handle: attrs.push_back("handle"); break;
    case TAttachMode::Scroll: attrs.push_back("scroll"); break;
    case TAttachMode::ScrollControl: attrs.push_back("scrollcontrol"); break;
    case TAttachMode::SpeedButton: attrs.push_back("speedbutton"); break;
    }
    if (p.Colorize) attrs.push_back("colorize");
    if (p.FMode != 0) attrs.push_back("mode=" + std::to_string(p.FMode));
    if (!p.Option.empty()) attrs.push_back(p.Option + "=" + p.OptionValue);
    std::string text = p.ClassName;
    if (!attrs.empty()) {
        text += "[";
        for (size_t i = 0; i < attrs.size(); ++i) text += (i ? "," : "") + attrs[i];
        text += "]";
    }
    return text;
}

} // namespace

// ---- the decision ----------------------------------------------------------------------------------

std::string TSkinDecision::Text() const {
    std::string text;
    for (const TDiscoveryStep& s : Steps) {
        if (!text.empty()) text += "; ";
        switch (s.Kind) {
        case TStepKind::Companion: text += PlanText(s.Plan); break;
        case TStepKind::ChildCompanion: text += "Children:" + PlanText(s.Plan); break;
        case TStepKind::ChildEmbedScroll: text += "ChildrenEmbedScroll"; break;
        case TStepKind::SkinChildren: text += "SkinChildren"; break;
        case TStepKind::ScanChildren: text += "ScanChildren"; break;
        case TStepKind::ScanComponents: text += "ScanComponents"; break;
        case TStepKind::DisableChildren: text += "DisableChildren"; break;
        case TStepKind::SetProperty: text += "Set " + s.Property + "=" + s.Value; break;
        case TStepKind::ToolbarHandlers: text += "ToolbarHandlers"; break;
        case TStepKind::HookToolbarMenu: text += "HookToolbarMenu"; break;
        case TStepKind::HookButtonMenu: text += "HookButtonMenu"; break;
        case TStepKind::BandColors: text += "BandColors"; break;
        case TStepKind::FaceColor: text += "FaceColor"; break;
        case TStepKind::ChildWindows: text += "ChildWindows"; break;
        case TStepKind::FirstChildWindow: text += "FirstChild:" + PlanText(s.Plan); break;
        }
    }
    return text;
}

bool TControlFacts::Is(std::string_view className) const {
    return std::find(Classes.begin(), Classes.end(), className) != Classes.end();
}

bool DisablesGroupChildren(std::string_view className, bool hasChildren) {
    if (!hasChildren) return false;
    const std::string lower = Lower(className);
    return lower.find("radiogroup") != std::string::npos || lower.find("checkgroup") != std::string::npos;
}

bool IsScrollingControl(const TControlFacts& f) {
    if (!f.Windowed) return false;
    if (f.Style & (WS_HSCROLL | WS_VSCROLL)) return true;
    return f.Is("TListBox") || f.Is("TMemo") || f.Is("TCustomListBox") || f.Is("TCustomTreeView") ||
           f.Is("TScrollBox");
}

std::optional<TCompanionPlan> EmbedScrollPlan(const TControlFacts& child) {
    if (child.Is("TScrollBar")) return Plan("TSkinScControl", TAttachMode::ScrollControl);
    if (IsScrollingControl(child)) return Plan("TSkinScrollbar", TAttachMode::Scroll);
    return std::nullopt;
}

std::optional<TSkinDecision> DecideThirdParty(const TControlFacts& f) {
    if (!f.ThirdPartyKind) return std::nullopt;
    const std::string& kind = *f.ThirdPartyKind;
    const bool rz = f.UpperName.find("TRZ") != std::string::npos;
    Builder b;
    if (kind == "nil") return b;
    if (kind == "combobox") {
        if (f.Has(xcCombo)) b.Companion(Plan("TSkinComBox"));
    } else if (kind == "edit") {
        if (f.Has(xcEdit) && f.HasBorder) b.Companion(Plan("TSkinEdit"));
    } else if (kind == "radiobutton") {
        if (f.Has(xcRadioButton)) b.Companion(Plan("TSkinRadioButton"));
    } else if (kind == "panel") {
        if (f.Has(xcPanel)) b.Set("Transparent", "True").Companion(Plan("TSkinBox", TAttachMode::Attach, true));
    } else if (kind == "trackbar") {
        if (f.Has(xcButton)) b.Set("Transparent", "True").Companion(Plan("TSkinTrackBar"));
    } else if (kind == "button") {
        if (f.Has(xcButton)) b.Companion(Plan("TSkinButton"));
    } else if (kind == "datetimepicker") {
        if (f.Has(xcCombo)) b.Companion(Plan("TSkinDateTime"));
    } else if (kind == "mediaplayer") {
        if (f.Has(xcButton)) b.Companion(Plan("TSkinMP"));
    } else if (kind == "bitbtn") {
        if (f.Has(xcButton)) {
            const bool dropDown = f.UpperName == "TCXBUTTON" && f.KindName == "cxbkDropDownButton";
            b.Companion(Plan(dropDown ? "TSkinMenuButton" : "TSkinBitButton"));
        }
    } else if (kind == "pngbitbtn") {
        if (f.Has(xcButton)) b.Companion(WithOption(Plan("TSkinBitButton"), "PictureProperty", "PngImage"));
    } else if (kind == "menubtn") {
        if (f.Has(xcButton)) b.Companion(Plan("TSkinMenuButton"));
    } else if (kind == "speedbutton") {
        if (f.Has(xcSpeedButton)) b.Companion(Plan("TSkinSpeedButton", TAttachMode::SpeedButton));
    } else if (kind == "tab") {
        if (f.Has(xcTab) && f.HasTabs) b.Companion(Plan("TSkinTab"));
    } else if (kind == "progress") {
        if (f.Has(xcProgress)) b.Companion(Plan("TSkinProgress"));
    } else if (kind == "scrollbar") {
        if (f.Has(xcScrollbar)) b.Companion(Plan("TSkinScrollbar", TAttachMode::Scroll)).Step(TStepKind::ScanChildren);
    } else if (kind == "singlescrollbar") {
        if (f.Has(xcScrollbar)) b.Companion(Plan("TSkinScrollbar", TAttachMode::Scroll, false, 1));
    } else if (kind == "embedscrollbar") {
        if (f.Has(xcScrollbar)) b.Step(TStepKind::ChildEmbedScroll);
    } else if (kind == "container") {
        b.Step(TStepKind::ScanChildren);
    } else if (kind == "groupbox") {
        if (f.Has(xcGroupBox)) b.Companion(Plan("TSkinGroupBox", TAttachMode::Attach, true));
    } else if (kind == "advpagecontrol") {
        if (f.Has(xcTab))
            b.Companion(WithOption(Plan("TSkinAdvPage", TAttachMode::Attach, true), "PageStyle", "4"));
    } else if (kind == "radiogroup") {
        if (f.Has(xcGroupBox)) {
            if (f.Has(xcRadioButton))
                b.Children(rz ? WithOption(Plan("TSkinObjImage", TAttachMode::Attach, true), "ImageKind", "2")
                              : Plan("TSkinRadioButton"));
            b.Companion(Plan("TSkinGroupBox", TAttachMode::Attach, true));
        }
    } else if (kind == "checkgroup") {
        if (f.Has(xcPanel)) {
            if (f.Has(xcRadioButton))
                b.Children(rz ? WithOption(Plan("TSkinObjImage", TAttachMode::Attach, true), "ImageKind", "1")
                              : Plan("TSkinCheckBox"));
            if (f.Has(xcGroupBox)) b.Companion(Plan("TSkinGroupBox", TAttachMode::Attach, true));
        }
    } else if (kind == "checkbox") {
        if (f.Has(xcCheckBox)) b.Companion(Plan("TSkinCheckBox"));
    }
    return b;
}

TSkinDecision DecideControl(const TControlFacts& f) {
    Builder b;
    if (f.Tag == f.DisableTag) {
        if (DisablesGroupChildren(f.UpperName, f.HasChildren)) b.Step(TStepKind::DisableChildren);
        return b;
    }
    if (auto mapped = DecideThirdParty(f)) return std::move(*mapped);
    const std::string& u = f.UpperName;
    if (u == "TDBCOMBOBOXEH" || u == "TFRDESIGNERPAGE" || u == "TFRPBOX") return b;
    const bool tabs = f.Has(xcTab) && f.HasTabs;
    const bool scroll = f.Has(xcScrollbar);
    const TCompanionPlan scrollPlan = Plan("TSkinScrollbar", TAttachMode::Scroll);

    if (f.Is("TCustomTabControl") && tabs) {
        if (!f.Is("TPageControl")) return b.Companion(Plan("TSkinTab", TAttachMode::Attach, false, 2));
        return b.Companion(Plan(f.TabStyle != tsTabs ? "TSkinTabBtn" : "TSkinTab"));
    }
    if (f.Is("TToolButton") && f.FrameSkinned) {
        if (f.HasMenuItem) b.Step(TStepKind::HookButtonMenu);
        return b;
    }
    if (f.Is("TCoolBar") && f.Has(xcToolbar)) return b.Step(TStepKind::BandColors);
    if (u == "TTABSET" && tabs) return b.Companion(Plan("TSkinTab31"));
    if (f.Is("TTabSheet") && tabs) return b.Companion(Plan("TSkinTabSheet"));
    if (u == "TTABBEDNOTEBOOK" && tabs) return b.Companion(Plan("TSkinTab"));
    if (u == "TMVCPANEL") return b.Step(TStepKind::ScanChildren);
    if (f.Is("THeaderControl") && f.Has(xcPanel)) return b.Companion(Plan("TSkinHeader"));
    if (f.Is("TCustomCheckBox") && f.Has(xcCheckBox)) return b.Companion(Plan("TSkinCheckBox"));
    if (f.Is("TTrackBar") && f.Has(xcTrackBar)) return b.Companion(Plan("TSkinTrackBar"));
    if ((u == "TUPDOWN" || u == "TSPINBUTTON") && f.Has(xcSpin)) return b.Companion(Plan("TSkinUpDown"));
    if (u == "TMEDIAPLAYER" && f.Has(xcButton)) return b.Companion(Plan("TSkinMP"));
    if (f.Is("TCustomRadioGroup") && f.Has(xcRadioButton))
        return b.Children(Plan("TSkinRadioButton")).Companion(Plan("TSkinGroupBox", TAttachMode::Attach, true));
    if (u == "TDBNAVIGATOR" && f.Has(xcPanel))
        return b.Companion(Plan("TSkinBox", TAttachMode::Attach, true)).Step(TStepKind::SkinChildren);
    if ((u == "TRZDBCHECKBOX" || u == "TRZCHECKBOX") && f.Has(xcCheckBox))
        return b.Companion(WithOption(Plan("TSkinObjImage", TAttachMode::Attach, true), "ImageKind", "1"));
    if ((u == "TRZRADIOBUTTON" || u == "TRZDBRADIOBUTTON") && f.Has(xcRadioButton))
        return b.Companion(WithOption(Plan("TSkinObjImage", TAttachMode::Attach, true), "ImageKind", "2"));
    if ((u == "TCXDBCHECKBOX" || u == "TCXCHECKBOX") && f.Has(xcCheckBox))
        return b.Companion(WithOption(Plan("TSkinObjImage", TAttachMode::Attach, true), "ImageKind", "3"));
    if (f.Is("TCustomGroupBox") && f.Has(xcPanel))
        return b.Step(TStepKind::ScanChildren).Companion(Plan("TSkinGroupBox"));
    if (f.Is("TRadioButton") && f.Has(xcRadioButton)) return b.Companion(Plan("TSkinRadioButton"));
    if (f.Is("TToolBar") && f.Has(xcToolbar)) {
        b.Set("Flat", "True").Step(TStepKind::ToolbarHandlers).Companion(Plan("TSkinBox"));
        if (f.HasMenu) b.Step(TStepKind::HookToolbarMenu);
        return b;
    }
    if (f.Is("TCustomStatusBar") && f.Has(xcStatusBar)) return b.Companion(Plan("TSkinStatusBar"));
    if (f.Is("TProgressBar") && f.Has(xcProgress)) return b.Companion(Plan("TSkinProgress"));
    if (f.Is("TScrollBar") && scroll) return b.Companion(Plan("TSkinScControl", TAttachMode::ScrollControl));
    if (u == "TTNTCOMBOBOX" && f.Has(xcCombo)) return b.Companion(Plan("TSkinComBox"));
    if (f.Is("TCustomComboBox") && f.Has(xcCombo)) return b.Companion(Plan("TSkinComBox"));
    if (f.Is("TDateTimePicker") && f.Has(xcEdit)) {
        const bool editLike = f.DateMode == dmUpDown || f.DateKind == dtkTime;
        return b.Companion(Plan(editLike ? "TSkinEdit" : "TSkinDateTime"));
    }
    if (u == "TRICHEDIT" && scroll) return b.Companion(scrollPlan);
    if ((u == "TWWDBRICHEDIT" || u == "TDXDBMEMO") && scroll) return b.Companion(scrollPlan);
    if (f.Is("TBitBtn")) {
        // A glyph button never falls through to the plain push-button test below.
        if (f.Has(xcBitBtn)) b.Companion(Plan("TSkinBitButton"));
        return b;
    }
    if (f.Is("TSpeedButton") && f.Has(xcSpeedButton))
        return b.Companion(Plan("TSkinSpeedButton", TAttachMode::SpeedButton));
    if (f.Is("TCustomPanel") && f.Has(xcPanel))
        return b.Step(TStepKind::ScanChildren).Companion(Plan("TSkinBox", TAttachMode::Attach, true));
    if ((u == "TDXTREELIST" || u == "TDXDBTREELIST" || u == "TDXDBGRID") && scroll) return b.Companion(scrollPlan);
    if (f.Is("TCustomListView") && scroll) return b.Companion(Plan("TSkinListView", TAttachMode::Scroll));
    if (f.Is("TCustomMemo") && scroll) return b.Companion(scrollPlan);
    if (f.Is("TCustomGrid") && scroll) return b.Companion(scrollPlan);
    if (IsScrollingControl(f) && scroll) return b.Companion(scrollPlan);
    if (f.Is("TButton") && f.Has(xcButton)) return b.Companion(Plan("TSkinButton"));
    if (f.Is("TCustomEdit") && f.Has(xcEdit)) return b.Companion(Plan("TSkinEdit"));
    if (u != "TDCEDIT" && u != "TDCDBEDIT") {
        if (f.Is("TCustomFrame")) return b.Step(TStepKind::ScanComponents);
        if (f.Is("TCustomForm"))
            return b.Companion(Plan("TSkinBox", TAttachMode::Attach, true)).Step(TStepKind::ScanComponents);
        return b;
    }
    if (f.NumButtons == 1 && f.Has(xcCombo)) return b.Companion(Plan("TSkinComBox"));
    if (f.NumButtons == 0 && f.Has(xcEdit)) return b.Companion(Plan("TSkinEdit", TAttachMode::Handle));
    return b;
}

namespace {
// Button types of comctl32 6 (not in every SDK's headers).
constexpr LONG_PTR kSplitButton = 0xC, kDefSplitButton = 0xD, kCommandLink = 0xE, kDefCommandLink = 0xF;
} // namespace

TSkinDecision DecideWindow(std::string_view className, LONG_PTR style, bool hasFirstChild) {
    const std::string c = Lower(className);
    auto handle = [](const char* name) { return Plan(name, TAttachMode::Handle); };
    Builder b;
    if (c == "button") {
        // Split buttons and command links are push buttons: their type numbers share bits with
        // the check box, radio and owner-drawn types that the masks below look for.
        const LONG_PTR type = style & BS_TYPEMASK;
        if (type == kSplitButton || type == kDefSplitButton || type == kCommandLink || type == kDefCommandLink)
            return b.Companion(handle("TSkinButton"));
        if ((style & 0xB) == 0xB) return b; // owner-drawn: the owner paints it
        if ((style & 7) == 7 || (style & BS_BITMAP)) return b;
        if ((style & 3) == 3 || (style & 2)) return b.Companion(handle("TSkinCheckBox"));
        if ((style & 5) == 5) return b.Companion(handle("TSkinCheckBox"));
        if ((style & 9) == 9 || (style & 4)) return b.Companion(handle("TSkinRadioButton"));
        return b.Companion(handle("TSkinButton"));
    }
    if (c == "combobox") {
        if ((style & 3) != CBS_SIMPLE) b.Companion(handle("TSkinComBox"));
        return b;
    }
    if (c == "comboboxex32") {
        if (hasFirstChild) b.FirstChild(handle("TSkinComBox"));
        return b;
    }
    if (c == "scrollbar") {
        // Only the size grip (or size box) is a sizer; a scroll bar of a dialog keeps its own
        // look whether or not it is a tab stop.
        if (style & (SBS_SIZEGRIP | SBS_SIZEBOX)) b.Companion(handle("TSkinSizer"));
        return b;
    }
    if (c == "#32770") {
        if (!(style & WS_TABSTOP)) b.Step(TStepKind::ChildWindows).Companion(handle("TSkinBoxH"));
        return b;
    }
    if (c == "tpanel" || c == "ttntpanel.unicodeclass" || c == "ttntsilentpaintpanel.unicodeclass")
        return b.Step(TStepKind::ChildWindows).Step(TStepKind::FaceColor);
    if (c == "tcheckbox") return b.Companion(handle("TSkinCheckBox"));
    if (c == "tcombobox") return b.Companion(handle("TSkinComBox"));
    if (c == "tbutton") return b.Companion(handle("TSkinButton"));
    if (c == "tprogressbar") return b.Companion(handle("TSkinProgress"));
    if (c == "tsilentpaintpanel") return b.Step(TStepKind::FaceColor);
    if (c == "systabcontrol32") {
        if (!(style & TCS_OWNERDRAWFIXED)) b.Companion(handle("TSkinTab"));
        return b;
    }
    if (c == "edit") return b.Companion(handle("TSkinEdit"));
    // The file list of the system's Open and Save dialogs: a list view inside the shell's view
    // window. Its scroll bars are skinned like those of any bare window.
    if (c == "shelldll_defview") return b.Step(TStepKind::ChildWindows);
    if (c == "syslistview32") return b.Companion(handle("TSkinScrollbarH"));
    return b;
}

int ToolbarButtonFrame(TCustomDrawState state) {
    if (state & cdsSelected) return 2;
    if (state & (cdsFocused | cdsHot)) return 4;
    if ((state & cdsDefault) && !(state & (cdsGrayed | cdsDisabled))) return 1;
    return 0;
}

std::optional<TColor> ToolbarButtonTextColor(int frame, const TDataSkinButton& buttons) {
    if (frame == 1 && buttons.HasNormalColour2) return buttons.NormalColour2;
    if (frame == 4 && buttons.HasMouseOverColour2) return buttons.MouseOverColour2;
    if (frame == 2 && buttons.HasPressedColour2) return buttons.PressedColour2;
    return std::nullopt;
}

// ---- what the scans change on controls, and give back ---------------------------------------------

namespace {

// Stands in the form object's companion list for changes the scans made to a control that no
// companion owns (drawing handlers, a Flat switch, band colours, menus switched to skin drawing):
// SkinChanged applies them again with the new skin, Restore gives the old state back. Owned by
// the component it changed, so it goes with it.
class TSkinDiscoveryUndo : public TSkinControl {
    WL_CLASS(TSkinDiscoveryUndo, TSkinControl)
public:
    TSkinDiscoveryUndo(TComponent* owner, TWinSkinForm& form, TControl* target)
        : TSkinControl(owner), FTarget(target) {
        FSkinForm = &form;
        FSkinData = form.SkinData();
        FAttached = true;
        FLifeState = TLifeState::Attached;
    }
    // Runs `apply` now and after each skin change; `undo` once when the skin is removed.
    void Add(std::function<void()> apply, std::function<void()> undo) {
        if (apply) apply();
        FChanges.push_back({std::move(apply), std::move(undo)});
    }
    TControl* Control() const override { return FTarget; }
    TComponent* Target() const { return Owner(); }
    void Restore() override {
        std::vector<Change> changes;
        changes.swap(FChanges);
        for (auto it = changes.rbegin(); it != changes.rend(); ++it)
            if (it->undo && !Owner()->IsDestroying()) it->undo();
    }
    void SkinChanged() override {
        for (Change& c : FChanges)
            if (c.apply) c.apply();
    }

private:
    struct Change {
        std::function<void()> apply, undo;
    };
    TControl* FTarget;
    std::vector<Change> FChanges;
};

TSkinDiscoveryUndo* FindUndo(const TWinSkinForm& form, TComponent* target) {
    for (TSkinCompanion* c : form.Controls())
        if (auto* u = dynamic_cast<TSkinDiscoveryUndo*>(c); u && u->Target() == target) return u;
    return nullptr;
}

TSkinDiscoveryUndo& UndoFor(TWinSkinForm& form, TComponent* target) {
    if (TSkinDiscoveryUndo* u = FindUndo(form, target)) return *u;
    // Owned by the component it changes; the form object's list refers to it.
    auto* undo = new TSkinDiscoveryUndo(target, form, dynamic_cast<TControl*>(target));
    form.AddControl(undo);
    return *undo;
}

// Creates and attaches one companion; null when its class is not linked in or it did not take.
// `window` is the window for attaching by handle (plain windows have no control object).
TSkinControl* AttachCompanion(TWinSkinForm& form, const TCompanionPlan& plan, TControl* control, HWND window) {
    // A control's companion is owned by the control and goes with it; a bare window's is owned by
    // the form object's list once it has attached.
    TSkinControl* c = CreateCompanion(plan.ClassName, control);
    if (!c) return nullptr;
    std::unique_ptr<TSkinCompanion> made(control ? nullptr : c);
    TSkinData* data = form.SkinData();
    TCanvas* canvas = &form.ControlCanvas();
    auto* wc = dynamic_cast<TWinControl*>(control);
    c->SetMode(plan.FMode);
    if (!plan.Option.empty()) SetPropertyText(c, plan.Option, plan.OptionValue);
    // A companion that cannot attach leaves its control unskinned.
    TAttachContext context{TAttachKind::Control, &form, data, canvas, plan.Colorize, wc, nullptr};
    switch (plan.Mode) {
    case TAttachMode::Attach: break;
    case TAttachMode::Handle:
        context.Kind = TAttachKind::Handle;
        context.Window = window || !wc ? window : wc->Handle();
        break;
    case TAttachMode::Scroll: context.Kind = TAttachKind::Scroll; break;
    case TAttachMode::ScrollControl: context.Kind = TAttachKind::ScrollControl; break;
    case TAttachMode::SpeedButton: context.Kind = TAttachKind::SpeedButton; break;
    }
    SwallowFailures([&] { c->Attach(context); });
    if (!c->IsAttached()) {
        if (control) made = c->ReleaseFromOwner(); // freed on return
        return nullptr;
    }
    if (control) form.AddControl(c);
    else form.Companions().Adopt(std::move(made));
    return c;
}

TControl* ChildAt(TWinControl* parent, int index) { return parent->Controls(index); }

std::vector<TControl*> ChildrenOf(TControl* control) {
    std::vector<TControl*> children;
    if (auto* wc = dynamic_cast<TWinControl*>(control))
        for (int i = 0; i < wc->ControlCount(); ++i) children.push_back(ChildAt(wc, i));
    return children;
}

void InstallToolbarHandlers(TWinSkinForm& form, TToolBar* toolbar) {
    TSkinDiscoveryUndo& undo = UndoFor(form, toolbar);
    TWinSkinForm* f = &form;
    if (!toolbar->OnCustomDraw) {
        undo.Add(
            [f, toolbar] {
                // Nothing escapes a paint notification; on failure the toolbar draws itself.
                toolbar->OnCustomDraw = [f](TToolBar* t, const RECT& r, bool& d) {
                    SwallowFailures([&] { ToolbarDraw(*f, t, r, d); });
                };
            },
            [toolbar] { toolbar->OnCustomDraw.Clear(); });
    }
    if (!toolbar->OnCustomDrawButton) {
        undo.Add(
            [f, toolbar] {
                toolbar->OnCustomDrawButton = [f](TToolBar* t, TToolButton* b, TCustomDrawState s, bool& d) {
                    SwallowFailures([&] { ToolbarButtonDraw(*f, t, b, s, d); });
                };
            },
            [toolbar] { toolbar->OnCustomDrawButton.Clear(); });
    }
    toolbar->Invalidate();
}

void SetControlProperty(TWinSkinForm& form, TControl* control, const std::string& name, const std::string& value) {
    const TPropInfo* p = control->ClassInfo().FindProperty(name);
    if (!p || !p->getText) return; // a property the class does not have
    std::string old;
    if (!SwallowFailures([&] { old = p->getText(*control); })) return;
    if (old == value) return;
    if (!SetPropertyText(control, name, value)) return;
    UndoFor(form, control).Add(nullptr, [control, name, old] { SetPropertyText(control, name, old); });
}

void HookToolbarMenu(TWinSkinForm& form, TToolBar* toolbar) {
    TMainMenu* menu = toolbar->Menu();
    if (!menu || !menu->Items()) return;
    TWinSkinForm* f = &form;
    for (int i = 0; i < menu->Items()->Count(); ++i) HookMenuItems(form, menu->Items()->Items(i), true);
    UndoFor(form, toolbar).Add(nullptr, [f, toolbar, menu] {
        // The toolbar lets go of a menu that is freed; only a menu still held is touched.
        if (toolbar->Menu() != menu || !menu->Items()) return;
        for (int i = 0; i < menu->Items()->Count(); ++i) HookMenuItems(*f, menu->Items()->Items(i), false);
    });
}

void HookButtonMenu(TWinSkinForm& form, TToolButton* button) {
    TMenuItem* item = button->MenuItem();
    if (!item) return;
    TWinSkinForm* f = &form;
    HookMenuItems(form, item, true);
    UndoFor(form, button).Add(nullptr, [f, button, item] {
        if (button->MenuItem() == item) HookMenuItems(*f, item, false);
    });
}

void SetBandColors(TWinSkinForm& form, TCoolBar* bar) {
    std::vector<TColor> saved;
    for (int i = 0; i < bar->Bands()->Count(); ++i) saved.push_back(bar->Band(i)->Color());
    TWinSkinForm* f = &form;
    UndoFor(form, bar).Add(
        [f, bar] {
            for (int i = 0; i < bar->Bands()->Count(); ++i) bar->Band(i)->SetColor(f->SkinData()->ButtonFace);
        },
        [bar, saved] {
            for (int i = 0; i < bar->Bands()->Count() && i < static_cast<int>(saved.size()); ++i)
                bar->Band(i)->SetColor(saved[static_cast<size_t>(i)]);
        });
}

// The popup menus the component owns, drawn as the form's popup menus are (the disable tag and
// the application's own handlers respected).
void HookPopupMenus(TWinSkinForm& form, TComponent* component) {
    for (int i = 0; i < component->ComponentCount(); ++i) {
        auto* menu = dynamic_cast<TPopupMenu*>(component->Components(i));
        if (!menu || FindUndo(form, menu)) continue;
        TWinSkinForm* f = &form;
        if (!SkinPopupMenu(form, menu, true)) continue;
        UndoFor(form, menu).Add(nullptr, [f, menu] { SkinPopupMenu(*f, menu, false); });
    }
}

void Execute(TWinSkinForm& form, TControl* control, const TSkinDecision& decision) {
    auto* wc = dynamic_cast<TWinControl*>(control);
    for (const TDiscoveryStep& step : decision.Steps) {
        switch (step.Kind) {
        case TStepKind::Companion: AttachCompanion(form, step.Plan, control, nullptr); break;
        case TStepKind::ChildCompanion:
            for (TControl* child : ChildrenOf(control))
                if (!IsControlSkinned(form, child)) AttachCompanion(form, step.Plan, child, nullptr);
            break;
        case TStepKind::ChildEmbedScroll:
            for (TControl* child : ChildrenOf(control)) {
                if (IsControlSkinned(form, child)) continue;
                if (auto plan = EmbedScrollPlan(ReadControlFacts(form, *child)))
                    AttachCompanion(form, *plan, child, nullptr);
            }
            break;
        case TStepKind::SkinChildren:
            for (TControl* child : ChildrenOf(control)) SkinControl(form, child, nullptr);
            break;
        case TStepKind::ScanChildren:
            if (wc) ScanChildren(form, wc);
            break;
        case TStepKind::ScanComponents: ScanComponents(form, control); break;
        case TStepKind::DisableChildren: DisableGroupChildren(form, control); break;
        case TStepKind::SetProperty: SetControlProperty(form, control, step.Property, step.Value); break;
        case TStepKind::ToolbarHandlers:
            if (auto* tb = dynamic_cast<TToolBar*>(control)) InstallToolbarHandlers(form, tb);
            break;
        case TStepKind::HookToolbarMenu:
            if (auto* tb = dynamic_cast<TToolBar*>(control)) HookToolbarMenu(form, tb);
            break;
        case TStepKind::HookButtonMenu:
            if (auto* button = dynamic_cast<TToolButton*>(control)) HookButtonMenu(form, button);
            break;
        case TStepKind::BandColors:
            if (auto* bar = dynamic_cast<TCoolBar*>(control)) SetBandColors(form, bar);
            break;
        case TStepKind::FaceColor:
        case TStepKind::ChildWindows:
        case TStepKind::FirstChildWindow:
            break; // plain windows only
        }
    }
}

bool AnswersSkinned(HWND window) {
    if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId())
        return SendMessageW(window, SKM_ISSKINNED, 0, 0) == 1;
    DWORD_PTR result = 0;
    // A hung window of another thread must not stop the scan.
    if (!SendMessageTimeoutW(window, SKM_ISSKINNED, 0, 0, SMTO_ABORTIFHUNG, 1000, &result)) return false;
    return result == 1;
}

// Watches a skinned form's window for child windows created after the start: each new window
// that belongs to a framework control is skinned through that control once its creation has
// finished (a message posted to the form's window, handled here). Windows without a control
// object (the inner parts of system controls) are left to the companion of the control they
// belong to. Listed among the form's companions, so that unskinning removes it; it names neither
// a control nor a window of its own.
class TSkinDiscoveryWatch : public TSkinCompanion {
public:
    explicit TSkinDiscoveryWatch(TWinSkinForm& form) : FForm(form) {
        FSubclass.Attach(form.Handle(), [this](TMessage& m) { WndProc(m); }, [this] { FDestroyed = true; });
        RelayFrom(form.Handle());
    }
    ~TSkinDiscoveryWatch() override {
        FRelays.clear();
        FSubclass.Detach();
        FForm.RemoveControl(this);
    }
    HWND Handle() const override { return nullptr; }
    TControl* Control() const override { return nullptr; }
    TLifeState LifeState() const override { return FDestroyed ? TLifeState::WindowDestroyed : TLifeState::Attached; }
    void Restore() override {
        FRelays.clear();
        FSubclass.Detach();
    }
    void SkinChanged() override {}
    bool Watching() const { return FSubclass.Attached(); }

    static UINT LaterMessage() {
        static const UINT message = RegisterWindowMessageW(L"WordlarkSkinLaterChild");
        return message;
    }

private:
    void WndProc(TMessage& m) {
        if (m.Msg == LaterMessage() && m.Msg != 0) {
            const HWND child = reinterpret_cast<HWND>(m.WParam);
            m.Result = 0;
            // A control that cannot be skinned stays as it is.
            SwallowFailures([&] {
                if (!IsWindow(child) || !FindControl(child)) return;
                SkinChildWindow(FForm, child);
                if (IsWindow(child)) {
                    if (IsContainer(child)) AddRelay(child);
                    RelayFrom(child);
                }
            });
            return;
        }
        if (m.Msg == WM_PARENTNOTIFY && LOWORD(m.WParam) == WM_CREATE && m.LParam)
            PostMessageW(FSubclass.Window(), LaterMessage(), static_cast<WPARAM>(m.LParam), 0);
        // Nothing of this object is touched after the previous procedure ran: at WM_NCDESTROY
        // the form object frees its companions, this one included.
        FSubclass.CallPrevious(m);
    }

    // A new window's WM_PARENTNOTIFY reaches only its parent (so under Wine): the containers in
    // the form (pages, panels, group boxes, scroll boxes, frames) pass theirs on to the form.
    static bool IsContainer(HWND window) {
        TControl* c = FindControl(window);
        // Windows of ours that no control holds (the scroll-bar overlays) are no containers.
        if (!c || !c->Parent() || !dynamic_cast<TWinControl*>(c)) return false;
        for (const char* kind : {"TCustomPanel", "TCustomGroupBox", "TTabSheet", "TCustomTabControl", "TScrollBox",
                                 "TCustomFrame", "TCustomForm", "TCoolBar", "TToolBar"})
            if (c->InheritsFrom(kind)) return true;
        return false;
    }
    static BOOL CALLBACK CollectContainer(HWND child, LPARAM data) {
        if (IsContainer(child)) reinterpret_cast<std::vector<HWND>*>(data)->push_back(child);
        return TRUE;
    }
    void RelayFrom(HWND root) {
        std::vector<HWND> containers;
        EnumChildWindows(root, CollectContainer, reinterpret_cast<LPARAM>(&containers));
        for (HWND c : containers) AddRelay(c);
    }
    void AddRelay(HWND container) {
        const HWND form = FSubclass.Window();
        if (!form || container == form) return;
        // Relays of windows that are gone are dropped as new ones come.
        std::erase_if(FRelays, [](const std::unique_ptr<TWindowSubclass>& r) { return !r->Attached(); });
        for (const auto& r : FRelays)
            if (r->Window() == container) return;
        auto relay = std::make_unique<TWindowSubclass>();
        TWindowSubclass* self = relay.get();
        relay->Attach(container, [self, form](TMessage& m) {
            if (m.Msg == WM_PARENTNOTIFY && LOWORD(m.WParam) == WM_CREATE && m.LParam)
                PostMessageW(form, LaterMessage(), static_cast<WPARAM>(m.LParam), 0);
            self->CallPrevious(m);
        });
        if (relay->Attached()) FRelays.push_back(std::move(relay));
    }

    TWinSkinForm& FForm;
    TWindowSubclass FSubclass;
    std::vector<std::unique_ptr<TWindowSubclass>> FRelays;
    bool FDestroyed = false;
};

void WatchForLaterControls(TWinSkinForm& form) {
    if (!form.Handle() || !IsWindow(form.Handle())) return;
    for (TSkinCompanion* c : form.Controls())
        if (dynamic_cast<TSkinDiscoveryWatch*>(c)) return;
    form.Companions().Adopt(std::make_unique<TSkinDiscoveryWatch>(form));
}

// The controls one ScanForm has already decided (null outside a scan): its pass over the tab
// order only has to look at controls the component scan did not reach.
std::vector<TControl*>* g_decided = nullptr;

} // namespace

// ---- facts -----------------------------------------------------------------------------------------

TControlFacts ReadControlFacts(TWinSkinForm& form, TControl& control) {
    TControlFacts f;
    for (const TClassInfo* info = &control.ClassInfo(); info; info = info->parent) f.Classes.push_back(info->name);
    f.UpperName = Upper(control.ClassName());
    auto* wc = dynamic_cast<TWinControl*>(&control);
    f.Windowed = wc != nullptr;
    f.HasChildren = wc && wc->ControlCount() > 0;
    const HWND window = wc && wc->HandleAllocated() ? wc->HandleValue() : nullptr;
    if (window) {
        f.Style = GetWindowLongPtrW(window, GWL_STYLE);
        RECT w{}, c{};
        if (GetWindowRect(window, &w) && GetClientRect(window, &c))
            f.HasBorder = (w.right - w.left) != (c.right - c.left) || (w.bottom - w.top) != (c.bottom - c.top);
    }
    f.Tag = control.Tag();
    f.FrameSkinned = form.SkinFrame();
    if (TSkinData* data = form.SkinData()) {
        f.DisableTag = data->DisableTag();
        f.SkinControls = data->SkinControls();
        f.Options = data->Options();
        f.HasTabs = HasElement(data->Tabs.get());
        f.ThirdPartyKind = data->Skin3rdKind(control.ClassName());
    }
    if (auto* tabs = dynamic_cast<TCustomTabControl*>(&control)) f.TabStyle = tabs->Style();
    if (auto* picker = dynamic_cast<TDateTimePicker*>(&control)) {
        f.DateMode = picker->DateMode();
        f.DateKind = picker->Kind();
    }
    f.NumButtons = GetOrdProperty(&control, "NumButtons");
    f.KindName = GetEnumProperty(&control, "Kind");
    if (auto* button = dynamic_cast<TToolButton*>(&control)) f.HasMenuItem = button->MenuItem() != nullptr;
    if (auto* toolbar = dynamic_cast<TToolBar*>(&control)) f.HasMenu = toolbar->Menu() != nullptr;
    return f;
}

// ---- the scans -------------------------------------------------------------------------------------

bool IsControlSkinned(const TWinSkinForm& form, TControl* control) {
    if (!control) return false;
    if (auto* wc = dynamic_cast<TWinControl*>(control)) {
        if (wc->HandleAllocated() && AnswersSkinned(wc->HandleValue())) return true;
    } else if (control->Perform(SKM_ISSKINNED) == 1) {
        return true;
    }
    for (TSkinCompanion* c : form.Controls())
        if (c && c->Control() == control) return true;
    return false;
}

void DisableGroupChildren(TWinSkinForm& form, TControl* control) {
    auto* wc = dynamic_cast<TWinControl*>(control);
    if (!wc || !form.SkinData()) return;
    if (!DisablesGroupChildren(control->ClassName(), wc->ControlCount() > 0)) return;
    for (TControl* child : ChildrenOf(control)) child->SetTag(form.SkinData()->DisableTag());
}

bool SkinThirdParty(TWinSkinForm& form, const std::string& upperName, TControl* control) {
    if (!control) return false;
    TControlFacts facts = ReadControlFacts(form, *control);
    facts.UpperName = upperName;
    std::optional<TSkinDecision> decision = DecideThirdParty(facts);
    if (!decision) return false;
    Execute(form, control, *decision);
    return true;
}

void SkinControl(TWinSkinForm& form, TControl* control, TComponent* container) {
    TSkinData* data = form.SkinData();
    if (!control || !data) return;
    if (control->Tag() == data->DisableTag()) {
        DisableGroupChildren(form, control);
        return;
    }
    if (!control->Parent() || IsControlSkinned(form, control)) return;
    auto* wc = dynamic_cast<TWinControl*>(control);
    if (wc && !wc->HandleAllocated()) {
        // A control whose window cannot be made stays as it is.
        if (!SwallowFailures([&] { wc->HandleNeeded(); }) || !wc->HandleAllocated()) return;
    }
    const std::string upperName = Upper(control->ClassName());
    if (data->OnSkinControl) {
        TComponent* skinned = nullptr;
        // The application's handler failed: leave the control alone.
        if (!SwallowFailures([&] {
                data->OnSkinControl(&form, data, dynamic_cast<TControl*>(container), control, upperName,
                                    skinned);
            }))
            return;
        if (auto* companion = dynamic_cast<TSkinControl*>(skinned)) {
            if (!form.AddControl(companion)) {
                companion->Attach(TAttachContext::ForControl(&form, data, &form.ControlCanvas(), companion->Colorizes()));
                if (wc && control->InheritsFrom("TCustomPanel")) ScanChildren(form, wc);
            }
            return;
        }
    }
    if (g_decided) g_decided->push_back(control);
    Execute(form, control, DecideControl(ReadControlFacts(form, *control)));
}

void ScanChildren(TWinSkinForm& form, TWinControl* control) {
    if (!control) return;
    for (TControl* child : ChildrenOf(control)) SkinControl(form, child, control);
}

void ScanComponents(TWinSkinForm& form, TComponent* component) {
    if (!component) return;
    std::vector<TControl*> controls;
    for (int i = 0; i < component->ComponentCount(); ++i)
        if (auto* c = dynamic_cast<TControl*>(component->Components(i))) controls.push_back(c);
    for (TControl* c : controls) SkinControl(form, c, component);
    if (form.SkinData() && (form.SkinData()->SkinControls() & SkinControlBit(xcPopupMenu)))
        HookPopupMenus(form, component);
}

void ScanForm(TWinSkinForm& form) {
    // Companions whose window is gone are freed first.
    form.Companions().Purge();
    TCustomForm* f = form.Form();
    TSkinData* data = form.SkinData();
    if (!f || !data) return;
    std::vector<TControl*> decided;
    {
        // The outer scan's list comes back however this scan ends.
        struct Restore {
            std::vector<TControl*>* outer;
            ~Restore() { g_decided = outer; }
        } restore{std::exchange(g_decided, &decided)};
        ScanComponents(form, f);
    }
    std::sort(decided.begin(), decided.end());
    std::vector<TWinControl*> list;
    f->GetTabOrderList(list);
    for (TWinControl* c : list) {
        // The list of decided controls answers for most of them without a message to the window.
        if (std::binary_search(decided.begin(), decided.end(), static_cast<TControl*>(c))) continue;
        if (!c->HandleAllocated() || c->Tag() == data->DisableTag() || AnswersSkinned(c->HandleValue())) continue;
        SkinControl(form, c, f);
    }
    WatchForLaterControls(form);
}

void SkinChildWindows(TWinSkinForm& form, HWND window) {
    std::vector<HWND> children;
    for (HWND child = GetTopWindow(window); child; child = GetWindow(child, GW_HWNDNEXT))
        if (GetWindowLongPtrW(child, GWL_STYLE) & WS_CHILD) children.push_back(child);
    for (HWND child : children)
        if (IsWindow(child)) SkinChildWindow(form, child);
}

void SkinChildWindow(TWinSkinForm& form, HWND window) {
    if (!window || !form.SkinData()) return;
    for (TSkinCompanion* c : form.Controls())
        if (c && c->Handle() == window) return;
    if (AnswersSkinned(window)) return;
    // A window of a framework control is skinned through its object, so it gets the companion
    // its class asks for and not the one its window class would suggest.
    if (TControl* control = FindControl(window)) {
        SkinControl(form, control, control->Parent());
        return;
    }
    char name[101] = {};
    GetClassNameA(window, name, sizeof name);
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    const HWND first = GetWindow(window, GW_CHILD);
    const TSkinDecision decision = DecideWindow(name, style, first != nullptr);
    for (const TDiscoveryStep& step : decision.Steps) {
        switch (step.Kind) {
        case TStepKind::Companion: AttachCompanion(form, step.Plan, nullptr, window); break;
        case TStepKind::FirstChildWindow: {
            bool known = false;
            for (TSkinCompanion* c : form.Controls()) known = known || (c && c->Handle() == first);
            if (!known && first) AttachCompanion(form, step.Plan, nullptr, first);
            break;
        }
        case TStepKind::ChildWindows: SkinChildWindows(form, window); break;
        case TStepKind::FaceColor:
            if (TControl* control = FindControl(window)) control->SetColor(form.SkinData()->ButtonFace);
            break;
        default: break;
        }
    }
}

// ---- toolbar drawing -------------------------------------------------------------------------------

void ToolbarDraw(TWinSkinForm& form, TToolBar* toolbar, const RECT& rect, bool& defaultDraw) {
    defaultDraw = true;
    TSkinData* data = form.SkinData();
    if (!toolbar || !data || !HasElement(data->Toolbar.get()) || (data->Options() & SkinOptionBit(xoToolbarBK)))
        return;
    TBitmap& image = data->Toolbar->Image;
    HDC dc = toolbar->Canvas().Handle();
    const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, image.Canvas().Handle(), 0,
               0, image.Width(), image.Height(), SRCCOPY);
    SetStretchBltMode(dc, oldMode);
}

void ToolbarButtonDraw(TWinSkinForm& form, TToolBar* toolbar, TToolButton* button, TCustomDrawState state,
                       bool& defaultDraw) {
    defaultDraw = true;
    TSkinData* data = form.SkinData();
    if (!toolbar || !button || !data || !HasElement(data->Buttons.get()) || form.State() != sfsRunning) return;
    const int frame = ToolbarButtonFrame(state);
    if (frame == 0) return;
    if (auto color = ToolbarButtonTextColor(frame, *data->Buttons)) toolbar->Canvas().Font().SetColor(*color);
    RECT r = button->BoundsRect();
    InflateRect(&r, -1, -1);
    if (r.right <= r.left || r.bottom <= r.top) return;
    TElementDraw d = ElementDraw(*data->Buttons, frame);
    d.Frames = 5;
    d.Tile = false;
    d.Transparent = data->Buttons->Trans != 0;
    DrawElement(toolbar->Canvas().Handle(), r, d);
}

// ---- registration ----------------------------------------------------------------------------------

namespace {

void ScanWindow(TWinSkinForm& form) { SkinChildWindows(form, form.Handle()); }

// A scroll-bar companion's control made a new window: a companion of the same class takes over.
void RecreateScroll(TWinSkinForm& form, TSkinCompanion& previous) {
    auto* old = dynamic_cast<TSkinControl*>(&previous);
    auto* control = old ? dynamic_cast<TWinControl*>(old->Control()) : nullptr;
    if (!control || !control->HandleAllocated()) return;
    TCompanionPlan plan = Plan(old->ClassName(),
                               old->ClassName() == "TSkinScControl" ? TAttachMode::ScrollControl : TAttachMode::Scroll,
                               false, old->Mode());
    AttachCompanion(form, plan, control, nullptr);
}

[[maybe_unused]] const bool registered = [] {
    TControlDiscovery d;
    d.ScanForm = &ScanForm;
    d.ScanWindow = &ScanWindow;
    d.SkinChildWindow = &SkinChildWindow;
    d.RecreateScroll = &RecreateScroll;
    SetControlDiscovery(d);
    return true;
}();

} // namespace

WL_DEFINE_ABSTRACT_CLASS(TSkinDiscoveryUndo, WL_NO_PROPERTIES)

} // namespace wl
