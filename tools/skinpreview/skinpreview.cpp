// skinpreview: shows what a skin archive gives the engine.
//   skinpreview ARCHIVE SHEET.bmp   loads the archive through TSkinData and writes one contact
//                                   sheet: a sample window, then every loaded element with each
//                                   of its cells drawn at its own size and enlarged (through the
//                                   skin drawing primitives), then the skin colours as swatches
//   skinpreview --dump ARCHIVE      prints the loaded skin as text (format: skin_dump.h)
//   skinpreview --gallery ARCHIVE OUT_DIR
//                                   opens the controls gallery wearing the skin, shows each of
//                                   its pages in turn and writes a picture of the window per
//                                   page, OUT_DIR/<page caption>.bmp (OUT_DIR is made when
//                                   missing)
// Exit codes: 0 done, 1 the archive could not be read or loaded, 2 usage, 3 the pictures could
// not be written.
#include "skin/archive/skin_reader.h"
#include "skin/data/skin_data.h"
#include "skin/data/skin_dump.h"
#include "skin/data/skin_slots.h"
#include "skin/draw/skin_draw.h"
#include "skin/forms/skin_manage.h"
#include "tools/gallery/gallery_main.h"
#include "ui/strconv.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
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
    TElementDraw draw; // its Frames at least 1
};

constexpr int kLabelWidth = 190, kGap = 6, kRowGap = 10;
// Faces for labels: DejaVu Sans exists where tests run under Wine (elsewhere the system picks
// its default face); SimSun carries the Chinese glyphs.
constexpr const char* kLatinFace = "DejaVu Sans";
constexpr const char* kChineseFace = "SimSun";
constexpr TColor kSheetColour = 0xD6D2CE; // neutral grey, so key-colour holes show

TFrameCell Cell(const Row& r) {
    return SelectFrame(*r.draw.Image, r.draw.Vertical, r.draw.Frames, 1);
}
int CellW(const Row& r) { return Cell(r).Width; }
int CellH(const Row& r) { return Cell(r).Height; }
// The enlarged size: wider and higher, enough to show how margins hold.
int BigW(const Row& r) { return std::min(std::max(CellW(r) * 2, CellW(r) + 24), 160); }
int BigH(const Row& r) { return std::min(std::max(CellH(r) * 3 / 2, CellH(r) + 10), 72); }
// Cells drawn in a row: every cell that has pixels, at most kMaxCells. A skin may claim far
// more frames than its image holds (2147483647 is a plausible typo); the sheet then shows the
// cells that exist instead of walking the number it was told.
constexpr int kMaxCells = 64;
int ShownCells(const Row& r) {
    if (!r.draw.Image || r.draw.Image->Empty()) return 1;
    const int extent = r.draw.Vertical ? r.draw.Image->Height() : r.draw.Image->Width();
    return std::clamp(std::min(r.draw.Frames, extent), 1, kMaxCells);
}
int RowWidth(const Row& r) {
    const int n = ShownCells(r);
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
    auto border = [&](const char* slot, TDataSkinBorder& b, const RECT& r) {
        DrawElement(dc, r, SlotDraw(*FindSlot(slot), b, fr(b)));
    };
    border("BorderTop", *d.BorderTop, {x0, y0, x0 + w, y0 + top});
    border("BorderLeft", *d.BorderLeft, {x0, y0 + top, x0 + left, y0 + h - bottom});
    border("BorderRight", *d.BorderRight, {x0 + w - right, y0 + top, x0 + w, y0 + h - bottom});
    border("BorderBottom", *d.BorderBottom, {x0, y0 + h - bottom, x0 + w, y0 + h});
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
        TElementDraw cell = ElementDraw(*b);
        cell.Transparent = true; // title buttons always use the key
        DrawFrameStretched(dc, {bx, y0 + b->Ycoord, bx + bw, y0 + b->Ycoord + bh}, cell);
    }
    if (d.MenuBar) {
        TElementDraw bar = SlotDraw(*FindSlot("MenuBar"), *d.MenuBar, frame);
        bar.Tile = false;
        bar.Transparent = false;
        DrawElement(dc, {client.left, client.top, client.right, client.top + menuH}, bar);
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
            DrawElement(dc, r, ElementDraw(*d.Buttons, i + 1));
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
        TElementDraw combo = ElementDraw(*d.ComboButton);
        combo.Tile = false;
        combo.Transparent = true;
        DrawElement(dc, r, combo);
        Text(c, r.left + 6, r.top + 3, "combo box");
    }
    if (d.Progress && !d.Progress->Image.Empty()) {
        RECT r{bx + 200, by + 44, bx + 400, by + 58};
        TElementDraw bar = ElementDraw(*d.Progress);
        bar.Frames = 2;
        bar.Transparent = true;
        DrawElement(dc, r, bar);
        RECT fill{r.left, r.top, r.left + 130, r.bottom};
        DrawElement(dc, fill, bar.Cell(2));
    }
}

int WriteSheet(TSkinData& d, const std::string& out) {
    std::vector<Row> rows;
    auto add = [&](const std::string& label, TElementDraw draw) {
        if (!draw.Image || draw.Image->Empty()) return;
        draw.Frames = std::max(1, draw.Frames);
        rows.push_back({label, draw});
    };
    // A second image or glyph strip: keyed, cells side by side, no margins.
    auto addImage = [&](const std::string& label, TBitmap& img, int frames) {
        add(label, {.Image = &img, .Frames = frames, .Transparent = true});
    };
    for (const TSkinSlot& slot : SkinSlots()) {
        TDataSkinObject* rec = SlotRecord(d, slot);
        if (!rec) continue;
        add(slot.Name, SlotDraw(slot, *rec));
        if (auto* second = dynamic_cast<TDataSkinBorder*>(rec))
            addImage(std::string(slot.Name) + ".Image2", second->Image2,
                     slot.Image2Frames ? slot.Image2Frames : rec->Frame);
        if (rec == d.Buttons.get()) {
            addImage("Buttons.CheckImage", d.Buttons->CheckImage, d.Buttons->CheckButtonFrame);
            addImage("Buttons.RadioImage", d.Buttons->RadioImage, d.Buttons->RadioButtonFrame);
            for (auto& b : d.SysButtons) {
                TElementDraw cell = ElementDraw(*b);
                cell.Transparent = true; // title buttons always use the key
                add("SysButton " + b->Name, cell);
            }
        }
    }

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
        Text(c, 10, y, r.label + " x" + std::to_string(r.draw.Frames));
        int x = kLabelWidth;
        const int cw = CellW(r), ch = CellH(r);
        const int shown = ShownCells(r);
        for (int k = 1; k <= shown; ++k, x += cw + kGap)
            DrawElement(dc, {x, y, x + cw, y + ch}, r.draw.Cell(k));
        x += 16;
        const int bw = BigW(r), bh = BigH(r);
        for (int k = 1; k <= shown; ++k, x += bw + kGap)
            DrawElement(dc, {x, y, x + bw, y + bh}, r.draw.Cell(k));
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

// ---- the gallery's pages as pictures ---------------------------------------------------------

constexpr int kExitNoOutput = 3;

// A file name made of a page caption: characters that file names cannot hold become '_', the
// accelerator mark goes; an empty or repeated name gets the page number.
std::string PageFileName(const std::string& caption, int index, std::set<std::string>& used) {
    std::string name;
    for (char ch : caption) {
        const unsigned char u = static_cast<unsigned char>(ch);
        if (ch == '&') continue;
        name += (u < 32 || std::string_view("\\/:*?\"<>|").find(ch) != std::string_view::npos) ? '_' : ch;
    }
    while (!name.empty() && (name.back() == ' ' || name.back() == '.')) name.pop_back();
    if (name.empty()) name = "page" + std::to_string(index + 1);
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (!used.insert(lower).second) {
        const std::string suffix = std::string("-").append(std::to_string(index + 1));
        name += suffix;
        used.insert(lower + suffix);
    }
    return name;
}

// Makes the folder when it is missing and proves that a file can be created in it.
bool PrepareOutputDir(const std::string& dir, std::string& why) {
    const DWORD attributes = GetFileAttributesA(dir.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        if (!CreateDirectoryA(dir.c_str(), nullptr)) {
            why = Win32ErrorText(GetLastError());
            return false;
        }
    } else if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        why = "not a folder";
        return false;
    }
    const std::string probe = dir + "\\skinpreview-probe.tmp";
    HANDLE h = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        why = Win32ErrorText(GetLastError());
        return false;
    }
    CloseHandle(h);
    return true;
}

// Lets queued messages, posted starts and the manager's timer run for about `ms`.
void Settle(DWORD ms) {
    const DWORD start = GetTickCount();
    do {
        Application->ProcessMessages();
        Sleep(5);
    } while (GetTickCount() - start < ms);
}

// The window's own pixels (frame included) after a synchronous repaint.
bool CaptureWindow(HWND window, const std::string& path, std::string& why) {
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT r{};
    if (!GetWindowRect(window, &r) || r.right <= r.left || r.bottom <= r.top) {
        why = "the window has no size";
        return false;
    }
    TBitmap picture(r.right - r.left, r.bottom - r.top, pf24bit);
    HDC source = GetWindowDC(window);
    if (!source) {
        why = "no device context for the window";
        return false;
    }
    const BOOL copied = BitBlt(picture.Canvas().Handle(), 0, 0, picture.Width(), picture.Height(),
                               source, 0, 0, SRCCOPY);
    ReleaseDC(window, source);
    if (!copied) {
        why = Win32ErrorText(GetLastError());
        return false;
    }
    try {
        picture.SaveToFile(path);
    } catch (const std::exception& e) {
        why = e.what();
        return false;
    }
    return true;
}

int WriteGalleryPages(const std::string& archive, const std::string& outDir) {
    std::string why;
    if (!PrepareOutputDir(outDir, why)) {
        std::fprintf(stderr, "skinpreview: cannot write pictures to %s: %s\n", outDir.c_str(), why.c_str());
        return kExitNoOutput;
    }
    // A CLI run must never stop at a message box: errors go to stderr and end the run.
    std::string failure;
    Application->OnException = [&failure](TObject*, const std::string& message) {
        if (failure.empty()) failure = message;
    };
    TSkinManage::Register();
    Application->Initialize();
    int written = 0, code = 0;
    {
        auto* form = new TGalleryMain(Application);
        form->ReadDefinitionResource();
        if (!form->UseSkin(archive)) {
            std::fprintf(stderr, "skinpreview: %s is not a skin archive\n", archive.c_str());
            code = 1;
        } else {
            form->Show();
            // Switching the skin on only schedules it on the manager's timer, and a manager that
            // had not started yet leaves that timer off: run the scheduled action now, so the
            // window that is already showing gets the skin.
            if (TSkinManage* manager = TSkinManage::Instance(); manager && manager->PendingAction() != 0)
                manager->TimerTick();
            Settle(400);
            TPageControl* pages = form->PageControl1;
            std::set<std::string> used;
            for (int i = 0; pages && i < pages->PageCount() && code == 0; ++i) {
                pages->SetActivePageIndex(i);
                Settle(120);
                const std::string caption = pages->Pages(i)->GetText();
                const std::string path = outDir + "\\" + PageFileName(caption, i, used) + ".bmp";
                if (!CaptureWindow(form->Handle(), path, why)) {
                    std::fprintf(stderr, "skinpreview: cannot write %s: %s\n", path.c_str(), why.c_str());
                    code = kExitNoOutput;
                    break;
                }
                std::printf("skinpreview: page %s -> %s\n", caption.c_str(), path.c_str());
                ++written;
            }
        }
        form->Hide();
    }
    TSkinManagerLink::Destroy();
    Application->DestroyComponents();
    Application->OnException = nullptr;
    if (code == 0 && !failure.empty()) {
        std::fprintf(stderr, "skinpreview: the gallery failed: %s\n", failure.c_str());
        code = 1;
    }
    if (code == 0) std::printf("skinpreview: %d pages written to %s\n", written, outDir.c_str());
    return code;
}

} // namespace

int main(int argc, char** argv) {
    const bool dump = argc == 3 && std::string(argv[1]) == "--dump";
    const bool gallery = argc == 4 && std::string(argv[1]) == "--gallery";
    if (!dump && !gallery && (argc != 3 || argv[1][0] == '-')) {
        std::fprintf(stderr, "usage: skinpreview ARCHIVE SHEET.bmp | skinpreview --dump ARCHIVE | "
                             "skinpreview --gallery ARCHIVE OUT_DIR\n");
        return 2;
    }
    const std::string archive = dump || gallery ? argv[2] : argv[1];
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
        if (gallery) return WriteGalleryPages(archive, argv[3]);
        return WriteSheet(d, argv[2]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "skinpreview: %s\n", e.what());
        return 1;
    }
}
