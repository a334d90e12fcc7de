// skinpreview: shows what a skin archive gives the engine.
//   skinpreview ARCHIVE SHEET.bmp   loads the archive through TSkinData and writes one contact
//                                   sheet: a sample window, then every loaded element with each
//                                   of its cells drawn at its own size and enlarged (through the
//                                   skin drawing primitives), then the skin colours as swatches
//   skinpreview --dump ARCHIVE      prints the loaded skin as text (format: skin_dump.h)
// Exit codes: 0 done, 1 the archive could not be read or loaded, 2 usage.
#include "skin/archive/skin_reader.h"
#include "skin/data/skin_data.h"
#include "skin/data/skin_dump.h"
#include "skin/draw/skin_draw.h"
#include "ui/strconv.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace wl;

namespace {

bool ReadFile(const std::string& path, std::string& bytes) {
    std::ifstream f(path, std::ios::binary);
    if (!f) return false;
    bytes.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    return true;
}

struct Row {
    std::string label;
    TBitmap* image;
    RECT margins;
    bool vertical, tile, trans;
    int frames;
};

constexpr int kLabelWidth = 190, kGap = 6, kRowGap = 10;
// Faces for labels: DejaVu Sans exists where tests run under Wine (elsewhere the system picks
// its default face); SimSun carries the Chinese glyphs.
constexpr const char* kLatinFace = "DejaVu Sans";
constexpr const char* kChineseFace = "SimSun";
constexpr TColor kSheetColour = 0xD6D2CE; // neutral grey, so key-colour holes show

int CellW(const Row& r) {
    return r.vertical ? r.image->Width() : r.image->Width() / std::max(1, r.frames);
}
int CellH(const Row& r) {
    return r.vertical ? r.image->Height() / std::max(1, r.frames) : r.image->Height();
}
// The enlarged size: wider and higher, enough to show how margins hold.
int BigW(const Row& r) { return std::min(std::max(CellW(r) * 2, CellW(r) + 24), 160); }
int BigH(const Row& r) { return std::min(std::max(CellH(r) * 3 / 2, CellH(r) + 10), 72); }
int RowWidth(const Row& r) {
    const int n = std::max(1, r.frames);
    return kLabelWidth + n * (CellW(r) + kGap) + 16 + n * (BigW(r) + kGap);
}
int RowHeight(const Row& r) { return std::max(BigH(r), 16) + kRowGap; }

void Text(TCanvas& c, int x, int y, const std::string& s, TColor colour = 0x202020) {
    c.Brush().SetStyle(bsClear);
    c.Font().SetColor(colour);
    c.TextOut(x, y, s);
}

// A sample window: borders, title strip with its buttons, menu bar, a button and a combo.
void SampleWindow(TSkinData& d, TCanvas& c, int x0, int y0, int w, int h, bool active) {
    HDC dc = c.Handle();
    const int frame = active ? 1 : 2;
    auto fr = [&](TDataSkinBorder& b) { return b.Frame > 1 ? frame : 1; };
    const int top = d.BorderTop->Image.Height() / std::max(1, d.BorderTop->Frame);
    const int left = d.BorderLeft->Image.Width() / std::max(1, d.BorderLeft->Frame);
    const int right = d.BorderRight->Image.Width() / std::max(1, d.BorderRight->Frame);
    const int bottom = d.BorderBottom->Image.Height() / std::max(1, d.BorderBottom->Frame);
    const int menuH = d.MenuBar ? 20 : 0;
    UniqueBrush face(CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(d.ButtonFace))));
    RECT client{x0 + left, y0 + top, x0 + w - right, y0 + h - bottom};
    FillRect(dc, &client, face.get());
    DrawElement(dc, {x0, y0, x0 + w, y0 + top}, d.BorderTop->Image, d.BorderTop->Margins(), true,
                d.BorderTop->Tile != 1, d.BorderTop->Frame, fr(*d.BorderTop), true);
    DrawElement(dc, {x0, y0 + top, x0 + left, y0 + h - bottom}, d.BorderLeft->Image,
                d.BorderLeft->Margins(), false, d.BorderLeft->Tile != 1, d.BorderLeft->Frame,
                fr(*d.BorderLeft), false);
    DrawElement(dc, {x0 + w - right, y0 + top, x0 + w, y0 + h - bottom}, d.BorderRight->Image,
                d.BorderRight->Margins(), false, d.BorderRight->Tile != 1, d.BorderRight->Frame,
                fr(*d.BorderRight), false);
    DrawElement(dc, {x0, y0 + h - bottom, x0 + w, y0 + h}, d.BorderBottom->Image,
                d.BorderBottom->Margins(), true, d.BorderBottom->Tile != 1, d.BorderBottom->Frame,
                fr(*d.BorderBottom), false);
    c.Font().SetStyle(1u << fsBold);
    Text(c, x0 + d.Title->LeftWidth, y0 + (top - 14) / 2 + d.Title->TopHeight,
         active ? "Wordlark - active" : "Wordlark - inactive",
         ColorToRGB(d.Title->ActiveText != clNone
                        ? (active ? d.Title->ActiveText : d.Title->InActiveText)
                        : (active ? d.TitleTextActive : d.TitleTextNoActive)));
    c.Font().SetStyle(0);
    for (const auto& b : d.SysButtons) {
        if (b->Image.Empty() || b->Visibility == 100) continue;
        // Visibility 3/4: active/inactive; 1: maximized only (skipped in the sample).
        if ((b->Visibility == 3 && !active) || (b->Visibility == 4 && active)) continue;
        if (b->Visibility1 == 1) continue;
        const int bw = b->Image.Width() / std::max(1, b->Frame), bh = b->Image.Height();
        const int bx = b->Align == 1 ? x0 + w - b->Xcoord : x0 + b->Xcoord;
        DrawFrameStretched(dc, {bx, y0 + b->Ycoord, bx + bw, y0 + b->Ycoord + bh}, b->Image, true,
                           b->Frame, 1);
    }
    if (d.MenuBar) {
        DrawElement(dc, {client.left, client.top, client.right, client.top + menuH},
                    d.MenuBar->Image, d.MenuBar->Margins(), true, false, 2, frame, false);
        Text(c, client.left + 8, client.top + 3, "File   Edit   Help",
             ColorToRGB(d.MenuBarText));
    }
    const int bx = client.left + 12, by = client.top + menuH + 14;
    if (!d.Buttons->Image.Empty()) {
        // Button captions as the dictionary shows them: Chinese beside ASCII.
        const std::string captions[] = {Utf8ToAnsi("\xE6\x9F\xA5\xE8\xAF\xA2"), "Pressed",
                                        "Disabled", Utf8ToAnsi("\xE6\x9C\x97\xE8\xAF\xBB"),
                                        "Focused"};
        for (int i = 0; i < 5; ++i) {
            RECT r{bx + i * 84, by, bx + i * 84 + 76, by + 25};
            DrawElement(dc, r, d.Buttons->Image, d.Buttons->Margins(), false,
                        d.Buttons->Tile != 0, 5, i + 1, d.Buttons->Trans != 0);
            // Chinese captions in a CJK face (under Wine it has no Latin letters).
            const bool chinese = static_cast<unsigned char>(captions[i][0]) >= 0x80;
            c.Font().SetName(chinese ? kChineseFace : kLatinFace);
            Text(c, r.left + 12, r.top + 5, captions[i],
                 ColorToRGB(i == 2 ? d.ButtonShadow : d.ButtonText));
            c.Font().SetName(kLatinFace);
        }
    }
    if (d.ComboButton && !d.ComboButton->Image.Empty()) {
        RECT r{bx, by + 40, bx + 180, by + 61};
        DrawElement(dc, r, d.ComboButton->Image, d.ComboButton->Margins(), false, false,
                    d.ComboButton->Frame, 1, true);
        Text(c, r.left + 6, r.top + 3, "combo box");
    }
    if (d.Progress && !d.Progress->Image.Empty()) {
        RECT r{bx + 200, by + 44, bx + 400, by + 58};
        DrawElement(dc, r, d.Progress->Image, d.Progress->Margins(), false, d.Progress->Tile != 0,
                    2, 1, true);
        RECT fill{r.left, r.top, r.left + 130, r.bottom};
        DrawElement(dc, fill, d.Progress->Image, d.Progress->Margins(), false,
                    d.Progress->Tile != 0, 2, 2, true);
    }
}

int WriteSheet(TSkinData& d, const std::string& out) {
    std::vector<Row> rows;
    auto add = [&](const std::string& label, TDataSkinObject* rec, bool vertical = false) {
        if (!rec || rec->Image.Empty()) return;
        // A border's Tile field holds its stretch flag: 1 stretches, anything else tiles.
        const bool border = rec == d.BorderTop.get() || rec == d.BorderLeft.get() ||
                            rec == d.BorderRight.get() || rec == d.BorderBottom.get();
        rows.push_back({label, &rec->Image, rec->Margins(), vertical,
                        border ? rec->Tile != 1 : rec->Tile == 1, rec->Trans != 0,
                        std::max(1, rec->Frame)});
    };
    auto addImage = [&](const std::string& label, TBitmap& img, int frames) {
        if (img.Empty()) return;
        rows.push_back({label, &img, RECT{0, 0, 0, 0}, false, false, true, std::max(1, frames)});
    };
    add("BorderTop", d.BorderTop.get(), true);
    add("BorderLeft", d.BorderLeft.get());
    add("BorderRight", d.BorderRight.get());
    add("BorderBottom", d.BorderBottom.get(), true);
    add("Title", d.Title.get());
    add("MenuBar", d.MenuBar.get(), true);
    add("Buttons", d.Buttons.get());
    addImage("Buttons.CheckImage", d.Buttons->CheckImage, d.Buttons->CheckButtonFrame);
    addImage("Buttons.RadioImage", d.Buttons->RadioImage, d.Buttons->RadioButtonFrame);
    for (auto& b : d.SysButtons) {
        add("SysButton " + b->Name, b.get());
        if (!b->Image.Empty()) rows.back().trans = true; // title buttons always use the key
    }
    add("Progress", d.Progress.get());
    add("ProgressChunk", d.ProgressChunk.get());
    add("GroupBoxEdge", d.GroupBoxEdge.get());
    add("GroupBox", d.GroupBox.get());
    add("Tabs", d.Tabs.get());
    if (d.Tabs) addImage("Tabs.Image2", d.Tabs->Image2, 1);
    add("StatusBarEdges", d.StatusBarEdges.get());
    add("TabPane", d.TabPane.get());
    add("ToolBars", d.ToolBars.get());
    add("ComboButton", d.ComboButton.get());
    if (d.ComboButton) addImage("ComboButton.Image2", d.ComboButton->Image2, 4);
    add("SunkEdge", d.SunkEdge.get());
    add("ExtraImages", d.ExtraImages.get());
    add("Headerbar", d.Headerbar.get());
    add("MenuItem", d.MenuItem.get());
    add("MenuBackground", d.MenuBackground.get());
    add("Scrollbar", d.Scrollbar.get());
    add("HorzScroll", d.HorzScroll.get());
    add("VertScroll", d.VertScroll.get());
    add("HorzScrollThumb", d.HorzScrollThumb.get());
    add("VertScrollThumb", d.VertScrollThumb.get());
    add("TrackbarThumbHorz", d.TrackbarThumbHorz.get());
    add("TrackbarThumbVert", d.TrackbarThumbVert.get());
    add("TrackbarThumbLeft", d.TrackbarThumbLeft.get());
    add("TrackbarThumbRight", d.TrackbarThumbRight.get());
    add("TrackbarThumbUp", d.TrackbarThumbUp.get());
    add("TrackbarThumbDown", d.TrackbarThumbDown.get());
    add("UpDownHorz", d.UpDownHorz.get());
    if (d.UpDownHorz) addImage("UpDownHorz.Image2", d.UpDownHorz->Image2, d.UpDownHorz->Frame);
    add("UpDownVert", d.UpDownVert.get());
    if (d.UpDownVert) addImage("UpDownVert.Image2", d.UpDownVert->Image2, d.UpDownVert->Frame);
    add("Track", d.Track.get());
    add("TrackVert", d.TrackVert.get());
    add("ComboxArrow", d.ComboxArrow.get());
    add("Toolbar", d.Toolbar.get());

    const std::vector<NamedSkinColour> colours = SkinColours(d);

    const int sampleW = 520, sampleH = 190;
    int width = 2 * sampleW + 3 * kGap * 3;
    int height = sampleH + 3 * kRowGap + 20;
    for (const Row& r : rows) {
        width = std::max(width, RowWidth(r) + kGap);
        height += RowHeight(r);
    }
    const int swatchW = 120, perLine = std::max(1, (width - 20) / swatchW);
    height += 30 + ((static_cast<int>(colours.size()) + perLine - 1) / perLine) * 56;

    TBitmap sheet(width, height, pf24bit);
    TCanvas& c = sheet.Canvas();
    c.Font().SetName(kLatinFace);
    c.Font().SetHeight(-12);
    c.Brush().SetColor(kSheetColour);
    c.FillRect(RECT{0, 0, width, height});
    HDC dc = c.Handle();
    SetStretchBltMode(dc, COLORONCOLOR);

    int y = kRowGap;
    SampleWindow(d, c, 10, y, sampleW, sampleH, true);
    SampleWindow(d, c, 10 + sampleW + 20, y, sampleW, sampleH, false);
    y += sampleH + 2 * kRowGap;
    Text(c, 10, y, "Element (cells at their own size, then enlarged)  skin: " + d.SkinName);
    y += 20;
    for (const Row& r : rows) {
        Text(c, 10, y, r.label + " x" + std::to_string(r.frames));
        int x = kLabelWidth;
        const int cw = CellW(r), ch = CellH(r);
        for (int k = 1; k <= r.frames; ++k, x += cw + kGap)
            DrawElement(dc, {x, y, x + cw, y + ch}, *r.image, r.margins, r.vertical, r.tile,
                        r.frames, k, r.trans);
        x += 16;
        const int bw = BigW(r), bh = BigH(r);
        for (int k = 1; k <= r.frames; ++k, x += bw + kGap)
            DrawElement(dc, {x, y, x + bw, y + bh}, *r.image, r.margins, r.vertical, r.tile,
                        r.frames, k, r.trans);
        y += RowHeight(r);
    }
    y += 10;
    Text(c, 10, y, "Colours");
    y += 20;
    for (size_t i = 0; i < colours.size(); ++i) {
        const int x = 10 + static_cast<int>(i % perLine) * swatchW;
        const int yy = y + static_cast<int>(i / perLine) * 56;
        c.Brush().SetStyle(bsSolid);
        c.Brush().SetColor(colours[i].value);
        c.Pen().SetColor(0x000000);
        c.Rectangle(x, yy, x + 48, yy + 28);
        char hex[16];
        std::snprintf(hex, sizeof hex, "%08X", static_cast<unsigned>(colours[i].value));
        Text(c, x, yy + 30, colours[i].name);
        Text(c, x + 52, yy + 8, hex);
    }
    try {
        sheet.SaveToFile(out);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "skinpreview: cannot write %s: %s\n", out.c_str(), e.what());
        return 1;
    }
    std::printf("skinpreview: %d elements, sheet %dx%d written to %s\n",
                static_cast<int>(rows.size()), width, height, out.c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const bool dump = argc == 3 && std::string(argv[1]) == "--dump";
    if (!dump && argc != 3) {
        std::fprintf(stderr, "usage: skinpreview ARCHIVE SHEET.bmp | skinpreview --dump ARCHIVE\n");
        return 2;
    }
    const std::string archive = dump ? argv[2] : argv[1];
    try {
        TSkinData d(nullptr);
        // The engine's one message (an archive of another version) goes to stderr here
        // instead of a message box.
        SetSkinMessageSink([](std::string_view text) {
            std::fprintf(stderr, "skinpreview: %.*s\n", static_cast<int>(text.size()), text.data());
        });
        if (!ReadFile(archive, d.SkinBytes)) {
            std::fprintf(stderr, "skinpreview: cannot read %s\n", archive.c_str());
            return 1;
        }
        if (!d.LoadSkin() || d.NotLoaded) {
            std::fprintf(stderr, "skinpreview: %s is not a skin archive\n", archive.c_str());
            return 1;
        }
        if (dump) {
            std::fputs(DumpSkin(d).c_str(), stdout);
            return 0;
        }
        return WriteSheet(d, argv[2]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "skinpreview: %s\n", e.what());
        return 1;
    }
}
