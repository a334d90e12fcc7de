// Push buttons, edits, memos and labels (see stdctrls.h).
#include "ui/stdctrls.h"

#include "ui/clipbrd.h"
#include "ui/forms.h"
#include "ui/strconv.h"

#include <algorithm>

namespace wl {

namespace {
auto GetCaption = [](const auto& c) { return c.GetText(); };
auto SetCaptionText = [](auto& c, const std::string& t) { c.SetText(t); };
} // namespace

// ---- TButton -----------------------------------------------------------------------------------

WL_DEFINE_CLASS(TButton, [](ClassBuilder<TButton>& c) {
    c.Str("Caption", GetCaption, SetCaptionText);
    c.Bool("Default", &TButton::Default, &TButton::SetDefault);
    c.Bool("Cancel", &TButton::Cancel, &TButton::SetCancel);
    c.Int("ModalResult", &TButton::ModalResult, &TButton::SetModalResult);
})

TButton::TButton(TComponent* owner) : TWinControl(owner) {
    ownPaint_ = false;
    clickOnMouseUp_ = false;
    SetTabStop(true);
    SetBounds(0, 0, 75, 25);
}

void TButton::SetDefault(bool on) {
    if (on == default_) return;
    default_ = on;
    if (HandleAllocated()) SendMessageA(HandleValue(), BM_SETSTYLE, on ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::Click() {
    if (TCustomForm* form = GetParentForm(); form && modalResult_ != 0) form->SetModalResult(modalResult_);
    TWinControl::Click();
}

void TButton::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.baseClass = "BUTTON";
    p.style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::WndProc(TMessage& m) {
    if (m.Msg == CN_COMMAND) {
        if (HIWORD(m.WParam) == BN_CLICKED) Click();
        return;
    }
    if (m.Msg == CM_DIALOGKEY) return;
    TWinControl::WndProc(m);
}

// ---- TCustomEdit -------------------------------------------------------------------------------

WL_DEFINE_ABSTRACT_CLASS(TCustomEdit, [](ClassBuilder<TCustomEdit>& c) {
    c.Str("Text", GetCaption, SetCaptionText);
    c.Int("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength);
    c.Bool("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly);
    c.Bool("Ctl3D", &TCustomEdit::Ctl3D, &TCustomEdit::SetCtl3D);
    c.Enum("BorderStyle", &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle,
           {{"bsNone", bsNone}, {"bsSingle", bsSingle}});
    c.Event("OnChange", &TCustomEdit::OnChange);
})
WL_DEFINE_CLASS(TEdit, WL_NO_PROPERTIES)

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
    ownPaint_ = false;
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 121, 21);
}

void TCustomEdit::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.baseClass = "EDIT";
    p.style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL;
    if (readOnly_) p.style |= ES_READONLY;
    if (borderStyle_ == bsSingle) {
        if (ctl3D_) p.exStyle |= WS_EX_CLIENTEDGE;
        else p.style |= WS_BORDER;
    }
}

void TCustomEdit::CreateWindowHandle(const TCreateParams& params) {
    TWinControl::CreateWindowHandle(params);
    SendMessageA(HandleValue(), EM_LIMITTEXT, maxLength_, 0);
}

void TCustomEdit::SetMaxLength(int n) {
    maxLength_ = std::max(n, 0);
    if (HandleAllocated()) SendMessageA(HandleValue(), EM_LIMITTEXT, maxLength_, 0);
}

void TCustomEdit::SetReadOnly(bool on) {
    readOnly_ = on;
    if (HandleAllocated()) SendMessageA(HandleValue(), EM_SETREADONLY, on, 0);
}

void TCustomEdit::SetCtl3D(bool on) {
    if (on == ctl3D_) return;
    ctl3D_ = on;
    RecreateWnd();
}

void TCustomEdit::SetBorderStyle(TBorderStyle style) {
    if (style == borderStyle_) return;
    borderStyle_ = style;
    RecreateWnd();
}

int TCustomEdit::SelStart() {
    DWORD start = 0, end = 0;
    SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(start);
}

void TCustomEdit::SetSelStart(int start) { SendMessageA(Handle(), EM_SETSEL, start, start); }

int TCustomEdit::SelLength() {
    DWORD start = 0, end = 0;
    SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(end - start);
}

void TCustomEdit::SetSelLength(int length) {
    int start = SelStart();
    SendMessageA(Handle(), EM_SETSEL, start, start + length);
}

std::string TCustomEdit::SelText() {
    int start = SelStart(), length = SelLength();
    // Selection positions count characters; the text is ANSI bytes (two per Chinese character).
    std::wstring wide = AnsiToWide(GetText());
    if (start > static_cast<int>(wide.size())) return {};
    return WideToAnsi(wide.substr(static_cast<size_t>(start), static_cast<size_t>(length)));
}

void TCustomEdit::SelectAll() { SendMessageA(Handle(), EM_SETSEL, 0, -1); }

void TCustomEdit::CopyToClipboard() {
    std::string text = SelText();
    if (!text.empty()) Clipboard().SetAsText(text);
}

void TCustomEdit::WndProc(TMessage& m) {
    if (m.Msg == CN_COMMAND) {
        if (HIWORD(m.WParam) == EN_CHANGE) {
            TextChanged();
            OnChange(this);
        }
        return;
    }
    TWinControl::WndProc(m);
}

// ---- TCustomMemo -------------------------------------------------------------------------------

namespace {
// The lines of a memo, read from and written to its text.
class TMemoStrings : public TStrings {
public:
    explicit TMemoStrings(TCustomMemo& memo) : memo_(memo) {}
    const TClassInfo& ClassInfo() const override { return TStrings::StaticClass(); }
    int Count() const override { return static_cast<int>(Split().size()); }
    std::string Get(int index) const override {
        auto lines = Split();
        if (index < 0 || index >= static_cast<int>(lines.size()))
            throw Exception("List index out of bounds (" + std::to_string(index) + ")");
        return lines[index];
    }
    void Insert(int index, const std::string& s) override {
        auto lines = Split();
        if (index < 0 || index > static_cast<int>(lines.size()))
            throw Exception("List index out of bounds (" + std::to_string(index) + ")");
        lines.insert(lines.begin() + index, s);
        Join(lines);
    }
    void Delete(int index) override {
        auto lines = Split();
        if (index < 0 || index >= static_cast<int>(lines.size()))
            throw Exception("List index out of bounds (" + std::to_string(index) + ")");
        lines.erase(lines.begin() + index);
        Join(lines);
    }
    void Clear() override { memo_.SetText(""); }
    std::string Text() const override { return memo_.GetText(); }
    void SetText(const std::string& text) override { memo_.SetText(text); }

private:
    std::vector<std::string> Split() const {
        TStringList list;
        list.SetText(memo_.GetText());
        return list.Lines();
    }
    void Join(const std::vector<std::string>& lines) {
        std::string text;
        for (size_t i = 0; i < lines.size(); ++i) text += (i ? "\r\n" : "") + lines[i];
        memo_.SetText(text);
    }
    TCustomMemo& memo_;
};
} // namespace

WL_DEFINE_ABSTRACT_CLASS(TCustomMemo, [](ClassBuilder<TCustomMemo>& c) {
    c.Object("Lines", [](TCustomMemo& m) { return &m.Lines(); });
    c.Bool("WordWrap", &TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap);
    c.Enum("ScrollBars", &TCustomMemo::ScrollBars, &TCustomMemo::SetScrollBars,
           {{"ssNone", ssNone}, {"ssHorizontal", ssHorizontal}, {"ssVertical", ssVertical}, {"ssBoth", ssBoth}});
    c.Bool("WantTabs", &TCustomMemo::WantTabs, &TCustomMemo::SetWantTabs);
})
WL_DEFINE_CLASS(TMemo, WL_NO_PROPERTIES)

TCustomMemo::TCustomMemo(TComponent* owner)
    : TCustomEdit(owner), lines_(std::make_unique<TMemoStrings>(*this)) {
    SetBounds(0, 0, 185, 89);
}

TCustomMemo::~TCustomMemo() = default;

void TCustomMemo::CreateParams(TCreateParams& p) {
    TCustomEdit::CreateParams(p);
    p.style |= ES_MULTILINE | ES_WANTRETURN;
    if (wordWrap_ && scrollBars_ != ssHorizontal && scrollBars_ != ssBoth) p.style &= ~ES_AUTOHSCROLL;
    if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) p.style |= WS_VSCROLL;
    if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) p.style |= WS_HSCROLL;
}

void TCustomMemo::SetWordWrap(bool on) {
    if (on == wordWrap_) return;
    wordWrap_ = on;
    RecreateWnd();
}

void TCustomMemo::SetScrollBars(TScrollStyle style) {
    if (style == scrollBars_) return;
    scrollBars_ = style;
    RecreateWnd();
}

bool TCustomMemo::WantsKey(WORD key) const {
    if (key == VK_TAB) return wantTabs_;
    return key != VK_ESCAPE;
}

// ---- TCustomLabel ------------------------------------------------------------------------------

WL_DEFINE_ABSTRACT_CLASS(TCustomLabel, [](ClassBuilder<TCustomLabel>& c) {
    c.Str("Caption", GetCaption, SetCaptionText);
    c.Bool("AutoSize", &TCustomLabel::AutoSize, &TCustomLabel::SetAutoSize);
    c.Enum("Alignment", &TCustomLabel::Alignment, &TCustomLabel::SetAlignment,
           {{"taLeftJustify", taLeftJustify}, {"taRightJustify", taRightJustify}, {"taCenter", taCenter}});
    c.Bool("Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent);
    c.Bool("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap);
})
WL_DEFINE_CLASS(TLabel, WL_NO_PROPERTIES)

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
    SetParentColor(true);
    SetBounds(0, 0, 65, 13);
}

void TCustomLabel::SetAutoSize(bool on) {
    autoSize_ = on;
    AdjustBounds();
}

void TCustomLabel::SetAlignment(TAlignment a) {
    alignment_ = a;
    Invalidate();
}

void TCustomLabel::SetTransparent(bool on) {
    transparent_ = on;
    Invalidate();
}

void TCustomLabel::SetWordWrap(bool on) {
    wordWrap_ = on;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustBounds();
}

void TCustomLabel::FontChanged() {
    TGraphicControl::FontChanged();
    AdjustBounds();
}

UINT TCustomLabel::DrawFlags() const {
    UINT f = DT_NOPREFIX | DT_EXPANDTABS;
    f |= wordWrap_ ? DT_WORDBREAK : DT_SINGLELINE;
    if (alignment_ == taCenter) f |= DT_CENTER;
    else if (alignment_ == taRightJustify) f |= DT_RIGHT;
    return f;
}

void TCustomLabel::AdjustBounds() {
    if (!autoSize_ || IsLoading()) {
        Invalidate();
        return;
    }
    WindowDC dc(nullptr);
    ScopedSelect font(dc.get(), Font().Handle());
    std::string text = GetText();
    RECT r{0, 0, wordWrap_ ? Width() : 0, 0};
    if (text.empty()) text = " ";
    DrawTextA(dc.get(), text.data(), static_cast<int>(text.size()), &r, DrawFlags() | DT_CALCRECT);
    SetBounds(Left(), Top(), wordWrap_ ? Width() : r.right, r.bottom);
    Invalidate();
}

void TCustomLabel::Paint() {
    TCanvas& canvas = Canvas();
    HDC dc = canvas.Handle();
    RECT r{0, 0, Width(), Height()};
    if (!transparent_) {
        canvas.Brush().SetColor(Color());
        canvas.FillRect(r);
    }
    canvas.Font().Assign(Font());
    dc = canvas.Handle();
    SetBkMode(dc, TRANSPARENT);
    std::string text = GetText();
    if (!Enabled()) {
        OffsetRect(&r, 1, 1);
        SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(clBtnHighlight)));
        DrawTextA(dc, text.data(), static_cast<int>(text.size()), &r, DrawFlags());
        OffsetRect(&r, -1, -1);
        SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(clBtnShadow)));
    }
    DrawTextA(dc, text.data(), static_cast<int>(text.size()), &r, DrawFlags());
}

} // namespace wl
