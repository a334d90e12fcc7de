// The gallery's skinned menus and its second skin: pictures of a menu-bar drop-down, the context
// menu, the system menu and the check/radio page (gallery-menu-*.bmp in the build tree), each
// checked against the skin's own pixels; and the skin switched off and on again with the second
// archive loaded from its file, every page pictured (gallery-alt-<page>.bmp) and read back.
#include "tools/gallery/gallery_main.h"

#include "controls_fixture.h"
#include "skin/controls/skin_control.h"
#include "skin/forms/popup_menu.h"
#include "skin/forms/skin_manage.h"
#include "skin/forms/win_skin_form.h"
#include "support/capture.h"
#include "support/gui.h"
#include "support/swallowed_check.h"
#include "ui/menus.h"
#include "ui/stdctrls.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace wl;

const COLORREF kKey = RGB(255, 0, 255);

std::string Artifact(const std::string& name) { return std::string(WL_BINARY_DIR_CONTROLS) + "/" + name; }

// The visible menu windows of this thread.
std::vector<HWND> MenuWindows() {
    std::vector<HWND> found;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND h, LPARAM data) -> BOOL {
            char name[16] = {};
            GetClassNameA(h, name, sizeof name);
            if (std::string(name) == "#32768" && IsWindowVisible(h))
                reinterpret_cast<std::vector<HWND>*>(data)->push_back(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Of the pixels of `window` within `r` (window coordinates), how many show one of `colours`.
struct Share {
    int among = 0, total = 0;
};
Share ShareOf(HWND window, RECT r, const std::set<COLORREF>& colours) {
    const test::TCapture shot = test::TCapture::Window(window);
    Share n;
    for (int y = std::max(0L, r.top); y < std::min<long>(shot.Height(), r.bottom); ++y)
        for (int x = std::max(0L, r.left); x < std::min<long>(shot.Width(), r.right); ++x) {
            ++n.total;
            n.among += colours.count(shot.At(x, y)) != 0;
        }
    return n;
}

std::set<COLORREF> Joined(std::initializer_list<std::set<COLORREF>> sets) {
    std::set<COLORREF> all;
    for (const auto& s : sets) all.insert(s.begin(), s.end());
    return all;
}

std::set<COLORREF> Without(std::set<COLORREF> a, const std::set<COLORREF>& b) {
    for (COLORREF c : b) a.erase(c);
    return a;
}

RECT Union(HWND a, HWND b) {
    RECT ra{}, rb{}, u{};
    GetWindowRect(a, &ra);
    GetWindowRect(b, &rb);
    UnionRect(&u, &ra, &rb);
    return u;
}

// Every colour of an element image (key colour left out): what a window drawn from it can show.
std::set<COLORREF> ImageColours(TBitmap& image) {
    std::set<COLORREF> colours;
    HDC dc = image.Canvas().Handle();
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x)
            if (COLORREF c = GetPixel(dc, x, y); c != kKey) colours.insert(c);
    return colours;
}

// The cell of a check/radio strip the window shows with its top left at (x0, y0), 0 when none.
int ShownCell(HWND window, int x0, int y0, TBitmap& strip, int frames) {
    const int w = strip.Width() / frames, h = strip.Height();
    for (int f = 1; f <= frames; ++f) {
        int bad = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const COLORREF s = GetPixel(strip.Canvas().Handle(), (f - 1) * w + x, y);
                POINT p{x0 + x, y0 + y};
                ClientToScreen(window, &p);
                RECT wr{};
                GetWindowRect(window, &wr);
                if (s != kKey && test::WindowPixel(window, p.x - wr.left, p.y - wr.top) != s) ++bad;
            }
        if (bad == 0) return f;
    }
    return 0;
}

// Companions living on the components under `root` (a control owns the companions that skin it).
int CountCompanions(const TComponent* root) {
    int n = 0;
    for (int i = 0; i < root->ComponentCount(); ++i) {
        const TComponent* c = root->Components(i);
        n += dynamic_cast<const TSkinControl*>(c) != nullptr;
        n += CountCompanions(c);
    }
    return n;
}

// Steps run from a thread timer, so also inside a menu's modal loop; each returns true when done.
class Steps {
public:
    explicit Steps(std::vector<std::function<bool()>> steps) : steps_(std::move(steps)) {
        current_ = this;
        deadline_ = GetTickCount() + 6000;
        timer_ = SetTimer(nullptr, 0, 20, Tick);
    }
    ~Steps() {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    bool Run() {
        test::PumpUntil([this] { return failed_ || next_ >= steps_.size(); }, 8000);
        for (int i = 0; i < 20 && !MenuWindows().empty(); ++i) {
            EndMenu();
            test::PumpUntil([] { return MenuWindows().empty(); }, 200);
        }
        return !failed_ && next_ >= steps_.size();
    }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        Steps* s = current_;
        if (!s || s->failed_ || s->next_ >= s->steps_.size()) return;
        if (static_cast<LONG>(GetTickCount() - s->deadline_) > 0) {
            s->failed_ = true;
            EndMenu();
            return;
        }
        if (s->steps_[s->next_]()) ++s->next_;
    }
    static inline Steps* current_ = nullptr;
    std::vector<std::function<bool()>> steps_;
    size_t next_ = 0;
    DWORD deadline_ = 0;
    bool failed_ = false;
    UINT_PTR timer_ = 0;
};

class GalleryMenus : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        TSkinManage::Register();
        Application->Initialize();
    }
    void SetUp() override {
        form_ = std::make_unique<TGalleryMain>(nullptr);
        form_->ReadDefinitionResource();
        form_->SetLeft(20);
        form_->SetTop(20);
    }
    void TearDown() override {
        form_.reset();
        TSkinManagerLink::Destroy();
        test::PumpMessages(0);
        test::ExpectNoSwallowedFailures();
    }
    void RepaintAll() {
        RedrawWindow(form_->Handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        test::PumpMessages(0);
    }
    // The component's switch carried out at once, the way the manager's timer does.
    TWinSkinForm* Switch(bool on) {
        form_->SkinData1->SetActive(on);
        TSkinManage* m = TSkinManage::Instance();
        if (!m) return nullptr;
        m->TimerTick();
        TWinSkinForm* f = m->FindForm(form_->Handle());
        if (f) test::PumpUntil([f] { return f->State() == sfsRunning; }, 3000);
        test::PumpMessages(0);
        return f;
    }
    TWinSkinForm* ShowSkinned() {
        form_->Show();
        SetForegroundWindow(form_->Handle());
        test::PumpUntil([this] { return GetForegroundWindow() == form_->Handle(); });
        if (!form_->UseSkin("")) return nullptr;
        TWinSkinForm* f = Switch(true);
        RepaintAll();
        return f;
    }
    // Runs `open` and, once a skinned menu window is up and painted, pictures `name` (the form
    // and the menu together) and reads the menu's corner pixel; the menu is then closed.
    struct MenuShot {
        bool opened = false, skinned = false;
        COLORREF corner = CLR_INVALID;
        int itemPixels = 0; // pixels in none of the background's colours: the items drawn on it
        bool saved = false;
    };
    MenuShot OpenAndPicture(const std::function<void()>& open, const std::string& name) {
        MenuShot shot;
        int settled = 0;
        Steps steps({[&] {
                         TSkinManage* m = TSkinManage::Instance();
                         return !MenuWindows().empty() && m && !m->PopupMenus().empty();
                     },
                     [&] { return ++settled > 15; }, // a few ticks for the menu's paint
                     [&] {
                         const HWND menu = MenuWindows().back();
                         shot.opened = true;
                         TSkinManage* m = TSkinManage::Instance();
                         for (const auto& p : m->PopupMenus()) shot.skinned |= p->Handle() == menu;
                         shot.corner = test::WindowPixel(menu, 1, 1);
                         const std::set<COLORREF> background = ImageColours(form_->SkinData1->MenuBackground->Image);
                         const test::TCapture pixels = test::TCapture::Window(menu);
                         for (int y = 0; y < pixels.Height(); ++y)
                             for (int x = 0; x < pixels.Width(); ++x) shot.itemPixels += background.count(pixels.At(x, y)) == 0;
                         // A menu is a top-level window of its own: the window and its open menu
                         // are pictured together from the screen.
                         shot.saved = test::TCapture::Screen(Union(form_->Handle(), menu)).Save(Artifact(name));
                         EndMenu();
                         return true;
                     },
                     [&] { return MenuWindows().empty(); }});
        open();
        EXPECT_TRUE(steps.Run()) << name;
        return shot;
    }
    COLORREF MenuCorner() {
        return GetPixel(form_->SkinData1->MenuBackground->Image.Canvas().Handle(), 1, 1);
    }

    std::unique_ptr<TGalleryMain> form_;
};

TEST_F(GalleryMenus, OpenMenusAreSkinnedAndPictured) {
    TWinSkinForm* f = ShowSkinned();
    ASSERT_NE(f, nullptr);
    ASSERT_NE(f->MenuBar(), nullptr);
    ASSERT_TRUE(HasElement(form_->SkinData1->MenuBackground.get()));
    auto* popup = dynamic_cast<TPopupMenu*>(form_->FindComponent("PopupMenu1"));
    ASSERT_NE(popup, nullptr);
    const HWND h = form_->Handle();
    struct Case {
        const char* file;
        std::function<void()> open;
    } cases[] = {
        {"gallery-menu-dropdown.bmp", [h] { SendMessageW(h, WM_SYSCHAR, 'f', 1 << 29); }},
        {"gallery-menu-context.bmp",
         [h, popup] {
             RECT r{};
             GetWindowRect(h, &r);
             popup->Popup(r.left + 200, r.top + 150);
         }},
        {"gallery-menu-system.bmp", [h] { SendMessageW(h, WM_SYSCOMMAND, SC_KEYMENU, ' '); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const MenuShot shot = OpenAndPicture(c.open, c.file);
        EXPECT_TRUE(shot.opened);
        EXPECT_TRUE(shot.skinned);
        EXPECT_TRUE(shot.saved);
        // The menu window's frame is the skin's MenuBackground, pixel for pixel.
        EXPECT_EQ(shot.corner, MenuCorner());
        EXPECT_GT(shot.itemPixels, 100) << "the menu shows no items";
        EXPECT_TRUE(MenuWindows().empty());
    }
}

TEST_F(GalleryMenus, ChoicesPageShowsTheSkinsCheckAndRadioCells) {
    TWinSkinForm* f = ShowSkinned();
    ASSERT_NE(f, nullptr);
    TPageControl* pc = form_->PageControl1;
    auto* page = dynamic_cast<TTabSheet*>(form_->FindComponent("PageChoices"));
    ASSERT_NE(page, nullptr);
    pc->SetActivePage(page);
    RepaintAll();
    EXPECT_TRUE(test::SaveWindowBitmap(form_->Handle(), Artifact("gallery-menu-choices.bmp")));
    TDataSkinButton& b = *form_->SkinData1->Buttons;
    struct Box {
        const char* name;
        bool radio;
        bool on;
    } boxes[] = {{"CheckOn", false, true}, {"CheckOff", false, false}, {"RadioOn", true, true}, {"RadioOff", true, false}};
    int onCell[2] = {}, offCell[2] = {};
    for (const Box& box : boxes) {
        SCOPED_TRACE(box.name);
        auto* control = dynamic_cast<TWinControl*>(form_->FindComponent(box.name));
        ASSERT_NE(control, nullptr);
        TBitmap& strip = box.radio ? b.RadioImage : b.CheckImage;
        const int frames = std::max(1, box.radio ? b.RadioButtonFrame : b.CheckButtonFrame);
        const int cell = ShownCell(control->Handle(), 0, (control->Height() - strip.Height()) / 2, strip, frames);
        EXPECT_GT(cell, 0) << "no cell of the skin's strip is shown";
        (box.on ? onCell : offCell)[box.radio] = cell;
    }
    // Checked and unchecked boxes show different cells.
    EXPECT_NE(onCell[0], offCell[0]);
    EXPECT_NE(onCell[1], offCell[1]);
}

// The gallery skinned with the default skin, switched off (its own look back), then on with the
// second archive loaded from its file: frame, face, menus and every page wear the second skin.
TEST_F(GalleryMenus, SwitchedOffAndOnWithTheSecondArchive) {
    form_->Show();
    test::WaitPainted(form_->Handle());
    RECT plainWindow{}, plainClient{};
    GetWindowRect(form_->Handle(), &plainWindow);
    GetClientRect(form_->Handle(), &plainClient);
    ASSERT_TRUE(form_->UseSkin(""));
    TWinSkinForm* f = Switch(true);
    ASSERT_NE(f, nullptr);
    RepaintAll();
    const std::set<COLORREF> defaultLeft = ImageColours(form_->SkinData1->BorderLeft->Image);
    const std::set<COLORREF> defaultTop = ImageColours(form_->SkinData1->BorderTop->Image);
    const COLORREF defaultFace = ColorToRGB(form_->SkinData1->ButtonFace);
    auto scrollColours = [](TSkinData& d) {
        return Joined({ImageColours(d.Scrollbar->Image), ImageColours(d.VertScroll->Image),
                       ImageColours(d.VertScrollThumb->Image)});
    };
    const std::set<COLORREF> defaultScroll = scrollColours(*form_->SkinData1);
    const std::set<COLORREF> defaultButtons = ImageColours(form_->SkinData1->Buttons->Image);
    const std::set<COLORREF> defaultMenu = ImageColours(form_->SkinData1->MenuBackground->Image);
    RECT w{};
    GetWindowRect(form_->Handle(), &w);
    const int midY = (w.bottom - w.top) / 2;
    ASSERT_TRUE(defaultLeft.count(test::WindowPixel(form_->Handle(), 1, midY)));

    // Off: no form skin object, no companion, the system's frame back.
    ASSERT_EQ(Switch(false), nullptr);
    EXPECT_EQ(TSkinManage::Instance()->FindForm(form_->Handle()), nullptr);
    EXPECT_EQ(CountCompanions(form_.get()), 0);
    RECT offWindow{}, offClient{};
    GetWindowRect(form_->Handle(), &offWindow);
    GetClientRect(form_->Handle(), &offClient);
    EXPECT_EQ(offWindow.right - offWindow.left, plainWindow.right - plainWindow.left);
    EXPECT_EQ(offWindow.bottom - offWindow.top, plainWindow.bottom - plainWindow.top);
    EXPECT_EQ(offClient.right, plainClient.right);
    EXPECT_EQ(offClient.bottom, plainClient.bottom);

    // On with the second archive.
    form_->SkinData1->SetSkinFile(WL_ALT_SKIN);
    ASSERT_FALSE(form_->SkinData1->NotLoaded);
    ASSERT_EQ(form_->SkinData1->SkinName, "Wordlark Sage");
    f = Switch(true);
    ASSERT_NE(f, nullptr);
    EXPECT_GT(CountCompanions(form_.get()), 10);
    RepaintAll();
    TSkinData& alt = *form_->SkinData1;
    TPageControl* pc = form_->PageControl1;
    GetWindowRect(form_->Handle(), &w);
    struct Spot {
        const char* where;
        int x, y;
        const std::set<COLORREF> now, before;
    } spots[] = {
        {"left border", 1, (w.bottom - w.top) / 2, ImageColours(alt.BorderLeft->Image), defaultLeft},
        {"right border", (w.right - w.left) - 2, (w.bottom - w.top) / 2, ImageColours(alt.BorderRight->Image), {}},
        {"title strip", 2, 2, ImageColours(alt.BorderTop->Image), defaultTop},
        {"bottom border", (w.right - w.left) / 2, (w.bottom - w.top) - 2, ImageColours(alt.BorderBottom->Image), {}},
    };
    for (const Spot& s : spots) {
        const COLORREF shown = test::WindowPixel(form_->Handle(), s.x, s.y);
        EXPECT_TRUE(s.now.count(shown)) << s.where << " shows " << std::hex << shown;
        EXPECT_FALSE(s.before.count(shown)) << s.where << " still shows a default-skin colour";
    }
    EXPECT_NE(ColorToRGB(alt.ButtonFace), defaultFace);
    EXPECT_NE(ImageColours(alt.MenuBackground->Image), defaultMenu);
    // On the first page: a panel's face, a push button and the memo's scroll bar.
    pc->SetActivePage(dynamic_cast<TTabSheet*>(form_->FindComponent("PageStandard")));
    RepaintAll();
    auto* panel = dynamic_cast<TWinControl*>(form_->FindComponent("PanelRaised"));
    auto* button = dynamic_cast<TWinControl*>(form_->FindComponent("ButtonEnabled"));
    auto* memo = dynamic_cast<TWinControl*>(form_->FindComponent("MemoStandard"));
    ASSERT_TRUE(panel && button && memo);
    EXPECT_EQ(test::WindowPixel(panel->Handle(), 8, 8), ColorToRGB(alt.ButtonFace));
    RECT memoRect{};
    GetWindowRect(memo->Handle(), &memoRect);
    const int edge = GetSystemMetrics(SM_CXEDGE), bar = GetSystemMetrics(SM_CXVSCROLL);
    const int mw = memoRect.right - memoRect.left, mh = memoRect.bottom - memoRect.top;
    struct Area {
        const char* name;
        HWND window;
        RECT r;
        std::set<COLORREF> now, before;
    } areas[] = {
        {"push button", button->Handle(), RECT{0, 0, button->Width(), 4}, ImageColours(alt.Buttons->Image),
         Without(defaultButtons, ImageColours(alt.Buttons->Image))},
        {"memo scroll bar", memo->Handle(), RECT{mw - edge - bar, edge, mw - edge, mh - edge}, scrollColours(alt),
         Without(defaultScroll, scrollColours(alt))},
    };
    for (const Area& a : areas) {
        const Share now = ShareOf(a.window, a.r, a.now), before = ShareOf(a.window, a.r, a.before);
        EXPECT_GT(now.among * 10, now.total * 7) << a.name << ": " << now.among << " of " << now.total;
        EXPECT_LT(before.among * 50, before.total) << a.name << ": " << before.among << " default-skin pixels";
    }
    // The menus now wear the second skin's background.
    const HWND h = form_->Handle();
    const MenuShot shot = OpenAndPicture([h] { SendMessageW(h, WM_SYSCHAR, 'f', 1 << 29); }, "gallery-alt-menu.bmp");
    EXPECT_TRUE(shot.skinned);
    EXPECT_EQ(shot.corner, MenuCorner());
    EXPECT_GT(shot.itemPixels, 100);
    // Every page pictured with the second skin.
    for (int i = 0; i < pc->PageCount(); ++i) {
        pc->SetActivePageIndex(i);
        RepaintAll();
        const std::string path = Artifact("gallery-alt-" + pc->Pages(i)->GetText() + ".bmp");
        EXPECT_TRUE(test::SaveWindowBitmap(form_->Handle(), path)) << path;
    }
}

} // namespace
