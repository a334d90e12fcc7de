// Fixture of the control companion tests.
#include "controls_fixture.h"

#include "skin/draw/skin_draw.h"
#include "skin/data/skin_elements.h"
#include "support/gui.h"
#include "support/swallowed_check.h"

#include <fstream>
#include <iterator>

namespace skincontrols {

using namespace wl;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void SkinControlsTest::SetUpTestSuite() {
    Application->Initialize();
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
