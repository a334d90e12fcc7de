// Fixture of the control companion tests.
#include "controls_fixture.h"

#include "skin/archive/skin_reader.h"
#include "skin/draw/skin_draw.h"
#include "skin/data/skin_elements.h"
#include "support/gui.h"
#include "support/swallowed_check.h"
#include "ui/comctl32_calls.h"

#include "tools/skinpack/container.h"
#include "tools/skinpack/lzh_encoder.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <sstream>

namespace skincontrols {

using namespace wl;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

namespace {

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

std::string Trimmed(const std::string& s) {
    size_t a = 0, b = s.size();
    while (a < b && static_cast<unsigned char>(s[a]) <= ' ') ++a;
    while (b > a && static_cast<unsigned char>(s[b - 1]) <= ' ') --b;
    return s.substr(a, b - a);
}

// The INI text without the cut sections and keys.
std::string CutIni(const std::string& ini, const std::vector<std::string>& cuts) {
    std::istringstream in(ini);
    std::string out, line, section;
    while (std::getline(in, line)) {
        const std::string t = Trimmed(line);
        if (!t.empty() && t.front() == '[' && t.back() == ']') section = Lower(t.substr(1, t.size() - 2));
        const std::string key = Lower(Trimmed(t.substr(0, t.find('='))));
        const bool cut = std::any_of(cuts.begin(), cuts.end(), [&](const std::string& c) {
            const size_t slash = c.find('/');
            if (slash == std::string::npos) return Lower(c) == section;
            return Lower(c.substr(0, slash)) == section && t.find('=') != std::string::npos &&
                   Lower(c.substr(slash + 1)) == key;
        });
        if (!cut) out += line + "\n";
    }
    return out;
}

} // namespace

std::string DefaultSkinWithout(const std::vector<std::string>& cuts) {
    TSkinReader reader;
    if (!reader.LoadArchive(ReadFile(WL_DEFAULT_SKIN))) return {};
    std::string iniName;
    const std::string ini = CutIni(std::string(reader.GetEntryContaining(".ini", iniName)), cuts);
    const std::string lowerIni = Lower(ini);
    std::vector<skinpack::SkinEntry> entries;
    for (const std::string& name : reader.Names()) {
        if (name == iniName) entries.push_back({name, ini});
        else if (lowerIni.find(name) != std::string::npos)
            entries.push_back({name, std::string(reader.GetEntryByName(name))});
    }
    return skinpack::LzhCompress(skinpack::BuildSkinContainer(entries));
}

void SkinControlsTest::SetUpTestSuite() {
    Application->Initialize();
    // Some tests make common controls of their own, as a foreign dialog holds them; the library's
    // controls register what they use themselves.
    InitCommonControlClasses(ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_USEREX_CLASSES | ICC_COOL_CLASSES);
    TSkinManage::Register();
}

void SkinControlsTest::SetUp() {
    errors_.clear();
    Application->OnException = [this](TObject*, const std::string& message) { errors_.push_back(message); };
    TSkinManagerLink::Destroy();
    manager_ = dynamic_cast<TSkinManage*>(&TSkinManagerLink::Create());
    ASSERT_NE(manager_, nullptr);
    data_ = std::make_unique<TSkinData>(nullptr);
    data_->SkinBytes = ReadFile(WL_DEFAULT_SKIN);
    ASSERT_TRUE(data_->LoadSkin());
    ASSERT_FALSE(data_->NotLoaded);
    manager_->AddSkinData(data_.get());
    manager_->SetSkinning(true);
    manager_->MarkRunning();
    form_ = std::make_unique<TForm>(nullptr);
    form_->SetBounds(80, 80, 420, 320);
    form_->SetCaption("Controls");
    form_->Show();
    wl::test::PumpMessages(0);
}

void SkinControlsTest::TearDown() {
    TSkinManagerLink::Destroy();
    manager_ = nullptr;
    form_.reset();
    data_.reset();
    wl::test::PumpMessages(0);
    Application->OnException = nullptr;
    EXPECT_TRUE(errors_.empty()) << errors_.front();
    wl::test::ExpectNoSwallowedFailures();
}

TSkinControl* SkinControlsTest::Attach(const char* className, TWinControl* control, bool colorize) {
    TSkinControl* c = CreateCompanion(className, control);
    if (c) c->Attach(TAttachContext::ForControl(nullptr, data_.get(), nullptr, colorize));
    return c;
}

TWinSkinForm* SkinControlsTest::SkinForm() {
    HWND window = form_->Handle();
    if (!manager_->SkinWindow(window)) return nullptr;
    TWinSkinForm* f = manager_->FindForm(window);
    wl::test::PumpUntil([f] { return f->State() != sfsCreated; }, 2000);
    wl::test::PumpMessages(0);
    return f;
}

void SkinControlsTest::Repaint(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    wl::test::PumpMessages(0);
}

COLORREF ElementPixel(TDataSkinObject& element, int frames, int frame, SIZE size, int x, int y) {
    TElementDraw d = ElementDraw(element, frame);
    d.Frames = frames;
    auto image = BuildElementImage(RECT{0, 0, size.cx, size.cy}, d);
    if (!image) return CLR_INVALID;
    return GetPixel(image->Canvas().Handle(), x, y);
}

} // namespace skincontrols
