// Status bars and header controls drawn from the skin: panel frames and texts, the simple
// text, the size grip, window-less children and owner-drawn panels on top, the header's hot
// item following the mouse, and handle counts over repeated paints.
#include "controls_fixture.h"

#include "skin/controls/captions.h"
#include "skin/controls/statusbars.h"
#include "skin/data/skin_elements.h"
#include "support/capture.h"
#include "support/leak_loop.h"
#include "support/gui.h"
#include "ui/comctrls.h"
#include "ui/extctrls.h"

#include <commctrl.h>

#include <cstdlib>
#include <string>

namespace skincontrols {
namespace {

using namespace wl;

struct TSpanX {
    int first = -1, last = -1;
};

class StatusBarsTest : public SkinControlsTest {
protected:
    void SetUp() override {
        SkinControlsTest::SetUp();
        ASSERT_TRUE(HasElement(data_->StatusBarEdges.get()));
        ASSERT_TRUE(HasElement(data_->ExtraImages.get()));
        ASSERT_TRUE(HasElement(data_->Headerbar.get()));
    }

    TStatusBar* Bar(int height = 22) {
        auto* bar = new TStatusBar(form_.get());
        bar->SetParent(form_.get());
        bar->SetHeight(height);
        bar->HandleNeeded();
        return bar;
    }

    TSkinControl* SkinStatus(TStatusBar* bar) {
        TSkinControl* c = Attach("TSkinStatusBar", bar);
        Repaint(bar->Handle());
        return c;
    }

    static RECT PanelRect(HWND bar, int index) {
        RECT r{};
        SendMessageW(bar, SB_GETRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
        return r;
    }

    static SIZE SizeOf(const RECT& r) { return SIZE{r.right - r.left, r.bottom - r.top}; }

    // The pixel that the status bar edge element shows at (x, y) of a frame of `bevel` drawn
    // over `rect`.
    COLORREF Edge(const RECT& rect, int bevel, int x, int y) {
        return ElementPixel(*data_->StatusBarEdges, 3, bevel, SizeOf(rect), x - rect.left, y - rect.top);
    }

    // Leftmost and rightmost columns of `window` between x0 and x1 holding `color`.
    static TSpanX Columns(HWND window, int x0, int x1, int height, COLORREF color) {
        TSpanX s;
        for (int x = x0; x < x1; ++x)
            for (int y = 2; y < height - 2; ++y)
                if (wl::test::WindowPixel(window, x, y) == color) {
                    if (s.first < 0) s.first = x;
                    s.last = x;
                    break;
                }
        return s;
    }

    COLORREF TextColor() const { return ColorToRGB(data_->StatusBarEdges->NormalColour2); }
};

TEST_F(StatusBarsTest, SimpleBarShowsItsTextInALoweredFrameAndTheGrip) {
    TStatusBar* bar = Bar();
    bar->SetSimpleText("Ready");
    ASSERT_NE(SkinStatus(bar), nullptr);
    const HWND h = bar->Handle();
    RECT all{};
    GetClientRect(h, &all);
    const int mid = all.bottom / 2;
    EXPECT_EQ(wl::test::WindowPixel(h, 0, mid), Edge(all, 1, 0, mid)) << "the lowered frame";
    EXPECT_EQ(wl::test::WindowPixel(h, all.right / 2, 0), Edge(all, 1, all.right / 2, 0));
    const TSpanX text = Columns(h, 0, all.right / 2, all.bottom, TextColor());
    ASSERT_GE(text.first, 0) << "the simple text is drawn in the skin's text colour";
    EXPECT_LT(text.first, 10) << "from the left";

    // The size grip: cell 5 of the extra images, one pixel inside the bottom-right corner.
    TDataSkinObject& extra = *data_->ExtraImages;
    const int fw = extra.Image.Width() / extra.Frame, fh = extra.Image.Height();
    const int gx = all.right - 1 - fw, gy = all.bottom - 1 - fh;
    int opaque = 0;
    for (int y = 0; y < fh; ++y)
        for (int x = 0; x < fw; ++x) {
            const COLORREF cell = ElementPixel(extra, extra.Frame, 5, SIZE{fw, fh}, x, y);
            if (cell == RGB(255, 0, 255)) continue;
            ++opaque;
            EXPECT_EQ(wl::test::WindowPixel(h, gx + x, gy + y), cell) << x << "," << y;
        }
    EXPECT_GT(opaque, 0);
}

TEST_F(StatusBarsTest, PanelsGetTheirBevelsAndTextsAndTheLastReachesTheRightEdge) {
    TStatusBar* bar = Bar();
    struct PanelShape {
        const char* text;
        int width;
        TStatusPanelBevel bevel;
        TAlignment alignment;
        int frame;
    };
    // Texts with upright strokes at both ends: their outermost pixels are drawn in the exact
    // text colour (slanted and round strokes are smoothed).
    const PanelShape shapes[] = {{"Left", 70, pbRaised, taLeftJustify, 2},
                 {"IHI", 90, pbNone, taCenter, 3},
                 {"Hill", 60, pbLowered, taRightJustify, 1}};
    for (const PanelShape& s : shapes) {
        auto* p = static_cast<TStatusPanel*>(bar->Panels()->Add());
        p->SetText(s.text);
        p->SetWidth(s.width);
        p->SetBevel(s.bevel);
        p->SetAlignment(s.alignment);
    }
    ASSERT_NE(SkinStatus(bar), nullptr);
    const HWND h = bar->Handle();
    RECT all{};
    GetClientRect(h, &all);

    for (int i = 0; i < 3; ++i) {
        RECT r = PanelRect(h, i);
        r.right += 2;
        if (i == 2) r.right = all.right;
        const int mid = (r.top + r.bottom) / 2;
        EXPECT_EQ(wl::test::WindowPixel(h, r.left, mid), Edge(r, shapes[i].frame, r.left, mid)) << "panel " << i;
        EXPECT_EQ(wl::test::WindowPixel(h, r.left + 4, r.top), Edge(r, shapes[i].frame, r.left + 4, r.top))
            << "panel " << i;
        const TSpanX text = Columns(h, r.left + 1, r.right - 1, all.bottom, TextColor());
        ASSERT_GE(text.first, 0) << "panel " << i << " shows its text";
        const int centre = (text.first + text.last) / 2;
        if (shapes[i].alignment == taLeftJustify) {
            EXPECT_LT(text.first, r.left + 8) << "left";
        } else if (shapes[i].alignment == taCenter) {
            EXPECT_NEAR(centre, (r.left + r.right) / 2, 4) << "centred";
        } else {
            // The text stays clear of the size grip in the corner.
            const int gripLeft = all.right - 1 - data_->ExtraImages->Image.Width() / data_->ExtraImages->Frame;
            EXPECT_LT(text.last, gripLeft) << "right, before the grip";
            EXPECT_GT(text.last, gripLeft - 16) << "right-aligned";
        }
    }
    // The last panel's frame reaches the bar's right edge (above the grip).
    const RECT last{PanelRect(h, 2).left, PanelRect(h, 2).top, all.right, PanelRect(h, 2).bottom};
    EXPECT_EQ(wl::test::WindowPixel(h, all.right - 1, last.top + 2), Edge(last, 1, all.right - 1, last.top + 2));
}

TEST_F(StatusBarsTest, WindowlessChildrenAndOwnerDrawnPanelsPaintOverTheSkin) {
    TStatusBar* bar = Bar(26);
    auto* text = static_cast<TStatusPanel*>(bar->Panels()->Add());
    text->SetWidth(100);
    text->SetText("Words");
    auto* drawn = static_cast<TStatusPanel*>(bar->Panels()->Add());
    drawn->SetWidth(100);
    drawn->SetStyle(psOwnerDraw);
    static_cast<TStatusPanel*>(bar->Panels()->Add())->SetWidth(50);

    constexpr COLORREF kOwnerBlue = RGB(10, 40, 220);
    std::vector<std::pair<int, RECT>> calls;
    bar->OnDrawPanel = [&](TCustomStatusBar* b, TStatusPanel* panel, const RECT& r) {
        calls.emplace_back(panel->Index(), r);
        if (panel != drawn) return;
        HDC dc = GetDC(b->Handle());
        UniqueBrush blue(CreateSolidBrush(kOwnerBlue));
        FillRect(dc, &r, blue.get());
        ReleaseDC(b->Handle(), dc);
    };
    auto* shape = new TShape(form_.get());
    shape->SetParent(bar);
    shape->SetBounds(230, 4, 12, 12);
    shape->Brush().SetColor(RGB(0, 160, 0));
    shape->Pen().SetColor(RGB(0, 160, 0));

    ASSERT_NE(SkinStatus(bar), nullptr);
    const HWND h = bar->Handle();
    ASSERT_EQ(calls.size() % 3, 0u);
    ASSERT_GE(calls.size(), 3u) << "every panel goes to the handler, whatever its style";
    RECT expected = PanelRect(h, 1);
    InflateRect(&expected, -2, -2);
    bool sawOwner = false;
    for (const auto& [index, r] : calls)
        if (index == 1) sawOwner = sawOwner || EqualRect(&r, &expected);
    EXPECT_TRUE(sawOwner) << "the owner-drawn panel's rectangle, 2 pixels inside";

    const RECT r1{PanelRect(h, 1).left, PanelRect(h, 1).top, PanelRect(h, 1).right + 2, PanelRect(h, 1).bottom};
    EXPECT_EQ(wl::test::WindowPixel(h, (expected.left + expected.right) / 2, (expected.top + expected.bottom) / 2),
              kOwnerBlue);
    EXPECT_EQ(wl::test::WindowPixel(h, r1.left, (r1.top + r1.bottom) / 2), Edge(r1, 1, r1.left, (r1.top + r1.bottom) / 2))
        << "the owner-drawn panel keeps the skin's bevel";
    EXPECT_EQ(wl::test::WindowPixel(h, 236, 10), RGB(0, 160, 0)) << "the window-less child on top";
}

TEST_F(StatusBarsTest, RepaintsKeepHandleCountsFlat) {
    TStatusBar* bar = Bar();
    for (int i = 0; i < 3; ++i) static_cast<TStatusPanel*>(bar->Panels()->Add())->SetText(std::string("p").append(std::to_string(i)));
    ASSERT_NE(SkinStatus(bar), nullptr);
    auto* header = Add<THeaderControl>(RECT{10, 10, 300, 30});
    static_cast<THeaderSection*>(header->Sections()->Add())->SetText("A");
    ASSERT_NE(Attach("TSkinHeader", header), nullptr);
    wl::test::TLeakLoop loop;
    loop.Paint = [&] {
        Repaint(bar->Handle());
        Repaint(header->Handle());
    };
    wl::test::ExpectNoLeak([&](int i) { bar->Panel(0)->SetText(std::string("step ").append(std::to_string(i))); },
                           loop);
}

// ---- headers -------------------------------------------------------------------------------------

class HeaderTest : public StatusBarsTest {
protected:
    THeaderControl* Header() {
        auto* header = Add<THeaderControl>(RECT{10, 10, 400, 32});
        for (const char* text : {"Item", "Meaning", "Notes"}) {
            auto* s = static_cast<THeaderSection*>(header->Sections()->Add());
            s->SetText(text);
            s->SetWidth(100);
        }
        return header;
    }
    static RECT ItemRect(HWND header, int index) {
        RECT r{};
        SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
        return r;
    }
    // A pixel of item `index` that differs between the normal and the hot cell.
    POINT Probe(HWND header, int index, int* normalOut, int* hotOut) {
        const RECT r = ItemRect(header, index);
        const SIZE size{r.right - r.left, r.bottom - r.top};
        TDataSkinObject& e = *data_->Headerbar;
        for (int y = size.cy - 1; y >= 0; --y) {
            const COLORREF n = ElementPixel(e, e.Frame, 1, size, size.cx - 8, y);
            const COLORREF h = ElementPixel(e, e.Frame, 2, size, size.cx - 8, y);
            if (n != h) {
                *normalOut = static_cast<int>(n);
                *hotOut = static_cast<int>(h);
                return POINT{r.left + size.cx - 8, y};
            }
        }
        return POINT{-1, -1};
    }
    void MouseAt(HWND header, POINT p) {
        POINT screen = p;
        ClientToScreen(header, &screen);
        SetCursorPos(screen.x, screen.y);
        SendMessageW(header, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
        // Wine shows what was drawn once messages are pumped.
        wl::test::PumpMessages(0);
    }
};

TEST_F(HeaderTest, HotItemFollowsTheMouseAndLeavingClearsIt) {
    THeaderControl* header = Header();
    auto* skin = dynamic_cast<TSkinHeader*>(Attach("TSkinHeader", header));
    ASSERT_NE(skin, nullptr);
    const HWND h = header->Handle();
    Repaint(h);
    EXPECT_EQ(skin->FHotItem, -1);
    ASSERT_EQ(skin->FItemRects.size(), 3u);

    int normal = 0, hot = 0;
    const POINT probe1 = Probe(h, 1, &normal, &hot);
    ASSERT_GE(probe1.x, 0) << "the skin's normal and hot header cells differ somewhere";
    EXPECT_EQ(wl::test::WindowPixel(h, probe1.x, probe1.y), static_cast<COLORREF>(normal));

    const RECT r1 = ItemRect(h, 1);
    MouseAt(h, POINT{(r1.left + r1.right) / 2, (r1.top + r1.bottom) / 2});
    EXPECT_EQ(skin->FHotItem, 1);
    EXPECT_EQ(wl::test::WindowPixel(h, probe1.x, probe1.y), static_cast<COLORREF>(hot)) << "item 1 shows hot";

    // A gap at an item's edge keeps the last hot item; the next item takes it over.
    MouseAt(h, POINT{r1.right - 1, (r1.top + r1.bottom) / 2});
    EXPECT_EQ(skin->FHotItem, 1);
    const RECT r2 = ItemRect(h, 2);
    MouseAt(h, POINT{(r2.left + r2.right) / 2, (r2.top + r2.bottom) / 2});
    EXPECT_EQ(skin->FHotItem, 2);
    EXPECT_EQ(wl::test::WindowPixel(h, probe1.x, probe1.y), static_cast<COLORREF>(normal));

    // The mouse leaves the header: no hot item.
    SetCursorPos(0, 0);
    EXPECT_TRUE(wl::test::PumpUntil([&] { return skin->FHotItem == -1; }, 3000));
    Repaint(h);
    int n2 = 0, h2 = 0;
    const POINT probe2 = Probe(h, 2, &n2, &h2);
    EXPECT_EQ(wl::test::WindowPixel(h, probe2.x, probe2.y), static_cast<COLORREF>(n2));
}

TEST_F(HeaderTest, SpaceRightOfTheItemsIsANormalItemAndTextsUseTheSkinColour) {
    THeaderControl* header = Header();
    ASSERT_NE(Attach("TSkinHeader", header), nullptr);
    const HWND h = header->Handle();
    Repaint(h);
    RECT client{};
    GetClientRect(h, &client);
    const int right = ItemRect(h, 2).right;
    ASSERT_LT(right, client.right);
    const RECT rest{right, 0, client.right, client.bottom};
    const SIZE size{rest.right - rest.left, rest.bottom - rest.top};
    TDataSkinObject& e = *data_->Headerbar;
    for (int y : {0, static_cast<int>(size.cy / 2), static_cast<int>(size.cy - 1)})
        EXPECT_EQ(wl::test::WindowPixel(h, rest.left + size.cx / 2, y), ElementPixel(e, e.Frame, 1, size, size.cx / 2, y))
            << "row " << y;
    const TSpanX text = Columns(h, 0, ItemRect(h, 0).right, client.bottom, ColorToRGB(e.NormalColour2));
    EXPECT_GE(text.first, 0) << "the first item's caption";
    EXPECT_LT(text.first, 12) << "left-aligned";
}

TEST_F(HeaderTest, WithoutTheSkinsHeaderElementTheHeaderPaintsItself) {
    THeaderControl* header = Header();
    const HWND h = header->Handle();
    Repaint(h);
    const RECT r = ItemRect(h, 2);
    const POINT p{(r.left + r.right) / 2, 2};
    const COLORREF own = wl::test::WindowPixel(h, p.x, p.y);
    data_->Headerbar->Image.Clear();
    ASSERT_NE(Attach("TSkinHeader", header), nullptr);
    Repaint(h);
    EXPECT_EQ(wl::test::WindowPixel(h, p.x, p.y), own);
}


// An image list of one solid 16 x 16 image in `color`.
HIMAGELIST SolidImageList(COLORREF color) {
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR24, 1, 0);
    HDC screen = GetDC(nullptr);
    HBITMAP image = CreateCompatibleBitmap(screen, 16, 16);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, image);
    FillColor(dc, RECT{0, 0, 16, 16}, static_cast<TColor>(color));
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    ImageList_Add(list, image, nullptr);
    DeleteObject(image);
    return list;
}

TEST_F(HeaderTest, ItemImagesShowWithOrWithoutText) {
    constexpr COLORREF kImage = RGB(200, 30, 160);
    struct Case {
        const char* what;
        const wchar_t* text;
        bool withImage;
        int imagePixels; // of the image's colour in the item
    } cases[] = {
        {"image only", L"", true, 16 * 16},
        {"image and text", L"Word", true, 16 * 16},
        {"neither", L"", false, 0},
    };
    HIMAGELIST images = SolidImageList(kImage);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        THeaderControl* header = Header();
        const HWND h = header->Handle();
        SendMessageW(h, HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
        HDITEMW item{};
        item.mask = HDI_TEXT | HDI_FORMAT | HDI_IMAGE;
        item.pszText = const_cast<wchar_t*>(c.text);
        item.fmt = HDF_LEFT | (c.withImage ? HDF_IMAGE : 0) | (*c.text ? HDF_STRING : 0);
        item.iImage = c.withImage ? 0 : -1;
        ASSERT_TRUE(SendMessageW(h, HDM_SETITEMW, 1, reinterpret_cast<LPARAM>(&item)));
        ASSERT_NE(Attach("TSkinHeader", header), nullptr);
        Repaint(h);
        ASSERT_TRUE(wl::test::WaitFlushed(form_->Handle()));
        const wl::test::TCapture shot = wl::test::TCapture::Window(h);
        EXPECT_EQ(shot.CountNear(ItemRect(h, 1), kImage), c.imagePixels);
        delete header;
    }
    ImageList_Destroy(images);
}

TEST(ImageCaption, TheCaptionGetsOnlyTheRoomTheImageLeaves) {
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    HIMAGELIST images = SolidImageList(RGB(1, 2, 3));
    const RECT rect{10, 0, 110, 20}; // 100 wide
    struct Case {
        const char* what;
        int alignment;
        const wchar_t* text;
        int image;
    } cases[] = {
        {"long, left", 0, L"A caption far too long for the little room it is given", 0},
        {"long, centred", 1, L"A caption far too long for the little room it is given", 0},
        {"long, right", 2, L"A caption far too long for the little room it is given", 0},
        {"short, centred", 1, L"Hi", 0},
        {"short, right", 2, L"Hi", 0},
        {"long, centred, no image", 1, L"A caption far too long for the little room it is given", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TImageCaptionLayout l = LayoutImageCaption(dc, rect, c.alignment, c.text, c.image, images);
        const int iw = l.UseImage ? 16 : 0;
        EXPECT_EQ(l.UseImage, c.image != -1);
        // Image and text lie inside the rectangle, the text after the image.
        EXPECT_GE(l.ImageAt.x, rect.left);
        EXPECT_GE(l.Text.left, l.ImageAt.x + iw);
        EXPECT_LE(l.Text.right, rect.right);
        // The text never takes more than what the image and its gap leave.
        EXPECT_LE(l.Text.right - l.Text.left, (rect.right - rect.left) - (iw ? iw + 2 : 0));
        if (c.alignment == 1) {
            // Centred: as much room before the image as after the text (to a pixel).
            const int before = l.ImageAt.x - rect.left, after = rect.right - l.Text.right;
            EXPECT_LE(std::abs(before - after), 1) << before << " / " << after;
        }
        if (c.alignment == 2) {
            EXPECT_LE(l.Text.right, rect.right - 1);
        }
    }
    ImageList_Destroy(images);
    DeleteDC(dc);
}

} // namespace
} // namespace skincontrols
