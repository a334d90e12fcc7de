// The skin load: turns a parsed skin definition and its archive into the element records and
// colours of a TSkinData, in a fixed order (each step sees the results of the earlier ones),
// then derives the elements that are computed from others: the mirrored combo button, the
// combo box composite and arrow, the tool-bar gradient and the frame colour.
#include "skin/archive/bitmaps.h"
#include "skin/archive/quick_ini.h"
#include "skin/archive/skin_reader.h"
#include "skin/data/skin_data.h"
#include "skin/data/skin_slots.h"
#include "skin/data/skin_values.h"

#include <algorithm>
#include <cstring>
#include <variant>

namespace wl {

namespace {

std::string AsciiUpper(std::string_view text) {
    std::string s(text);
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && s.substr(0, prefix.size()) == prefix;
}

// A copy of `source` (any format) as a 24-bit bitmap.
void Copy24(TBitmap& target, TBitmap& source) {
    target.Assign(source);
    if (!target.Empty()) target.SetPixelFormat(pf24bit);
}

// A part of a bitmap as a new 24-bit bitmap (pixels outside the source stay black). A 24-bit
// source is copied row by row in memory: no device context is made for either bitmap, which
// under Wine costs more than the copy.
void CopyPart(TBitmap& target, TBitmap& source, int x, int y, int w, int h) {
    target.Clear();
    if (w <= 0 || h <= 0 || source.Empty()) return;
    target.SetPixelFormat(pf24bit);
    target.SetSize(w, h);
    if (source.PixelFormat() != pf24bit) {
        BitBlt(target.Canvas().Handle(), 0, 0, w, h, source.Canvas().Handle(), x, y, SRCCOPY);
        return;
    }
    const int left = std::max(x, 0), right = std::min(x + w, source.Width());
    if (right <= left) return;
    for (int row = std::max(y, 0); row < std::min(y + h, source.Height()); ++row) {
        const auto* from = static_cast<const uint8_t*>(source.ScanLine(row)) + 3 * left;
        auto* to = static_cast<uint8_t*>(target.ScanLine(row - y)) + 3 * (left - x);
        std::memcpy(to, from, static_cast<size_t>(3 * (right - left)));
    }
}

} // namespace

// Reads one definition into one TSkinData; a friend of TSkinData.
class TSkinLoader {
public:
    TSkinLoader(TSkinData& data, const TQuickIni& ini, const TSkinReader& archive)
        : D(data), Ini(ini), Archive(archive) {}

    void Run();

private:
    // The named archive entry decoded as a bitmap, else an empty bitmap.
    void ReadImage(TBitmap& target, std::string_view section, std::string_view key) {
        target.Clear();
        const std::string value = Ini.ReadString(section, key, "");
        const auto name = ImageEntryName(value);
        if (!name) return;
        const std::string_view entry = Archive.GetEntryByName(*name);
        if (entry.empty()) return;
        try {
            target.LoadFromBytes(entry);
        } catch (const std::exception&) {
            target.Clear(); // a damaged bitmap is a missing one
        }
    }
    bool HasValue(std::string_view section, std::string_view key) const {
        return !Ini.ReadString(section, key, "").empty();
    }
    int32_t Int(std::string_view section, std::string_view key, int32_t def) const {
        return Ini.ReadInteger(section, key, def);
    }

    // The keys every image element of its own section has: image, style, margins, flags and
    // the three state colours (text colours default to the button text).
    void ReadCommon(TDataSkinObject& o, std::string_view s, bool readFrame) {
        ReadImage(o.Image, s, "Image");
        o.Style = Int(s, "Style", 0);
        o.LeftWidth = Int(s, "LeftWidth", 0);
        o.RightWidth = Int(s, "RightWidth", 0);
        o.TopHeight = Int(s, "TopHeight", 0);
        o.BottomHeight = Int(s, "BottomHeight", 0);
        if (readFrame) o.Frame = Int(s, "Frame", 0);
        o.Trans = Int(s, "Trans", 0);
        o.Tile = Int(s, "Tile", 0);
        o.NormalColour = Int(s, "NormalColour", -1);
        o.MouseOverColour = Int(s, "MouseOverColour", -1);
        o.PressedColour = Int(s, "PressedColour", -1);
        o.NormalColour2 = ReadColourTriple(Ini, s, "NormalColour2", D.ButtonText);
        o.MouseOverColour2 = ReadColourTriple(Ini, s, "MouseOverColour2", D.ButtonText);
        o.PressedColour2 = ReadColourTriple(Ini, s, "PressedColour2", D.ButtonText);
        if (o.Tile > 1) o.Tile = 0;
    }

    // One slot filled by its rule; the overload is chosen by the record type of its member.
    void Fill(const TSkinSlot& slot, std::unique_ptr<TDataSkinObject>& record);
    void Fill(const TSkinSlot& slot, std::unique_ptr<TDataSkinBorder>& record);
    void Fill(const TSkinSlot& slot, std::unique_ptr<TDataSkinTitle>& record);
    void Fill(const TSkinSlot& slot, std::unique_ptr<TDataSkinButton>& record);
    void Fill(const TSkinSlot& slot, std::unique_ptr<TDataSkinBoxLabel>& record);

    // An element of its own section, absent without an "Image" value.
    template <class Record>
    void Plain(std::unique_ptr<Record>& record, const char* section, bool readFrame) {
        record.reset();
        if (!HasValue(section, "Image")) return;
        record = std::make_unique<Record>(section);
        ReadCommon(*record, section, readFrame);
    }

    void Border(TDataSkinBorder& r, const TSkinSlot& slot);
    void Colours();
    void SysButtons();
    void MdiButtons();
    void PushButtons(TDataSkinButton& b, const char* s);
    void TitleText(TDataSkinTitle& t, const char* P);
    void ProgressBar(std::unique_ptr<TDataSkinBorder>& p, const char* s);
    void MenuBarImage(std::unique_ptr<TDataSkinObject>& m, const char* P);
    void BuiltinTrack(std::unique_ptr<TDataSkinObject>& slot, const char* name);
    void RuleFrameCounts();
    void MirrorComboButton();
    void ComboComposite();
    void ComboArrow();
    void ToolbarGradient();
    TColor FrameColourNow() const;

    TSkinData& D;
    const TQuickIni& Ini;
    const TSkinReader& Archive;
    std::vector<std::string> Sections;
};

void TSkinLoader::Run() {
    Sections = Ini.ReadSections();
    D.SkinName = Ini.ReadString("TitlebarSkin", "SkinName", "");
    // Colours first: element text colours default to the button text.
    Colours();
    SysButtons();
    MdiButtons();
    for (const TSkinSlot& slot : SkinSlots()) {
        std::visit([&](auto member) { Fill(slot, D.*member); }, slot.Member);
        if (TDataSkinObject* r = SlotRecord(D, slot); r && slot.Frames > 0) r->Frame = slot.Frames;
    }
    if (D.TabPane) {
        // Tab pages draw their pane with at most 4-pixel margins.
        auto& p = *D.TabPane;
        for (int32_t* m : {&p.LeftWidth, &p.TopHeight, &p.RightWidth, &p.BottomHeight})
            *m = std::min(*m, 4);
    }
    RuleFrameCounts();
    MirrorComboButton();
    ComboComposite();
    ComboArrow();
    ToolbarGradient();
    D.FrameColour = FrameColourNow();
    D.FaceBrush.reset(CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(D.ButtonFace))));
    D.NotLoaded = false;
}

void TSkinLoader::Fill(const TSkinSlot& slot, std::unique_ptr<TDataSkinObject>& record) {
    switch (slot.Rule) {
    case TSlotRule::Plain: Plain(record, slot.Section, true); break;
    case TSlotRule::MenuBar: MenuBarImage(record, slot.Section); break;
    case TSlotRule::Track:
        Plain(record, slot.Section, true);
        if (!record) BuiltinTrack(record, slot.Key);
        break;
    default: break; // derived slots are made after the reading
    }
}

void TSkinLoader::Fill(const TSkinSlot& slot, std::unique_ptr<TDataSkinBorder>& record) {
    switch (slot.Rule) {
    case TSlotRule::FrameBorder: Border(*record, slot); break;
    case TSlotRule::ProgressBar: ProgressBar(record, slot.Section); break;
    case TSlotRule::WithSecond:
        Plain(record, slot.Section, false);
        if (record && slot.Key && HasValue(slot.Section, slot.Key))
            ReadImage(record->Image2, slot.Section, slot.Key);
        break;
    default: break;
    }
}

void TSkinLoader::Fill(const TSkinSlot& slot, std::unique_ptr<TDataSkinTitle>& record) {
    TitleText(*record, slot.Section);
}

void TSkinLoader::Fill(const TSkinSlot& slot, std::unique_ptr<TDataSkinButton>& record) {
    PushButtons(*record, slot.Section);
}

void TSkinLoader::Fill(const TSkinSlot& slot, std::unique_ptr<TDataSkinBoxLabel>& record) {
    Plain(record, slot.Section, false);
    if (!record) return;
    const char* s = slot.Section;
    record->BackgroundAlignment = Int(s, "BackgroundAlignment", 0);
    record->BackgroundLeftShift = Int(s, "BackgroundLeftShift", 0);
    record->BackgroundRightShift = Int(s, "BackgroundRightShift", 0);
}

// A frame border: top and bottom borders keep their fixed ends as left and right margins,
// the side borders as top and bottom ones.
void TSkinLoader::Border(TDataSkinBorder& r, const TSkinSlot& slot) {
    const char* P = slot.Section;
    const std::string n = slot.Key;
    const bool horizontal = slot.Layout == TSlotLayout::EndBorder;
    const int32_t first = Int(P, n + "TopHeight", 0), last = Int(P, n + "BotHeight", 0);
    if (horizontal) {
        r.LeftWidth = first, r.RightWidth = last, r.TopHeight = r.BottomHeight = 0;
    } else {
        r.TopHeight = first, r.BottomHeight = last, r.LeftWidth = r.RightWidth = 0;
    }
    r.Frame = Int(P, n + "Frame", 1);
    r.Tile = std::min(Int(P, n + "Stretch", 1), 1);
    r.Trans = Int(P, n + "Trans", 1);
    ReadImage(r.Image, P, n);
}

void TSkinLoader::Colours() {
    const char* C = "Colours";
    D.WindowText = ReadColourTriple(Ini, C, "WindowText", clWindowText);
    D.ButtonFace = ReadColourTriple(Ini, C, "ButtonFace", clBtnFace);
    D.ScrollbarColour = ReadColourTriple(Ini, C, "Scrollbar", clScrollBar);
    D.HilightText = ReadColourTriple(Ini, C, "HilightText", clHighlightText);
    D.Hilight = ReadColourTriple(Ini, C, "Hilight", clHighlight);
    D.MenubarColour = ReadColourTriple(Ini, C, "Menubar", D.ButtonFace);
    D.MenuColour = ReadColourTriple(Ini, C, "Menu", clMenu);
    D.MenuText = ReadColourTriple(Ini, C, "MenuText", clMenuText);
    D.ButtonText = ReadColourTriple(Ini, C, "ButtonText", clBtnText);
    D.ButtonHilight = ReadColourTriple(Ini, C, "ButtonHilight", clBtnHighlight);
    D.Buttonlight = ReadColourTriple(Ini, C, "Buttonlight", clBtnHighlight);
    D.ButtonShadow = ReadColourTriple(Ini, C, "ButtonShadow", clBtnShadow);
    D.ButtonDkShadow = ReadColourTriple(Ini, C, "ButtonDkShadow", cl3DDkShadow);
    D.MenuBarText = ReadColourTriple(Ini, C, "MenuBarText", clMenuText);
    D.TitleTextActive = ReadColourTriple(Ini, C, "TitleTextActive", clCaptionText);
    D.TitleTextNoActive = ReadColourTriple(Ini, C, "TitleTextNoActive", clInactiveCaptionText);

    D.ColourList.clear();
    for (const std::string& s : Sections) {
        const std::string u = AsciiUpper(s);
        if (StartsWith(u, "COLOUR") && u != "COLOURS")
            D.ColourList.push_back(ReadColourTriple(Ini, s, "color", clWindowText));
    }
    for (int i = 0; i < TSkinData::kCustomColourCount; ++i)
        D.CustomColours[i] =
            ReadColourTriple(Ini, "Customcolors", "Color" + std::to_string(i), 0xFFFFFF);
}

void TSkinLoader::SysButtons() {
    D.SysButtons.clear();
    for (const std::string& s : Sections) {
        const std::string u = AsciiUpper(s);
        if (!StartsWith(u, "BUTTON") || u == "BUTTONS" || u == "BUTTON.RADIO" ||
            u == "BUTTON.CHECKBOX" || u == "BUTTON")
            continue;
        const int32_t action = Int(s, "Action", 0);
        if (action == -1 && Int(s, "Visibility", -1) != 0) continue;
        auto b = std::make_unique<TDataSkinSysButton>(u);
        b->Action = action;
        b->Align = Int(s, "Align", 0);
        b->Xcoord = Int(s, "Xcoord", 0);
        b->Ycoord = Int(s, "Ycoord", 0);
        b->Visibility = Int(s, "Visibility", 0);
        b->Visibility1 = Int(s, "Visibility1", action == -1 ? -1 : 0);
        b->CombineOp = Int(s, "CombineOp", -1);
        ReadImage(b->Image, s, "ButtonImage");
        const TSysButtonFrame f =
            ChooseSysButtonFrame(Int(s, "frame", 0), b->Image.Width(), b->Image.Height(), action);
        b->Frame = f.Frame;
        if (f.ClearImage) b->Image.Clear();
        D.SysButtons.push_back(std::move(b));
    }
}

void TSkinLoader::MdiButtons() {
    TBitmap strip;
    ReadImage(strip, "MDICONTROLS", "Image");
    const int c = strip.Width() / 12;
    for (int i = 0; i < 3; ++i) {
        auto b = std::make_unique<TDataSkinSysButton>("MDI" + std::to_string(i));
        b->Action = 7 + i;
        b->Align = b->Visibility = b->Visibility1 = 100;
        b->Frame = 4;
        if (!strip.Empty()) {
            CopyPart(b->Image, strip, 4 * c * i, 0, 4 * c, strip.Height());
            b->Xcoord = (c + 4) * (3 - i);
        }
        D.SysButtons.push_back(std::move(b));
    }
}

void TSkinLoader::PushButtons(TDataSkinButton& b, const char* s) {
    b.LeftWidth = Int(s, "LeftWidth", 0);
    b.RightWidth = Int(s, "RightWidth", 0);
    b.TopHeight = Int(s, "TopHeight", 0);
    b.BottomHeight = Int(s, "BottomHeight", 0);
    b.Trans = Int(s, "Trans", 0);
    ReadImage(b.Image, s, "Bitmap");
    b.Tile = Int(s, "Tile", 0);
    ReadImage(b.CheckImage, s, "CheckButton");
    ReadImage(b.RadioImage, s, "RadioButton");
    b.NormalColour = Int(s, "NormalColour", -1);
    b.MouseOverColour = Int(s, "MouseOverColour", -1);
    b.PressedColour = Int(s, "PressedColour", -1);
    b.RadioButtonFrame = Int(s, "RadioButtonFrame", 0);
    b.CheckButtonFrame = Int(s, "CheckButtonFrame", 0);
    if (b.Tile > 1) b.Tile = 0;
    b.HasNormalColour2 = HasValue(s, "NormalColour2");
    b.HasMouseOverColour2 = HasValue(s, "MouseOverColour2");
    b.HasPressedColour2 = HasValue(s, "PressedColour2");
    b.NormalColour2 = ReadColourTriple(Ini, s, "NormalColour2", D.ButtonText);
    b.MouseOverColour2 = ReadColourTriple(Ini, s, "MouseOverColour2", D.ButtonText);
    b.PressedColour2 = ReadColourTriple(Ini, s, "PressedColour2", D.ButtonText);
}

void TSkinLoader::TitleText(TDataSkinTitle& t, const char* P) {
    ReadImage(t.Image, P, "TextBack");
    t.LeftWidth = Int(P, "TextShift", 0);
    t.TopHeight = Int(P, "TextShiftVert", 0);
    t.RightWidth = Int(P, "TextRightClip", 0);
    t.BottomHeight = 0;
    t.TextAlignment = Int(P, "TextAlignment", 0);
    t.Textbackground = Int(P, "Textbackground", 0);
    t.TXTBackleft = Int(P, "TXTBackleft", 0);
    t.TXTBackRight = Int(P, "TXTBackRight", 0);
    t.FontHeight = Int("Fonts", "FontHeight", 14);
    t.ActiveText = clNone;
    t.InActiveText = clNone;
    ReadSplitColour(Ini, P, "ActiveText", t.ActiveText);
    ReadSplitColour(Ini, P, "InActiveText", t.InActiveText);
}

void TSkinLoader::ProgressBar(std::unique_ptr<TDataSkinBorder>& p, const char* s) {
    p.reset();
    if (!HasValue(s, "Bitmap")) return;
    p = std::make_unique<TDataSkinBorder>(s);
    ReadImage(p->Image, s, "Bitmap");
    p->Style = Int(s, "Style", 0);
    p->LeftWidth = Int(s, "LeftWidth", 0);
    p->RightWidth = Int(s, "RightWidth", 0);
    p->TopHeight = Int(s, "TopHeight", 0);
    p->BottomHeight = Int(s, "BottomHeight", 0);
    p->Trans = Int(s, "Trans", 0);
    p->Tile = std::min(Int(s, "Tile", 0), 1);
}

void TSkinLoader::MenuBarImage(std::unique_ptr<TDataSkinObject>& m, const char* P) {
    m.reset();
    if (!HasValue(P, "menuBar")) return;
    m = std::make_unique<TDataSkinObject>(P);
    ReadImage(m->Image, P, "menuBar");
    m->TopHeight = m->BottomHeight = 0;
    m->Tile = std::min(Int(P, "TileMenu", 1), 1);
    m->LeftWidth = Int(P, "TileLeftMenu", 1);
    m->RightWidth = Int(P, "TileRightMenu", 1);
}

void TSkinLoader::BuiltinTrack(std::unique_ptr<TDataSkinObject>& slot, const char* name) {
    slot = std::make_unique<TDataSkinObject>(name);
    slot->LeftWidth = slot->TopHeight = slot->RightWidth = slot->BottomHeight = 3;
    slot->Tile = 0;
    slot->Frame = 1;
    LoadBuiltinBitmap(slot->Image, name);
}

// Cell counts that depend on what was read (the fixed ones come from the slot table).
void TSkinLoader::RuleFrameCounts() {
    TDataSkinButton& b = *D.Buttons;
    if (b.RadioButtonFrame == 0)
        b.RadioButtonFrame = GlyphFrameCount(b.RadioImage.Width(), b.RadioImage.Height());
    if (b.CheckButtonFrame == 0)
        b.CheckButtonFrame = GlyphFrameCount(b.CheckImage.Width(), b.CheckImage.Height());
    if (D.Progress) D.Progress->Frame = D.Progress->Style == 0 ? 2 : 1;
    if (D.Headerbar && D.Headerbar->Frame == 0) D.Headerbar->Frame = 5;
    if (D.HorzScrollThumb) D.HorzScrollThumb->Frame = Int("HorzScrollThumb", "FrameCount", 3);
    if (D.VertScrollThumb) D.VertScrollThumb->Frame = Int("VertScrollThumb", "FrameCount", 3);
}

// The combo button mirrored into its second image, for right-to-left combos.
void TSkinLoader::MirrorComboButton() {
    if (!D.ComboButton || D.ComboButton->Image.Empty()) return;
    Copy24(D.ComboButton->Image2, D.ComboButton->Image);
    MirrorBitmap(D.ComboButton->Image2);
}

// One element for the whole combo box face, drop-down part at the right (ComboButton) and
// mirrored at the left (SunkEdge); the text area is key colour.
void TSkinLoader::ComboComposite() {
    if (!D.SunkEdge || !D.ComboButton) return;
    TDataSkinObject& sunk = *D.SunkEdge;
    TDataSkinBorder& combo = *D.ComboButton;
    const int w = GetSystemMetrics(SM_CXHSCROLL) + 2;
    const int n = std::max(1, sunk.Frame);
    TBitmap strip(50 * n, 21, pf24bit);
    TBitmap cell(50, 21, pf24bit);
    HDC s = strip.Canvas().Handle();
    HDC c = cell.Canvas().Handle();
    UniqueBrush key(CreateSolidBrush(RGB(255, 0, 255)));
    RECT all{0, 0, 50 * n, 21};
    FillRect(s, &all, key.get());
    // The sunken edge fills the cell, the button and its glyph sit at the right, both without
    // tiling and the button always keyed.
    TElementDraw edge = ElementDraw(sunk);
    edge.Tile = false;
    TElementDraw button = ElementDraw(combo);
    button.Tile = false;
    button.Transparent = true;
    for (int k = 1; k <= n; ++k) {
        const RECT whole{0, 0, 50, 21};
        FillRect(c, &whole, key.get());
        DrawElement(c, whole, edge.Cell(k));
        const RECT right{50 - w, 0, 50, 21};
        DrawElement(c, right, button.Cell(k));
        if (D.ExtraImages) {
            TElementDraw glyph = ElementDraw(*D.ExtraImages, k);
            glyph.Transparent = true;
            DrawFrameCentered(c, right, glyph);
        }
        const RECT text{2, 2, 49 - w, 18};
        FillRect(c, &text, key.get());
        BitBlt(s, 50 * (k - 1), 0, 50, 21, c, 0, 0, SRCCOPY);
    }
    combo.Style = 2;
    combo.LeftWidth = 2;
    combo.TopHeight = sunk.TopHeight;
    combo.RightWidth = w + 2;
    combo.BottomHeight = sunk.BottomHeight;
    combo.Image.Assign(strip);
    strip.SetPixelFormat(pf24bit);
    MirrorBitmap(strip);
    sunk.Image.Assign(strip);
    sunk.LeftWidth = w + 2;
    sunk.RightWidth = 2;
}

// The drop-down arrow cells of the combo.
void TSkinLoader::ComboArrow() {
    if (!D.ComboxArrow) D.ComboxArrow = std::make_unique<TDataSkinObject>("ComboxArrow");
    TDataSkinObject& a = *D.ComboxArrow;
    // The record outlives a skin change: a skin without a combo button leaves it empty rather
    // than showing the previous skin's arrow.
    if (!D.ComboButton) {
        a.Image.SetSize(0, 0);
        a.Frame = 0;
    } else if (!D.SunkEdge) {
        Copy24(a.Image, D.ComboButton->Image);
        // The key pixels take the face's bytes, so a system colour is looked up first.
        if (!a.Image.Empty()) ReplaceMagenta(a.Image, ColorToRGB(D.ButtonFace));
        a.Frame = D.ComboButton->Frame;
    } else {
        const int n = std::max(1, D.SunkEdge->Frame);
        TBitmap& src = D.ComboButton->Image;
        const int cw = src.Width() / n;
        TBitmap out(17 * n, 17, pf24bit);
        for (int i = 0; i < n; ++i)
            BitBlt(out.Canvas().Handle(), 17 * i, 0, 17, 17, src.Canvas().Handle(),
                   (i + 1) * cw - 19, 2, SRCCOPY);
        a.Image.Assign(out);
        a.Frame = n;
    }
}

// A point in the first cell of the top border, else the button face.
TColor TSkinLoader::FrameColourNow() const {
    TBitmap& top = D.BorderTop->Image;
    if (top.Empty()) return D.ButtonFace;
    const int frames = std::max(1, D.BorderTop->Frame);
    const int x = top.Width() / 3, y = (top.Height() / frames) / 3;
    const TColor c = top.Canvas().Pixel(x, y);
    return c == -1 ? D.ButtonFace : c;
}

// The tool-bar background, a soft vertical gradient near the frame colour. The frame colour
// may be a system colour (the face, when there is no top border): its saturation is measured
// on the colour it stands for.
void TSkinLoader::ToolbarGradient() {
    const TColor c = ColorToRGB(FrameColourNow());
    TColor bottom = MixColors(0x808080, c, 150);
    const TColor top = MixColors(D.ButtonFace, 0xFFFFFF, 150);
    const int s = ColorSaturation(c);
    if (s > 110) bottom = MixColors(c, 0xFFFFFF, (225 - s) * 25 / 140 + 50);
    if (!D.Toolbar) D.Toolbar = std::make_unique<TDataSkinObject>("Toolbar");
    TBitmap g(10, 40, pf24bit);
    GradientFill(g.Canvas().Handle(), RECT{0, 0, 10, 40}, top, true, bottom);
    D.Toolbar->Image.Assign(g);
    D.Toolbar->Frame = 1;
}

void LoadSkinDefinition(TSkinData& data, const TQuickIni& ini, const TSkinReader& archive) {
    TSkinLoader(data, ini, archive).Run();
}

} // namespace wl
