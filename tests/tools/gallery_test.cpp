// The controls gallery under Wine: every page activated and pictured as an artifact
// (gallery-<page>.bmp), with exactly its own controls showing; the whole form created and freed
// many times without leaking handles; and, skinned with each built-in skin, every page shown and
// the "Live" page's buttons used: what they make is skinned, what frees itself goes, and the
// View menu is emptied and filled again, with no failure swallowed by the skin engine. The Skin
// menu: the system's Open dialog wears the skin and leaves nothing behind, a chosen file switches
// every window, the open file is reloaded when it changes (and a damaged one refused with its
// reason), and the list of recent skins keeps its order across a restart.
#include "tools/gallery/gallery_main.h"

#include "skin/forms/menu_bar.h"
#include "skin/forms/skin_manage.h"
#include "skin/forms/skin_messages.h"
#include "skin/forms/win_skin_form.h"
#include "ui/menus.h"
#include "ui/stdctrls.h"

#include "support/capture.h"
#include "support/gdi_count.h"
#include "support/gui.h"
#include "support/leak_loop.h"
#include "support/swallowed_check.h"
#include "support/testdata.h"

#include <gtest/gtest.h>

#include <commdlg.h>
#include <dlgs.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace wl::test {
namespace {

class Gallery : public ::testing::Test {
protected:
    static void SetUpTestSuite() { Application->Initialize(); }
    void TearDown() override { ExpectNoSwallowedFailures(); }
};

TEST_F(Gallery, EveryPageShowsItsControlsAndIsPictured) {
    auto form = std::make_unique<TGalleryMain>(nullptr);
    form->ReadDefinitionResource();
    ASSERT_TRUE(form->UseSkin("")); // the built-in default skin loads
    EXPECT_FALSE(form->SkinData1->NotLoaded);
    form->Show();
    ASSERT_TRUE(WaitPainted(form->Handle()));
    // The main menu is the window's, with its two drop-downs.
    HMENU bar = GetMenu(form->Handle());
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(GetMenuItemCount(bar), 3); // File, View, Skin
    char text[32] = {};
    GetMenuStringA(bar, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&File");
    TPageControl* pc = form->PageControl1;
    ASSERT_GE(pc->PageCount(), 5);
    for (int i = 0; i < pc->PageCount(); ++i) {
        pc->SetActivePageIndex(i);
        RedrawWindow(form->Handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        EXPECT_TRUE(WaitPainted(form->Handle()));
        TTabSheet* page = pc->Pages(i);
        std::string name = page->GetText();
        // The first control that takes the focus shows it in the picture.
        for (int c = 0; c < page->ControlCount(); ++c) {
            auto* w = dynamic_cast<TWinControl*>(page->Controls(c));
            if (w && w->CanFocus()) {
                w->SetFocus();
                break;
            }
        }
        // The focus shows in the picture once it is on the screen.
        EXPECT_TRUE(WaitFlushed(form->Handle()));
        // Every windowed control of the page is showing, and no other page is.
        for (int c = 0; c < page->ControlCount(); ++c) {
            if (auto* w = dynamic_cast<TWinControl*>(page->Controls(c))) {
                EXPECT_TRUE(IsWindowVisible(w->Handle())) << name << ": " << w->Name();
            }
        }
        for (int j = 0; j < pc->PageCount(); ++j)
            EXPECT_EQ(IsWindowVisible(pc->Pages(j)->Handle()) != 0, i == j)
                << name << " / " << pc->Pages(j)->GetText();
        std::string path = ArtifactDir() + "/gallery-" + name + ".bmp";
        EXPECT_TRUE(SaveWindowBitmap(form->Handle(), path)) << path;
    }
}

// Runs from a short repeating thread timer: closes the active window once it is a dialog (a
// modal loop has started).
HWND g_mainWindow = nullptr;
HWND g_closed = nullptr;
void CALLBACK CloseActiveDialog(HWND, UINT, UINT_PTR id, DWORD) {
    HWND active = GetActiveWindow();
    if (!active || active == g_mainWindow) return;
    KillTimer(nullptr, id);
    g_closed = active;
    PostMessageA(active, WM_CLOSE, 0, 0);
}

TEST_F(Gallery, MenuOpensAModalDialogAndAMessageDialog) {
    auto form = std::make_unique<TGalleryMain>(nullptr);
    form->ReadDefinitionResource();
    form->Show();
    ASSERT_TRUE(WaitPainted(form->Handle()));
    g_mainWindow = form->Handle();
    struct Case {
        const char* what;
        std::function<void()> open;
    } cases[] = {
        {"modal dialog", [&] { form->MenuModalClick(nullptr); }},
        {"message dialog", [&] { form->MenuMessageClick(nullptr); }},
    };
    for (const auto& c : cases) {
        g_closed = nullptr;
        const UINT_PTR timer = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, CloseActiveDialog);
        c.open(); // returns once the dialog is closed
        KillTimer(nullptr, timer); // in case no dialog came
        EXPECT_NE(g_closed, nullptr) << c.what;
        EXPECT_NE(g_closed, form->Handle()) << c.what;
        EXPECT_TRUE(IsWindowEnabled(form->Handle())) << c.what; // enabled again afterwards
    }
    EXPECT_EQ(form->StatusBar1->Panel(0)->Text(), "Dialog closed: 2"); // closed: mrCancel
}

TEST_F(Gallery, CreatingAndFreeingTheGalleryLeaksNoHandles) {
    // Every cycle creates the whole form, shows it, visits every page, paints it and frees it.
    ExpectNoLeak([](int) {
        auto form = std::make_unique<TGalleryMain>(nullptr);
        form->ReadDefinitionResource();
        form->Show();
        for (int i = 0; i < form->PageControl1->PageCount(); ++i) {
            form->PageControl1->SetActivePageIndex(i);
            PaintNow(form->Handle());
        }
        Application->ProcessMessages();
    });
}

// ---- the gallery skinned, and its Live page -------------------------------------------------------

// The buttons on `page` with that caption.
std::vector<TButton*> ButtonsCaptioned(TWinControl* page, const std::string& caption) {
    std::vector<TButton*> found;
    for (int i = 0; i < page->ControlCount(); ++i)
        if (auto* b = dynamic_cast<TButton*>(page->Controls(i)); b && b->GetText() == caption) found.push_back(b);
    return found;
}

std::vector<TListBox*> ListBoxesOn(TWinControl* page) {
    std::vector<TListBox*> found;
    for (int i = 0; i < page->ControlCount(); ++i)
        if (auto* l = dynamic_cast<TListBox*>(page->Controls(i))) found.push_back(l);
    return found;
}

bool Skinned(TWinControl* control) {
    return control && control->HandleAllocated() &&
           SendMessageW(control->HandleValue(), SKM_ISSKINNED, 0, 0) == 1;
}

// Clicks a button the way the keyboard's space bar or a mouse click does, through its window.
void Press(TButton* button) { SendMessageW(button->Handle(), BM_CLICK, 0, 0); }

// Clicks a button of the skinned menu bar; whether a drop-down opened (it is closed at once).
bool MenuBarButtonOpens(HWND window, TMenuBtn* button) {
    static bool opened;
    opened = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
        bool shown = false;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND h, LPARAM data) -> BOOL {
                wchar_t name[16] = {};
                GetClassNameW(h, name, 16);
                if (std::wstring(name) == L"#32768" && IsWindowVisible(h)) *reinterpret_cast<bool*>(data) = true;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&shown));
        if (shown) {
            opened = true;
            EndMenu();
        }
    });
    // A drop-down that does not close by itself ends the wait anyway.
    const UINT_PTR guard = SetTimer(nullptr, 0, 3000, [](HWND, UINT, UINT_PTR, DWORD) { EndMenu(); });
    RECT wr{};
    GetWindowRect(window, &wr);
    const RECT& b = button->Bounds();
    const POINT p{wr.left + (b.left + b.right) / 2, wr.top + (b.top + b.bottom) / 2};
    SendMessageW(window, WM_NCLBUTTONDOWN, HTMENU, MAKELPARAM(p.x, p.y));
    KillTimer(nullptr, timer);
    KillTimer(nullptr, guard);
    PumpMessages(0);
    return opened;
}

class GallerySkinned : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        TSkinManage::Register();
        Application->Initialize();
    }
    // A manager link left by the unskinned tests above is not the skin manager.
    void SetUp() override { TSkinManagerLink::Destroy(); }
    void TearDown() override {
        form_.reset();
        TSkinManagerLink::Destroy();
        PumpMessages(0);
        ExpectNoSwallowedFailures();
    }
    // The gallery wearing the skin archive `path` (the built-in skin for ""), skinned at once the
    // way the manager's timer does it.
    TWinSkinForm* ShowSkinned(const std::string& path) {
        form_ = std::make_unique<TGalleryMain>(nullptr);
        form_->ReadDefinitionResource();
        form_->SetLeft(20);
        form_->SetTop(20);
        form_->Show();
        WaitPainted(form_->Handle());
        if (!form_->UseSkin(path)) return nullptr;
        TSkinManage* m = TSkinManage::Instance();
        if (!m) return nullptr;
        m->TimerTick();
        TWinSkinForm* f = m->FindForm(form_->Handle());
        if (f) PumpUntil([f] { return f->State() == sfsRunning; }, 3000);
        PumpMessages(0);
        return f;
    }
    void RepaintAll() {
        RedrawWindow(form_->Handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpMessages(0);
    }
    std::unique_ptr<TGalleryMain> form_;
};

TEST_F(GallerySkinned, EveryPageAndTheLivePagesButtonsInBothSkins) {
    struct Skin {
        const char* what;
        std::string path;
    } skins[] = {{"built-in skin", ""}, {"second skin", WL_ALT_SKIN}};
    for (const Skin& skin : skins) {
        SCOPED_TRACE(skin.what);
        TWinSkinForm* f = ShowSkinned(skin.path);
        ASSERT_NE(f, nullptr);
        ASSERT_NE(f->MenuBar(), nullptr);
        TPageControl* pc = form_->PageControl1;
        TTabSheet* live = form_->PageLive;
        ASSERT_NE(live, nullptr);
        EXPECT_EQ(live->GetText(), "Live");
        for (int i = 0; i < pc->PageCount(); ++i) {
            pc->SetActivePageIndex(i);
            RepaintAll();
        }
        pc->SetActivePage(live);
        RepaintAll();
        TMenuBtn* viewButton = f->MenuBar()->Button(1);
        ASSERT_NE(viewButton, nullptr);
        ASSERT_EQ(viewButton->Caption(), L"&View");
        auto press = [&](const char* caption) {
            const auto buttons = ButtonsCaptioned(live, caption);
            ASSERT_EQ(buttons.size(), 1u) << caption;
            Press(buttons.front());
            PumpMessages(0);
        };
        // Each step uses a button of the page and checks what it says it does.
        struct Step {
            const char* what;
            std::function<void()> act;
            std::function<void()> check;
        } steps[] = {
            {"three buttons added", [&] { for (int i = 0; i < 3; ++i) press("Add button"); },
             [&] {
                 for (const char* c : {"Remove me 1", "Remove me 2", "Remove me 3"}) {
                     const auto b = ButtonsCaptioned(live, c);
                     ASSERT_EQ(b.size(), 1u) << c;
                     EXPECT_TRUE(IsWindowVisible(b.front()->Handle())) << c;
                     EXPECT_TRUE(PumpUntil([&] { return Skinned(b.front()); })) << c << " has no companion";
                 }
             }},
            {"the second frees itself", [&] { press("Remove me 2"); },
             [&] {
                 EXPECT_TRUE(ButtonsCaptioned(live, "Remove me 2").empty());
                 EXPECT_EQ(ButtonsCaptioned(live, "Remove me 1").size(), 1u);
                 EXPECT_EQ(ButtonsCaptioned(live, "Remove me 3").size(), 1u);
             }},
            {"numbers go on", [&] { press("Add button"); },
             [&] { EXPECT_EQ(ButtonsCaptioned(live, "Remove me 4").size(), 1u); }},
            {"a list box added", [&] { press("Add list box"); },
             [&] {
                 const auto lists = ListBoxesOn(live);
                 ASSERT_EQ(lists.size(), 1u);
                 EXPECT_EQ(SendMessageW(lists.front()->Handle(), LB_GETCOUNT, 0, 0), 50);
                 const auto remove = ButtonsCaptioned(live, "Remove list box");
                 ASSERT_EQ(remove.size(), 1u);
                 EXPECT_GE(remove.front()->Top(), lists.front()->Top() + lists.front()->Height());
                 EXPECT_TRUE(PumpUntil([&] { return Skinned(lists.front()) && Skinned(remove.front()); }))
                     << "the list box or its button has no companion";
             }},
            {"pictured with what was made", [] {},
             [&] {
                 const std::string path = ArtifactDir() + "/gallery-live-" + (skin.path.empty() ? "default" : "second") + ".bmp";
                 EXPECT_TRUE(SaveWindowBitmap(form_->Handle(), path)) << path;
             }},
            {"the list box removed", [&] { press("Remove list box"); },
             [&] {
                 EXPECT_TRUE(ListBoxesOn(live).empty());
                 EXPECT_TRUE(ButtonsCaptioned(live, "Remove list box").empty());
             }},
            {"the View menu emptied", [&] { press("Empty View menu"); },
             [&] {
                 EXPECT_EQ(form_->MenuView->Count(), 0);
                 ASSERT_EQ(f->MenuBar()->ItemCount(), 3); // File, View, Skin
                 EXPECT_EQ(f->MenuBar()->Button(1)->Caption(), L"&View");
                 EXPECT_FALSE(MenuBarButtonOpens(form_->Handle(), f->MenuBar()->Button(1)));
             }},
            {"the View menu filled", [&] { press("Fill View menu"); },
             [&] {
                 ASSERT_EQ(form_->MenuView->Count(), 2);
                 EXPECT_EQ(form_->MenuView->Items(0)->Caption(), "Checked item");
                 EXPECT_TRUE(form_->MenuView->Items(0)->Checked());
                 EXPECT_FALSE(form_->MenuView->Items(1)->Enabled());
                 ASSERT_EQ(f->MenuBar()->ItemCount(), 3); // File, View, Skin
                 EXPECT_TRUE(MenuBarButtonOpens(form_->Handle(), f->MenuBar()->Button(1)));
             }},
        };
        for (const Step& step : steps) {
            SCOPED_TRACE(step.what);
            step.act();
            RepaintAll();
            step.check();
        }
        ExpectNoSwallowedFailures();
        form_.reset();
        TSkinManagerLink::Destroy();
        PumpMessages(0);
    }
}

// ---- the Skin menu ---------------------------------------------------------------------------------

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string BuiltInSkinBytes() {
    HRSRC res = FindResourceA(nullptr, "DEFAULTSKIN", RT_RCDATA);
    HGLOBAL data = res ? LoadResource(nullptr, res) : nullptr;
    const char* bytes = data ? static_cast<const char*>(LockResource(data)) : nullptr;
    return bytes ? std::string(bytes, SizeofResource(nullptr, res)) : std::string();
}

// Every colour of a skin element's image (all its cells).
std::set<COLORREF> ImageColours(TBitmap& image) {
    std::set<COLORREF> colours;
    HDC dc = image.Canvas().Handle();
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) colours.insert(GetPixel(dc, x, y) & 0xFFFFFF);
    return colours;
}

// The share of the pixels of `r` whose colour is one of `colours`.
double ShareIn(const TCapture& picture, RECT r, const std::set<COLORREF>& colours) {
    int in = 0, all = 0;
    for (LONG y = r.top; y < r.bottom; ++y)
        for (LONG x = r.left; x < r.right; ++x) {
            const COLORREF c = picture.At(x, y);
            if (c == CLR_INVALID) continue;
            ++all;
            in += colours.count(c & 0xFFFFFF) ? 1 : 0;
        }
    return all ? static_cast<double>(in) / all : 0.0;
}

// The colours a skin paints a window's left border and title strip with, read off its records.
struct FrameColours {
    std::set<COLORREF> left, top;
};
FrameColours FrameColoursOf(TSkinData& data) {
    FrameColours c;
    c.left = ImageColours(data.BorderLeft->Image);
    c.top = ImageColours(data.BorderTop->Image);
    for (COLORREF t : ImageColours(data.Title->Image)) c.top.insert(t);
    return c;
}

// A skinned window's picture with two strips of its frame: the middle third of the left border,
// and a part of the title strip clear of the caption text and the buttons.
struct FrameStrips {
    TCapture picture;
    RECT left{}, top{};
};
FrameStrips StripsOf(HWND window, const TWinSkinForm& form) {
    FrameStrips s;
    s.picture = TCapture::Window(window);
    const int w = s.picture.Width(), h = s.picture.Height();
    s.left = RECT{0, h / 3, form.Frame().BorderLeft(), 2 * h / 3};
    s.top = RECT{w * 3 / 5, 1, w * 3 / 4, form.Frame().BorderTop() - 1};
    return s;
}

// How much of the two strips is painted in the given colours.
struct FrameShares {
    double left = 0, top = 0;
};
FrameShares SharesIn(const FrameStrips& s, const FrameColours& colours) {
    return {ShareIn(s.picture, s.left, colours.left), ShareIn(s.picture, s.top, colours.top)};
}

// The window classes of the companions a form object holds, lower case, counted.
std::map<std::string, int> CompanionClasses(const TWinSkinForm& form) {
    std::map<std::string, int> classes;
    for (TSkinCompanion* c : form.Controls()) {
        if (!c || !c->Handle()) continue;
        char name[64] = {};
        GetClassNameA(c->Handle(), name, sizeof name);
        std::string lower(name);
        for (char& ch : lower) ch = static_cast<char>(tolower(static_cast<unsigned char>(ch)));
        ++classes[lower];
    }
    return classes;
}

// Drives the system's Open dialog from a thread timer while its own modal loop runs: waits until
// the dialog is skinned and on the screen, runs `Check` on it, then types `File` into its file
// name field and presses Open, or presses Cancel when `File` is empty.
struct OpenDialogDriver {
    HWND Owner = nullptr;
    std::function<void(HWND dialog, TWinSkinForm& form)> Check;
    std::string File;
    bool NeedSkin = true; // false: the dialog is used as soon as it shows
    DWORD Deadline = 0;
    HWND Dialog = nullptr;
    bool Ready = false, Pressed = false;
};
OpenDialogDriver* g_openDialog = nullptr;

HWND FindOpenDialog(HWND owner) {
    struct Find {
        HWND owner, found;
    } find{owner, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND h, LPARAM data) -> BOOL {
            auto* f = reinterpret_cast<Find*>(data);
            char name[16] = {};
            GetClassNameA(h, name, sizeof name);
            if (std::string(name) != "#32770" || !IsWindowVisible(h) || GetWindow(h, GW_OWNER) != f->owner) return TRUE;
            f->found = h;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&find));
    return find.found;
}

void CALLBACK DriveOpenDialog(HWND, UINT, UINT_PTR id, DWORD) {
    OpenDialogDriver& d = *g_openDialog;
    if (d.Pressed) return;
    const bool late = GetTickCount() > d.Deadline;
    HWND dialog = FindOpenDialog(d.Owner);
    if (!dialog) {
        if (late) KillTimer(nullptr, id); // no dialog came: the test sees Dialog null
        return;
    }
    TSkinManage* m = TSkinManage::Instance();
    TWinSkinForm* form = m ? m->FindForm(dialog) : nullptr;
    d.Ready = d.NeedSkin ? form && form->State() == sfsRunning && !form->Controls().empty() && ScreenShowsDrawing(dialog)
                         : IsWindowVisible(dialog) != 0;
    if (!d.Ready && !late) return;
    KillTimer(nullptr, id);
    d.Dialog = dialog;
    if (d.Ready && d.Check) d.Check(dialog, *form);
    const int button = d.File.empty() ? IDCANCEL : IDOK;
    if (!d.File.empty()) {
        // The file name field is a combo box (cmb13) on some systems, an edit (edt1) on others.
        HWND field = GetDlgItem(dialog, cmb13);
        if (!field) field = GetDlgItem(dialog, edt1);
        SetWindowTextA(field, d.File.c_str());
    }
    d.Pressed = true;
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}

// Opens the dialog through the Skin menu's handler and drives it; returns once it has closed.
void RunOpenDialog(TGalleryMain& form, OpenDialogDriver& driver) {
    driver.Owner = form.Handle();
    driver.Deadline = GetTickCount() + 10000;
    g_openDialog = &driver;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, DriveOpenDialog);
    form.MenuOpenSkinClick(nullptr);
    KillTimer(nullptr, timer);
    g_openDialog = nullptr;
}

class GalleryWorkbench : public GallerySkinned {
protected:
    void SetUp() override {
        GallerySkinned::SetUp();
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        dir_ = std::string(temp) + "wl-workbench";
        CreateDirectoryA(dir_.c_str(), nullptr);
        recent_ = dir_ + "\\recent.ini";
        DeleteFileA(recent_.c_str());
        builtIn_ = BuiltInSkinBytes();
        alt_ = ReadFileBytes(WL_ALT_SKIN);
        ASSERT_FALSE(builtIn_.empty());
        ASSERT_FALSE(alt_.empty());
        ASSERT_NE(builtIn_, alt_);
    }
    std::string Scratch(const std::string& name) const { return dir_ + "\\" + name; }
    // The gallery wearing the skin of `file` (the built-in one for ""), its recent list in the
    // scratch folder.
    TWinSkinForm* Show(const std::string& file) {
        TWinSkinForm* f = ShowSkinned(file);
        if (form_) form_->SetRecentSkinsFile(recent_);
        return f;
    }
    TWinSkinForm* MainForm() const {
        TSkinManage* m = TSkinManage::Instance();
        return m && form_ ? m->FindForm(form_->Handle()) : nullptr;
    }
    // Whether the gallery's frame and a push button show the cells of the skin it now wears.
    void ExpectGalleryWears(const char* what) {
        SCOPED_TRACE(what);
        TWinSkinForm* f = MainForm();
        ASSERT_NE(f, nullptr);
        ASSERT_TRUE(PumpUntil([f] { return f->State() == sfsRunning; }, 3000));
        RepaintAll();
        WaitFlushed(form_->Handle());
        TSkinData& data = *form_->SkinData1;
        const FrameShares frame = SharesIn(StripsOf(form_->Handle(), *f), FrameColoursOf(data));
        EXPECT_GE(frame.left, 0.9);
        EXPECT_GE(frame.top, 0.8);
        // A push button of the first page, away from its caption.
        form_->PageControl1->SetActivePageIndex(0);
        RepaintAll();
        TButton* button = nullptr;
        TTabSheet* page = form_->PageControl1->Pages(0);
        for (int i = 0; i < page->ControlCount() && !button; ++i)
            if (auto* b = dynamic_cast<TButton*>(page->Controls(i)); b && b->Enabled() && b->ClassName() == "TButton")
                button = b;
        ASSERT_NE(button, nullptr);
        ASSERT_TRUE(Skinned(button));
        WaitFlushed(form_->Handle());
        const TCapture picture = TCapture::Client(button->Handle());
        const int w = picture.Width(), h = picture.Height();
        EXPECT_GE(ShareIn(picture, RECT{2, 2, w / 6, h - 2}, ImageColours(data.Buttons->Image)), 0.8)
            << button->Name();
    }
    std::string dir_, recent_, builtIn_, alt_;
};

TEST_F(GalleryWorkbench, OpenDialogWearsEachSkinAndTheChosenSkinSwitchesTheGallery) {
    const std::string builtInFile = Scratch("built-in.skn"), altFile = Scratch("second.skn");
    WriteBytes(builtInFile, builtIn_);
    WriteBytes(altFile, alt_);
    ASSERT_NE(Show(""), nullptr);
    ExpectGalleryWears("built-in skin at start");
    // The dialog is opened wearing one skin and used to choose the other.
    const struct {
        const char* what;
        std::string choose, picture;
    } steps[] = {
        {"built-in skin", altFile, "open-dialog-default"},
        {"second skin", builtInFile, "open-dialog-second"},
    };
    FrameStrips strips[2];
    FrameColours colours[2];
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(steps[i].what);
        colours[i] = FrameColoursOf(*form_->SkinData1);
        OpenDialogDriver driver;
        driver.File = steps[i].choose;
        std::map<std::string, int> companions;
        std::vector<std::string> bare; // the dialog's controls that no companion holds
        driver.Check = [&](HWND dialog, TWinSkinForm& form) {
            strips[i] = StripsOf(dialog, form);
            companions = CompanionClasses(form);
            std::set<HWND> held;
            for (TSkinCompanion* c : form.Controls())
                if (c) held.insert(c->Handle());
            // Open and Cancel, the file name field (a combo box or an edit, by system), the file
            // type and folder combo boxes.
            const struct {
                const char* what;
                int id;
            } controls[] = {{"Open", IDOK}, {"Cancel", IDCANCEL}, {"file name", GetDlgItem(dialog, cmb13) ? cmb13 : edt1},
                            {"file type", cmb1}, {"folder", cmb2}};
            for (const auto& c : controls) {
                // A ComboBoxEx32 (the file name field on some systems) is skinned through its combo box.
                const HWND control = GetDlgItem(dialog, c.id), inner = GetWindow(control, GW_CHILD);
                if (!held.count(control) && !(inner && held.count(inner))) bare.push_back(c.what);
            }
            EXPECT_TRUE(strips[i].picture.Save(ArtifactDir() + "/" + steps[i].picture + ".bmp"));
        };
        RunOpenDialog(*form_, driver);
        ASSERT_NE(driver.Dialog, nullptr) << "no Open dialog";
        EXPECT_TRUE(driver.Ready) << "the Open dialog was not skinned in time";
        EXPECT_FALSE(IsWindow(driver.Dialog));
        for (const std::string& what : bare) ADD_FAILURE() << "no companion for the " << what << " control";
        // The file list: a list view inside the shell's view window.
        EXPECT_EQ(companions["syslistview32"], 1);
        EXPECT_GE(companions["button"], 2);
        EXPECT_GE(companions["combobox"], 3);
        std::printf("%s, then chosen in the dialog: status bar \"%s\"\n", steps[i].what,
                    form_->StatusBar1->Panel(TGalleryMain::kSkinPanel)->Text().c_str());
        EXPECT_EQ(form_->SkinPath(), steps[i].choose);
        EXPECT_TRUE(form_->SkinProblem().empty()) << form_->SkinProblem();
        ExpectGalleryWears(steps[i].what);
    }
    // Each dialog's frame is painted in its own skin's colours, and the other skin's colours do
    // not describe it as well (so the check tells the skins apart).
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(steps[i].what);
        const FrameShares own = SharesIn(strips[i], colours[i]), other = SharesIn(strips[i], colours[1 - i]);
        EXPECT_GE(own.left, 0.9);
        EXPECT_GE(own.top, 0.8);
        EXPECT_LT(other.left + other.top, own.left + own.top);
        std::printf("%s: dialog frame shares own %.2f/%.2f, other %.2f/%.2f\n", steps[i].what, own.left, own.top,
                    other.left, other.top);
    }
}

TEST_F(GalleryWorkbench, OpenDialogClosedByCancelOrOpenLeavesNothingBehind) {
    const std::string altFile = Scratch("second.skn");
    WriteBytes(altFile, alt_);
    ASSERT_NE(Show(altFile), nullptr);
    TSkinManage* m = TSkinManage::Instance();
    ASSERT_NE(m, nullptr);
    const size_t forms = m->Forms().size();
    const size_t companions = MainForm()->Controls().size();
    int closed = 0;
    // Every other cycle closes through Open, choosing the skin the gallery wears (a reload).
    ExpectNoLeak(
        [&](int i) {
            OpenDialogDriver driver;
            driver.File = i % 2 ? altFile : "";
            RunOpenDialog(*form_, driver);
            closed += driver.Ready && driver.Dialog && !IsWindow(driver.Dialog);
            PumpMessages(0);
        },
        // The system's dialog makes one accelerator table each time and never frees it (below,
        // without the skin): that much growth of the USER table is not ours.
        TLeakLoop{.Paint = [&] { PaintNow(form_->Handle()); }, .UserHandleSlack = LeakCycles()});
    EXPECT_EQ(closed, 3 + LeakCycles()) << "a dialog was not skinned, or did not close";
    // A closed dialog's form object goes at the manager's next purge (the next dialog's, at the
    // latest): at most the last one waits, and no window of one is left.
    size_t live = 0;
    for (const auto& f : m->Forms()) live += IsWindow(f->Handle()) ? 1 : 0;
    EXPECT_EQ(live, forms);
    EXPECT_LE(m->Forms().size(), forms + 1) << "the form objects of closed dialogs pile up";
    ASSERT_NE(MainForm(), nullptr);
    EXPECT_EQ(MainForm()->Controls().size(), companions);
    EXPECT_EQ(form_->SkinPath(), altFile);

    // Without the skin the dialog's accelerator tables grow the same way.
    form_->TurnSkinOff();
    ASSERT_TRUE(PumpUntil([&] { return MainForm() == nullptr; }, 3000));
    const long before = CountUserHandles().Accelerators;
    for (int i = 0; i < 2; ++i) {
        OpenDialogDriver driver;
        driver.NeedSkin = false;
        RunOpenDialog(*form_, driver);
        ASSERT_TRUE(driver.Ready);
    }
    EXPECT_EQ(CountUserHandles().Accelerators - before, 2);
}

TEST_F(GalleryWorkbench, AChangedFileIsReloadedAndADamagedOneRefusedWithItsReason) {
    const std::string file = Scratch("watched.skn");
    WriteBytes(file, builtIn_);
    ASSERT_NE(Show(file), nullptr);
    ExpectGalleryWears("the watched file at start");
    const std::string status0 = form_->StatusBar1->Panel(TGalleryMain::kSkinPanel)->Text();
    EXPECT_NE(status0.find("watched.skn: loaded in "), std::string::npos) << status0;
    auto status = [&] { return form_->StatusBar1->Panel(TGalleryMain::kSkinPanel)->Text(); };

    EXPECT_TRUE(SaveWindowBitmap(form_->Handle(), ArtifactDir() + "/gallery-before-reload.bmp"));

    // Rewritten with the second skin: shown within a second.
    WriteBytes(file, alt_);
    const DWORD start = GetTickCount();
    EXPECT_TRUE(PumpUntil([&] { return form_->SkinData1->SkinBytes == alt_ && form_->SwitchMs() >= 0; }, 1000))
        << status();
    std::printf("reloaded and switched %lu ms after the write; status: %s\n",
                static_cast<unsigned long>(GetTickCount() - start), status().c_str());
    EXPECT_NE(status().find("switched in"), std::string::npos) << status();
    EXPECT_TRUE(SaveWindowBitmap(form_->Handle(), ArtifactDir() + "/gallery-reloaded.bmp"));
    ExpectGalleryWears("after the reload");

    // Damaged files keep the second skin; the status bar says why, and no message box comes.
    const struct {
        const char* what;
        std::string bytes;
        const char* reason;
    } damaged[] = {
        {"cut to two thirds", alt_.substr(0, alt_.size() * 2 / 3), "damaged: "},
        {"empty", "", "the file is empty"},
        {"text", "[Skin]\r\nName=not packed\r\n", "not a skin archive (cannot be expanded: "},
    };
    for (const auto& d : damaged) {
        SCOPED_TRACE(d.what);
        WriteBytes(file, d.bytes);
        EXPECT_TRUE(PumpUntil([&] { return status().find(d.reason) != std::string::npos; }, 1500)) << status();
        EXPECT_NE(status().find("the skin stays"), std::string::npos) << status();
        EXPECT_EQ(form_->SkinData1->SkinBytes, alt_);
        EXPECT_FALSE(form_->SkinData1->NotLoaded);
        EXPECT_EQ(FindOpenDialog(form_->Handle()), nullptr);
    }
    EXPECT_TRUE(SaveWindowBitmap(form_->Handle(), ArtifactDir() + "/gallery-damaged-kept.bmp"));
    ExpectGalleryWears("after the damaged files");
}

// Files chosen through the menu that are no skin: refused with the archive reader's reason, the
// skin worn before stays whole.
TEST_F(GalleryWorkbench, FilesThatAreNoSkinAreRefusedWithTheirReason) {
    ASSERT_NE(Show(""), nullptr);
    // A stored size too small for the container's 16-byte header.
    std::string tooShort = alt_;
    tooShort[0] = 8, tooShort[1] = tooShort[2] = tooShort[3] = 0;
    const struct {
        const char* what;
        std::string name, bytes;
        const char* reason;
    } files[] = {
        {"missing", "missing.skn", "", "does not exist"},
        {"empty", "empty.skn", "", "the file is empty"},
        {"a bitmap", "picture.skn", std::string("BM\x3e\0\0\0\0\0\0\0\x3e\0\0\0", 14) + std::string(48, '\x7f'),
         "not a skin archive: its version is "},
        {"cut short", "cut.skn", alt_.substr(0, alt_.size() / 2), "damaged: its compressed data ends"},
        {"header too short", "short.skn", tooShort, "damaged: 8 bytes are too few"},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.what);
        const std::string path = Scratch(f.name);
        DeleteFileA(path.c_str());
        if (std::string(f.what) != "missing") WriteBytes(path, f.bytes);
        EXPECT_FALSE(form_->OpenSkinFile(path));
        EXPECT_NE(form_->SkinProblem().find(f.reason), std::string::npos) << form_->SkinProblem();
        EXPECT_EQ(form_->SkinData1->SkinBytes, builtIn_);
        EXPECT_FALSE(form_->SkinData1->NotLoaded);
        EXPECT_TRUE(form_->SkinPath().empty());
        EXPECT_TRUE(form_->RecentSkins().empty()) << "a refused file went into the recent list";
    }
}

TEST_F(GalleryWorkbench, RecentSkinsKeepTheirOrderAcrossARestartAndADamagedListIsIgnored) {
    ASSERT_NE(Show(""), nullptr);
    std::vector<std::string> files;
    for (const char* name : {"a.skn", "b.skn", "c.skn", "d.skn", "e.skn", "f.skn"}) {
        files.push_back(Scratch(name));
        WriteBytes(files.back(), alt_);
    }
    auto upper = [](std::string s) {
        for (char& c : s) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
        return s;
    };
    using Paths = std::vector<std::string>;
    const struct {
        const char* what;
        std::function<void()> act;
        Paths expected;
    } steps[] = {
        {"three opened", [&] { for (int i : {0, 1, 2}) form_->OpenSkinFile(files[i]); },
         {files[2], files[1], files[0]}},
        {"an older one again moves to the front", [&] { form_->OpenSkinFile(files[0]); },
         {files[0], files[2], files[1]}},
        {"the same path in other case is no new entry", [&] { form_->OpenSkinFile(upper(files[1])); },
         {upper(files[1]), files[0], files[2]}},
        {"five at most", [&] { for (int i : {3, 4, 5}) form_->OpenSkinFile(files[i]); },
         {files[5], files[4], files[3], upper(files[1]), files[0]}},
        {"a refused file is not added", [&] { form_->OpenSkinFile(Scratch("none.skn")); },
         {files[5], files[4], files[3], upper(files[1]), files[0]}},
        {"a restart reads the list back",
         [&] {
             form_.reset();
             TSkinManagerLink::Destroy();
             PumpMessages(0);
             Show("");
         },
         {files[5], files[4], files[3], upper(files[1]), files[0]}},
        {"a damaged list file is ignored",
         [&] {
             WriteBytes(recent_, std::string("[Recent skins]\r\n1=") + files[0] + "\r\n\x01\x02garbage\r\n");
             form_->SetRecentSkinsFile(recent_);
         },
         {}},
        {"and replaced by the next open", [&] { form_->OpenSkinFile(files[2]); }, {files[2]}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        ASSERT_NE(form_, nullptr);
        EXPECT_EQ(form_->RecentSkins(), step.expected);
        // The Skin menu shows the list, numbered, and hides the unused entries.
        for (size_t i = 0; i < form_->MenuRecent.size(); ++i) {
            TMenuItem* item = form_->MenuRecent[i];
            ASSERT_NE(item, nullptr);
            EXPECT_EQ(item->Visible(), i < step.expected.size()) << i;
            if (i < step.expected.size()) {
                EXPECT_EQ(item->Caption(), "&" + std::to_string(i + 1) + " " + step.expected[i]) << i;
            }
        }
    }
}

} // namespace
} // namespace wl::test
