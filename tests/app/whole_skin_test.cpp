// The program's windows through a whole skin change: the main window and the picture window wear
// the built-in skin, lose it when the skin is switched off (their own frames and looks back, no
// skinning object left), and wear the second skin archive loaded from its file when it is
// switched on again; checked by the pixels on the screen against the loaded skin's own images
// and colours (pictures whole-<window>-<skin>.bmp among the test artifacts).
#include "forms_support.h"

#include "skin/controls/skin_control.h"
#include "skin/forms/skin_manage.h"
#include "skin/forms/win_skin_form.h"
#include "support/capture.h"
#include "support/gui.h"
#include "support/testdata.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace wl::test {
namespace {

const COLORREF kKey = RGB(255, 0, 255);

std::set<COLORREF> ImageColours(TBitmap& image) {
    std::set<COLORREF> colours;
    HDC dc = image.Canvas().Handle();
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x)
            if (COLORREF c = GetPixel(dc, x, y); c != kKey) colours.insert(c);
    return colours;
}

std::set<COLORREF> Without(std::set<COLORREF> a, const std::set<COLORREF>& b) {
    for (COLORREF c : b) a.erase(c);
    return a;
}

// The part of a window (screen rectangle `window`) that lies on the screen, in window coordinates.
RECT OnScreen(const RECT& window) {
    return RECT{-window.left, -window.top, GetSystemMetrics(SM_CXSCREEN) - window.left,
                GetSystemMetrics(SM_CYSCREEN) - window.top};
}

// A window as the screen shows it (only its part on the screen; the rest stays out of counts).
struct Shot {
    RECT window{}; // screen rectangle of the window
    RECT client{}; // client area in window coordinates
    int width = 0, height = 0;
    TCapture pixels;

    explicit Shot(HWND h) : pixels(TCapture::Window(h)) {
        GetWindowRect(h, &window);
        width = window.right - window.left;
        height = window.bottom - window.top;
        POINT origin{0, 0};
        ClientToScreen(h, &origin);
        RECT c{};
        GetClientRect(h, &c);
        client = RECT{origin.x - window.left, origin.y - window.top, origin.x - window.left + c.right,
                      origin.y - window.top + c.bottom};
    }
    // Pixels of `r` (window coordinates) on the screen, those among `colours`.
    struct Count {
        int total = 0, among = 0;
    };
    Count In(RECT r, const std::set<COLORREF>& colours) const {
        const RECT screen = OnScreen(window);
        RECT shown{};
        IntersectRect(&shown, &r, &screen);
        Count n;
        for (int y = std::max(0L, shown.top); y < std::min<long>(height, shown.bottom); ++y)
            for (int x = std::max(0L, shown.left); x < std::min<long>(width, shown.right); ++x) {
                ++n.total;
                n.among += colours.count(pixels.At(x, y)) != 0;
            }
        return n;
    }
    COLORREF At(int x, int y) const { return pixels.At(x, y); }
};

// The frame bands of a window in window coordinates: title strip, left, right, bottom.
struct Bands {
    RECT title, left, right, bottom;
};
Bands FrameBands(const Shot& s) {
    const RECT c = s.client;
    return Bands{RECT{0, 0, s.width, c.top}, RECT{0, c.top, c.left, c.bottom},
                 RECT{c.right, c.top, s.width, c.bottom}, RECT{0, c.bottom, s.width, s.height}};
}

// The colours each frame band of a skin may show.
struct FrameColours {
    std::set<COLORREF> title, left, right, bottom;
};
FrameColours OfSkin(TSkinData& d) {
    return FrameColours{ImageColours(d.BorderTop->Image), ImageColours(d.BorderLeft->Image),
                        ImageColours(d.BorderRight->Image), ImageColours(d.BorderBottom->Image)};
}

int CountCompanions(const TComponent* root) {
    int n = 0;
    for (int i = 0; i < root->ComponentCount(); ++i) {
        const TComponent* c = root->Components(i);
        n += dynamic_cast<const TSkinControl*>(c) != nullptr;
        n += CountCompanions(c);
    }
    return n;
}

// A point of the form's client area that no child window covers, or {-1, -1}.
POINT BareClientPoint(HWND form) {
    RECT c{};
    GetClientRect(form, &c);
    for (int y = c.bottom - 4; y > 4; y -= 3)
        for (int x = 4; x < c.right - 4; x += 3) {
            bool bare = true;
            for (int dy = -3; dy <= 3 && bare; ++dy)
                for (int dx = -3; dx <= 3 && bare; ++dx)
                    bare = ChildWindowFromPointEx(form, POINT{x + dx, y + dy}, CWP_ALL) == form;
            if (bare) return POINT{x, y};
        }
    return POINT{-1, -1};
}

// Whether the window's size is its client area in the system's own frame.
bool HasSystemFrame(HWND h) {
    RECT c{}, w{};
    GetClientRect(h, &c);
    GetWindowRect(h, &w);
    RECT expected = c;
    AdjustWindowRectEx(&expected, static_cast<DWORD>(GetWindowLongPtrW(h, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(h, GWL_EXSTYLE)));
    return expected.right - expected.left == w.right - w.left && expected.bottom - expected.top == w.bottom - w.top;
}

void RepaintAll(ProgramWindows& w, HWND h) {
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_TRUE(w.WaitPainted(h));
    EXPECT_TRUE(w.PumpUntil([h] { return ScreenShowsDrawing(h); })); // the pixels are read from the screen
}

TEST(WholeSkin, WindowsWearTheDefaultSkinNoneAndThenTheSecondArchive) {
    ProgramWindows w(DictionaryFolder("whole", {{"apple", Stored("苹果")}}), true);
    TFmain& main = w.Main();
    TFPicture& picture = w.Picture();
    TSkinData& data = *main.SkinData1;
    // The picture window opens maximized; here it stands beside the main window, so that neither
    // covers the other on the screen the pixels are read from.
    picture.SetWindowState(wsNormal);
    picture.SetBounds(20, 200, 600, 400);
    picture.Show();
    SetForegroundWindow(main.Handle());
    EXPECT_TRUE(w.WaitPainted(main.Handle()));
    EXPECT_TRUE(w.WaitPainted(picture.Handle()));
    TSkinManage* m = TSkinManage::Instance();
    ASSERT_NE(m, nullptr);
    const HWND windows[] = {main.Handle(), picture.Handle()};
    const char* names[] = {"main", "picture"};
    for (HWND h : windows) {
        ASSERT_NE(m->FindForm(h), nullptr);
        RepaintAll(w, h);
    }
    // The built-in skin, read back from the frames.
    const std::string defaultName = data.SkinName;
    const FrameColours defaults = OfSkin(data);
    const std::set<COLORREF> defaultButtons = ImageColours(data.Buttons->Image);
    const COLORREF defaultFace = ColorToRGB(data.ButtonFace);
    const COLORREF defaultShadow = ColorToRGB(data.ButtonShadow);
    for (int i = 0; i < 2; ++i) {
        const Shot s(windows[i]);
        EXPECT_TRUE(SaveWindowBitmap(windows[i], ArtifactDir() + "/whole-" + names[i] + "-default.bmp"));
        const Bands b = FrameBands(s);
        EXPECT_GT(s.In(b.title, defaults.title).among * 2, s.In(b.title, defaults.title).total) << names[i];
    }

    // Off: each window back to its own frame, no skinning object, no companion.
    data.SetActive(false);
    m->TimerTick();
    w.Pump(); // what unskinning posted
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(names[i]);
        EXPECT_EQ(m->FindForm(windows[i]), nullptr);
        EXPECT_TRUE(HasSystemFrame(windows[i]));
    }
    EXPECT_EQ(CountCompanions(&main), 0);
    EXPECT_EQ(CountCompanions(&picture), 0);
    RepaintAll(w, main.Handle());
    {
        const Shot s(main.Handle());
        EXPECT_TRUE(SaveWindowBitmap(main.Handle(), ArtifactDir() + "/whole-main-none.bmp"));
        const Bands b = FrameBands(s);
        EXPECT_EQ(s.In(b.left, defaults.left).among, 0) << "a skin border is left on the window";
    }

    // On with the second archive, loaded from its file.
    data.SetSkinFile(WL_ALT_SKIN);
    ASSERT_FALSE(data.NotLoaded);
    ASSERT_NE(data.SkinName, defaultName);
    data.SetActive(true);
    m->TimerTick();
    w.Pump(); // what skinning posted
    for (HWND h : windows) {
        TWinSkinForm* f = m->FindForm(h);
        ASSERT_NE(f, nullptr);
        PumpUntil([f] { return f->State() == sfsRunning; }, 3000);
        EXPECT_EQ(f->SkinData(), &data);
        // The second skin's thicker borders grow the window around its client area, and the main
        // window stands at the screen's right edge: under Wine a window that crosses the edge of
        // the screen reads back black, so it is brought inside before its pixels are read.
        RECT r{};
        GetWindowRect(h, &r);
        if (const int over = r.right - GetSystemMetrics(SM_CXSCREEN); over > 0)
            SetWindowPos(h, nullptr, r.left - over, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        w.Pump(); // what the move posted
        RepaintAll(w, h);
    }
    EXPECT_GT(CountCompanions(&main), 5);
    const FrameColours alt = OfSkin(data);
    const FrameColours defaultOnly{Without(defaults.title, alt.title), Without(defaults.left, alt.left),
                                   Without(defaults.right, alt.right), Without(defaults.bottom, alt.bottom)};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(names[i]);
        const Shot s(windows[i]);
        EXPECT_TRUE(SaveWindowBitmap(windows[i], ArtifactDir() + "/whole-" + names[i] + "-alt.bmp"));
        const Bands b = FrameBands(s);
        struct Band {
            const char* name;
            RECT r;
            const std::set<COLORREF>& now;
            const std::set<COLORREF>& before;
        } bands[] = {{"title", b.title, alt.title, defaultOnly.title},
                     {"left", b.left, alt.left, defaultOnly.left},
                     {"right", b.right, alt.right, defaultOnly.right},
                     {"bottom", b.bottom, alt.bottom, defaultOnly.bottom}};
        for (const Band& band : bands) {
            const Shot::Count now = s.In(band.r, band.now), before = s.In(band.r, band.before);
            if (now.total == 0) continue; // off the screen (the picture window opens maximized)
            // Title text, icon and title buttons take part of the strip; the rest is the skin's.
            EXPECT_GT(now.among * 10, now.total * 6) << band.name << ": " << now.among << " of " << now.total;
            EXPECT_LT(before.among * 50, before.total) << band.name << ": default colours " << before.among;
        }
    }
    // The main window's face, a push button, the keyword field's border.
    const Shot s(main.Handle());
    const POINT bare = BareClientPoint(main.Handle());
    ASSERT_GE(bare.x, 0);
    EXPECT_NE(ColorToRGB(data.ButtonFace), defaultFace);
    EXPECT_EQ(s.At(s.client.left + bare.x, s.client.top + bare.y), ColorToRGB(data.ButtonFace))
        << "at " << bare.x << "," << bare.y;
    const std::set<COLORREF> buttons = ImageColours(data.Buttons->Image);
    const std::set<COLORREF> buttonsDefaultOnly = Without(defaultButtons, buttons);
    struct Part {
        const char* name;
        TWinControl* control;
    } buttonsToCheck[] = {{"BExit", main.BExit}, {"Bsearch", main.Bsearch}, {"BPicture", main.BPicture}};
    for (const Part& p : buttonsToCheck) {
        RECT r = p.control->BoundsRect();
        OffsetRect(&r, s.client.left, s.client.top);
        InflateRect(&r, 0, -3); // the caption lies in the middle rows; the face is around it
        const Shot::Count now = s.In(r, buttons), before = s.In(r, buttonsDefaultOnly);
        EXPECT_GT(now.among * 2, now.total) << p.name << ": " << now.among << " of " << now.total;
        EXPECT_LT(before.among * 50, before.total) << p.name;
    }
    EXPECT_NE(ColorToRGB(data.ButtonShadow), defaultShadow);
    const RECT edit = main.Edit1->BoundsRect();
    for (POINT at : {POINT{edit.left, (edit.top + edit.bottom) / 2}, POINT{(edit.left + edit.right) / 2, edit.top},
                     POINT{edit.right - 1, (edit.top + edit.bottom) / 2}})
        EXPECT_EQ(s.At(s.client.left + at.x, s.client.top + at.y), ColorToRGB(data.ButtonShadow))
            << "edit border at " << at.x << "," << at.y;
}

} // namespace
} // namespace wl::test
