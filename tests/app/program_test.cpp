// The real Wordlark.exe as a child process, copied into a folder of its own: without words.mdb
// it tells so before any window and ends; with a dictionary beside it a typed word is looked up
// and the exit button ends it.
#include "forms_support.h"

#include "support/gui.h"
#include "support/msgbox_catcher.h"
#include "support/testdata.h"
#include "ui/strconv.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <vector>

namespace wl::test {
namespace {

class Program {
public:
    explicit Program(const std::string& folder) {
        std::string exe = folder + "/Wordlark.exe";
        std::filesystem::copy_file(WL_WORDLARK_EXE, exe, std::filesystem::copy_options::overwrite_existing);
        STARTUPINFOA si{};
        si.cb = sizeof si;
        std::string command = "\"" + exe + "\"";
        started_ = CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  folder.c_str(), &si, &pi_) != FALSE;
    }
    ~Program() {
        if (!started_) return;
        if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi_.hProcess, 99);
        CloseHandle(pi_.hThread);
        CloseHandle(pi_.hProcess);
    }
    bool Started() const { return started_; }
    DWORD Pid() const { return pi_.dwProcessId; }
    // The exit code once the process has ended within `ms`, or -1.
    long WaitForExit(DWORD ms) {
        if (WaitForSingleObject(pi_.hProcess, ms) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        GetExitCodeProcess(pi_.hProcess, &code);
        return static_cast<long>(code);
    }
    // A visible top-level window of this process with the class name, waiting up to `ms`.
    HWND FindWindowOf(const char* className, DWORD ms) {
        HWND found = nullptr;
        PumpUntil(
            [&] {
                for (HWND h = FindWindowExA(nullptr, nullptr, className, nullptr); h;
                     h = FindWindowExA(nullptr, h, className, nullptr)) {
                    DWORD pid = 0;
                    GetWindowThreadProcessId(h, &pid);
                    if (pid == Pid() && IsWindowVisible(h)) found = h;
                }
                return found != nullptr;
            },
            ms);
        return found;
    }

private:
    PROCESS_INFORMATION pi_{};
    bool started_ = false;
};

// The lower-case file names of the modules loaded in process `pid`.
std::vector<std::string> LoadedModules(DWORD pid) {
    std::vector<std::string> names;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
    if (snapshot == INVALID_HANDLE_VALUE) return names;
    MODULEENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Module32First(snapshot, &entry); more; more = Module32Next(snapshot, &entry)) {
        std::string name = entry.szModule;
        for (char& ch : name) ch = char(std::tolower(static_cast<unsigned char>(ch)));
        names.push_back(name);
    }
    CloseHandle(snapshot);
    return names;
}

// Sets a variable of this process's environment, which the programs it starts inherit, and
// puts the old value back at the end of the scope.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
        char old[4096] = {};
        const DWORD n = GetEnvironmentVariableA(name, old, sizeof old);
        had_ = n > 0 && n < sizeof old;
        if (had_) old_ = old;
        SetEnvironmentVariableA(name, value.c_str());
    }
    ~ScopedEnvironment() { SetEnvironmentVariableA(name_, had_ ? old_.c_str() : nullptr); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    // The current value, or "" without one.
    static std::string Get(const char* name) {
        char value[4096] = {};
        const DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
        return n > 0 && n < sizeof value ? std::string(value) : std::string();
    }

private:
    const char* name_;
    std::string old_;
    bool had_ = false;
};

bool HasModule(DWORD pid, const char* name) {
    const std::vector<std::string> modules = LoadedModules(pid);
    return std::find(modules.begin(), modules.end(), name) != modules.end();
}

std::string WindowText(HWND h) {
    char text[1024] = {};
    SendMessageA(h, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

TEST(Program, WithoutItsDictionaryItSaysSoBeforeAnyWindowAndEnds) {
    std::string folder = FolderWithFile("run-missing", "readme.txt", "no dictionary here");
    Program program(folder);
    ASSERT_TRUE(program.Started());
    HWND box = program.FindWindowOf("#32770", 20000);
    ASSERT_NE(box, nullptr) << "no start-up message";
    EXPECT_EQ(program.FindWindowOf("TFmain", 0), nullptr) << "the main window appeared before the message";
    CaughtBox caught;
    ASSERT_TRUE(DismissMessageBoxOf(program.Pid(), 5000, caught));
    EXPECT_EQ(caught.text, "找不到词典数据库，程序启动失败！");
    EXPECT_EQ(caught.caption, "Wordlark");
    EXPECT_EQ(program.WaitForExit(20000), 0);
}

// Printing, media devices, automation strings and common controls load their libraries when
// first used (the main window has no common control, and its tooltip window is made when a hint
// can first show): a start-up that waits for them pays their loading on every start. ole32 is
// not asked about here: the system's input-method layer initialises COM on a thread when one of
// its windows is first activated, so whether ole32 is loaded at this moment depends on where the
// focus went, not on the program. That the program itself does not import it is checked on its
// import table (app_program_imports).
TEST(Program, StartsWithoutTheLibrariesOnlySomeActionsNeed) {
    std::string folder = DictionaryFolder("run-modules", {{"apple", Stored("n. 苹果")}});
    Program program(folder);
    ASSERT_TRUE(program.Started());
    HWND main = program.FindWindowOf("TFmain", 20000);
    ASSERT_NE(main, nullptr);
    std::vector<std::string> modules = LoadedModules(program.Pid());
    auto loaded = [&](const char* name) { return std::find(modules.begin(), modules.end(), name) != modules.end(); };
    ASSERT_TRUE(loaded("wordlark.exe") && loaded("user32.dll")) << "no module list of the program";
    for (const char* late : {"winspool.drv", "winmm.dll", "oleaut32.dll", "msimg32.dll", "comctl32.dll"})
        EXPECT_FALSE(loaded(late)) << late << " is loaded at start-up";
    // The mouse over a control makes the tooltip window, which holds the hints of the three
    // buttons that have one, noted while there was no tooltip window yet.
    HWND search = FindWindowExA(main, nullptr, "TButton", Ansi("查询").c_str());
    ASSERT_NE(search, nullptr);
    SendMessageA(search, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    HWND tips = nullptr;
    for (HWND h = FindWindowExA(nullptr, nullptr, TOOLTIPS_CLASSA, nullptr); h && !tips;
         h = FindWindowExA(nullptr, h, TOOLTIPS_CLASSA, nullptr)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        if (pid == program.Pid()) tips = h;
    }
    ASSERT_NE(tips, nullptr) << "no tooltip window after the mouse moved over a button";
    EXPECT_EQ(SendMessageA(tips, TTM_GETTOOLCOUNT, 0, 0), 3);
    EXPECT_TRUE(HasModule(program.Pid(), "comctl32.dll"));
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(20000), 0);
}

// OLE starts with the first speech request, not with the program: a speech service that cannot
// be made (here its library is kept from loading) is reported when it is first used, with the
// service's own error rather than OLE's "not initialised", and the program goes on.
TEST(Program, SpeechThatCannotStartIsReportedOnFirstUseAndTheProgramGoesOn) {
    std::string folder = DictionaryFolder("run-no-speech", {{"apple", Stored("n. 苹果")}});
    const std::string overrides = ScopedEnvironment::Get("WINEDLLOVERRIDES");
    ScopedEnvironment noSpeech("WINEDLLOVERRIDES", (overrides.empty() ? "" : overrides + ";") + "sapi=d");
    Program program(folder);
    ASSERT_TRUE(program.Started());
    HWND main = program.FindWindowOf("TFmain", 20000);
    ASSERT_NE(main, nullptr);
    HWND edit = FindWindowExA(main, nullptr, "TEdit", nullptr);
    HWND speak = FindWindowExA(main, nullptr, "TButton", Ansi("朗读").c_str());
    ASSERT_TRUE(edit && speak);
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("apple"));
    PostMessageA(speak, BM_CLICK, 0, 0);
    CaughtBox box;
    ASSERT_TRUE(DismissMessageBoxOf(program.Pid(), 20000, box)) << "no speech error was shown";
    EXPECT_EQ(box.caption, "Wordlark");
    EXPECT_FALSE(box.text.empty());
    EXPECT_NE(box.text, Utf8(HResultText(CO_E_NOTINITIALIZED))) << "OLE was not started for the speech service";
    EXPECT_TRUE(HasModule(program.Pid(), "ole32.dll"));
    // The program goes on: a lookup still works (its speech fails the same way, and says so).
    HWND memo = FindWindowExA(main, nullptr, "TMemo", nullptr);
    HWND search = FindWindowExA(main, nullptr, "TButton", Ansi("查询").c_str());
    ASSERT_TRUE(memo && search);
    PostMessageA(search, BM_CLICK, 0, 0);
    CaughtBox again;
    EXPECT_TRUE(DismissMessageBoxOf(program.Pid(), 20000, again));
    EXPECT_EQ(again.text, box.text);
    PumpUntil([&] { return !WindowText(memo).empty(); }, 5000);
    EXPECT_EQ(WindowText(memo), Ansi("n. 苹果")) << "field: " << WindowText(edit);
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(20000), 0);
}

// The picture window shown for the first time after a lookup: its browser views (and OLE with
// them) are made then, without an error, and it carries the keyword's caption.
TEST(Program, PictureWindowShownFirstAfterALookupMakesItsViews) {
    std::string folder = DictionaryFolder("run-picture", {{"apple", Stored("n. 苹果")}});
    Program program(folder);
    ASSERT_TRUE(program.Started());
    HWND main = program.FindWindowOf("TFmain", 20000);
    ASSERT_NE(main, nullptr);
    HWND edit = FindWindowExA(main, nullptr, "TEdit", nullptr);
    HWND search = FindWindowExA(main, nullptr, "TButton", Ansi("查询").c_str());
    HWND picture = FindWindowExA(main, nullptr, "TButton", Ansi("图片").c_str());
    ASSERT_TRUE(edit && search && picture);
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(" apple "));
    PostMessageA(search, BM_CLICK, 0, 0);
    CaughtBox speech; // the meaning is spoken, which may fail here
    DismissMessageBoxOf(program.Pid(), 3000, speech);
    PostMessageA(picture, BM_CLICK, 0, 0);
    HWND shown = program.FindWindowOf("TFPicture", 20000);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(WindowText(shown), Ansi("apple - 图片"));
    CaughtBox error;
    EXPECT_FALSE(DismissMessageBoxOf(program.Pid(), 2000, error)) << error.text;
    EXPECT_TRUE(HasModule(program.Pid(), "ole32.dll"));
    int views = 0, hosted = 0;
    for (HWND h = FindWindowExA(shown, nullptr, nullptr, nullptr); h; h = FindWindowExA(shown, h, nullptr, nullptr))
        for (HWND v = FindWindowExA(h, nullptr, "TWebBrowser", nullptr); v; v = FindWindowExA(h, v, "TWebBrowser", nullptr)) {
            ++views;
            if (GetWindow(v, GW_CHILD)) ++hosted;
        }
    EXPECT_EQ(views, 2);
    EXPECT_EQ(hosted, 2) << "a browser view holds no hosted browser window";
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(20000), 0);
}

TEST(Program, LooksUpATypedWordAndExitsByItsButton) {
    std::string folder = DictionaryFolder("run-demo", {{"apple", Stored("n. 苹果")}, {"pear", Stored("n. 梨")}});
    Program program(folder);
    ASSERT_TRUE(program.Started());
    HWND main = program.FindWindowOf("TFmain", 20000);
    ASSERT_NE(main, nullptr);
    RECT r;
    GetWindowRect(main, &r);
    EXPECT_EQ(r.left, GetSystemMetrics(SM_CXSCREEN) - 308);
    EXPECT_EQ(r.top, 1);
    HWND edit = FindWindowExA(main, nullptr, "TEdit", nullptr);
    HWND memo = FindWindowExA(main, nullptr, "TMemo", nullptr);
    HWND search = FindWindowExA(main, nullptr, "TButton", Ansi("查询").c_str());
    HWND exit = FindWindowExA(main, nullptr, "TButton", Ansi("退出").c_str());
    ASSERT_TRUE(edit && memo && search && exit);

    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(" pear "));
    PostMessageA(search, BM_CLICK, 0, 0);
    // Speaking the meaning may fail where there is no speech service: its error is shown.
    CaughtBox speech;
    if (DismissMessageBoxOf(program.Pid(), 3000, speech)) std::printf("speech in the program: error shown\n");
    EXPECT_EQ(WindowText(memo), Ansi("n. 梨"));
    EXPECT_EQ(WindowText(edit), "pear");

    PostMessageA(exit, BM_CLICK, 0, 0);
    EXPECT_EQ(program.WaitForExit(20000), 0);
}

// The information page the picture window opens lies beside the program and says what it is,
// which version, and under which licence its data comes.
TEST(Program, InformationPageLiesBesideTheProgram) {
    std::string exe = WL_WORDLARK_EXE;
    std::string page = exe.substr(0, exe.find_last_of("/\\") + 1) + "wordlark-info.html";
    std::string html = ReadFileBytes(page);
    for (const char* needle : {"<title>Wordlark ", "Wordlark " WL_VERSION, "English&ndash;Chinese", "ECDICT",
                               "MIT licence", "words.mdb.NOTICE.txt", "charset=\"utf-8\""})
        EXPECT_NE(html.find(needle), std::string::npos) << needle;
    EXPECT_EQ(html.find("@WL_"), std::string::npos) << "an unfilled placeholder";
}

TEST(Program, OpensTheDemoDictionary) {
    std::error_code error;
    if (!std::filesystem::exists(WL_DEMO_DICTIONARY, error))
        GTEST_SKIP() << "the demo dictionary is built by the Makefile";
    std::string folder = FolderWithFile("run-demo-dictionary", "readme.txt", "");
    std::filesystem::copy_file(WL_DEMO_DICTIONARY, folder + "/words.mdb");
    Program program(folder);
    ASSERT_TRUE(program.Started());
    HWND main = program.FindWindowOf("TFmain", 20000);
    ASSERT_NE(main, nullptr);
    HWND edit = FindWindowExA(main, nullptr, "TEdit", nullptr);
    HWND memo = FindWindowExA(main, nullptr, "TMemo", nullptr);
    HWND search = FindWindowExA(main, nullptr, "TButton", Ansi("查询").c_str());
    ASSERT_TRUE(edit && memo && search);
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("apple"));
    PostMessageA(search, BM_CLICK, 0, 0);
    CaughtBox speech;
    DismissMessageBoxOf(program.Pid(), 3000, speech);
    std::string meaning = WindowText(memo);
    EXPECT_FALSE(meaning.empty());
    EXPECT_NE(meaning, Ansi("对不起,没有查询到词条."));
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(20000), 0);
}

} // namespace
} // namespace wl::test
