// The window-free rules of the menu bar and the menu items: start offset and layout, Alt
// accelerators, separator tidying, arrow-key neighbours, item widths and text colours.
#include "skin/data/skin_data.h"
#include "skin/forms/menu_bar.h"
#include "skin/forms/menu_items.h"

#include <gtest/gtest.h>

namespace {

using namespace wl;

TEST(MenuBarRules, StartOffset) {
    struct Case {
        bool element;
        int left, right;
        bool rtl;
        int stripWidth;
        int expected;
    } cases[] = {
        {false, 5, 7, false, 300, 6},  // no element: fixed
        {false, 5, 7, true, 300, 6},
        {true, 5, 7, false, 300, 9},   // left margin + 4
        {true, 5, 7, true, 300, 15},   // right margin + 8
        {true, 5, 7, false, 8, 12},    // strip narrower than the offset
        {true, 5, 7, true, 14, 12},
        {true, 0, 0, false, 300, 4},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MenuBarStartOffset(c.element, c.left, c.right, c.rtl, c.stripWidth), c.expected)
            << c.element << " " << c.left << " " << c.rtl << " " << c.stripWidth;
}

TEST(MenuBarRules, LayoutLeftToRightAndRightToLeft) {
    const RECT strip{4, 22, 204, 41};
    struct Case {
        const char* what;
        std::vector<int> widths;
        bool rtl;
        std::vector<RECT> expected;
    } cases[] = {
        {"two items", {20, 30}, false, {{10, 22, 40, 40}, {40, 22, 80, 40}}},
        {"invisible item takes nothing", {20, -1, 30}, false, {{10, 22, 40, 40}, {0, 0, 0, 0}, {40, 22, 80, 40}}},
        {"empty caption is zero wide", {0, 30}, false, {{10, 22, 10, 40}, {10, 22, 50, 40}}},
        {"right to left from the right edge", {20, 30}, true, {{168, 22, 198, 40}, {128, 22, 168, 40}}},
    };
    for (const Case& c : cases) {
        const std::vector<RECT> got = LayoutMenuButtons(c.widths, strip, 6, c.rtl);
        ASSERT_EQ(got.size(), c.expected.size()) << c.what;
        for (size_t i = 0; i < got.size(); ++i)
            EXPECT_TRUE(EqualRect(&got[i], &c.expected[i]))
                << c.what << " #" << i << ": " << got[i].left << "," << got[i].top << "," << got[i].right << ","
                << got[i].bottom;
    }
}

TEST(MenuBarRules, Accelerators) {
    struct Case {
        const char* caption;
        WORD key;
        bool expected;
    } cases[] = {
        {"&File", 'f', true},    {"&File", 'F', true},  {"&File", 'i', false}, {"E&xit", 'x', true},
        {"Save && &Quit", 'q', true}, {"Save && Quit", 'q', false}, {"A&&B", 'b', false},
        {"File", 'f', false},    {"&", 'f', false},     {"&File", 0, false},   {"Fil&e", 'e', true},
    };
    for (const Case& c : cases) EXPECT_EQ(CaptionHasAccel(c.caption, c.key), c.expected) << c.caption << " " << c.key;
}

TEST(MenuBarRules, SeparatorTidying) {
    // 'S' visible separator, 's' hidden separator, 'I' visible item, 'i' hidden item.
    auto parse = [](const std::string& s) {
        std::vector<TTidyEntry> e;
        for (char ch : s) e.push_back(TTidyEntry{ch == 'S' || ch == 's', ch == 'S' || ch == 'I'});
        return e;
    };
    auto show = [](const std::vector<TTidyEntry>& e) {
        std::string s;
        for (const auto& x : e) s += x.Separator ? (x.Visible ? 'S' : 's') : (x.Visible ? 'I' : 'i');
        return s;
    };
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"SSISI", "ssISI"},   // none at the top
        {"ISIS", "ISIs"},     // none at the bottom
        {"ISSSI", "IssSI"},   // one per run, the last of it
        {"ISiSI", "IsiSI"},   // a hidden item does not end a run
        {"IsI", "ISI"},       // hidden earlier, shown again between items
        {"SS", "ss"},         // only separators
        {"IiS", "Iis"},       // only hidden items after it
        {"", ""},
    };
    for (const Case& c : cases) {
        std::vector<TTidyEntry> e = parse(c.in);
        TidySeparators(e);
        EXPECT_EQ(show(e), c.out) << c.in;
    }
}

TEST(MenuBarRules, ArrowNeighbours) {
    struct Case {
        int open, count;
        bool forward;
        int expected;
    } cases[] = {
        {0, 3, true, 1}, {2, 3, true, 0}, {0, 3, false, 2}, {1, 3, false, 0},
        {-1, 3, true, 0}, {-1, 3, false, 2}, {0, 1, true, 0}, {0, 0, true, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NeighbourButton(c.open, c.count, c.forward), c.expected) << c.open << " " << c.count << " " << c.forward;
}

TEST(MenuItemRules, ExtraWidths) {
    struct Case {
        bool element;
        int margin;
        bool images;
        int main, popup;
    } cases[] = {
        {true, 3, false, 38, 38}, // the check column without an image list
        {true, 3, true, 13, 15},
        {false, 3, false, 35, 35}, // the margin counts only with an element
        {false, 0, true, 10, 12},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MainItemExtraWidth(c.element, c.margin, c.images), c.main) << c.element << c.images;
        EXPECT_EQ(PopupItemExtraWidth(c.element, c.margin, c.images), c.popup) << c.element << c.images;
    }
}

TEST(MenuItemRules, TextColours) {
    TSkinData d(nullptr);
    d.MenuText = 0x112233;
    d.HilightText = 0x445566;
    d.ButtonShadow = 0x778899;
    struct Case {
        bool enabled, selected;
        TColor shadow;
        TColor expected;
    } cases[] = {
        {true, false, 0x778899, 0x112233},
        {true, true, 0x778899, 0x445566},
        {false, false, 0x778899, 0x778899},
        {false, true, 0x778899, 0x778899},
        {false, false, 0x112233, clBtnShadow}, // a shadow equal to the text would hide the state
    };
    for (const Case& c : cases) {
        d.ButtonShadow = c.shadow;
        EXPECT_EQ(MenuItemTextColor(d, c.enabled, c.selected), c.expected) << c.enabled << c.selected;
    }
}

} // namespace
