// Common controls: wrappers of the system's comctl32 windows (progress bars, track bars, up-down
// buttons, status bars, headers, list and tree views, tab and page controls, tool bars, cool
// bars, date-time pickers) with their published properties and events.
//
// Each control keeps its state in the object and pushes it to the window when the window is
// created (so a re-created window looks the same), and reads back what the user can change
// (positions, selections, widths) from the window while it exists. Notifications reach the
// control reflected by its parent (CN_NOTIFY, CN_COMMAND, CN_HSCROLL/CN_VSCROLL, CN_DRAWITEM).
// References to other components by name in form definitions (Associate, ActivePage, a band's
// Control, Images) are resolved when loading ends.
#pragma once

#include "ui/controls.h"

#include "ui/comctl32_calls.h"

#include <memory>
#include <string>
#include <vector>

namespace wl {

class TCustomImageList;
class TPopupMenu;

enum : UINT {
    CN_HSCROLL = CN_BASE + WM_HSCROLL,
    CN_VSCROLL = CN_BASE + WM_VSCROLL,
    CN_DRAWITEM = CN_BASE + WM_DRAWITEM,
};

// ---- progress bar ------------------------------------------------------------------------------

enum TProgressBarOrientation { pbHorizontal, pbVertical };

class TProgressBar : public TWinControl {
    WL_CLASS(TProgressBar, TWinControl)
public:
    explicit TProgressBar(TComponent* owner);
    int Min() const { return min_; }
    void SetMin(int v);
    int Max() const { return max_; }
    void SetMax(int v);
    int Position() const;
    void SetPosition(int v);
    int Step() const { return step_; }
    void SetStep(int v);
    bool Smooth() const { return smooth_; }
    void SetSmooth(bool on);
    TProgressBarOrientation Orientation() const { return orientation_; }
    void SetOrientation(TProgressBarOrientation o);
    // Advances the position by Step (wrapping to Min past Max, as the system control does).
    void StepIt();
    void StepBy(int delta);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;

private:
    int min_ = 0, max_ = 100, position_ = 0, step_ = 10;
    bool smooth_ = false;
    TProgressBarOrientation orientation_ = pbHorizontal;
};

// ---- track bar ---------------------------------------------------------------------------------

enum TTrackBarOrientation { trHorizontal, trVertical };
enum TTickMark { tmBottomRight, tmTopLeft, tmBoth };
enum TTickStyle { tsNone, tsAuto, tsManual };

class TTrackBar : public TWinControl {
    WL_CLASS(TTrackBar, TWinControl)
public:
    explicit TTrackBar(TComponent* owner);
    int Min() const { return min_; }
    void SetMin(int v);
    int Max() const { return max_; }
    void SetMax(int v);
    int Position() const;
    void SetPosition(int v);
    TTrackBarOrientation Orientation() const { return orientation_; }
    void SetOrientation(TTrackBarOrientation o);
    int Frequency() const { return frequency_; }
    void SetFrequency(int v);
    TTickMark TickMarks() const { return tickMarks_; }
    void SetTickMarks(TTickMark t);
    TTickStyle TickStyle() const { return tickStyle_; }
    void SetTickStyle(TTickStyle t);
    int PageSize() const { return pageSize_; }
    void SetPageSize(int v);
    int LineSize() const { return lineSize_; }
    void SetLineSize(int v);
    int SelStart() const { return selStart_; }
    void SetSelStart(int v);
    int SelEnd() const { return selEnd_; }
    void SetSelEnd(int v);
    // Custom tick marks (TickStyle tsManual).
    void SetTick(int value);

    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void WndProc(TMessage& msg) override;

private:
    void UpdateSelection();
    int min_ = 0, max_ = 10, position_ = 0, frequency_ = 1, pageSize_ = 2, lineSize_ = 1;
    int selStart_ = 0, selEnd_ = 0;
    TTrackBarOrientation orientation_ = trHorizontal;
    TTickMark tickMarks_ = tmBottomRight;
    TTickStyle tickStyle_ = tsAuto;
    std::vector<int> ticks_;
};

// ---- up-down -----------------------------------------------------------------------------------

enum TUDOrientation { udHorizontal, udVertical };
enum TUDAlignButton { udLeft, udRight };
// Which arrow was pressed (scoped: the media player has buttons of the same names).
enum class TUDBtnType { btNext, btPrev };
using TUDClickEvent = TEvent<TObject*, TUDBtnType>;
using TUDChangingEvent = TEvent<TObject*, bool&>;

class TUpDown : public TWinControl {
    WL_CLASS(TUpDown, TWinControl)
public:
    explicit TUpDown(TComponent* owner);
    ~TUpDown() override;
    int Min() const { return min_; }
    void SetMin(int v);
    int Max() const { return max_; }
    void SetMax(int v);
    int Position() const;
    void SetPosition(int v);
    int Increment() const { return increment_; }
    void SetIncrement(int v);
    TWinControl* Associate() const { return associate_; }
    void SetAssociate(TWinControl* control);
    std::string AssociateName() const;
    void SetAssociateName(const std::string& name);
    TUDAlignButton AlignButton() const { return alignButton_; }
    void SetAlignButton(TUDAlignButton a);
    TUDOrientation Orientation() const { return orientation_; }
    void SetOrientation(TUDOrientation o);
    bool Wrap() const { return wrap_; }
    void SetWrap(bool on);
    bool ArrowKeys() const { return arrowKeys_; }
    void SetArrowKeys(bool on);
    bool Thousands() const { return thousands_; }
    void SetThousands(bool on);
    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;

    TUDClickEvent OnClick;
    TUDChangingEvent OnChanging;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void WndProc(TMessage& msg) override;

private:
    void AttachBuddy();
    void UpdateBuddyText(int value);
    void DeltaPos(TMessage& msg);
    int min_ = 0, max_ = 100, position_ = 0, increment_ = 1;
    TWinControl* associate_ = nullptr;
    std::string pendingAssociate_;
    TUDAlignButton alignButton_ = udRight;
    TUDOrientation orientation_ = udVertical;
    bool wrap_ = false, arrowKeys_ = true, thousands_ = true;
    int lastDelta_ = 0;
    int positionBefore_ = 0;
};

// ---- status bar --------------------------------------------------------------------------------

enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };
enum TStatusPanelStyle { psText, psOwnerDraw };

class TStatusPanel : public TCollectionItem {
    WL_CLASS(TStatusPanel, TCollectionItem)
public:
    TStatusPanel() = default;
    const std::string& Text() const { return text_; }
    void SetText(const std::string& t);
    int Width() const { return width_; }
    void SetWidth(int w);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);
    TStatusPanelBevel Bevel() const { return bevel_; }
    void SetBevel(TStatusPanelBevel b);
    TStatusPanelStyle Style() const { return style_; }
    void SetStyle(TStatusPanelStyle s);

private:
    std::string text_;
    int width_ = 50;
    TAlignment alignment_ = taLeftJustify;
    TStatusPanelBevel bevel_ = pbLowered;
    TStatusPanelStyle style_ = psText;
};

class TCustomStatusBar;
using TDrawPanelEvent = TEvent<TCustomStatusBar*, TStatusPanel*, const RECT&>;

class TCustomStatusBar : public TWinControl {
    WL_CLASS(TCustomStatusBar, TWinControl)
public:
    explicit TCustomStatusBar(TComponent* owner);
    TCollection* Panels() { return &panels_; }
    TStatusPanel* Panel(int index) const { return panels_.Item<TStatusPanel>(index); }
    bool SimplePanel() const { return simplePanel_; }
    void SetSimplePanel(bool on);
    const std::string& SimpleText() const { return simpleText_; }
    void SetSimpleText(const std::string& t);
    bool SizeGrip() const { return sizeGrip_; }
    void SetSizeGrip(bool on);
    // The right edges sent to the control: the panels' widths added up, the last one open (-1).
    std::vector<int> PanelEdges() const;

    TDrawPanelEvent OnDrawPanel;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void WndProc(TMessage& msg) override;

private:
    void UpdatePanels(const TCollectionChange& change);
    void PushPanelText(int index);
    void UpdateSimple();
    TCollection panels_;
    bool simplePanel_ = false;
    std::string simpleText_;
    bool sizeGrip_ = true;
};

class TStatusBar : public TCustomStatusBar {
    WL_CLASS(TStatusBar, TCustomStatusBar)
public:
    using TCustomStatusBar::TCustomStatusBar;
};

// ---- header control ----------------------------------------------------------------------------

enum THeaderSectionStyle { hsText, hsOwnerDraw };

class THeaderSection : public TCollectionItem {
    WL_CLASS(THeaderSection, TCollectionItem)
public:
    THeaderSection() = default;
    const std::string& Text() const { return text_; }
    void SetText(const std::string& t);
    int Width() const { return width_; }
    void SetWidth(int w);
    int MinWidth() const { return minWidth_; }
    void SetMinWidth(int w);
    int MaxWidth() const { return maxWidth_; }
    void SetMaxWidth(int w);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);
    bool AllowClick() const { return allowClick_; }
    void SetAllowClick(bool on) { allowClick_ = on; }
    THeaderSectionStyle Style() const { return style_; }
    void SetStyle(THeaderSectionStyle s);
    // The width kept within MinWidth and MaxWidth.
    int ClampWidth(int w) const;

private:
    friend class THeaderControl;
    std::string text_;
    int width_ = 50, minWidth_ = 0, maxWidth_ = 10000;
    TAlignment alignment_ = taLeftJustify;
    bool allowClick_ = true;
    THeaderSectionStyle style_ = hsText;
};

class THeaderControl;
using TSectionNotifyEvent = TEvent<THeaderControl*, THeaderSection*>;
using TDrawSectionEvent = TEvent<THeaderControl*, THeaderSection*, const RECT&, bool>;

class THeaderControl : public TWinControl {
    WL_CLASS(THeaderControl, TWinControl)
public:
    explicit THeaderControl(TComponent* owner);
    TCollection* Sections() { return &sections_; }
    THeaderSection* Section(int index) const { return sections_.Item<THeaderSection>(index); }

    TSectionNotifyEvent OnSectionClick;
    TSectionNotifyEvent OnSectionResize;
    TDrawSectionEvent OnDrawSection;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void WndProc(TMessage& msg) override;

private:
    void UpdateSections(const TCollectionChange& change);
    void PushSection(int index, bool insert); // HDM_INSERTITEMA or HDM_SETITEMA
    void Notify(TMessage& msg);
    TCollection sections_;
    bool syncing_ = false;
};

// ---- list view ---------------------------------------------------------------------------------

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };

class TListColumn : public TCollectionItem {
    WL_CLASS(TListColumn, TCollectionItem)
public:
    TListColumn() = default;
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& c);
    int Width() const;
    void SetWidth(int w);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);

private:
    friend class TCustomListView;
    std::string caption_;
    int width_ = 50;
    TAlignment alignment_ = taLeftJustify;
    class TCustomListView* view_ = nullptr;
};

class TListItem : public TCollectionItem {
    WL_CLASS(TListItem, TCollectionItem)
public:
    TListItem();
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& c);
    TStringList* SubItems() { return &subItems_; }
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int i);
    bool Selected() const;
    void SetSelected(bool on);
    bool Checked() const;
    void SetChecked(bool on);

private:
    friend class TCustomListView;
    std::string caption_;
    TStringList subItems_;
    int imageIndex_ = -1;
    bool selected_ = false, checked_ = false;
    class TCustomListView* view_ = nullptr;
};

class TCustomListView;
using TLVSelectItemEvent = TEvent<TObject*, TListItem*, bool>;
using TLVColumnClickEvent = TEvent<TObject*, TListColumn*>;
enum : unsigned {
    cdsSelected = 1,
    cdsGrayed = 2,
    cdsDisabled = 4,
    cdsChecked = 8,
    cdsFocused = 16,
    cdsDefault = 32,
    cdsHot = 64
};
using TCustomDrawState = unsigned;
using TLVCustomDrawEvent = TEvent<TCustomListView*, const RECT&, bool&>;
using TLVCustomDrawItemEvent = TEvent<TCustomListView*, TListItem*, TCustomDrawState, bool&>;

class TCustomListView : public TWinControl {
    WL_CLASS(TCustomListView, TWinControl)
public:
    explicit TCustomListView(TComponent* owner);
    ~TCustomListView() override;
    TCollection* Columns() { return &columns_; }
    TCollection* Items() { return &items_; }
    TListColumn* Column(int index) const { return columns_.Item<TListColumn>(index); }
    TListItem* Item(int index) const { return items_.Item<TListItem>(index); }
    TListItem* AddItem(const std::string& caption);
    TListColumn* AddColumn(const std::string& caption, int width);

    TViewStyle ViewStyle() const { return viewStyle_; }
    void SetViewStyle(TViewStyle v);
    bool RowSelect() const { return rowSelect_; }
    void SetRowSelect(bool on);
    bool GridLines() const { return gridLines_; }
    void SetGridLines(bool on);
    bool Checkboxes() const { return checkboxes_; }
    void SetCheckboxes(bool on);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool on);
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool on);
    bool ShowColumnHeaders() const { return showColumnHeaders_; }
    void SetShowColumnHeaders(bool on);
    bool MultiSelect() const { return multiSelect_; }
    void SetMultiSelect(bool on);
    // The first selected item, or nullptr.
    TListItem* Selected() const;

    TLVSelectItemEvent OnSelectItem;
    TLVColumnClickEvent OnColumnClick;
    TLVCustomDrawEvent OnCustomDraw;
    TLVCustomDrawItemEvent OnCustomDrawItem;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void WndProc(TMessage& msg) override;

private:
    friend class TListItem;
    friend class TListColumn;
    void ColumnsChanged(const TCollectionChange& change);
    void ItemsChanged(const TCollectionChange& change);
    void PushColumn(int index, bool insert);
    void PushItem(int index, bool insert);
    void PushSubItems(int index, int first);
    void PushItemState(int index);
    void UpdateExStyle();
    void Notify(TMessage& msg);
    void CustomDraw(TMessage& msg);
    TCollection columns_;
    TCollection items_;
    TViewStyle viewStyle_ = vsIcon;
    bool rowSelect_ = false, gridLines_ = false, checkboxes_ = false, readOnly_ = false;
    bool hideSelection_ = true, showColumnHeaders_ = true, multiSelect_ = false;
    bool syncing_ = false;
};

class TListView : public TCustomListView {
    WL_CLASS(TListView, TCustomListView)
public:
    using TCustomListView::TCustomListView;
};

// ---- tree view ---------------------------------------------------------------------------------

class TCustomTreeView;

class TTreeNode {
public:
    const std::string& Text() const { return text_; }
    void SetText(const std::string& text);
    TTreeNode* Parent() const { return parent_; }
    int Count() const { return static_cast<int>(children_.size()); }
    TTreeNode* Item(int index) const { return children_.at(static_cast<size_t>(index)).get(); }
    int Level() const { return parent_ ? parent_->Level() + 1 : 0; }
    HTREEITEM ItemId() const { return item_; }
    bool Expanded() const;
    void SetExpanded(bool on);

private:
    friend class TTreeNodes;
    friend class TCustomTreeView;
    std::string text_;
    TTreeNode* parent_ = nullptr;
    std::vector<std::unique_ptr<TTreeNode>> children_;
    HTREEITEM item_ = nullptr;
    TCustomTreeView* view_ = nullptr;
};

// The nodes of a tree view. In form definitions they are `Items.Strings`, one line per node,
// indented by one space per level below its parent.
class TTreeNodes : public TPersistent {
    WL_CLASS(TTreeNodes, TPersistent)
public:
    TTreeNodes() = default;
    explicit TTreeNodes(TCustomTreeView* view) : view_(view) {}
    int Count() const; // every node
    int RootCount() const { return static_cast<int>(roots_.size()); }
    TTreeNode* Root(int index) const { return roots_.at(static_cast<size_t>(index)).get(); }
    // Appends a child to `parent` (a root node when parent is nullptr).
    TTreeNode* AddChild(TTreeNode* parent, const std::string& text);
    void Delete(TTreeNode* node);
    void Clear();
    TTreeNode* FindItem(HTREEITEM item) const;
    std::vector<std::string> Lines() const;
    // Builds the tree from indented lines; a line indented more than one level below the line
    // before it is an error (EPropertyError) and leaves the nodes unchanged.
    void SetLines(const std::vector<std::string>& lines);

private:
    friend class TCustomTreeView;
    TCustomTreeView* view_ = nullptr;
    std::vector<std::unique_ptr<TTreeNode>> roots_;
};

using TTVChangedEvent = TEvent<TObject*, TTreeNode*>;

class TCustomTreeView : public TWinControl {
    WL_CLASS(TCustomTreeView, TWinControl)
public:
    explicit TCustomTreeView(TComponent* owner);
    ~TCustomTreeView() override;
    TTreeNodes* Items() { return &nodes_; }
    bool ShowButtons() const { return showButtons_; }
    void SetShowButtons(bool on);
    bool ShowLines() const { return showLines_; }
    void SetShowLines(bool on);
    bool ShowRoot() const { return showRoot_; }
    void SetShowRoot(bool on);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool on);
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool on);
    TTreeNode* Selected() const;
    void SetSelected(TTreeNode* node);

    TTVChangedEvent OnChange;
    TTVChangedEvent OnExpanded;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void DestroyWnd() override;
    void WndProc(TMessage& msg) override;

private:
    friend class TTreeNodes;
    friend class TTreeNode;
    void InsertNode(TTreeNode* node);
    void RemoveNode(TTreeNode* node);
    void ForgetItems(TTreeNode* node);
    void Notify(TMessage& msg);
    TTreeNodes nodes_{this};
    bool showButtons_ = true, showLines_ = true, showRoot_ = true, readOnly_ = false;
    bool hideSelection_ = true;
};

class TTreeView : public TCustomTreeView {
    WL_CLASS(TTreeView, TCustomTreeView)
public:
    using TCustomTreeView::TCustomTreeView;
};

// ---- tab control and page control --------------------------------------------------------------

enum TTabPosition { tpTop, tpBottom, tpLeft, tpRight };
enum TTabStyle { tsTabs, tsButtons, tsFlatButtons };
using TTabChangingEvent = TEvent<TObject*, bool&>;
class TCustomTabControl;
using TDrawTabEvent = TEvent<TCustomTabControl*, int, const RECT&, bool>;

class TCustomTabControl : public TWinControl {
    WL_CLASS(TCustomTabControl, TWinControl)
public:
    explicit TCustomTabControl(TComponent* owner);
    TTabPosition TabPosition() const { return tabPosition_; }
    void SetTabPosition(TTabPosition p);
    TTabStyle Style() const { return style_; }
    void SetStyle(TTabStyle s);
    bool MultiLine() const { return multiLine_; }
    void SetMultiLine(bool on);
    int TabWidth() const { return tabWidth_; }
    void SetTabWidth(int w);
    int TabHeight() const { return tabHeight_; }
    void SetTabHeight(int h);
    bool OwnerDraw() const { return ownerDraw_; }
    void SetOwnerDraw(bool on);
    // The area inside the tabs and the frame, in client coordinates.
    RECT DisplayRect() const;
    // The tab selected in the window (-1 for none).
    int TabIndex() const;
    void SetTabIndex(int index);
    // The tab at a client point (-1 for none).
    int IndexOfTabAt(int x, int y) const;

    TNotifyEvent OnChange;
    TTabChangingEvent OnChanging;
    TDrawTabEvent OnDrawTab;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void WndProc(TMessage& msg) override;
    void AdjustClientRect(RECT& rect) const override;
    // The captions of the tabs, in order.
    virtual std::vector<std::string> TabCaptions() const = 0;
    void UpdateTabs();
    virtual bool CanChange();
    virtual void Change();
    int tabIndex_ = -1;

private:
    TTabPosition tabPosition_ = tpTop;
    TTabStyle style_ = tsTabs;
    bool multiLine_ = false, ownerDraw_ = false;
    int tabWidth_ = 0, tabHeight_ = 0;
};

class TTabControl : public TCustomTabControl {
    WL_CLASS(TTabControl, TCustomTabControl)
public:
    explicit TTabControl(TComponent* owner);
    TStringList* Tabs() { return &tabs_; }

protected:
    std::vector<std::string> TabCaptions() const override { return tabs_.Lines(); }

private:
    TStringList tabs_;
};

class TPageControl;

class TTabSheet : public TWinControl {
    WL_CLASS(TTabSheet, TWinControl)
public:
    explicit TTabSheet(TComponent* owner);
    ~TTabSheet() override;
    TPageControl* PageControl() const { return pageControl_; }
    void SetPageControl(TPageControl* control);
    bool TabVisible() const { return tabVisible_; }
    void SetTabVisible(bool on);
    int PageIndex() const;
    void SetPageIndex(int index);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index);
    // The tab of this page (-1 when its tab is hidden or it has no page control).
    int TabIndex() const;
    void SetParent(TWinControl* parent) override;

protected:
    void TextChanged() override;

private:
    friend class TPageControl;
    TPageControl* pageControl_ = nullptr;
    bool tabVisible_ = true;
    int imageIndex_ = -1;
};

class TPageControl : public TCustomTabControl {
    WL_CLASS(TPageControl, TCustomTabControl)
public:
    explicit TPageControl(TComponent* owner);
    ~TPageControl() override;
    int PageCount() const { return static_cast<int>(pages_.size()); }
    TTabSheet* Pages(int index) const { return pages_.at(static_cast<size_t>(index)); }
    TTabSheet* ActivePage() const { return activePage_; }
    void SetActivePage(TTabSheet* page);
    std::string ActivePageName() const;
    void SetActivePageName(const std::string& name);
    int ActivePageIndex() const;
    void SetActivePageIndex(int index);
    void Loaded() override;

protected:
    std::vector<std::string> TabCaptions() const override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void BoundsChanged(const RECT& old) override;
    void Change() override;

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* page);
    void RemovePage(TTabSheet* page);
    void MovePage(TTabSheet* page, int index);
    void PagesChanged();
    void LayoutPages();
    TTabSheet* PageForTab(int tab) const;
    std::vector<TTabSheet*> pages_;
    TTabSheet* activePage_ = nullptr;
    std::string pendingActive_;
};

// ---- tool bar ----------------------------------------------------------------------------------

enum TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };
enum : unsigned { ebLeft = 1, ebTop = 2, ebRight = 4, ebBottom = 8 };

class TToolBar;
class TMenuItem;
class TMainMenu;

class TToolButton : public TGraphicControl {
    WL_CLASS(TToolButton, TGraphicControl)
public:
    explicit TToolButton(TComponent* owner);
    ~TToolButton() override;
    TToolButtonStyle Style() const { return style_; }
    void SetStyle(TToolButtonStyle s);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int i);
    bool Down() const;
    void SetDown(bool on);
    bool Grouped() const { return grouped_; }
    void SetGrouped(bool on);
    // The menu a drop-down button shows under itself.
    TPopupMenu* DropdownMenu() const { return dropdownMenu_; }
    void SetDropdownMenu(TPopupMenu* menu);
    std::string DropdownMenuName() const;
    void SetDropdownMenuName(const std::string& name);
    // The menu item the button stands for: its caption, enabled and visible state follow the
    // item, and a click opens the item's submenu under the button (or runs the item).
    TMenuItem* MenuItem() const { return menuItem_; }
    void SetMenuItem(TMenuItem* item);
    std::string MenuItemName() const;
    void SetMenuItemName(const std::string& name);
    // Takes the item's caption, enabled and visible state again (after the item changed).
    void UpdateFromMenuItem();
    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;
    // The command identifier of the button in its tool bar.
    int CommandId() const { return id_; }
    TToolBar* ToolBar() const;
    void SetParent(TWinControl* parent) override;
    void SetEnabled(bool enabled) override;
    void SetVisible(bool visible) override;
    void Click() override;

protected:
    void TextChanged() override;

private:
    friend class TToolBar;
    void Changed();
    void PlaceAt(const RECT& r);
    TToolButtonStyle style_ = tbsButton;
    TPopupMenu* dropdownMenu_ = nullptr;
    std::string pendingMenu_;
    TMenuItem* menuItem_ = nullptr;
    std::string pendingMenuItem_;
    int imageIndex_ = -1;
    bool down_ = false, grouped_ = false;
    int id_ = 0;
};

using TTBCustomDrawEvent = TEvent<TToolBar*, const RECT&, bool&>;
using TTBCustomDrawBtnEvent = TEvent<TToolBar*, TToolButton*, TCustomDrawState, bool&>;

class TToolBar : public TWinControl {
    WL_CLASS(TToolBar, TWinControl)
public:
    explicit TToolBar(TComponent* owner);
    ~TToolBar() override;
    // The bar's device context while a custom-draw event runs (no handle otherwise).
    TCanvas& Canvas() { return *canvas_; }
    bool Flat() const { return flat_; }
    void SetFlat(bool on);
    bool ShowCaptions() const { return showCaptions_; }
    void SetShowCaptions(bool on);
    int ButtonWidth() const { return buttonWidth_; }
    void SetButtonWidth(int w);
    int ButtonHeight() const { return buttonHeight_; }
    void SetButtonHeight(int h);
    unsigned EdgeBorders() const { return edgeBorders_; }
    void SetEdgeBorders(unsigned e);
    // The images of the buttons (ImageIndex); the list is another component's.
    TCustomImageList* Images() const { return images_; }
    void SetImages(TCustomImageList* images);
    std::string ImagesName() const;
    void SetImagesName(const std::string& name);
    // A main menu shown as the bar's buttons, one per top-level item (the buttons are the
    // bar's own and are not written into form definitions).
    TMainMenu* Menu() const { return menu_; }
    void SetMenu(TMainMenu* menu);
    std::string MenuName() const;
    void SetMenuName(const std::string& name);
    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;
    int ButtonCount() const;
    TToolButton* Buttons(int index) const;

    // Before the bar is painted, and before each button (leave the flag true to let the bar
    // draw on top of what the handler drew; false skips the bar's own drawing).
    TTBCustomDrawEvent OnCustomDraw;
    TTBCustomDrawBtnEvent OnCustomDrawButton;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void WndProc(TMessage& msg) override;

private:
    friend class TToolButton;
    void RebuildButtons();
    void UpdateButtonBounds();
    void CustomDraw(TMessage& msg);
    TToolButton* FindButton(int id) const;
    void MakeMenuButtons();
    void FreeMenuButtons();
    std::unique_ptr<TControlCanvas> canvas_;
    TCustomImageList* images_ = nullptr;
    std::string pendingImages_;
    TMainMenu* menu_ = nullptr;
    std::string pendingMenu_;
    bool flat_ = false, showCaptions_ = false;
    int buttonWidth_ = 23, buttonHeight_ = 22;
    unsigned edgeBorders_ = ebTop;
    int nextId_ = 1;
    bool rebuilding_ = false;
};

// ---- cool bar ----------------------------------------------------------------------------------

class TCoolBar;

class TCoolBand : public TCollectionItem {
    WL_CLASS(TCoolBand, TCollectionItem)
public:
    TCoolBand() = default;
    TWinControl* Control() const { return control_; }
    void SetControl(TWinControl* control);
    std::string ControlName() const;
    void SetControlName(const std::string& name);
    const std::string& Text() const { return text_; }
    void SetText(const std::string& t);
    int Width() const { return width_; }
    void SetWidth(int w);
    int MinHeight() const { return minHeight_; }
    void SetMinHeight(int h);
    bool Break() const { return break_; }
    void SetBreak(bool on);
    TColor Color() const { return color_; }
    void SetColor(TColor c);

private:
    friend class TCoolBar;
    TWinControl* control_ = nullptr;
    std::string pendingControl_;
    std::string text_;
    int width_ = 0, minHeight_ = 25;
    bool break_ = true;
    TColor color_ = clBtnFace;
};

class TCoolBar : public TWinControl {
    WL_CLASS(TCoolBar, TWinControl)
public:
    explicit TCoolBar(TComponent* owner);
    ~TCoolBar() override;
    TCollection* Bands() { return &bands_; }
    TCoolBand* Band(int index) const { return bands_.Item<TCoolBand>(index); }
    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;

private:
    friend class TCoolBand;
    void UpdateBands(const TCollectionChange& change);
    void PushBand(int index, UINT message); // RB_INSERTBANDA or RB_SETBANDINFOA
    TCollection bands_;
};

// ---- date-time picker --------------------------------------------------------------------------

enum TDateTimeKind { dtkDate, dtkTime };
enum TDTDateFormat { dfShort, dfLong };
enum TDTDateMode { dmComboBox, dmUpDown };

class TDateTimePicker : public TWinControl {
    WL_CLASS(TDateTimePicker, TWinControl)
public:
    explicit TDateTimePicker(TComponent* owner);
    // The value (date and time parts together).
    SYSTEMTIME DateTime() const;
    void SetDateTime(const SYSTEMTIME& value);
    // Texts of form definitions: "YYYY-MM-DD" and "hh:mm:ss"; others raise EConvertError.
    std::string DateText() const;
    void SetDateText(const std::string& text);
    std::string TimeText() const;
    void SetTimeText(const std::string& text);
    TDateTimeKind Kind() const { return kind_; }
    void SetKind(TDateTimeKind k);
    TDTDateFormat DateFormat() const { return dateFormat_; }
    void SetDateFormat(TDTDateFormat f);
    TDTDateMode DateMode() const { return dateMode_; }
    void SetDateMode(TDTDateMode m);
    bool ShowCheckbox() const { return showCheckbox_; }
    void SetShowCheckbox(bool on);
    bool Checked() const;
    void SetChecked(bool on);

    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void WndProc(TMessage& msg) override;

private:
    void PushValue();
    SYSTEMTIME value_{};
    TDateTimeKind kind_ = dtkDate;
    TDTDateFormat dateFormat_ = dfShort;
    TDTDateMode dateMode_ = dmComboBox;
    bool showCheckbox_ = false, checked_ = true;
};

} // namespace wl
