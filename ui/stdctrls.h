// Standard controls: push buttons, single- and multi-line edits (wrapping the system's BUTTON and
// EDIT windows), labels (windowless), check boxes, radio buttons, group boxes, combo boxes, list
// boxes, scroll bars and static texts (wrapping BUTTON, COMBOBOX, LISTBOX, SCROLLBAR, STATIC).
#pragma once

#include "ui/controls.h"

#include <memory>
#include <vector>

namespace wl {

class TButton : public TWinControl {
    WL_CLASS(TButton, TWinControl)
public:
    explicit TButton(TComponent* owner);
    bool Default() const { return default_; }
    void SetDefault(bool on);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool on) { cancel_ = on; }
    // A click sets the parent form's ModalResult to this value (when not 0).
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int result) { modalResult_ = result; }
    void Click() override;

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& msg) override;

private:
    bool default_ = false;
    bool cancel_ = false;
    int modalResult_ = 0;
};

class TCustomEdit : public TWinControl {
    WL_CLASS(TCustomEdit, TWinControl)
public:
    explicit TCustomEdit(TComponent* owner);

    std::string Text() const { return GetText(); }
    void SetTextValue(const std::string& text) { SetText(text); }
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int n);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool on);
    // Without 3-D look the edit has a flat one-pixel frame.
    bool Ctl3D() const { return ctl3D_; }
    void SetCtl3D(bool on);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style);

    int SelStart();
    void SetSelStart(int start);
    int SelLength();
    void SetSelLength(int length);
    std::string SelText();
    void SelectAll();
    // Copies the selection to the clipboard as text.
    void CopyToClipboard();
    void Clear() { SetText(""); }

    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void WndProc(TMessage& msg) override;

private:
    int maxLength_ = 0;
    bool readOnly_ = false;
    bool ctl3D_ = true;
    TBorderStyle borderStyle_ = bsSingle;
};

class TEdit : public TCustomEdit {
    WL_CLASS(TEdit, TCustomEdit)
public:
    using TCustomEdit::TCustomEdit;
};

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

class TCustomMemo : public TCustomEdit {
    WL_CLASS(TCustomMemo, TCustomEdit)
public:
    explicit TCustomMemo(TComponent* owner);
    ~TCustomMemo() override;
    // The text as lines; changes go straight to the control.
    TStrings& Lines() { return *lines_; }
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool on);
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle style);
    bool WantTabs() const { return wantTabs_; }
    void SetWantTabs(bool on) { wantTabs_ = on; }

protected:
    void CreateParams(TCreateParams& params) override;
    bool WantsKey(WORD key) const override;

private:
    std::unique_ptr<TStrings> lines_;
    bool wordWrap_ = true;
    TScrollStyle scrollBars_ = ssNone;
    bool wantTabs_ = false;
};

class TMemo : public TCustomMemo {
    WL_CLASS(TMemo, TCustomMemo)
public:
    using TCustomMemo::TCustomMemo;
};

class TCustomLabel : public TGraphicControl {
    WL_CLASS(TCustomLabel, TGraphicControl)
public:
    explicit TCustomLabel(TComponent* owner);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool on);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool on);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool on);
    void Loaded() override;

protected:
    void Paint() override;
    void TextChanged() override { AdjustBounds(); }
    void FontChanged() override;

private:
    void AdjustBounds();
    UINT DrawFlags() const;
    bool autoSize_ = true;
    TAlignment alignment_ = taLeftJustify;
    bool transparent_ = false;
    bool wordWrap_ = false;
};

class TLabel : public TCustomLabel {
    WL_CLASS(TLabel, TCustomLabel)
public:
    using TCustomLabel::TCustomLabel;
};

// ---- check boxes and radio buttons -------------------------------------------------------------

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

// A BUTTON window in three-state style whose state the control keeps itself: a click moves
// unchecked -> (grayed when AllowGrayed) -> checked -> unchecked. Any change of State fires
// OnClick (not while the form definition is being read).
class TCustomCheckBox : public TWinControl {
    WL_CLASS(TCustomCheckBox, TWinControl)
public:
    explicit TCustomCheckBox(TComponent* owner);
    TCheckBoxState State() const { return state_; }
    void SetState(TCheckBoxState state);
    bool Checked() const { return state_ == cbChecked; }
    void SetChecked(bool on) { SetState(on ? cbChecked : cbUnchecked); }
    bool AllowGrayed() const { return allowGrayed_; }
    void SetAllowGrayed(bool on) { allowGrayed_ = on; }
    // taRightJustify: the caption right of the box (the usual look); taLeftJustify: left of it.
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);
    // What a click does.
    virtual void Toggle();

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void WndProc(TMessage& msg) override;

private:
    TCheckBoxState state_ = cbUnchecked;
    bool allowGrayed_ = false;
    TAlignment alignment_ = taRightJustify;
};

class TCheckBox : public TCustomCheckBox {
    WL_CLASS(TCheckBox, TCustomCheckBox)
public:
    using TCustomCheckBox::TCustomCheckBox;
};

// A BUTTON window in radio style. Checking it unchecks every other radio button of the same
// parent; becoming checked fires OnClick.
class TRadioButton : public TWinControl {
    WL_CLASS(TRadioButton, TWinControl)
public:
    explicit TRadioButton(TComponent* owner);
    bool Checked() const { return checked_; }
    void SetChecked(bool on);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void WndProc(TMessage& msg) override;

private:
    bool checked_ = false;
    TAlignment alignment_ = taRightJustify;
};

// ---- group boxes -------------------------------------------------------------------------------

// A captioned etched frame around child controls; the children sit inside the frame.
class TCustomGroupBox : public TCustomControl {
    WL_CLASS(TCustomGroupBox, TCustomControl)
public:
    explicit TCustomGroupBox(TComponent* owner);

protected:
    void AdjustClientRect(RECT& rect) const override;
    void Paint() override;
    void PaintBackground(HDC) override {}
    void TextChanged() override { Invalidate(); }
    int CaptionHeight() const;
};

class TGroupBox : public TCustomGroupBox {
    WL_CLASS(TGroupBox, TCustomGroupBox)
public:
    using TCustomGroupBox::TCustomGroupBox;
};

// ---- combo boxes and list boxes ----------------------------------------------------------------

// The items of a combo or list box: the window's own list while the window exists, a kept copy
// otherwise. The copy is taken when the window is destroyed (also when it is re-created) and
// pushed into the next window.
class TWindowItems;

// Owner-drawn styles are drop-down lists whose items OnDrawItem paints (all of one height, or
// each as OnMeasureItem says).
enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
// The item's state as the system gives it: ODS_SELECTED, ODS_FOCUS, ODS_DISABLED, ODS_COMBOBOXEDIT ...
using TOwnerDrawState = unsigned;
using TDrawItemEvent = TEvent<TWinControl*, int, RECT, TOwnerDrawState>;
using TMeasureItemEvent = TEvent<TWinControl*, int, int&>;

class TCustomComboBox : public TWinControl {
    WL_CLASS(TCustomComboBox, TWinControl)
public:
    explicit TCustomComboBox(TComponent* owner);
    ~TCustomComboBox() override;

    TComboBoxStyle Style() const { return style_; }
    void SetStyle(TComboBoxStyle style);
    TStrings& Items();
    const TStrings& Items() const;
    // -1: nothing selected.
    int ItemIndex() const;
    void SetItemIndex(int index);
    std::string Text() const { return GetText(); }
    std::string GetText() const override;
    void SetText(const std::string& text) override;
    int DropDownCount() const { return dropDownCount_; }
    void SetDropDownCount(int count);
    bool Sorted() const { return sorted_; }
    void SetSorted(bool on);
    bool DroppedDown() const;
    void SetDroppedDown(bool on);
    void Clear();
    // Height of the items of owner-drawn styles (and of the selection field).
    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int height);
    // The canvas an OnDrawItem handler paints on.
    TCanvas& Canvas();
    void Loaded() override;

    TNotifyEvent OnChange;
    TNotifyEvent OnSelect;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void WndProc(TMessage& msg) override;
    void BoundsChanged(const RECT& old) override;
    bool WantsKey(WORD key) const override;

private:
    bool HasEdit() const { return style_ == csDropDown || style_ == csSimple; }
    bool OwnerDrawn() const { return style_ == csOwnerDrawFixed || style_ == csOwnerDrawVariable; }
    void SaveWindowState();
    void SetDropDownHeight();
    void DrawItem(const DRAWITEMSTRUCT& item);
    void MeasureItem(MEASUREITEMSTRUCT& item);
    std::unique_ptr<TWindowItems> items_;
    std::unique_ptr<TControlCanvas> canvas_;
    int itemHeight_ = 16;
    TComboBoxStyle style_ = csDropDown;
    int itemIndex_ = -1; // while there is no window
    int dropDownCount_ = 8;
    bool sorted_ = false;
};

class TComboBox : public TCustomComboBox {
    WL_CLASS(TComboBox, TCustomComboBox)
public:
    using TCustomComboBox::TCustomComboBox;
};

class TCustomListBox : public TWinControl {
    WL_CLASS(TCustomListBox, TWinControl)
public:
    explicit TCustomListBox(TComponent* owner);
    ~TCustomListBox() override;

    TStrings& Items();
    const TStrings& Items() const;
    // The selected item; with MultiSelect the item with the focus rectangle. -1: none.
    int ItemIndex() const;
    void SetItemIndex(int index);
    bool MultiSelect() const { return multiSelect_; }
    void SetMultiSelect(bool on);
    // With MultiSelect: shift and control extend the selection (otherwise every click toggles).
    bool ExtendedSelect() const { return extendedSelect_; }
    void SetExtendedSelect(bool on);
    bool Sorted() const { return sorted_; }
    void SetSorted(bool on);
    // 0: one column scrolled vertically; n: items flow into columns of Width / n pixels.
    int Columns() const { return columns_; }
    void SetColumns(int n);
    bool IntegralHeight() const { return integralHeight_; }
    void SetIntegralHeight(bool on);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style);
    bool Selected(int index) const;
    void SetSelected(int index, bool on);
    int SelCount() const;
    void Clear();
    void Loaded() override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void WndProc(TMessage& msg) override;
    void BoundsChanged(const RECT& old) override;
    bool WantsKey(WORD key) const override;

private:
    void SaveWindowState();
    void CheckIndex(int index) const;
    std::unique_ptr<TWindowItems> items_;
    int itemIndex_ = -1;
    std::vector<bool> selected_; // while there is no window (multi-select)
    bool multiSelect_ = false;
    bool extendedSelect_ = true;
    bool sorted_ = false;
    int columns_ = 0;
    bool integralHeight_ = false;
    TBorderStyle borderStyle_ = bsSingle;
};

class TListBox : public TCustomListBox {
    WL_CLASS(TListBox, TCustomListBox)
public:
    using TCustomListBox::TCustomListBox;
};

// ---- scroll bars -------------------------------------------------------------------------------

enum TScrollBarKind { sbHorizontal, sbVertical };
enum TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll };
using TScrollEvent = TEvent<TObject*, TScrollCode, int&>;

// A SCROLLBAR window. The parent reflects the bar's WM_HSCROLL/WM_VSCROLL to it; the bar turns
// them into a new Position (OnScroll may change it), clamped to Min .. Max - PageSize + 1.
class TScrollBar : public TWinControl {
    WL_CLASS(TScrollBar, TWinControl)
public:
    explicit TScrollBar(TComponent* owner);

    TScrollBarKind Kind() const { return kind_; }
    void SetKind(TScrollBarKind kind);
    int Min() const { return min_; }
    void SetMin(int v) { SetParams(position_, v, max_); }
    int Max() const { return max_; }
    void SetMax(int v) { SetParams(position_, min_, v); }
    int Position() const { return position_; }
    void SetPosition(int v) { SetParams(v, min_, max_); }
    int PageSize() const { return pageSize_; }
    void SetPageSize(int v);
    int SmallChange() const { return smallChange_; }
    void SetSmallChange(int v) { smallChange_ = v; }
    int LargeChange() const { return largeChange_; }
    void SetLargeChange(int v) { largeChange_ = v; }
    // Throws EInvalidOperation when max < min; the position is clamped.
    void SetParams(int position, int min, int max);
    void Loaded() override;

    TNotifyEvent OnChange;
    TScrollEvent OnScroll;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void WndProc(TMessage& msg) override;
    bool WantsKey(WORD key) const override;

private:
    int Clamp(int position) const;
    void SyncWindow();
    void Scroll(WORD code);
    TScrollBarKind kind_ = sbHorizontal;
    int min_ = 0, max_ = 100, position_ = 0, pageSize_ = 0;
    int smallChange_ = 1, largeChange_ = 1;
};

// ---- static text -------------------------------------------------------------------------------

enum TStaticBorderStyle { sbsNone, sbsSingle, sbsSunken };

// A STATIC window showing its caption; with AutoSize it takes the size of its text.
class TStaticText : public TWinControl {
    WL_CLASS(TStaticText, TWinControl)
public:
    explicit TStaticText(TComponent* owner);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);
    TStaticBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TStaticBorderStyle style);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool on);
    void Loaded() override;

protected:
    void CreateParams(TCreateParams& params) override;
    void TextChanged() override { AdjustBounds(); }
    void FontChanged() override;

private:
    void AdjustBounds();
    TAlignment alignment_ = taLeftJustify;
    TStaticBorderStyle borderStyle_ = sbsNone;
    bool autoSize_ = true;
};

} // namespace wl
