// Skins that lack the pieces a companion draws from: the control keeps its own look (its own
// pixels, unchanged by the companion), whether the companion was attached under such a skin or
// the skin changed to one later; and a skin that has the pieces again is drawn exactly as if the
// companion had been attached under it.
#include "controls_fixture.h"

#include "skin/data/skin_elements.h"
#include "support/capture.h"
#include "support/gui.h"
#include "ui/comctrls.h"
#include "ui/mplayer.h"
#include "ui/stdctrls.h"

#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace skincontrols {
namespace {

using namespace wl;
using wl::test::TCapture;

class MissingPieces : public SkinControlsTest {
public:
    template <class T>
    T* Make(RECT bounds) {
        return Add<T>(bounds);
    }

protected:
    void SetUp() override {
        SkinControlsTest::SetUp();
        SetCursorPos(0, 0); // no control is hot
    }

    std::unique_ptr<TSkinData> LoadCut(const std::vector<std::string>& cuts) {
        auto d = std::make_unique<TSkinData>(nullptr);
        d->SkinBytes = DefaultSkinWithout(cuts);
        if (d->SkinBytes.empty() || !d->LoadSkin() || d->NotLoaded) return nullptr;
        return d;
    }

    static TCapture Shot(HWND window) {
        Repaint(window);
        wl::test::WaitFlushed(GetAncestor(window, GA_ROOT));
        return TCapture::Window(window);
    }

    static RECT Whole(HWND window) {
        RECT r{};
        GetWindowRect(window, &r);
        return RECT{0, 0, r.right - r.left, r.bottom - r.top};
    }

    TSkinControl* AttachWith(const char* className, TWinControl* control, TSkinData* data) {
        TSkinControl* c = CreateCompanion(className, control);
        if (c) c->Attach(TAttachContext::ForControl(nullptr, data, nullptr, false));
        return c;
    }

    static void SwitchSkin(TSkinControl* c, TSkinData* data) {
        c->UseSkinData(data);
        c->SkinChanged();
    }
};

struct MissingCase {
    const char* what;
    std::vector<std::string> cuts;               // taken out of the default skin
    std::function<bool(TSkinData&)> gone;        // the piece is really missing after the load
    const char* companion;
    std::function<TWinControl*(MissingPieces&, RECT)> make;
    // The part of the window compared (window coordinates); the whole window when not given.
    std::function<RECT(HWND)> region;
    // Changes the cut skin's records after the load (a style the default skin does not use).
    std::function<void(TSkinData&)> adjust;
};

// Bounds for the control under test and for the one that shows the full skin's look.
constexpr RECT kFirst{10, 10, 200, 60};
constexpr RECT kSecond{210, 10, 400, 60};

// The track bar's thumb above its channel: the channel keeps the skin's groove (the skin always
// has one), which shows through the corners of the bar's own thumb.
RECT ThumbOf(HWND bar) {
    RECT r{}, channel{};
    SendMessageW(bar, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&r));
    SendMessageW(bar, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
    if (channel.top > r.top) r.bottom = std::min(r.bottom, channel.top);
    // Client to window coordinates.
    RECT window{};
    GetWindowRect(bar, &window);
    POINT origin{0, 0};
    ClientToScreen(bar, &origin);
    OffsetRect(&r, origin.x - window.left, origin.y - window.top);
    return r;
}

// The picker's drop-down button: the right end of its client area, a scroll-arrow wide (its
// border takes the skin's colours whatever the skin has, so it is left out).
RECT DropDownButtonOf(HWND picker) {
    RECT client{};
    GetClientRect(picker, &client);
    RECT window{};
    GetWindowRect(picker, &window);
    POINT origin{0, 0};
    ClientToScreen(picker, &origin);
    RECT r{client.right - GetSystemMetrics(SM_CXHSCROLL), 0, client.right, client.bottom};
    OffsetRect(&r, origin.x - window.left, origin.y - window.top);
    return r;
}

const std::vector<MissingCase>& Cases() {
    static const std::vector<MissingCase> cases = {
        {"push button without button cells", {"Buttons/Bitmap"},
         [](TSkinData& d) { return d.Buttons->Image.Empty(); }, "TSkinButton",
         [](MissingPieces& t, RECT b) {
             auto* c = t.Make<TButton>(RECT{b.left, b.top, b.left + 90, b.top + 28});
             c->SetCaption("Press");
             return c;
         },
         nullptr, nullptr},
        {"check box without check cells", {"Buttons/CheckButton"},
         [](TSkinData& d) { return d.Buttons->CheckImage.Empty(); }, "TSkinCheckBox",
         [](MissingPieces& t, RECT b) {
             auto* c = t.Make<TCheckBox>(RECT{b.left, b.top, b.left + 120, b.top + 22});
             c->SetCaption("Check");
             c->SetChecked(true);
             return c;
         },
         nullptr, nullptr},
        {"radio button without radio cells", {"Buttons/RadioButton"},
         [](TSkinData& d) { return d.Buttons->RadioImage.Empty(); }, "TSkinRadioButton",
         [](MissingPieces& t, RECT b) {
             auto* c = t.Make<TRadioButton>(RECT{b.left, b.top, b.left + 120, b.top + 22});
             c->SetCaption("Radio");
             return c;
         },
         nullptr, nullptr},
        {"page control without tabs", {"Tabs"}, [](TSkinData& d) { return !d.Tabs; }, "TSkinTab",
         [](MissingPieces& t, RECT b) {
             auto* p = t.Make<TPageControl>(RECT{b.left, b.top, b.right, b.top + 120});
             for (const char* caption : {"One", "Two"}) {
                 auto* sheet = new TTabSheet(p->Owner());
                 sheet->SetPageControl(p);
                 sheet->SetCaption(caption);
             }
             return p;
         },
         nullptr, nullptr},
        {"status bar without panel edges", {"StatusBarEdges"}, [](TSkinData& d) { return !d.StatusBarEdges; },
         "TSkinStatusBar",
         [](MissingPieces& t, RECT b) {
             auto* s = t.Make<TStatusBar>(RECT{b.left, b.top, b.right, b.top + 22});
             s->SetSimplePanel(true);
             s->SetSimpleText("Ready");
             return s;
         },
         nullptr, nullptr},
        {"header without header cells", {"Headerbar"}, [](TSkinData& d) { return !d.Headerbar; }, "TSkinHeader",
         [](MissingPieces& t, RECT b) {
             auto* h = t.Make<THeaderControl>(RECT{b.left, b.top, b.right, b.top + 22});
             for (const char* text : {"Word", "Meaning"}) {
                 auto* s = static_cast<THeaderSection*>(h->Sections()->Add());
                 s->SetText(text);
                 s->SetWidth(70);
             }
             return h;
         },
         nullptr, nullptr},
        {"progress bar without its images", {"Progress", "Progress.Chunk"},
         [](TSkinData& d) { return !d.Progress && !d.ProgressChunk; }, "TSkinProgress",
         [](MissingPieces& t, RECT b) {
             auto* p = t.Make<TProgressBar>(RECT{b.left, b.top, b.right, b.top + 20});
             p->SetPosition(40);
             return p;
         },
         nullptr, nullptr},
        {"chunk-style progress bar without the chunk", {"Progress.Chunk"},
         [](TSkinData& d) { return d.Progress && !d.ProgressChunk; }, "TSkinProgress",
         [](MissingPieces& t, RECT b) {
             auto* p = t.Make<TProgressBar>(RECT{b.left, b.top, b.right, b.top + 20});
             p->SetPosition(40);
             return p;
         },
         nullptr, [](TSkinData& d) { d.Progress->Style = 1; }},
        {"track bar without thumb cells", {"Trackbar.ThumbHorz", "Trackbar.ThumbVert"},
         [](TSkinData& d) { return !d.TrackbarThumbHorz && !d.TrackbarThumbVert; }, "TSkinTrackBar",
         [](MissingPieces& t, RECT b) {
             auto* k = t.Make<TTrackBar>(RECT{b.left, b.top, b.right, b.top + 40});
             k->SetPosition(3);
             return k;
         },
         ThumbOf, nullptr},
        {"up-down without arrow cells", {"UpDown.Vert"}, [](TSkinData& d) { return !d.UpDownVert; }, "TSkinUpDown",
         [](MissingPieces& t, RECT b) { return t.Make<TUpDown>(RECT{b.left, b.top, b.left + 18, b.top + 36}); },
         nullptr, nullptr},
        {"date-time picker without combo arrow", {"ComboButton", "SunkEdge"},
         [](TSkinData& d) { return !d.ComboButton && !HasElement(d.ComboxArrow.get()); }, "TSkinDateTime",
         [](MissingPieces& t, RECT b) { return t.Make<TDateTimePicker>(RECT{b.left, b.top, b.left + 150, b.top + 24}); },
         DropDownButtonOf, nullptr},
        {"media player without button cells", {"Buttons/Bitmap"},
         [](TSkinData& d) { return d.Buttons->Image.Empty(); }, "TSkinMP",
         [](MissingPieces& t, RECT b) {
             auto* p = t.Make<TMediaPlayer>(RECT{b.left, b.top, b.left + 180, b.top + 30});
             p->SetAutoEnable(false);
             return p;
         },
         nullptr, nullptr},
        {"combo box without combo button", {"ComboButton"}, [](TSkinData& d) { return !d.ComboButton; },
         "TSkinComBox",
         [](MissingPieces& t, RECT b) {
             auto* c = t.Make<TComboBox>(RECT{b.left, b.top, b.left + 150, b.top + 24});
             return c;
         },
         nullptr, nullptr},
    };
    return cases;
}

TEST_F(MissingPieces, ControlsKeepTheirOwnLookWhereTheSkinLacksTheirPieces) {
    for (const MissingCase& c : Cases()) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<TSkinData> cut = LoadCut(c.cuts);
        ASSERT_NE(cut, nullptr);
        if (c.adjust) c.adjust(*cut);
        ASSERT_TRUE(c.gone(*cut)) << "the cut skin still has the piece";

        TWinControl* control = c.make(*this, kFirst);
        TWinControl* reference = c.make(*this, kSecond);
        const HWND h = control->Handle();
        const RECT region = c.region ? c.region(h) : Whole(h);
        const TCapture own = Shot(h);
        ASSERT_FALSE(own.Empty());

        // Attached under the skin without the piece: nothing of the control changes.
        TSkinControl* skin = AttachWith(c.companion, control, cut.get());
        ASSERT_NE(skin, nullptr);
        EXPECT_EQ(Shot(h).CountDiffering(own, region), 0) << "attached under the cut skin";

        // The full skin: drawn as a companion attached under it draws.
        ASSERT_NE(AttachWith(c.companion, reference, data_.get()), nullptr);
        const TCapture full = Shot(reference->Handle());
        EXPECT_GT(full.CountDiffering(own, region), 0) << "the full skin changes the control's look";
        SwitchSkin(skin, data_.get());
        EXPECT_EQ(Shot(h).CountDiffering(full, region), 0) << "switched to the full skin";

        // And back: the control's own look again.
        SwitchSkin(skin, cut.get());
        EXPECT_EQ(Shot(h).CountDiffering(own, region), 0) << "switched back to the cut skin";

        delete reference;
        delete control;
        wl::test::PumpMessages(0);
    }
}

} // namespace
} // namespace skincontrols
