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

namespace wl {

namespace {
const std::initializer_list<TEnumMember> kLeftRight = {{"taLeftJustify", taLeftJustify},
                                                       {"taRightJustify", taRightJustify}};

[[noreturn]] void ListIndexError(int index) {
    throw Exception("List index out of bounds (" + std::to_string(index) + ")");
}
} // namespace

// ---- TCustomCheckBox ---------------------------------------------------------------------------

WL_DEFINE_ABSTRACT_CLASS(TCustomCheckBox, [](ClassBuilder<TCustomCheckBox>& c) {
    c.Str("Caption", GetCaption, SetCaptionText);
    c.Enum("Alignment", &TCustomCheckBox::Alignment, &TCustomCheckBox::SetAlignment, kLeftRight);
    c.Bool("AllowGrayed", &TCustomCheckBox::AllowGrayed, &TCustomCheckBox::SetAllowGrayed);
    c.Bool("Checked", &TCustomCheckBox::Checked, &TCustomCheckBox::SetChecked);
    c.Enum("State", &TCustomCheckBox::State, &TCustomCheckBox::SetState,
           {{"cbUnchecked", cbUnchecked}, {"cbChecked", cbChecked}, {"cbGrayed", cbGrayed}});
})
WL_DEFINE_CLASS(TCheckBox, WL_NO_PROPERTIES)

TCustomCheckBox::TCustomCheckBox(TComponent* owner) : TWinControl(owner) {
    ownPaint_ = false;
    clickOnMouseUp_ = false;
    SetTabStop(true);
    SetParentColor(true);
    SetBounds(0, 0, 97, 17);
}

void TCustomCheckBox::SetState(TCheckBoxState state) {
    if (state == state_) return;
    state_ = state;
    if (HandleAllocated()) SendMessageA(HandleValue(), BM_SETCHECK, static_cast<WPARAM>(state_), 0);
    if (!IsLoading()) Click();
}

void TCustomCheckBox::Toggle() {
    switch (state_) {
    case cbUnchecked: SetState(allowGrayed_ ? cbGrayed : cbChecked); break;
    case cbGrayed: SetState(cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    }
}

void TCustomCheckBox::SetAlignment(TAlignment a) {
    if (a == taCenter) a = taRightJustify;
    if (a == alignment_) return;
    alignment_ = a;
    RecreateWnd();
}

void TCustomCheckBox::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.baseClass = "BUTTON";
    // Not the automatic style: the state is ours, so a click goes through Toggle.
    p.style |= BS_3STATE;
    if (alignment_ == taLeftJustify) p.style |= BS_LEFTTEXT;
}

void TCustomCheckBox::CreateWindowHandle(const TCreateParams& params) {
    TWinControl::CreateWindowHandle(params);
    SendMessageA(HandleValue(), BM_SETCHECK, static_cast<WPARAM>(state_), 0);
}

void TCustomCheckBox::WndProc(TMessage& m) {
    if (m.Msg == CN_COMMAND) {
        if (HIWORD(m.WParam) == BN_CLICKED) Toggle();
        return;
    }
    TWinControl::WndProc(m);
}

// ---- TRadioButton ------------------------------------------------------------------------------

WL_DEFINE_CLASS(TRadioButton, [](ClassBuilder<TRadioButton>& c) {
    c.Str("Caption", GetCaption, SetCaptionText);
    c.Enum("Alignment", &TRadioButton::Alignment, &TRadioButton::SetAlignment, kLeftRight);
    c.Bool("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked);
})

TRadioButton::TRadioButton(TComponent* owner) : TWinControl(owner) {
    ownPaint_ = false;
    clickOnMouseUp_ = false;
    SetParentColor(true);
    SetBounds(0, 0, 113, 17);
}

void TRadioButton::SetChecked(bool on) {
    if (on == checked_) return;
    checked_ = on;
    SetTabStop(on);
    if (HandleAllocated()) SendMessageA(HandleValue(), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    if (!on) return;
    if (TWinControl* p = Parent())
        for (int i = 0; i < p->ControlCount(); ++i)
            if (auto* r = dynamic_cast<TRadioButton*>(p->Controls(i)); r && r != this) r->SetChecked(false);
    if (!IsLoading()) Click();
}

void TRadioButton::SetAlignment(TAlignment a) {
    if (a == taCenter) a = taRightJustify;
    if (a == alignment_) return;
    alignment_ = a;
    RecreateWnd();
}

void TRadioButton::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.baseClass = "BUTTON";
    p.style |= BS_RADIOBUTTON;
    if (alignment_ == taLeftJustify) p.style |= BS_LEFTTEXT;
}

void TRadioButton::CreateWindowHandle(const TCreateParams& params) {
    TWinControl::CreateWindowHandle(params);
    SendMessageA(HandleValue(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::WndProc(TMessage& m) {
    if (m.Msg == CN_COMMAND) {
        if (HIWORD(m.WParam) == BN_CLICKED) SetChecked(true);
        return;
    }
    TWinControl::WndProc(m);
}

// ---- TCustomGroupBox ---------------------------------------------------------------------------

WL_DEFINE_ABSTRACT_CLASS(TCustomGroupBox, [](ClassBuilder<TCustomGroupBox>& c) {
    c.Str("Caption", GetCaption, SetCaptionText);
})
WL_DEFINE_CLASS(TGroupBox, WL_NO_PROPERTIES)

TCustomGroupBox::TCustomGroupBox(TComponent* owner) : TCustomControl(owner) {
    SetParentColor(true);
    SetBounds(0, 0, 185, 105);
}

int TCustomGroupBox::CaptionHeight() const {
    WindowDC dc(nullptr);
    ScopedSelect font(dc.get(), const_cast<TFont&>(Font()).Handle());
    TEXTMETRICA tm{};
    GetTextMetricsA(dc.get(), &tm);
    return tm.tmHeight;
}

void TCustomGroupBox::AdjustClientRect(RECT& r) const {
    r.top += CaptionHeight();
    InflateRect(&r, -2, -2);
}

void TCustomGroupBox::Paint() {
    TCanvas& canvas = Canvas();
    RECT r;
    GetClientRect(HandleValue(), &r);
    canvas.Brush().SetColor(Color());
    canvas.FillRect(r);
    canvas.Font().Assign(Font());
    HDC dc = canvas.Handle();
    const int h = CaptionHeight();
    RECT frame{r.left, r.top + h / 2, r.right, r.bottom};
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    std::string text = GetText();
    if (text.empty()) return;
    RECT t{8, 0, 0, h};
    DrawTextA(dc, text.data(), static_cast<int>(text.size()), &t, DT_SINGLELINE | DT_CALCRECT);
    t.right = std::min<LONG>(t.right + 2, r.right - 6);
    t.left -= 2;
    // The caption interrupts the top edge of the frame.
    canvas.FillRect(t);
    t.left += 2;
    SetBkMode(dc, TRANSPARENT);
    if (!Enabled()) SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(clGrayText)));
    DrawTextA(dc, text.data(), static_cast<int>(text.size()), &t, DT_SINGLELINE);
}

// ---- TWindowItems ------------------------------------------------------------------------------

// The messages through which a kind of list window is asked for its items.
struct TListMessages {
    UINT count, textLength, text, add, insert, remove, reset;
};
constexpr TListMessages kComboMessages{CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT, CB_ADDSTRING,
                                       CB_INSERTSTRING, CB_DELETESTRING, CB_RESETCONTENT};
constexpr TListMessages kListMessages{LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT, LB_ADDSTRING,
                                      LB_INSERTSTRING, LB_DELETESTRING, LB_RESETCONTENT};

class TWindowItems : public TStrings {
public:
    TWindowItems(TWinControl& owner, const TListMessages& msgs, const bool& sorted)
        : owner_(owner), msgs_(msgs), sorted_(sorted) {}
    const TClassInfo& ClassInfo() const override { return TStrings::StaticClass(); }

    int Count() const override {
        if (HWND h = Window()) return static_cast<int>(SendMessageA(h, msgs_.count, 0, 0));
        return kept_.Count();
    }
    std::string Get(int index) const override {
        HWND h = Window();
        if (!h) return kept_.Get(index);
        if (index < 0 || index >= Count()) ListIndexError(index);
        LRESULT n = SendMessageA(h, msgs_.textLength, static_cast<WPARAM>(index), 0);
        if (n < 0) ListIndexError(index);
        std::string s(static_cast<size_t>(n) + 1, '\0');
        n = SendMessageA(h, msgs_.text, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(s.data()));
        s.resize(static_cast<size_t>(std::max<LRESULT>(n, 0)));
        return s;
    }
    // Adding at the end of a sorted list puts the item at its sorted place.
    void Insert(int index, const std::string& s) override {
        const int count = Count();
        if (index < 0 || index > count) ListIndexError(index);
        if (HWND h = Window()) {
            LRESULT r = sorted_ && index == count
                            ? SendMessageA(h, msgs_.add, 0, reinterpret_cast<LPARAM>(s.c_str()))
                            : SendMessageA(h, msgs_.insert, static_cast<WPARAM>(index),
                                           reinterpret_cast<LPARAM>(s.c_str()));
            if (r < 0) throw Exception("Cannot add the item '" + s + "' to the list");
            return;
        }
        if (sorted_ && index == count) {
            index = 0;
            while (index < count && lstrcmpiA(kept_.Get(index).c_str(), s.c_str()) <= 0) ++index;
        }
        kept_.Insert(index, s);
    }
    void Delete(int index) override {
        HWND h = Window();
        if (!h) return kept_.Delete(index);
        if (index < 0 || index >= Count()) ListIndexError(index);
        SendMessageA(h, msgs_.remove, static_cast<WPARAM>(index), 0);
    }
    void Clear() override {
        if (HWND h = Window()) SendMessageA(h, msgs_.reset, 0, 0);
        else kept_.Clear();
    }
    void SortKept() { kept_.Sort(); }

    // The window is going: keep its items.
    void SaveFrom(HWND h) {
        if (!live_) return;
        std::vector<std::string> lines;
        const int n = static_cast<int>(SendMessageA(h, msgs_.count, 0, 0));
        for (int i = 0; i < n; ++i) lines.push_back(Get(i));
        live_ = false;
        kept_.SetLines(lines);
    }
    // A new window: it takes the kept items. Returns where each kept item ended up (a sorted
    // window puts them in its own order).
    std::vector<int> PushTo(HWND h) {
        SendMessageA(h, msgs_.reset, 0, 0);
        std::vector<int> where;
        for (int i = 0; i < kept_.Count(); ++i) {
            std::string s = kept_.Get(i);
            int at = static_cast<int>(SendMessageA(h, msgs_.add, 0, reinterpret_cast<LPARAM>(s.c_str())));
            if (at < 0) at = i;
            for (int& w : where)
                if (w >= at) ++w;
            where.push_back(at);
        }
        kept_.Clear();
        live_ = true;
        return where;
    }

private:
    HWND Window() const { return live_ && owner_.HandleAllocated() ? owner_.HandleValue() : nullptr; }
    TWinControl& owner_;
    const TListMessages& msgs_;
    const bool& sorted_;
    TStringList kept_;
    bool live_ = false;
};

// ---- TCustomComboBox ---------------------------------------------------------------------------

WL_DEFINE_ABSTRACT_CLASS(TCustomComboBox, [](ClassBuilder<TCustomComboBox>& c) {
    c.Enum("Style", &TCustomComboBox::Style, &TCustomComboBox::SetStyle,
           {{"csDropDown", csDropDown}, {"csSimple", csSimple}, {"csDropDownList", csDropDownList},
            {"csOwnerDrawFixed", csOwnerDrawFixed}, {"csOwnerDrawVariable", csOwnerDrawVariable}});
    c.Int("DropDownCount", &TCustomComboBox::DropDownCount, &TCustomComboBox::SetDropDownCount);
    c.Int("ItemHeight", &TCustomComboBox::ItemHeight, &TCustomComboBox::SetItemHeight);
    c.Bool("Sorted", &TCustomComboBox::Sorted, &TCustomComboBox::SetSorted);
    c.Str("Text", GetCaption, SetCaptionText);
    c.Object("Items", [](TCustomComboBox& b) { return &b.Items(); });
    c.Int("ItemIndex", &TCustomComboBox::ItemIndex, &TCustomComboBox::SetItemIndex);
    c.Event("OnChange", &TCustomComboBox::OnChange);
    c.Event("OnSelect", &TCustomComboBox::OnSelect);
    c.Event("OnDropDown", &TCustomComboBox::OnDropDown);
    c.Event("OnCloseUp", &TCustomComboBox::OnCloseUp);
    c.Event("OnDrawItem", &TCustomComboBox::OnDrawItem);
    c.Event("OnMeasureItem", &TCustomComboBox::OnMeasureItem);
})
WL_DEFINE_CLASS(TComboBox, WL_NO_PROPERTIES)

TCustomComboBox::TCustomComboBox(TComponent* owner)
    : TWinControl(owner), items_(std::make_unique<TWindowItems>(*this, kComboMessages, sorted_)) {
    ownPaint_ = false;
    clickOnMouseUp_ = false;
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 145, 21);
}

TCustomComboBox::~TCustomComboBox() = default;

TStrings& TCustomComboBox::Items() { return *items_; }
const TStrings& TCustomComboBox::Items() const { return *items_; }

void TCustomComboBox::SetStyle(TComboBoxStyle style) {
    if (style == style_) return;
    style_ = style;
    RecreateWnd();
}

int TCustomComboBox::ItemIndex() const {
    if (HandleAllocated()) return static_cast<int>(SendMessageA(HandleValue(), CB_GETCURSEL, 0, 0));
    return itemIndex_;
}

void TCustomComboBox::SetItemIndex(int index) {
    // A definition may name the index before the items: checked in Loaded.
    if (IsLoading() && !HandleAllocated()) {
        itemIndex_ = index;
        return;
    }
    if (index < -1 || index >= items_->Count()) ListIndexError(index);
    if (HandleAllocated()) SendMessageA(HandleValue(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    else itemIndex_ = index;
}

std::string TCustomComboBox::GetText() const {
    if (!HandleAllocated() && !HasEdit())
        return itemIndex_ >= 0 && itemIndex_ < items_->Count() ? items_->Get(itemIndex_) : std::string();
    return TWinControl::GetText();
}

void TCustomComboBox::SetText(const std::string& text) {
    // A list without an edit shows an item or nothing.
    if (!HasEdit()) {
        SetItemIndex(items_->IndexOf(text));
        return;
    }
    TWinControl::SetText(text);
}

void TCustomComboBox::Loaded() {
    TWinControl::Loaded();
    if (itemIndex_ < -1 || itemIndex_ >= items_->Count()) {
        int bad = itemIndex_;
        itemIndex_ = -1;
        ListIndexError(bad);
    }
}

void TCustomComboBox::SetDropDownCount(int count) {
    dropDownCount_ = std::max(count, 1);
    SetDropDownHeight();
}

void TCustomComboBox::SetSorted(bool on) {
    if (on == sorted_) return;
    sorted_ = on;
    if (HandleAllocated()) RecreateWnd();
    else if (on) items_->SortKept();
}

bool TCustomComboBox::DroppedDown() const {
    return HandleAllocated() && SendMessageA(HandleValue(), CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TCustomComboBox::SetDroppedDown(bool on) {
    SendMessageA(Handle(), CB_SHOWDROPDOWN, on, 0);
}

void TCustomComboBox::Clear() {
    items_->Clear();
    itemIndex_ = -1;
    if (HasEdit()) TWinControl::SetText("");
}

void TCustomComboBox::SetItemHeight(int height) {
    if (height < 1 || height == itemHeight_) return;
    itemHeight_ = height;
    if (OwnerDrawn()) RecreateWnd();
}

TCanvas& TCustomComboBox::Canvas() {
    if (!canvas_) canvas_ = std::make_unique<TControlCanvas>();
    return *canvas_;
}

void TCustomComboBox::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.baseClass = "COMBOBOX";
    p.style |= WS_VSCROLL | CBS_AUTOHSCROLL;
    switch (style_) {
    case csDropDown: p.style |= CBS_DROPDOWN; break;
    case csSimple: p.style |= CBS_SIMPLE; break;
    case csDropDownList: p.style |= CBS_DROPDOWNLIST; break;
    case csOwnerDrawFixed: p.style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS; break;
    case csOwnerDrawVariable: p.style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE | CBS_HASSTRINGS; break;
    }
    if (sorted_) p.style |= CBS_SORT;
}

void TCustomComboBox::CreateWindowHandle(const TCreateParams& params) {
    std::string text = text_;
    TWinControl::CreateWindowHandle(params);
    HWND h = HandleValue();
    if (OwnerDrawn()) {
        // The parent finds owner-drawn controls by id when it asks for item heights.
        static LONG_PTR nextId = 0x4000;
        SetWindowLongPtrA(h, GWLP_ID, nextId);
        nextId = nextId == 0x7FFF ? 0x4000 : nextId + 1;
        SendMessageA(h, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), itemHeight_);
        SendMessageA(h, CB_SETITEMHEIGHT, 0, itemHeight_);
    }
    std::vector<int> where = items_->PushTo(h);
    if (itemIndex_ >= 0 && itemIndex_ < static_cast<int>(where.size())) itemIndex_ = where[static_cast<size_t>(itemIndex_)];
    SendMessageA(h, CB_SETCURSEL, static_cast<WPARAM>(itemIndex_), 0);
    // Text typed into the edit that is no item survives too.
    if (HasEdit() && itemIndex_ < 0 && !text.empty()) SetWindowTextA(h, text.c_str());
    SetDropDownHeight();
}

// The height a drop-down combo box is given is that of the box with its list dropped down.
void TCustomComboBox::SetDropDownHeight() {
    if (!HandleAllocated() || style_ == csSimple) return;
    HWND h = HandleValue();
    int item = static_cast<int>(SendMessageA(h, CB_GETITEMHEIGHT, 0, 0));
    RECT r;
    GetWindowRect(h, &r);
    SetWindowPos(h, nullptr, 0, 0, r.right - r.left, (r.bottom - r.top) + item * dropDownCount_ + 2,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TCustomComboBox::BoundsChanged(const RECT& old) {
    TWinControl::BoundsChanged(old);
    SetDropDownHeight();
}

void TCustomComboBox::DrawItem(const DRAWITEMSTRUCT& item) {
    auto& canvas = static_cast<TControlCanvas&>(Canvas());
    canvas.Attach(item.hDC);
    try {
        canvas.Font().Assign(Font());
        const bool selected = (item.itemState & ODS_SELECTED) != 0;
        canvas.Brush().SetColor(selected ? clHighlight : Color());
        canvas.Font().SetColor(selected ? clHighlightText : Font().Color());
        const int index = static_cast<int>(item.itemID);
        if (OnDrawItem) {
            OnDrawItem(this, index, item.rcItem, item.itemState);
        } else {
            canvas.FillRect(item.rcItem);
            if (index >= 0 && index < items_->Count())
                canvas.TextOut(item.rcItem.left + 2, item.rcItem.top + 1, items_->Get(index));
        }
        if ((item.itemState & ODS_FOCUS) && !OnDrawItem) canvas.DrawFocusRect(item.rcItem);
    } catch (...) {
        canvas.Detach();
        throw;
    }
    canvas.Detach();
}

void TCustomComboBox::MeasureItem(MEASUREITEMSTRUCT& item) {
    int height = itemHeight_;
    if (style_ == csOwnerDrawVariable && static_cast<int>(item.itemID) >= 0)
        OnMeasureItem(this, static_cast<int>(item.itemID), height);
    item.itemHeight = static_cast<UINT>(std::max(height, 1));
}

void TCustomComboBox::SaveWindowState() {
    HWND h = HandleValue();
    itemIndex_ = static_cast<int>(SendMessageA(h, CB_GETCURSEL, 0, 0));
    text_ = TWinControl::GetText();
    items_->SaveFrom(h);
}

bool TCustomComboBox::WantsKey(WORD key) const {
    if (key == VK_RETURN || key == VK_ESCAPE) return DroppedDown();
    return key != VK_TAB;
}

void TCustomComboBox::WndProc(TMessage& m) {
    switch (m.Msg) {
    case CN_COMMAND:
        switch (HIWORD(m.WParam)) {
        case CBN_SELCHANGE:
            OnSelect(this);
            OnChange(this);
            break;
        case CBN_EDITCHANGE: OnChange(this); break;
        case CBN_DROPDOWN: OnDropDown(this); break;
        case CBN_CLOSEUP: OnCloseUp(this); break;
        default: break;
        }
        return;
    case CN_BASE + WM_DRAWITEM:
        DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam));
        m.Result = TRUE;
        return;
    case CN_BASE + WM_MEASUREITEM:
        MeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam));
        m.Result = TRUE;
        return;
    case WM_DESTROY:
        SaveWindowState();
        break;
    case WM_ERASEBKGND:
        // A simple combo box's list keeps to whole items; the strip below it shows the parent.
        if (style_ == csSimple && Parent()) {
            RECT r;
            GetClientRect(HandleValue(), &r);
            FillRect(reinterpret_cast<HDC>(m.WParam), &r, Parent()->Brush().Handle());
            m.Result = 1;
            return;
        }
        break;
    default: break;
    }
    TWinControl::WndProc(m);
}

// ---- TCustomListBox ----------------------------------------------------------------------------

WL_DEFINE_ABSTRACT_CLASS(TCustomListBox, [](ClassBuilder<TCustomListBox>& c) {
    c.Enum("BorderStyle", &TCustomListBox::BorderStyle, &TCustomListBox::SetBorderStyle,
           {{"bsNone", bsNone}, {"bsSingle", bsSingle}});
    c.Int("Columns", &TCustomListBox::Columns, &TCustomListBox::SetColumns);
    c.Bool("ExtendedSelect", &TCustomListBox::ExtendedSelect, &TCustomListBox::SetExtendedSelect);
    c.Bool("IntegralHeight", &TCustomListBox::IntegralHeight, &TCustomListBox::SetIntegralHeight);
    c.Bool("MultiSelect", &TCustomListBox::MultiSelect, &TCustomListBox::SetMultiSelect);
    c.Bool("Sorted", &TCustomListBox::Sorted, &TCustomListBox::SetSorted);
    c.Object("Items", [](TCustomListBox& b) { return &b.Items(); });
    c.Int("ItemIndex", &TCustomListBox::ItemIndex, &TCustomListBox::SetItemIndex);
})
WL_DEFINE_CLASS(TListBox, WL_NO_PROPERTIES)

TCustomListBox::TCustomListBox(TComponent* owner)
    : TWinControl(owner), items_(std::make_unique<TWindowItems>(*this, kListMessages, sorted_)) {
    ownPaint_ = false;
    clickOnMouseUp_ = false;
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 121, 97);
}

TCustomListBox::~TCustomListBox() = default;

TStrings& TCustomListBox::Items() { return *items_; }
const TStrings& TCustomListBox::Items() const { return *items_; }

void TCustomListBox::CheckIndex(int index) const {
    if (index < 0 || index >= items_->Count()) ListIndexError(index);
}

int TCustomListBox::ItemIndex() const {
    if (!HandleAllocated()) return itemIndex_;
    HWND h = HandleValue();
    if (!multiSelect_) return static_cast<int>(SendMessageA(h, LB_GETCURSEL, 0, 0));
    if (SendMessageA(h, LB_GETCOUNT, 0, 0) == 0) return -1;
    return static_cast<int>(SendMessageA(h, LB_GETCARETINDEX, 0, 0));
}

void TCustomListBox::SetItemIndex(int index) {
    if (IsLoading() && !HandleAllocated()) {
        itemIndex_ = index;
        return;
    }
    if (index != -1) CheckIndex(index);
    if (!HandleAllocated()) {
        itemIndex_ = index;
        return;
    }
    HWND h = HandleValue();
    if (!multiSelect_) SendMessageA(h, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    else if (index >= 0) SendMessageA(h, LB_SETCARETINDEX, static_cast<WPARAM>(index), FALSE);
}

bool TCustomListBox::Selected(int index) const {
    CheckIndex(index);
    if (HandleAllocated()) {
        HWND h = HandleValue();
        if (multiSelect_) return SendMessageA(h, LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
        return SendMessageA(h, LB_GETCURSEL, 0, 0) == index;
    }
    if (multiSelect_) return index < static_cast<int>(selected_.size()) && selected_[index];
    return itemIndex_ == index;
}

void TCustomListBox::SetSelected(int index, bool on) {
    CheckIndex(index);
    if (HandleAllocated()) {
        HWND h = HandleValue();
        if (multiSelect_) SendMessageA(h, LB_SETSEL, on, index);
        else if (on) SendMessageA(h, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        else if (SendMessageA(h, LB_GETCURSEL, 0, 0) == index) SendMessageA(h, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        return;
    }
    if (multiSelect_) {
        if (static_cast<int>(selected_.size()) <= index) selected_.resize(static_cast<size_t>(index) + 1);
        selected_[static_cast<size_t>(index)] = on;
    } else if (on) {
        itemIndex_ = index;
    } else if (itemIndex_ == index) {
        itemIndex_ = -1;
    }
}

void TCustomListBox::Loaded() {
    TWinControl::Loaded();
    if (itemIndex_ < -1 || itemIndex_ >= items_->Count()) {
        int bad = itemIndex_;
        itemIndex_ = -1;
        ListIndexError(bad);
    }
}

int TCustomListBox::SelCount() const {
    if (!multiSelect_) return ItemIndex() >= 0 ? 1 : 0;
    if (HandleAllocated()) return static_cast<int>(SendMessageA(HandleValue(), LB_GETSELCOUNT, 0, 0));
    int n = 0;
    for (int i = 0; i < items_->Count() && i < static_cast<int>(selected_.size()); ++i) n += selected_[i];
    return n;
}

void TCustomListBox::Clear() {
    items_->Clear();
    itemIndex_ = -1;
    selected_.clear();
}

void TCustomListBox::SetMultiSelect(bool on) {
    if (on == multiSelect_) return;
    multiSelect_ = on;
    RecreateWnd();
}
void TCustomListBox::SetExtendedSelect(bool on) {
    if (on == extendedSelect_) return;
    extendedSelect_ = on;
    RecreateWnd();
}
void TCustomListBox::SetSorted(bool on) {
    if (on == sorted_) return;
    sorted_ = on;
    if (HandleAllocated()) RecreateWnd();
    else if (on) items_->SortKept();
}
void TCustomListBox::SetColumns(int n) {
    n = std::max(n, 0);
    if (n == columns_) return;
    columns_ = n;
    RecreateWnd();
}
void TCustomListBox::SetIntegralHeight(bool on) {
    if (on == integralHeight_) return;
    integralHeight_ = on;
    RecreateWnd();
}
void TCustomListBox::SetBorderStyle(TBorderStyle style) {
    if (style != bsNone) style = bsSingle;
    if (style == borderStyle_) return;
    borderStyle_ = style;
    RecreateWnd();
}

void TCustomListBox::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.baseClass = "LISTBOX";
    p.style |= WS_VSCROLL | LBS_NOTIFY;
    if (sorted_) p.style |= LBS_SORT;
    if (multiSelect_) p.style |= extendedSelect_ ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
    if (columns_ > 0) p.style |= LBS_MULTICOLUMN | WS_HSCROLL;
    if (!integralHeight_) p.style |= LBS_NOINTEGRALHEIGHT;
    if (borderStyle_ == bsSingle) p.exStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListBox::CreateWindowHandle(const TCreateParams& params) {
    TWinControl::CreateWindowHandle(params);
    HWND h = HandleValue();
    if (columns_ > 0) SendMessageA(h, LB_SETCOLUMNWIDTH, static_cast<WPARAM>(std::max(Width() / columns_, 1)), 0);
    std::vector<int> where = items_->PushTo(h);
    const int count = items_->Count();
    if (itemIndex_ >= 0 && itemIndex_ < static_cast<int>(where.size())) itemIndex_ = where[static_cast<size_t>(itemIndex_)];
    if (multiSelect_) {
        for (size_t i = 0; i < where.size() && i < selected_.size(); ++i)
            if (selected_[i]) SendMessageA(h, LB_SETSEL, TRUE, where[i]);
        if (itemIndex_ >= 0 && itemIndex_ < count)
            SendMessageA(h, LB_SETCARETINDEX, static_cast<WPARAM>(itemIndex_), FALSE);
    } else if (itemIndex_ < count) {
        SendMessageA(h, LB_SETCURSEL, static_cast<WPARAM>(itemIndex_), 0);
    }
    selected_.clear();
}

void TCustomListBox::SaveWindowState() {
    HWND h = HandleValue();
    itemIndex_ = ItemIndex();
    selected_.clear();
    const int count = static_cast<int>(SendMessageA(h, LB_GETCOUNT, 0, 0));
    if (multiSelect_)
        for (int i = 0; i < count; ++i) selected_.push_back(SendMessageA(h, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0);
    items_->SaveFrom(h);
}

void TCustomListBox::BoundsChanged(const RECT& old) {
    TWinControl::BoundsChanged(old);
    if (columns_ > 0 && HandleAllocated())
        SendMessageA(HandleValue(), LB_SETCOLUMNWIDTH, static_cast<WPARAM>(std::max(Width() / columns_, 1)), 0);
}

bool TCustomListBox::WantsKey(WORD key) const {
    return !(key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE);
}

void TCustomListBox::WndProc(TMessage& m) {
    switch (m.Msg) {
    case CN_COMMAND:
        if (HIWORD(m.WParam) == LBN_SELCHANGE) Click();
        return;
    case WM_DESTROY:
        SaveWindowState();
        break;
    default: break;
    }
    TWinControl::WndProc(m);
}

// ---- TScrollBar --------------------------------------------------------------------------------

WL_DEFINE_CLASS(TScrollBar, [](ClassBuilder<TScrollBar>& c) {
    c.Enum("Kind", &TScrollBar::Kind, &TScrollBar::SetKind,
           {{"sbHorizontal", sbHorizontal}, {"sbVertical", sbVertical}});
    c.Int("LargeChange", &TScrollBar::LargeChange, &TScrollBar::SetLargeChange);
    c.Int("Max", &TScrollBar::Max, &TScrollBar::SetMax);
    c.Int("Min", &TScrollBar::Min, &TScrollBar::SetMin);
    c.Int("PageSize", &TScrollBar::PageSize, &TScrollBar::SetPageSize);
    c.Int("Position", &TScrollBar::Position, &TScrollBar::SetPosition);
    c.Int("SmallChange", &TScrollBar::SmallChange, &TScrollBar::SetSmallChange);
    c.Event("OnChange", &TScrollBar::OnChange);
    c.Event("OnScroll", &TScrollBar::OnScroll);
})

TScrollBar::TScrollBar(TComponent* owner) : TWinControl(owner) {
    ownPaint_ = false;
    clickOnMouseUp_ = false;
    SetTabStop(true);
    SetBounds(0, 0, 121, GetSystemMetrics(SM_CYHSCROLL));
}

int TScrollBar::Clamp(int position) const {
    int high = std::max(max_ - std::max(pageSize_ - 1, 0), min_);
    return std::clamp(position, min_, high);
}

void TScrollBar::SetParams(int position, int min, int max) {
    // While a definition is read, Min may come before a larger Max: checked in Loaded.
    if (IsLoading()) {
        position_ = position;
        min_ = min;
        max_ = max;
        return;
    }
    if (max < min) throw EInvalidOperation("Scroll bar property out of range");
    min_ = min;
    max_ = max;
    int p = Clamp(position);
    bool changed = p != position_;
    position_ = p;
    SyncWindow();
    if (changed) OnChange(this);
}

void TScrollBar::SetPageSize(int v) {
    if (IsLoading()) {
        pageSize_ = v;
        return;
    }
    if (v < 0 || v > max_ - min_ + 1) throw EInvalidOperation("Scroll bar property out of range");
    pageSize_ = v;
    SetParams(position_, min_, max_);
    SyncWindow();
}

void TScrollBar::Loaded() {
    TWinControl::Loaded();
    if (max_ < min_ || pageSize_ < 0 || pageSize_ > max_ - min_ + 1)
        throw EInvalidOperation("Scroll bar property out of range");
    position_ = Clamp(position_);
    SyncWindow();
}

void TScrollBar::SetKind(TScrollBarKind kind) {
    if (kind == kind_) return;
    kind_ = kind;
    if (!IsLoading()) SetBounds(Left(), Top(), Height(), Width());
    RecreateWnd();
}

void TScrollBar::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.baseClass = "SCROLLBAR";
    p.style |= kind_ == sbVertical ? SBS_VERT : SBS_HORZ;
}

void TScrollBar::CreateWindowHandle(const TCreateParams& params) {
    TWinControl::CreateWindowHandle(params);
    SyncWindow();
}

void TScrollBar::SyncWindow() {
    if (!HandleAllocated()) return;
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, min_, max_,
                  static_cast<UINT>(std::max(pageSize_, 0)), position_, 0};
    SetScrollInfo(HandleValue(), SB_CTL, &si, TRUE);
}

void TScrollBar::Scroll(WORD code) {
    int pos = position_;
    TScrollCode sc = scEndScroll;
    auto track = [&] {
        SCROLLINFO si{sizeof si, SIF_TRACKPOS, 0, 0, 0, 0, 0};
        GetScrollInfo(HandleValue(), SB_CTL, &si);
        return si.nTrackPos; // 32 bits, unlike the word in the message
    };
    switch (code) {
    case SB_LINEUP: sc = scLineUp; pos -= smallChange_; break;
    case SB_LINEDOWN: sc = scLineDown; pos += smallChange_; break;
    case SB_PAGEUP: sc = scPageUp; pos -= largeChange_; break;
    case SB_PAGEDOWN: sc = scPageDown; pos += largeChange_; break;
    case SB_THUMBPOSITION: sc = scPosition; pos = track(); break;
    case SB_THUMBTRACK: sc = scTrack; pos = track(); break;
    case SB_TOP: sc = scTop; pos = min_; break;
    case SB_BOTTOM: sc = scBottom; pos = max_; break;
    case SB_ENDSCROLL: sc = scEndScroll; break;
    default: return;
    }
    pos = Clamp(pos);
    OnScroll(this, sc, pos);
    SetPosition(pos);
}

bool TScrollBar::WantsKey(WORD key) const {
    return !(key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE);
}

void TScrollBar::WndProc(TMessage& m) {
    if (m.Msg == CN_BASE + WM_HSCROLL || m.Msg == CN_BASE + WM_VSCROLL) {
        Scroll(LOWORD(m.WParam));
        m.Result = 0;
        return;
    }
    TWinControl::WndProc(m);
}

// ---- TStaticText -------------------------------------------------------------------------------

WL_DEFINE_CLASS(TStaticText, [](ClassBuilder<TStaticText>& c) {
    c.Str("Caption", GetCaption, SetCaptionText);
    c.Enum("Alignment", &TStaticText::Alignment, &TStaticText::SetAlignment,
           {{"taLeftJustify", taLeftJustify}, {"taRightJustify", taRightJustify}, {"taCenter", taCenter}});
    c.Bool("AutoSize", &TStaticText::AutoSize, &TStaticText::SetAutoSize);
    c.Enum("BorderStyle", &TStaticText::BorderStyle, &TStaticText::SetBorderStyle,
           {{"sbsNone", sbsNone}, {"sbsSingle", sbsSingle}, {"sbsSunken", sbsSunken}});
})

TStaticText::TStaticText(TComponent* owner) : TWinControl(owner) {
    ownPaint_ = false;
    SetParentColor(true);
    SetBounds(0, 0, 65, 17);
}

void TStaticText::SetAlignment(TAlignment a) {
    if (a == alignment_) return;
    alignment_ = a;
    RecreateWnd();
}

void TStaticText::SetBorderStyle(TStaticBorderStyle style) {
    if (style == borderStyle_) return;
    borderStyle_ = style;
    RecreateWnd();
    AdjustBounds();
}

void TStaticText::SetAutoSize(bool on) {
    autoSize_ = on;
    AdjustBounds();
}

void TStaticText::Loaded() {
    TWinControl::Loaded();
    AdjustBounds();
}

void TStaticText::FontChanged() {
    TWinControl::FontChanged();
    AdjustBounds();
}

void TStaticText::AdjustBounds() {
    if (!autoSize_ || IsLoading()) return;
    WindowDC dc(nullptr);
    ScopedSelect font(dc.get(), Font().Handle());
    std::string text = GetText();
    if (text.empty()) text = " ";
    RECT r{0, 0, 0, 0};
    DrawTextA(dc.get(), text.data(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_CALCRECT | DT_EXPANDTABS);
    // One-pixel frame on every side for both kinds of border.
    int border = borderStyle_ == sbsNone ? 0 : 2;
    SetBounds(Left(), Top(), r.right + border, r.bottom + border);
}

void TStaticText::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.baseClass = "STATIC";
    p.style |= SS_NOTIFY;
    p.style |= alignment_ == taCenter ? SS_CENTER : alignment_ == taRightJustify ? SS_RIGHT : SS_LEFT;
    if (borderStyle_ == sbsSingle) p.style |= WS_BORDER;
    else if (borderStyle_ == sbsSunken) p.style |= SS_SUNKEN;
}

} // namespace wl
