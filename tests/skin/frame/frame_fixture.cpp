// Fixture of the frame and title-button tests.
#include "frame_fixture.h"

#include "support/swallowed_check.h"

#include <fstream>
#include <iterator>

namespace frametest {

using namespace wl;

std::string DefaultSkinBytes() {
    std::ifstream f(WL_DEFAULT_SKIN, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

std::string SyntheticSkin(const BorderSpec& left, const BorderSpec& right, const BorderSpec& top,
                          const BorderSpec& bottom, const std::string& moreIni,
                          const std::vector<skinpack::SkinEntry>& moreFiles) {
    std::string ini = "[Personality]\n";
    std::vector<skinpack::SkinEntry> files = moreFiles;
    auto border = [&](const char* key, const BorderSpec& b) {
        const std::string k = key;
        if (!b.bmp.empty()) {
            ini += k + "=" + k + ".bmp\n";
            files.push_back({k + ".bmp", b.bmp});
        }
        ini += k + "Frame=" + std::to_string(b.frames) + "\n" + k + "Trans=" + std::to_string(b.trans) +
               "\n" + b.extra;
    };
    border("Left", left);
    border("Right", right);
    border("Top", top);
    border("Bottom", bottom);
    ini += "[Colours]\nButtonFace=200 200 200\n" + moreIni;
    return skintest::Archive(ini, files);
}

void FrameTest::TearDown() {
    for (HWND w : windows_)
        if (IsWindow(w)) DestroyWindow(w);
    windows_.clear();
    forms_.clear();
    data_.reset();
    skintest::SkinDataTest::TearDown();
    wl::test::ExpectNoSwallowedFailures();
}

bool FrameTest::LoadSkin(const std::string& archive) {
    forms_.clear();
    data_ = std::make_unique<TSkinData>(nullptr);
    return Load(*data_, archive) && !data_->NotLoaded;
}

namespace {
const char* FrameClass() {
    static const char* name = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = "WlFrameTestWindow";
        RegisterClassA(&wc);
        return "WlFrameTestWindow";
    }();
    return name;
}
} // namespace

HWND FrameTest::MakeWindow(DWORD style, RECT b) {
    HWND w = CreateWindowExA(0, FrameClass(), "Frame test", style, b.left, b.top, b.right - b.left,
                             b.bottom - b.top, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (w) windows_.push_back(w);
    return w;
}

TWinSkinForm* FrameTest::Skin(HWND window) {
    auto form = std::make_unique<TWinSkinForm>(nullptr);
    form->SetHandle(window);
    form->AttachWindow(data_.get());
    SendMessageW(window, SKM_STARTSKIN, 0, 1000);
    forms_.push_back(std::move(form));
    return forms_.back().get();
}

SIZE FrameTest::WindowSize(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

RECT FrameTest::ClientInWindow(HWND window) {
    RECT wr, cr;
    GetWindowRect(window, &wr);
    GetClientRect(window, &cr);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    return RECT{origin.x - wr.left, origin.y - wr.top, origin.x - wr.left + cr.right,
                origin.y - wr.top + cr.bottom};
}

} // namespace frametest
