// Standard controls: push buttons, single- and multi-line edits (wrapping the system's BUTTON and
// EDIT windows) and labels (windowless).
#pragma once

#include "ui/controls.h"

#include <memory>

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

} // namespace wl
