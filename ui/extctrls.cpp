// Panels, splitters and timers (see extctrls.h).
#include "ui/extctrls.h"

#include "ui/forms.h"

#include <algorithm>
#include <map>

namespace wl {

namespace {
const std::initializer_list<TEnumMember> kBevels = {
    {"bvNone", bvNone}, {"bvLowered", bvLowered}, {"bvRaised", bvRaised}, {"bvSpace", bvSpace}};
} // namespace

// ---- TCustomPanel ------------------------------------------------------------------------------

WL_DEFINE_ABSTRACT_CLASS(TCustomPanel, [](ClassBuilder<TCustomPanel>& c) {
    c.Str("Caption", [](const TCustomPanel& p) { return p.GetText(); },
          [](TCustomPanel& p, const std::string& t) { p.SetText(t); });
    c.Enum("BevelInner", &TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner, kBevels);
    c.Enum("BevelOuter", &TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter, kBevels);
    c.Int("BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth);
    c.Int("BorderWidth", &TCustomPanel::BorderWidth, &TCustomPanel::SetBorderWidth);
    c.Enum("BorderStyle", &TCustomPanel::BorderStyle, &TCustomPanel::SetBorderStyle,
           {{"bsNone", bsNone}, {"bsSingle", bsSingle}});
    c.Enum("Alignment", &TCustomPanel::Alignment, &TCustomPanel::SetAlignment,
           {{"taLeftJustify", taLeftJustify}, {"taRightJustify", taRightJustify}, {"taCenter", taCenter}});
})
WL_DEFINE_CLASS(TPanel, WL_NO_PROPERTIES)

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) {
    SetBounds(0, 0, 185, 41);
}

void TCustomPanel::Changed() {
    if (!IsLoading()) {
        AlignControls();
        Invalidate();
    }
}

void TCustomPanel::SetBevelInner(TBevelCut b) {
    bevelInner_ = b;
    Changed();
}
void TCustomPanel::SetBevelOuter(TBevelCut b) {
    bevelOuter_ = b;
    Changed();
}
void TCustomPanel::SetBevelWidth(int w) {
    bevelWidth_ = std::max(w, 1);
    Changed();
}
void TCustomPanel::SetBorderWidth(int w) {
    borderWidth_ = std::max(w, 0);
    Changed();
}
void TCustomPanel::SetBorderStyle(TBorderStyle style) {
    if (style == borderStyle_) return;
    borderStyle_ = style;
    RecreateWnd();
}
void TCustomPanel::SetAlignment(TAlignment a) {
    alignment_ = a;
    Invalidate();
}

void TCustomPanel::CreateParams(TCreateParams& p) {
    TCustomControl::CreateParams(p);
    if (borderStyle_ == bsSingle) p.style |= WS_BORDER;
}

void TCustomPanel::AdjustClientRect(RECT& r) const {
    int inset = borderWidth_;
    if (bevelOuter_ != bvNone) inset += bevelWidth_;
    if (bevelInner_ != bvNone) inset += bevelWidth_;
    InflateRect(&r, -inset, -inset);
}

void TCustomPanel::Paint() {
    TCanvas& canvas = Canvas();
    HDC dc = canvas.Handle();
    RECT r;
    GetClientRect(HandleValue(), &r);
    auto bevel = [&](TBevelCut cut) {
        if (cut == bvNone) return;
        TColor top = cut == bvLowered ? clBtnShadow : clBtnHighlight;
        TColor bottom = cut == bvLowered ? clBtnHighlight : clBtnShadow;
        if (cut == bvSpace) top = bottom = Color();
        Frame3D(dc, r, top, bottom, bevelWidth_);
    };
    bevel(bevelOuter_);
    {
        UniqueBrush face(CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(Color()))));
        RECT inner = r;
        FillRect(dc, &inner, face.get());
        InflateRect(&r, -borderWidth_, -borderWidth_);
    }
    bevel(bevelInner_);
    std::string text = GetText();
    if (!text.empty()) {
        canvas.Font().Assign(Font());
        dc = canvas.Handle();
        SetBkMode(dc, TRANSPARENT);
        UINT flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
        flags |= alignment_ == taCenter ? DT_CENTER : alignment_ == taRightJustify ? DT_RIGHT : DT_LEFT;
        DrawTextA(dc, text.data(), static_cast<int>(text.size()), &r, flags);
    }
}

// ---- TSplitter ---------------------------------------------------------------------------------

WL_DEFINE_CLASS(TSplitter, [](ClassBuilder<TSplitter>& c) {
    c.Int("MinSize", &TSplitter::MinSize, &TSplitter::SetMinSize);
    c.Bool("Beveled", &TSplitter::Beveled, &TSplitter::SetBeveled);
    c.Event("OnMoved", &TSplitter::OnMoved);
})

TSplitter::TSplitter(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, 3, 100);
    SetAlign(alLeft);
    SetCursor(crHSplit);
}

void TSplitter::SetBeveled(bool on) {
    beveled_ = on;
    Invalidate();
}

TControl* TSplitter::FindResizedControl() const {
    TWinControl* p = Parent();
    if (!p) return nullptr;
    for (int i = 0; i < p->ControlCount(); ++i) {
        TControl* c = p->Controls(i);
        if (c == this || !c->Visible() || c->Align() != Align()) continue;
        bool touches = false;
        switch (Align()) {
        case alTop: touches = c->Top() + c->Height() == Top(); break;
        case alBottom: touches = c->Top() == Top() + Height(); break;
        case alLeft: touches = c->Left() + c->Width() == Left(); break;
        case alRight: touches = c->Left() == Left() + Width(); break;
        default: break;
        }
        if (touches) return c;
    }
    return nullptr;
}

void TSplitter::Paint() {
    TCanvas& canvas = Canvas();
    canvas.Brush().SetColor(Color());
    RECT r{0, 0, Width(), Height()};
    canvas.FillRect(r);
    if (beveled_) Frame3D(canvas.Handle(), r, clBtnHighlight, clBtnShadow, 1);
}

void TSplitter::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseDown(button, shift, x, y);
    if (button != mbLeft || !Parent()) return;
    dragged_ = FindResizedControl();
    if (!dragged_) return;
    downPos_ = Vertical() ? Top() + y : Left() + x;
    startSize_ = Vertical() ? dragged_->Height() : dragged_->Width();
    // The control may grow until the client-aligned rest keeps MinSize.
    RECT client = Parent()->ClientRect();
    int room = Vertical() ? client.bottom : client.right;
    for (int i = 0; i < Parent()->ControlCount(); ++i) {
        TControl* c = Parent()->Controls(i);
        if (c == dragged_ || !c->Visible() || c->Align() == alNone || c->Align() == alClient) continue;
        bool sameAxis = Vertical() ? (c->Align() == alTop || c->Align() == alBottom)
                                   : (c->Align() == alLeft || c->Align() == alRight);
        if (sameAxis) room -= Vertical() ? c->Height() : c->Width();
    }
    maxSize_ = std::max(minSize_, room - minSize_);
}

void TSplitter::MouseMove(TShiftState shift, int x, int y) {
    TGraphicControl::MouseMove(shift, x, y);
    if (!dragged_) return;
    int pos = Vertical() ? Top() + y : Left() + x;
    int delta = pos - downPos_;
    if (Align() == alBottom || Align() == alRight) delta = -delta;
    int size = std::clamp(startSize_ + delta, minSize_, maxSize_);
    if (Vertical()) dragged_->SetHeight(size);
    else dragged_->SetWidth(size);
    if (Parent()) Parent()->Update();
}

void TSplitter::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseUp(button, shift, x, y);
    if (!dragged_) return;
    dragged_ = nullptr;
    OnMoved(this);
}

// ---- TTimer ------------------------------------------------------------------------------------

namespace {
std::map<UINT_PTR, TTimer*>& Timers() {
    static std::map<UINT_PTR, TTimer*> timers;
    return timers;
}
} // namespace

WL_DEFINE_CLASS(TTimer, [](ClassBuilder<TTimer>& c) {
    c.Bool("Enabled", &TTimer::Enabled, &TTimer::SetEnabled);
    c.Int("Interval", &TTimer::Interval, &TTimer::SetInterval);
    c.Event("OnTimer", &TTimer::OnTimer);
})

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
    // A timer created by a form definition starts when loading ends.
}

TTimer::~TTimer() {
    enabled_ = false;
    UpdateTimer();
}

void TTimer::SetEnabled(bool on) {
    enabled_ = on;
    UpdateTimer();
}

void TTimer::SetInterval(unsigned ms) {
    interval_ = ms;
    UpdateTimer();
}

void TTimer::Loaded() {
    TComponent::Loaded();
    UpdateTimer();
}

void TTimer::UpdateTimer() {
    if (id_) {
        KillTimer(nullptr, id_);
        Timers().erase(id_);
        id_ = 0;
    }
    if (!enabled_ || interval_ == 0 || IsLoading() || IsDestroying()) return;
    id_ = SetTimer(nullptr, 0, interval_, TimerProc);
    if (id_) Timers()[id_] = this;
}

void CALLBACK TTimer::TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
    auto it = Timers().find(id);
    if (it == Timers().end()) return;
    TTimer* timer = it->second;
    try {
        timer->OnTimer(timer);
    } catch (...) {
        // No exception may leave a timer callback.
        Application->HandleException(timer);
    }
}

} // namespace wl

namespace wl {

// ---- TCustomRadioGroup -------------------------------------------------------------------------

namespace {
// A radio button of a radio group: tells the group when the user checks it.
class TGroupButton : public TRadioButton {
public:
    TGroupButton(TCustomRadioGroup& group) : TRadioButton(&group), group_(group) {}
    void Click() override {
        TRadioButton::Click();
        if (Checked()) group_.ButtonClicked(this);
    }

private:
    TCustomRadioGroup& group_;
};
} // namespace

WL_DEFINE_ABSTRACT_CLASS(TCustomRadioGroup, [](ClassBuilder<TCustomRadioGroup>& c) {
    c.Int("Columns", &TCustomRadioGroup::Columns, &TCustomRadioGroup::SetColumns);
    c.Object("Items", [](TCustomRadioGroup& g) { return &g.Items(); });
    c.Int("ItemIndex", &TCustomRadioGroup::ItemIndex, &TCustomRadioGroup::SetItemIndex);
})
WL_DEFINE_CLASS(TRadioGroup, WL_NO_PROPERTIES)

TCustomRadioGroup::TCustomRadioGroup(TComponent* owner) : TCustomGroupBox(owner) {
    items_.OnChange = [this](TObject*) {
        if (!IsDestroying()) UpdateButtons();
    };
}

// The buttons are owned components: the component destructor frees them.
TCustomRadioGroup::~TCustomRadioGroup() { items_.OnChange.Clear(); }

void TCustomRadioGroup::SetItemIndex(int index) {
    if (IsLoading()) {
        itemIndex_ = index;
        return;
    }
    if (index < -1 || index >= items_.Count())
        throw Exception("List index out of bounds (" + std::to_string(index) + ")");
    itemIndex_ = index;
    updating_ = true;
    for (size_t i = 0; i < buttons_.size(); ++i) buttons_[i]->SetChecked(static_cast<int>(i) == index);
    updating_ = false;
}

void TCustomRadioGroup::SetColumns(int columns) {
    columns_ = std::clamp(columns, 1, 16);
    ArrangeButtons();
}

void TCustomRadioGroup::ButtonClicked(TRadioButton* button) {
    if (updating_) return;
    auto it = std::find(buttons_.begin(), buttons_.end(), button);
    if (it == buttons_.end()) return;
    itemIndex_ = static_cast<int>(it - buttons_.begin());
    Click();
}

void TCustomRadioGroup::Loaded() {
    TCustomGroupBox::Loaded();
    if (itemIndex_ >= items_.Count()) itemIndex_ = -1;
    UpdateButtons();
}

void TCustomRadioGroup::UpdateButtons() {
    updating_ = true;
    const size_t count = static_cast<size_t>(items_.Count());
    while (buttons_.size() < count) {
        auto* b = new TGroupButton(*this);
        b->SetParent(this);
        buttons_.push_back(b);
    }
    while (buttons_.size() > count) {
        delete buttons_.back();
        buttons_.pop_back();
    }
    if (itemIndex_ >= static_cast<int>(count)) itemIndex_ = -1;
    for (size_t i = 0; i < count; ++i) {
        buttons_[i]->SetCaption(items_.Get(static_cast<int>(i)));
        buttons_[i]->SetChecked(static_cast<int>(i) == itemIndex_);
    }
    updating_ = false;
    ArrangeButtons();
}

void TCustomRadioGroup::ArrangeButtons() {
    if (IsLoading() || buttons_.empty()) return;
    RECT r = ClientRect();
    AdjustClientRect(r);
    const int count = static_cast<int>(buttons_.size());
    const int columns = std::min(columns_, count);
    const int rows = (count + columns - 1) / columns;
    const int columnWidth = (r.right - r.left) / columns;
    const int rowHeight = std::max<int>((r.bottom - r.top) / rows, 1);
    const int height = std::min(rowHeight, CaptionHeight() + 4);
    for (int i = 0; i < count; ++i) {
        int column = i / rows, row = i % rows;
        buttons_[static_cast<size_t>(i)]->SetBounds(r.left + 6 + column * columnWidth,
                                                    r.top + row * rowHeight + (rowHeight - height) / 2,
                                                    std::max(columnWidth - 8, 0), height);
    }
}

void TCustomRadioGroup::Resize() {
    TCustomGroupBox::Resize();
    ArrangeButtons();
}

void TCustomRadioGroup::FontChanged() {
    TCustomGroupBox::FontChanged();
    ArrangeButtons();
}

// ---- TBevel ------------------------------------------------------------------------------------

WL_DEFINE_CLASS(TBevel, [](ClassBuilder<TBevel>& c) {
    c.Enum("Shape", &TBevel::Shape, &TBevel::SetShape,
           {{"bsBox", bsBox}, {"bsFrame", bsFrame}, {"bsTopLine", bsTopLine}, {"bsBottomLine", bsBottomLine},
            {"bsLeftLine", bsLeftLine}, {"bsRightLine", bsRightLine}, {"bsSpacer", bsSpacer}});
    c.Enum("Style", &TBevel::Style, &TBevel::SetStyle, {{"bsLowered", bsLowered}, {"bsRaised", bsRaised}});
})

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 50, 50); }

void TBevel::SetShape(TBevelShape shape) {
    shape_ = shape;
    Invalidate();
}

void TBevel::SetStyle(TBevelStyle style) {
    style_ = style;
    Invalidate();
}

void TBevel::Paint() {
    TCanvas& canvas = Canvas();
    const TColor dark = clBtnShadow, light = clBtnHighlight;
    const TColor first = style_ == bsLowered ? dark : light;
    const TColor second = style_ == bsLowered ? light : dark;
    const int w = Width(), h = Height();
    auto fill = [&](TColor color, RECT r) {
        canvas.Brush().SetColor(color);
        canvas.FillRect(r);
    };
    auto frame = [&](TColor color, RECT r) {
        canvas.Brush().SetColor(color);
        canvas.FrameRect(r);
    };
    switch (shape_) {
    case bsBox: {
        RECT r{0, 0, w, h};
        Frame3D(canvas.Handle(), r, first, second, 1);
        break;
    }
    case bsFrame: // etched: two offset rectangles
        frame(second, {1, 1, w, h});
        frame(first, {0, 0, w - 1, h - 1});
        break;
    case bsTopLine:
        fill(first, {0, 0, w, 1});
        fill(second, {0, 1, w, 2});
        break;
    case bsBottomLine:
        fill(first, {0, h - 2, w, h - 1});
        fill(second, {0, h - 1, w, h});
        break;
    case bsLeftLine:
        fill(first, {0, 0, 1, h});
        fill(second, {1, 0, 2, h});
        break;
    case bsRightLine:
        fill(first, {w - 2, 0, w - 1, h});
        fill(second, {w - 1, 0, w, h});
        break;
    case bsSpacer: break;
    }
}

// ---- TShape ------------------------------------------------------------------------------------

WL_DEFINE_CLASS(TShape, [](ClassBuilder<TShape>& c) {
    c.Object("Brush", [](TShape& s) { return &s.Brush(); });
    c.Object("Pen", [](TShape& s) { return &s.Pen(); });
    c.Enum("Shape", &TShape::Shape, &TShape::SetShape,
           {{"stRectangle", stRectangle}, {"stSquare", stSquare}, {"stRoundRect", stRoundRect},
            {"stRoundSquare", stRoundSquare}, {"stEllipse", stEllipse}, {"stCircle", stCircle}});
})

TShape::TShape(TComponent* owner) : TGraphicControl(owner) {
    brush_.OnChange = [this](TObject*) { Invalidate(); };
    pen_.OnChange = [this](TObject*) { Invalidate(); };
    SetBounds(0, 0, 65, 65);
}

void TShape::SetShape(TShapeType shape) {
    shape_ = shape;
    Invalidate();
}

void TShape::Paint() {
    TCanvas& canvas = Canvas();
    canvas.Pen().Assign(pen_);
    canvas.Brush().Assign(brush_);
    // The pen is centred on the outline: keep all of it inside the bounds.
    const int pw = pen_.Style() == psClear ? 0 : pen_.Width();
    int x = pw / 2, y = pw / 2;
    int w = Width() - pw + 1, h = Height() - pw + 1;
    if (pw == 0) {
        --w;
        --h;
    }
    if (shape_ == stSquare || shape_ == stRoundSquare || shape_ == stCircle) {
        if (w < h) {
            y += (h - w) / 2;
            h = w;
        } else {
            x += (w - h) / 2;
            w = h;
        }
    }
    switch (shape_) {
    case stRectangle:
    case stSquare: canvas.Rectangle(x, y, x + w, y + h); break;
    case stRoundRect:
    case stRoundSquare: {
        int corner = std::min(w, h) / 4;
        canvas.RoundRect(x, y, x + w, y + h, corner, corner);
        break;
    }
    case stEllipse:
    case stCircle: canvas.Ellipse(x, y, x + w, y + h); break;
    }
}

// ---- TPicture ----------------------------------------------------------------------------------

namespace {
const std::string kBitmapClass = "TBitmap";
} // namespace

WL_DEFINE_CLASS(TPicture, WL_NO_PROPERTIES)

TPicture::TPicture() {
    bitmap_.OnChange = [this](TObject*) { OnChange(this); };
}

void TPicture::LoadFromFile(const std::string& path) {
    bitmap_.LoadFromFile(path);
    OnChange(this);
}

void TPicture::Assign(const TPersistent& source) {
    if (auto* p = dynamic_cast<const TPicture*>(&source)) bitmap_.Assign(p->bitmap_);
    else if (auto* b = dynamic_cast<const TBitmap*>(&source)) bitmap_.Assign(*b);
    else TPersistent::Assign(source);
    OnChange(this);
}

bool TPicture::ReadBinaryProperty(const std::string& name, const std::string& bytes) {
    if (name != "Data") return TPersistent::ReadBinaryProperty(name, bytes);
    if (bytes.empty()) {
        bitmap_.Clear();
        OnChange(this);
        return true;
    }
    const size_t n = static_cast<unsigned char>(bytes[0]);
    if (bytes.size() < 1 + n) throw EInvalidGraphic("Picture data is not valid");
    std::string cls = bytes.substr(1, n);
    if (cls != kBitmapClass) throw EInvalidGraphic("Unsupported picture format " + cls);
    if (!bitmap_.ReadBinaryProperty("Data", bytes.substr(1 + n)))
        throw EInvalidGraphic("Picture data is not valid");
    OnChange(this);
    return true;
}

void TPicture::WriteBinaryProperties(std::vector<std::pair<std::string, std::string>>& out) const {
    TPersistent::WriteBinaryProperties(out);
    if (bitmap_.Empty()) return;
    std::vector<std::pair<std::string, std::string>> data;
    bitmap_.WriteBinaryProperties(data);
    for (auto& [name, bytes] : data)
        if (name == "Data")
            out.emplace_back("Data", static_cast<char>(kBitmapClass.size()) + kBitmapClass + bytes);
}

// ---- TImage ------------------------------------------------------------------------------------

WL_DEFINE_CLASS(TImage, [](ClassBuilder<TImage>& c) {
    c.Bool("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize);
    c.Bool("Center", &TImage::Center, &TImage::SetCenter);
    c.Object("Picture", [](TImage& i) { return &i.Picture(); });
    c.Bool("Stretch", &TImage::Stretch, &TImage::SetStretch);
    c.Bool("Transparent", &TImage::Transparent, &TImage::SetTransparent);
})

TImage::TImage(TComponent* owner) : TGraphicControl(owner) {
    picture_.OnChange = [this](TObject*) { PictureChanged(); };
    SetBounds(0, 0, 105, 105);
}

void TImage::SetStretch(bool on) {
    stretch_ = on;
    Invalidate();
}
void TImage::SetCenter(bool on) {
    center_ = on;
    Invalidate();
}
void TImage::SetTransparent(bool on) {
    transparent_ = on;
    PictureChanged();
}
void TImage::SetAutoSize(bool on) {
    autoSize_ = on;
    PictureChanged();
}

void TImage::Loaded() {
    TGraphicControl::Loaded();
    PictureChanged();
}

void TImage::PictureChanged() {
    if (IsDestroying()) return;
    TBitmap& b = picture_.Bitmap();
    if (!b.Empty() && b.Transparent() != transparent_) {
        // Changing the bitmap reports back here; the check above ends that round.
        b.SetTransparent(transparent_);
        return;
    }
    if (autoSize_ && !b.Empty() && !IsLoading()) SetBounds(Left(), Top(), b.Width(), b.Height());
    Invalidate();
}

RECT TImage::DestRect() {
    const int w = picture_.Width(), h = picture_.Height();
    if (stretch_) return {0, 0, Width(), Height()};
    if (center_) {
        int x = (Width() - w) / 2, y = (Height() - h) / 2;
        return {x, y, x + w, y + h};
    }
    return {0, 0, w, h};
}

void TImage::Paint() {
    TGraphic* g = picture_.Graphic();
    if (!g) return;
    Canvas().StretchDraw(DestRect(), *g);
}

} // namespace wl
