// Skin-drawn menu items and popup menu windows: WM_MEASUREITEM / WM_DRAWITEM of a skinned
// window for the form's items and for entries without one, read back from a bitmap (texts,
// shortcuts, check marks, glyphs, disabled and selected items); the skin's background on an
// open popup window; the popup skinner leaving with its window; handle counts over many
// openings of a popup menu.
#include "forms_fixture.h"
#include "menu_driver.h"

#include "skin/draw/skin_draw.h"
#include "skin/forms/menu_bar.h"
#include "skin/forms/menu_items.h"
#include "skin/forms/popup_menu.h"
#include "support/capture.h"
#include "support/gui.h"
#include "support/leak_loop.h"
#include "ui/imglist.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <map>

namespace {

using namespace wl;
using namespace skinforms;
using namespace skinmenus;

constexpr int kItemWidth = 220, kItemHeight = 22;

// A 24-bit memory bitmap with a DC, for WM_DRAWITEM to paint into.
class ItemSurface {
public:
    ItemSurface() {
        HDC screen = GetDC(nullptr);
        dc_ = CreateCompatibleDC(screen);
        bitmap_ = CreateCompatibleBitmap(screen, kItemWidth, kItemHeight);
        ReleaseDC(nullptr, screen);
        old_ = SelectObject(dc_, bitmap_);
        RECT r{0, 0, kItemWidth, kItemHeight};
        FillRect(dc_, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    ~ItemSurface() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

LRESULT SendDraw(HWND window, HDC dc, UINT id, HMENU menu, bool selected) {
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_MENU;
    dis.itemID = id;
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = selected ? ODS_SELECTED : 0;
    dis.hwndItem = reinterpret_cast<HWND>(menu);
    dis.hDC = dc;
    dis.rcItem = RECT{0, 0, kItemWidth, kItemHeight};
    return SendMessageW(window, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
}

// Regions of an item as the layout places them: the glyph box, the caption's start, the
// shortcut's end.
struct Regions {
    RECT glyph, caption, shortcut;
};
Regions ItemRegions(const TSkinData& d) {
    const int left = 1 + (d.MenuItem ? d.MenuItem->LeftWidth : 0);
    return Regions{RECT{left, 1, left + 16, 17}, RECT{left + 19, 2, left + 19 + 40, kItemHeight - 2},
                   RECT{kItemWidth - 70, 2, kItemWidth - 11, kItemHeight - 2}};
}

// Pixels of each band of a popup menu window's frame (top, bottom, left, right; two pixels deep,
// the corners left out) that differ from the skin's MenuBackground element composed at the
// window's size, read from what the window drew.
constexpr const char* kBandNames[] = {"top", "bottom", "left", "right"};
std::array<int, 4> FrameBandMismatches(HWND popup, TDataSkinObject& e) {
    const test::TCapture shot = test::TCapture::WindowDC(popup);
    const int w = shot.Width(), h = shot.Height();
    // The whole image is one nine-grid cell, its centre tiled or stretched as the skin says.
    const TElementDraw d{.Image = &e.Image, .Margins = e.Margins(), .Tile = e.Tile != 0};
    std::unique_ptr<TBitmap> expected = BuildElementImage(RECT{0, 0, w, h}, d);
    std::array<int, 4> bad{-1, -1, -1, -1};
    if (!expected || expected->Empty()) return bad;
    const RECT bands[] = {
        {3, 0, w - 3, 2}, {3, h - 2, w - 3, h}, {0, 3, 2, h - 3}, {w - 2, 3, w, h - 3}};
    for (size_t b = 0; b < bad.size(); ++b) {
        bad[b] = 0;
        for (int y = bands[b].top; y < bands[b].bottom; ++y)
            for (int x = bands[b].left; x < bands[b].right; ++x)
                bad[b] += shot.At(x, y) != GetPixel(expected->Canvas().Handle(), x, y);
    }
    return bad;
}

class MenuItemsTest : public SkinFormsTest {
protected:
    // Skins the window, then lets the manager's hook see the popup menu windows as they are
    // created (installed afterwards, so that the window is skinned here and not on activation).
    TWinSkinForm* SkinWithHook(HWND h) {
        TWinSkinForm* f = Skin(h);
        manager_->InstallHook();
        return f;
    }
    void TearDown() override {
        if (mf_) mf_->form.reset();
        mf_.reset();
        SkinFormsTest::TearDown();
    }
    TWinSkinForm* SkinMenuForm() {
        mf_ = MakeMenuForm();
        h_ = mf_->form->Handle();
        // Once the hook is in, a new form is skinned as it shows.
        TWinSkinForm* f = manager_->FindForm(h_);
        if (!f) f = SkinWithHook(h_);
        if (f) test::PumpUntil([f] { return f->State() == sfsRunning; });
        test::WaitPainted(h_);
        return f;
    }
    std::unique_ptr<MenuForm> mf_;
    HWND h_ = nullptr;
};

TEST_F(MenuItemsTest, FormItemsDrawnWithTextShortcutCheckAndState) {
    TWinSkinForm* f = SkinMenuForm();
    ASSERT_NE(f, nullptr);
    const Regions at = ItemRegions(*data_);
    const COLORREF text = ColorToRGB(data_->MenuText), shadow = ColorToRGB(data_->ButtonShadow),
                   selectedText = ColorToRGB(data_->HilightText), check = ColorToRGB(clBtnText);
    struct Case {
        const char* what;
        TMenuItem* MenuForm::*item;
        bool selected;
        COLORREF captionColour;
        bool shortcut, checkMark;
    } cases[] = {
        {"item with a shortcut", &MenuForm::fileNew, false, text, true, false},
        {"plain item", &MenuForm::fileOpen, false, text, false, false},
        {"disabled item", &MenuForm::editCut, false, shadow, false, false},
        {"checked item", &MenuForm::editWrap, false, text, false, true},
        {"selected item", &MenuForm::fileNew, true, selectedText, true, false},
    };
    for (const Case& c : cases) {
        TMenuItem* item = (*mf_).*c.item;
        ItemSurface s;
        EXPECT_EQ(SendDraw(h_, s.dc(), item->Command(), item->Parent()->Handle(), c.selected), TRUE) << c.what;
        EXPECT_GT(CountNear(s.dc(), at.caption, c.captionColour, 24), 3) << c.what;
        EXPECT_EQ(CountNear(s.dc(), at.shortcut, c.captionColour, 24) > 3, c.shortcut) << c.what;
        EXPECT_EQ(CountNear(s.dc(), at.glyph, check, 10) > 3, c.checkMark) << c.what;
        // The item's background comes from the skin, never the black the surface started with.
        EXPECT_EQ(CountNear(s.dc(), RECT{kItemWidth - 8, 1, kItemWidth - 2, kItemHeight - 1}, RGB(0, 0, 0), 0), 0)
            << c.what;
    }
    // Selected and normal items use different cells of the MenuItem element.
    ItemSurface normal, selected;
    SendDraw(h_, normal.dc(), mf_->fileOpen->Command(), mf_->file->Handle(), false);
    SendDraw(h_, selected.dc(), mf_->fileOpen->Command(), mf_->file->Handle(), true);
    EXPECT_NE(GetPixel(normal.dc(), kItemWidth - 30, kItemHeight / 2), GetPixel(selected.dc(), kItemWidth - 30, kItemHeight / 2));
}

// The shortcut starts where the caption's measured text ends: a caption long enough to reach
// where a shortcut would otherwise begin keeps every pixel it has without a shortcut.
TEST_F(MenuItemsTest, ShortcutIsLaidOutAfterALongCaption) {
    TWinSkinForm* f = SkinMenuForm();
    ASSERT_NE(f, nullptr);
    TMenuItem* item = mf_->fileNew;
    const TShortCut shortcut = item->ShortCut();
    ASSERT_NE(shortcut, 0);
    const COLORREF text = ColorToRGB(data_->MenuText);
    const int captionLeft = ItemRegions(*data_).caption.left;
    auto draw = [&](ItemSurface& s, const std::string& caption, TShortCut key) {
        item->SetCaption(caption);
        item->SetShortCut(key);
        SendDraw(h_, s.dc(), item->Command(), item->Parent()->Handle(), false);
    };
    // Leftmost and rightmost columns of text-coloured pixels.
    auto inkSpan = [&](HDC dc) {
        int lo = INT_MAX, hi = -1;
        for (int x = captionLeft - 2; x < kItemWidth - 2; ++x)
            if (CountNear(dc, RECT{x, 2, x + 1, kItemHeight - 2}, text, 24) > 0) {
                lo = std::min(lo, x);
                hi = x;
            }
        return std::pair<int, int>{lo, hi};
    };
    int shortcutStart = 0;
    {
        ItemSurface alone;
        draw(alone, "", shortcut);
        shortcutStart = inkSpan(alone.dc()).first;
    }
    ASSERT_GT(shortcutStart, captionLeft + 40);
    std::string caption = "W";
    struct Case {
        const char* what;
        int pastStart; // how far the caption alone reaches past where the shortcut alone starts
    } cases[] = {{"caption reaching into the shortcut", 8}, {"caption reaching over most of it", 20}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        int captionEnd = 0;
        for (;;) {
            ItemSurface plain;
            draw(plain, caption, 0);
            captionEnd = inkSpan(plain.dc()).second;
            if (captionEnd > shortcutStart + c.pastStart || caption.size() > 60) break;
            caption += "W";
        }
        ASSERT_GT(captionEnd, shortcutStart + c.pastStart);
        ItemSurface plain, both;
        draw(plain, caption, 0);
        draw(both, caption, shortcut);
        int overprinted = 0, shortcutInk = 0;
        for (int y = 0; y < kItemHeight; ++y)
            for (int x = 0; x < kItemWidth; ++x) {
                const bool differs = GetPixel(plain.dc(), x, y) != GetPixel(both.dc(), x, y);
                // (A glyph's soft edge may stand a pixel past its measured advance.)
                overprinted += differs && x < captionEnd - 1;
                shortcutInk += differs && x > captionEnd;
            }
        EXPECT_EQ(overprinted, 0);
        // Where the room after the caption holds any of the shortcut, that much is drawn.
        if (captionEnd < kItemWidth - 30) {
            EXPECT_GT(shortcutInk, 0);
        }
    }
    item->SetShortCut(shortcut);
}

// Relative luminance (sRGB, as for text legibility) and the contrast ratio of two colours.
double Luminance(COLORREF c) {
    auto linear = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(GetRValue(c)) + 0.7152 * linear(GetGValue(c)) + 0.0722 * linear(GetBValue(c));
}
double Contrast(COLORREF a, COLORREF b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The selected entry of an open drop-down, as its window shows it: the bar's colour is the
// commonest one inside the entry, the text's the one that stands out most from it.
TEST_F(MenuItemsTest, SelectedItemTextStandsOutFromItsBar) {
    TWinSkinForm* f = SkinMenuForm();
    ASSERT_NE(f, nullptr);
    COLORREF bar = CLR_INVALID, text = CLR_INVALID;
    MenuScript script;
    script.Then([&] { return (GetMenuState(mf_->file->Handle(), 0, MF_BYPOSITION) & MF_HILITE) != 0; })
        .Then([&] {
            HWND popup = OpenMenuWindows().back();
            RECT item{}, window{};
            GetMenuItemRect(h_, mf_->file->Handle(), 0, &item);
            GetWindowRect(popup, &window);
            OffsetRect(&item, -window.left, -window.top);
            const test::TCapture shot = test::TCapture::WindowDC(popup);
            std::map<COLORREF, int> counts;
            for (int y = item.top + 4; y < item.bottom - 4; ++y)
                for (int x = item.left + 4; x < item.right - 4; ++x) ++counts[shot.At(x, y)];
            int most = 0;
            for (const auto& [colour, n] : counts)
                if (n > most) most = n, bar = colour;
            double best = 0;
            for (const auto& [colour, n] : counts)
                if (Contrast(colour, bar) > best) best = Contrast(colour, bar), text = colour;
            PostKey(h_, VK_ESCAPE);
            return true;
        })
        .Then([&] { return OpenMenuWindows().empty(); });
    script.Start();
    SendMessageW(h_, WM_SYSCHAR, 'f', 1 << 29);
    EXPECT_TRUE(script.Run()) << "steps done: " << script.StepsDone();
    EXPECT_EQ(text, static_cast<COLORREF>(ColorToRGB(data_->HilightText))) << "the selected text's colour";
    EXPECT_GE(Contrast(text, bar), 4.5) << std::hex << "text " << text << " on bar " << bar;
}

// A skin without a MenuItem element: items are filled flat, a selected one with the skin's
// Hilight and the others with its MenuColour (never the system's colours).
TEST_F(MenuItemsTest, ItemsOfASkinWithoutTheItemElementAreFilledWithTheSkinsColours) {
    TWinSkinForm* f = SkinMenuForm();
    ASSERT_NE(f, nullptr);
    std::unique_ptr<TDataSkinObject> element = std::move(data_->MenuItem);
    struct Case {
        const char* what;
        TMenuItem* MenuForm::*item;
        bool selected;
        TColor TSkinData::*fill;
    } cases[] = {
        {"selected item", &MenuForm::fileOpen, true, &TSkinData::Hilight},
        {"plain item", &MenuForm::fileOpen, false, &TSkinData::MenuColour},
        {"selected item with a shortcut", &MenuForm::fileNew, true, &TSkinData::Hilight},
        {"item with a shortcut", &MenuForm::fileNew, false, &TSkinData::MenuColour},
    };
    // Past the shortcut, at the item's right end, there is only the fill.
    const RECT end{kItemWidth - 8, 1, kItemWidth - 2, kItemHeight - 1};
    for (const Case& c : cases) {
        TMenuItem* item = (*mf_).*c.item;
        ItemSurface s;
        EXPECT_EQ(SendDraw(h_, s.dc(), item->Command(), item->Parent()->Handle(), c.selected), TRUE)
            << c.what;
        EXPECT_EQ(CountNear(s.dc(), end, ColorToRGB((*data_).*c.fill), 0), 6 * (kItemHeight - 2))
            << c.what;
    }
    data_->MenuItem = std::move(element);
}

TEST_F(MenuItemsTest, ImageListGlyphsAndCheckedGlyphs) {
    TWinSkinForm* f = SkinMenuForm();
    ASSERT_NE(f, nullptr);
    // A red square with a white (transparent) rim.
    TBitmap glyph;
    glyph.SetSize(16, 16);
    glyph.Canvas().Brush().SetColor(clWhite);
    glyph.Canvas().FillRect(RECT{0, 0, 16, 16});
    glyph.Canvas().Brush().SetColor(clRed);
    glyph.Canvas().FillRect(RECT{4, 4, 12, 12});
    auto* images = new TImageList(mf_->form.get());
    images->SetWidth(16);
    images->SetHeight(16);
    images->AddMasked(glyph, clWhite);
    mf_->menu->SetImages(images);
    mf_->fileOpen->SetImageIndex(0);
    mf_->editWrap->SetImageIndex(0);
    const Regions at = ItemRegions(*data_);
    const COLORREF face = ColorToRGB(clBtnFace);
    ItemSurface plain, checked;
    SendDraw(h_, plain.dc(), mf_->fileOpen->Command(), mf_->file->Handle(), false);
    SendDraw(h_, checked.dc(), mf_->editWrap->Command(), mf_->edit->Handle(), false);
    EXPECT_GT(CountNear(plain.dc(), at.glyph, RGB(255, 0, 0), 8), 30);
    EXPECT_GT(CountNear(checked.dc(), at.glyph, RGB(255, 0, 0), 8), 30);
    // A checked item with an image sits on a checker square; the system check mark is not drawn.
    EXPECT_GT(CountNear(checked.dc(), at.glyph, face, 0), CountNear(plain.dc(), at.glyph, face, 0));
    EXPECT_EQ(CountNear(checked.dc(), at.glyph, ColorToRGB(clBtnText), 10), 0);
}

TEST_F(MenuItemsTest, MeasuringAddsTheSkinsRoom) {
    TWinSkinForm* f = SkinMenuForm();
    ASSERT_NE(f, nullptr);
    auto measure = [&](TMenuItem* item) {
        MEASUREITEMSTRUCT mis{};
        mis.CtlType = ODT_MENU;
        mis.itemID = item->Command();
        mis.itemHeight = 16;
        EXPECT_EQ(SendMessageW(h_, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis)), TRUE);
        return SIZE{static_cast<LONG>(mis.itemWidth), static_cast<LONG>(mis.itemHeight)};
    };
    auto own = [&](TMenuItem* item) {
        TBitmap b;
        b.SetSize(1, 1);
        b.Canvas().Font().Assign(Screen->MenuFont());
        int w = 0, h = 16;
        item->MeasureItem(b.Canvas(), w, h);
        return SIZE{w, h};
    };
    const int margin = data_->MenuItem->LeftWidth;
    struct Case {
        const char* what;
        TMenuItem* MenuForm::*item;
    } cases[] = {{"shortcut", &MenuForm::fileNew}, {"plain", &MenuForm::fileOpen}, {"checked", &MenuForm::editWrap}};
    for (const Case& c : cases) {
        TMenuItem* item = (*mf_).*c.item;
        const SIZE got = measure(item), base = own(item);
        EXPECT_EQ(got.cx, base.cx + margin + 25 + 10) << c.what;
        EXPECT_EQ(got.cy, base.cy) << c.what;
    }
    // An entry the window's menu does not know is left to the window.
    MEASUREITEMSTRUCT mis{};
    mis.CtlType = ODT_MENU;
    mis.itemID = 0xF123;
    mis.itemWidth = 77;
    SendMessageW(h_, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
    EXPECT_EQ(mis.itemWidth, 77u);
}

// A plain window's drop-down: entries without a form item are measured from their menu string
// and drawn by the skin with a temporary item (caption, shortcut, check and state from the
// entry); the drop-down's window shows the skin's MenuBackground; its skinner goes with it.
TEST_F(MenuItemsTest, PlainWindowDropDownEntriesAndPopupBackground) {
    HMENU menu = CreateMenu();
    HMENU sub = CreatePopupMenu();
    AppendMenuW(sub, MF_STRING, 101, L"&Open\tCtrl+O");
    AppendMenuW(sub, MF_STRING | MF_CHECKED, 102, L"&Save");
    AppendMenuW(sub, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(sub, MF_STRING | MF_GRAYED, 103, L"&Close");
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), L"&File");
    WindowShape shape;
    shape.menu = menu;
    HWND h = MakeWindow(shape);
    windows_.push_back(h);
    test::PumpMessages(0);
    TWinSkinForm* f = SkinWithHook(h);
    ASSERT_NE(f, nullptr);
    ASSERT_NE(f->MenuBar(), nullptr);
    const Regions at = ItemRegions(*data_);
    const COLORREF text = ColorToRGB(data_->MenuText), shadow = ColorToRGB(data_->ButtonShadow),
                   check = ColorToRGB(clBtnText);
    struct Row {
        UINT id;
        COLORREF caption;
        bool shortcut, checkMark;
    } rows[] = {{101, text, true, false}, {102, text, false, true}, {103, shadow, false, false}};
    bool drawn[3] = {}, shortcutSeen[3] = {}, checkSeen[3] = {};
    SIZE measured[3] = {};
    MEASUREITEMSTRUCT separator{};
    COLORREF corner = CLR_INVALID;
    std::array<int, 4> bands{-1, -1, -1, -1};
    size_t popupsWhileOpen = 0;
    bool switchedWhileOpen = false;
    MenuScript script;
    script.Then([&] { return !OpenMenuWindows().empty() && !manager_->PopupMenus().empty(); })
        .Then([&] {
            popupsWhileOpen = manager_->PopupMenus().size();
            switchedWhileOpen = SwitchedToOwnerDraw(101);
            for (int i = 0; i < 3; ++i) {
                ItemSurface s;
                drawn[i] = SendDraw(h, s.dc(), rows[i].id, sub, false) == TRUE && CountNear(s.dc(), at.caption, rows[i].caption, 24) > 3;
                shortcutSeen[i] = CountNear(s.dc(), at.shortcut, rows[i].caption, 24) > 3;
                checkSeen[i] = CountNear(s.dc(), at.glyph, check, 10) > 3;
                MEASUREITEMSTRUCT mis{};
                mis.CtlType = ODT_MENU;
                mis.itemID = rows[i].id;
                mis.itemHeight = 16;
                SendMessageW(h, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
                measured[i] = SIZE{static_cast<LONG>(mis.itemWidth), static_cast<LONG>(mis.itemHeight)};
            }
            separator.CtlType = ODT_MENU;
            separator.itemID = 0;
            separator.itemHeight = 16;
            SendMessageW(h, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&separator));
            corner = test::WindowPixel(OpenMenuWindows().back(), 1, 1);
            bands = FrameBandMismatches(OpenMenuWindows().back(), *data_->MenuBackground);
            PostKey(h, VK_ESCAPE);
            return true;
        })
        .Then([&] { return OpenMenuWindows().empty(); });
    script.Start();
    SendMessageW(h, WM_SYSCHAR, 'f', 1 << 29);
    EXPECT_TRUE(script.Run()) << "steps done: " << script.StepsDone();
    EXPECT_EQ(popupsWhileOpen, 1u);
    EXPECT_TRUE(switchedWhileOpen);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(drawn[i]) << rows[i].id;
        EXPECT_EQ(shortcutSeen[i], rows[i].shortcut) << rows[i].id;
        EXPECT_EQ(checkSeen[i], rows[i].checkMark) << rows[i].id;
        EXPECT_GE(measured[i].cy, 16 + 4) << rows[i].id;
    }
    // The shortcut needs room of its own.
    EXPECT_GT(measured[0].cx, measured[1].cx + 20);
    EXPECT_EQ(separator.itemHeight, 8u);
    // The popup window's frame is the MenuBackground element's corner, pixel for pixel.
    EXPECT_EQ(corner, GetPixel(data_->MenuBackground->Image.Canvas().Handle(), 1, 1));
    for (size_t b = 0; b < bands.size(); ++b)
        EXPECT_EQ(bands[b], 0) << kBandNames[b] << " band of the frame";
    // Closed: the skinner has gone with its window, and the entries are the window's own again.
    EXPECT_TRUE(manager_->PopupMenus().empty());
    EXPECT_FALSE(SwitchedToOwnerDraw(101));
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    GetMenuItemInfoW(sub, 101, FALSE, &info);
    EXPECT_FALSE(info.fType & MFT_OWNERDRAW);
}

// Alt+Space shows the skin's own system menu: its window is skinned as a system menu and its
// items are drawn by the skin over the window's background.
TEST_F(MenuItemsTest, SystemMenuIsSkinned) {
    TWinSkinForm* f = SkinMenuForm();
    ASSERT_NE(f, nullptr);
    bool skinned = false, itemsDrawn = false;
    int kind = -1;
    COLORREF corner = CLR_INVALID;
    std::array<int, 4> bands{-1, -1, -1, -1};
    MenuScript script;
    script.Then([&] { return !OpenMenuWindows().empty() && !manager_->PopupMenus().empty(); })
        .Then([&] {
            const auto& popup = manager_->PopupMenus().front();
            skinned = SendMessageW(popup->Handle(), SKM_ISSKINNED, 0, 0) == 1;
            kind = manager_->MenuKind;
            // Drawing an item names the menu the popup window shows.
            itemsDrawn = popup->Menu() != nullptr;
            corner = test::WindowPixel(popup->Handle(), 1, 1);
            bands = FrameBandMismatches(popup->Handle(), *data_->MenuBackground);
            PostKey(h_, VK_ESCAPE);
            return true;
        })
        .Then([&] { return OpenMenuWindows().empty(); });
    script.Start();
    SendMessageW(h_, WM_SYSCOMMAND, SC_KEYMENU, ' ');
    EXPECT_TRUE(script.Run()) << "steps done: " << script.StepsDone();
    EXPECT_TRUE(skinned);
    EXPECT_EQ(kind, 2);
    EXPECT_TRUE(itemsDrawn);
    EXPECT_EQ(corner, GetPixel(data_->MenuBackground->Image.Canvas().Handle(), 1, 1));
    for (size_t b = 0; b < bands.size(); ++b)
        EXPECT_EQ(bands[b], 0) << kBandNames[b] << " band of the frame";
    EXPECT_TRUE(manager_->PopupMenus().empty());
}

TEST_F(MenuItemsTest, PopupMenusOfTheFormAreSkinDrawnAndSwitchedBack) {
    mf_ = MakeMenuForm();
    auto* popup = new TPopupMenu(mf_->form.get());
    auto* item = new TMenuItem(mf_->form.get());
    item->SetCaption("&Copy");
    popup->Items()->Add(item);
    auto* disabled = new TPopupMenu(mf_->form.get());
    disabled->SetTag(data_->DisableTag());
    auto* other = new TMenuItem(mf_->form.get());
    other->SetCaption("&Paste");
    disabled->Items()->Add(other);
    h_ = mf_->form->Handle();
    TWinSkinForm* f = SkinWithHook(h_);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(item->OnDrawItem.MethodName(), "DrawSkinnedItem");
    EXPECT_EQ(item->OnMeasureItem.MethodName(), "MeasurePopupItem");
    EXPECT_TRUE(popup->OwnerDraw());
    EXPECT_FALSE(other->OnDrawItem); // the disable tag keeps a menu out
    RunAction(skaUnskinAll);
    EXPECT_FALSE(item->OnDrawItem);
    EXPECT_FALSE(item->OnMeasureItem);
    EXPECT_FALSE(popup->OwnerDraw());
}

TEST_F(MenuItemsTest, HandleCountsStayFlatOverManyPopups) {
    TWinSkinForm* f = SkinMenuForm();
    ASSERT_NE(f, nullptr);
    auto* popup = new TPopupMenu(mf_->form.get());
    for (const char* caption : {"&Cut\tCtrl+X", "&Copy", "-", "&Paste"}) {
        auto* item = new TMenuItem(mf_->form.get());
        item->SetCaption(caption);
        popup->Items()->Add(item);
    }
    popup->Items()->Items(1)->SetChecked(true);
    f->MenuItems().SetPopupOwnerDraw(mf_->form.get(), true);
    static size_t skinnedSeen;
    static size_t drawnSeen;
    skinnedSeen = drawnSeen = 0;
    auto cycle = [&](int) {
        // The timer fires after the menu has painted (timers come after paints) and ends it.
        SetTimer(nullptr, 0, 1, [](HWND, UINT, UINT_PTR id, DWORD) {
            KillTimer(nullptr, id);
            TSkinManage* m = TSkinManage::Instance();
            if (m && !m->PopupMenus().empty()) {
                ++skinnedSeen;
                if (m->PopupMenus().front()->Menu()) ++drawnSeen; // an item was drawn and named its menu
            }
            EndMenu();
        });
        popup->Popup(200, 200);
        test::PumpMessages(0);
    };
    test::TLeakLoop loop;
    loop.Warmup = 20;
    test::ExpectNoLeak(cycle, loop);
    const size_t popups = static_cast<size_t>(loop.Warmup + loop.Cycles);
    // Nearly every popup was skinned and drew an item before the timer ended it (a timer may
    // now and then come before the first paint).
    EXPECT_GE(skinnedSeen * 10, popups * 9);
    EXPECT_GE(drawnSeen * 10, popups * 9);
    EXPECT_TRUE(manager_->PopupMenus().empty());
}

// The application's own item handlers and OwnerDraw, through the real start of a skinned form
// (its control discovery included), with the skin switched on and off twice. A popup with the
// disable tag keeps everything of its own; other popup items are drawn by the skin but keep their
// own measuring, and get their own drawing back; main-menu items with drawing of their own are
// left alone, the others get their own measuring back.
TEST_F(MenuItemsTest, ApplicationsOwnItemHandlersSurviveSkinOnAndOff) {
    mf_ = MakeMenuForm();
    h_ = mf_->form->Handle();
    int drawn = 0, measured = 0;
    auto own = [&](TMenuItem* item, bool draw, bool measure) {
        if (draw) item->OnDrawItem.Bind([&drawn](TObject*, TCanvas*, RECT, bool) { ++drawn; }, "AppDrawItem");
        if (measure)
            item->OnMeasureItem.Bind([&measured](TObject*, TCanvas*, int&, int&) { ++measured; }, "AppMeasureItem");
        return item;
    };
    auto popupWith = [&](int tag, bool ownerDraw) {
        auto* popup = new TPopupMenu(mf_->form.get());
        popup->SetTag(tag);
        popup->SetOwnerDraw(ownerDraw);
        return popup;
    };
    auto itemOf = [&](TPopupMenu* popup, const char* caption) {
        auto* item = new TMenuItem(mf_->form.get());
        item->SetCaption(caption);
        popup->Items()->Add(item);
        return item;
    };
    TPopupMenu* tagged = popupWith(data_->DisableTag(), true);
    TPopupMenu* plain = popupWith(0, false);
    TMenuItem* taggedBoth = own(itemOf(tagged, "Tagged"), true, true);
    TMenuItem* plainDraw = own(itemOf(plain, "Draws"), true, false);
    TMenuItem* plainMeasure = own(itemOf(plain, "Measures"), false, true);
    TMenuItem* plainNone = itemOf(plain, "Plain");
    own(mf_->fileOpen, true, false);
    own(mf_->fileExit, false, true);

    constexpr const char* kApp = "AppDrawItem";
    constexpr const char* kAppM = "AppMeasureItem";
    struct Item {
        const char* what;
        TMenuItem* item;
        const char *skinnedDraw, *skinnedMeasure; // while skinned ("" for none)
        const char *ownDraw, *ownMeasure;         // before and after
        bool mainItemsSkinned;                    // only where the skin draws main-menu items
    } items[] = {
        {"tagged popup item", taggedBoth, kApp, kAppM, kApp, kAppM, false},
        {"popup item drawing itself", plainDraw, "DrawSkinnedItem", "MeasurePopupItem", kApp, "", false},
        {"popup item measuring itself", plainMeasure, "DrawSkinnedItem", kAppM, "", kAppM, false},
        {"popup item", plainNone, "DrawSkinnedItem", "MeasurePopupItem", "", "", false},
        {"main item drawing itself", mf_->fileOpen, kApp, "", kApp, "", true},
        {"main item measuring itself", mf_->fileExit, "DrawSkinnedItem", "MeasureMainItem", "", kAppM, true},
    };
    // The frame skinned (popup menus drawn by the skin), or only the menus' items (main menus too).
    const TSkinControlTypes frame = data_->SkinControls();
    const TSkinControlTypes itemsOnly =
        (frame & ~SkinControlBit(xcMainMenu)) | SkinControlBit(xcMenuItem) | SkinControlBit(xcPopupMenu);
    struct Setting {
        const char* what;
        TSkinControlTypes controls;
        bool mainItems;
    } settings[] = {{"frame skinned", frame, false}, {"menu items skinned", itemsOnly, true}, {"frame again", frame, false}};
    for (const Setting& setting : settings) {
        SCOPED_TRACE(setting.what);
        data_->SetSkinControls(setting.controls);
        manager_->SetSkinning(true);
        ASSERT_NE(Skin(h_), nullptr);
        for (const Item& i : items) {
            const bool skinned = !i.mainItemsSkinned || setting.mainItems;
            EXPECT_EQ(i.item->OnDrawItem.MethodName(), skinned ? i.skinnedDraw : i.ownDraw) << i.what;
            EXPECT_EQ(i.item->OnMeasureItem.MethodName(), skinned ? i.skinnedMeasure : i.ownMeasure) << i.what;
        }
        EXPECT_TRUE(tagged->OwnerDraw());
        EXPECT_TRUE(plain->OwnerDraw());
        RunAction(skaUnskinAll);
        for (const Item& i : items) {
            EXPECT_EQ(i.item->OnDrawItem.MethodName(), i.ownDraw) << i.what;
            EXPECT_EQ(i.item->OnMeasureItem.MethodName(), i.ownMeasure) << i.what;
            // What came back is the application's handler itself, not only its name.
            const int d = drawn, m = measured;
            int w = 0, h = 0;
            i.item->OnDrawItem(i.item, nullptr, RECT{}, false);
            i.item->OnMeasureItem(i.item, nullptr, w, h);
            EXPECT_EQ(drawn - d, *i.ownDraw ? 1 : 0) << i.what;
            EXPECT_EQ(measured - m, *i.ownMeasure ? 1 : 0) << i.what;
        }
        EXPECT_TRUE(tagged->OwnerDraw());
        EXPECT_FALSE(plain->OwnerDraw());
    }
    data_->SetSkinControls(frame);
}

// The skinned system menu is open when the skin is taken off its window: the menu stays whole
// while the system tracks it (the manager's unskin waits for it to close; the window's own unskin
// leaves it to the open menu) and is freed once it has closed.
TEST_F(MenuItemsTest, SystemMenuOutlivesAnUnskinWhileOpen) {
    struct Case {
        const char* what;
        bool windowsOwnUnskin;
    } cases[] = {{"the manager's unskin", false}, {"the window's own unskin", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        manager_->SetSkinning(true);
        TWinSkinForm* f = SkinMenuForm();
        ASSERT_NE(f, nullptr);
        HMENU shown = nullptr;
        bool whole = false, formKept = false;
        int turns = 0;
        MenuScript script;
        script.Then([&] { return !OpenMenuWindows().empty(); })
            .Then([&] {
                shown = reinterpret_cast<HMENU>(SendMessageW(OpenMenuWindows().back(), MN_GETHMENU, 0, 0));
                if (c.windowsOwnUnskin) f->Unskin();
                else RunAction(skaUnskinAll);
                return true;
            })
            .Then([&] { return ++turns > 5; }) // the menu's loop goes on with the skin gone
            .Then([&] {
                whole = IsMenu(shown) && GetMenuItemCount(shown) > 0 && !OpenMenuWindows().empty();
                formKept = manager_->FindForm(h_) == f;
                PostKey(h_, VK_ESCAPE);
                return true;
            })
            .Then([&] { return OpenMenuWindows().empty(); });
        script.Start();
        SendMessageW(h_, WM_SYSCOMMAND, SC_KEYMENU, ' ');
        EXPECT_TRUE(script.Run()) << "steps done: " << script.StepsDone();
        ASSERT_NE(shown, nullptr);
        EXPECT_TRUE(whole);
        EXPECT_TRUE(formKept);
        if (c.windowsOwnUnskin) RunAction(skaUnskinAll);
        // Closed: the put-off unskin has run and the menu is gone.
        EXPECT_TRUE(test::PumpUntil([&] { return manager_->FindForm(h_) == nullptr && !IsMenu(shown); }, 2000));
        EXPECT_FALSE(IsMenu(shown));
        mf_->form.reset();
        mf_.reset();
        test::PumpMessages(0);
    }
}

} // namespace
