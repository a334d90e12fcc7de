// TSkinData: published properties, the stored skin bytes, loading and the manager calls (see
// skin_data.h); and the link to the skin manager (skin_manager_link.h).
#include "skin/data/skin_data.h"

#include "skin/archive/quick_ini.h"
#include "skin/archive/skin_reader.h"
#include "skin/data/skin_manager_link.h"
#include "skin/data/skin_values.h"
#include "ui/forms.h"

#include <algorithm>
#include <cstring>

namespace wl {

WL_DEFINE_ABSTRACT_CLASS(TDataSkinObject, WL_NO_PROPERTIES)
WL_DEFINE_ABSTRACT_CLASS(TDataSkinBorder, WL_NO_PROPERTIES)
WL_DEFINE_ABSTRACT_CLASS(TDataSkinTitle, WL_NO_PROPERTIES)
WL_DEFINE_ABSTRACT_CLASS(TDataSkinButton, WL_NO_PROPERTIES)
WL_DEFINE_ABSTRACT_CLASS(TDataSkinSysButton, WL_NO_PROPERTIES)
WL_DEFINE_ABSTRACT_CLASS(TDataSkinBoxLabel, WL_NO_PROPERTIES)

namespace {

constexpr TEnumMember kControlTypes[] = {
    {"xcMainMenu", 1 << 0},     {"xcPopupMenu", 1 << 1},    {"xcMenuItem", 1 << 2},
    {"xcToolbar", 1 << 3},      {"xcControlbar", 1 << 4},   {"xcCombo", 1 << 5},
    {"xcCheckBox", 1 << 6},     {"xcRadioButton", 1 << 7},  {"xcProgress", 1 << 8},
    {"xcScrollbar", 1 << 9},    {"xcEdit", 1 << 10},        {"xcButton", 1 << 11},
    {"xcBitBtn", 1 << 12},      {"xcSpeedButton", 1 << 13}, {"xcSpin", 1 << 14},
    {"xcPanel", 1 << 15},       {"xcGroupBox", 1 << 16},    {"xcStatusBar", 1 << 17},
    {"xcTab", 1 << 18},         {"xcTrackBar", 1 << 19},    {"xcSystemMenu", 1 << 20},
    {"xcFastReport", 1 << 21}};

// The archive reader's one message ("This is Older Skin File") becomes a message box with one
// OK button, captioned with the program's name.
void ShowSkinMessage(std::string_view text) {
    std::string title;
    if (Application) title = Application->Title();
    if (title.empty()) {
        char path[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        title = path;
        title = title.substr(title.find_last_of("\\/") + 1);
        if (auto dot = title.rfind('.'); dot != std::string::npos) title.resize(dot);
    }
    MessageBoxA(GetActiveWindow(), std::string(text).c_str(), title.c_str(), MB_OK);
}

void ConnectMessageSink() {
    static bool connected = false;
    if (connected) return;
    connected = true;
    SetSkinMessageSink(ShowSkinMessage);
}

bool HasUser32(const char* name) {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32 && GetProcAddress(user32, name) != nullptr;
}

} // namespace

WL_DEFINE_CLASS(TSkinData, [](ClassBuilder<TSkinData>& c) {
    c.Bool("Active", &TSkinData::Active, &TSkinData::SetActive);
    c.Int("DisableTag", &TSkinData::DisableTag, &TSkinData::SetDisableTag);
    c.Set("SkinControls", &TSkinData::SkinControls, &TSkinData::SetSkinControls,
          {kControlTypes[0], kControlTypes[1], kControlTypes[2], kControlTypes[3],
           kControlTypes[4], kControlTypes[5], kControlTypes[6], kControlTypes[7],
           kControlTypes[8], kControlTypes[9], kControlTypes[10], kControlTypes[11],
           kControlTypes[12], kControlTypes[13], kControlTypes[14], kControlTypes[15],
           kControlTypes[16], kControlTypes[17], kControlTypes[18], kControlTypes[19],
           kControlTypes[20], kControlTypes[21]});
    c.Set("Options", &TSkinData::Options, &TSkinData::SetOptions,
          {{"xoMDIScrollbar", 1 << 0}, {"xoMenuMerge", 1 << 1}, {"xoTransparent", 1 << 2},
           {"xoPreview", 1 << 3}, {"xoParentBackGround", 1 << 4}, {"xoNoFocusRect", 1 << 5},
           {"xoToolbarBK", 1 << 6}, {"xoMDIChildBorder", 1 << 7}, {"xoMenuBG", 1 << 8}});
    c.Object("Skin3rd", [](TSkinData& d) { return d.Skin3rd(); });
    c.Str("SkinFile", &TSkinData::SkinFile, &TSkinData::SetSkinFile);
    c.Str("SkinStore", &TSkinData::SkinStore, &TSkinData::SetSkinStore);
    c.Enum("SkinFormtype", &TSkinData::SkinFormtype, &TSkinData::SetSkinFormtype,
           {{"sfMainform", sfMainform}, {"sfOnlyThisForm", sfOnlyThisForm},
            {"sfDialog", sfDialog}, {"sfDLL", sfDLL}});
    c.Str("Version", &TSkinData::Version, &TSkinData::SetVersion);
    c.Bool("MenuUpdate", &TSkinData::MenuUpdate, &TSkinData::SetMenuUpdate);
    c.Bool("MenuMerge", &TSkinData::MenuMerge, &TSkinData::SetMenuMerge);
    c.Event("OnFormSkin", &TSkinData::OnFormSkin);
    c.Event("OnSkinChanged", &TSkinData::OnSkinChanged);
    c.Event("OnSkinControl", &TSkinData::OnSkinControl);
})

TSkinData::TSkinData(TComponent* owner) : TComponent(owner) {
    ConnectMessageSink();
    FSkin3rd.SetLines(DefaultSkin3rd());
    Buttons = std::make_unique<TDataSkinButton>("Buttons");
    BorderLeft = std::make_unique<TDataSkinBorder>("Left");
    BorderRight = std::make_unique<TDataSkinBorder>("Right");
    BorderTop = std::make_unique<TDataSkinBorder>("Top");
    BorderBottom = std::make_unique<TDataSkinBorder>("Bottom");
    Title = std::make_unique<TDataSkinTitle>("Title");
    if (LoadBuiltinBitmap(MenuGlyphs, "TERVIKMENU")) {
        MenuGlyphs.SetTransparentColor(clWhite);
        MenuGlyphs.SetTransparent(true);
    }
}

TSkinData::~TSkinData() {
    if (TSkinManagerLink* m = TSkinManagerLink::Instance()) m->RemoveSkinData(this);
    // Records, bitmaps, the font and the face brush are owned members.
}

void TSkinData::SetActive(bool value) {
    if (value == FActive) return;
    FActive = value;
    if (Reading() || Designing()) return; // Loaded acts on the stored value
    if (FSkinFormtype == sfDialog || FSkinFormtype == sfDLL) return;
    // A component that was never read from a form gets the manager on demand.
    TSkinManagerLink& m = TSkinManagerLink::Create();
    if (FSkinFormtype == sfMainform) {
        if (value) {
            if (NotLoaded) return;
            m.SetPendingSkinData(this);
            m.Schedule(skaSkinAll, 250);
            m.MarkRunning();
        } else {
            m.SetPendingSkinData(this);
            m.Schedule(skaUnskinAll, 250);
        }
    } else { // sfOnlyThisForm
        m.SetPendingSkinData(this);
        if (value) {
            if (NotLoaded) return;
            m.Schedule(skaSkinAll, 250);
        } else {
            m.Schedule(skaUnskinAll, 250);
        }
    }
}

void TSkinData::SetSkinFile(const std::string& name) {
    NotLoaded = true;
    FSkinFile = name;
    if (Designing()) {
        if (!name.empty()) SkinBytes.clear(); // a file replaces the embedded skin
        return;
    }
    DWORD attrs = GetFileAttributesA(name.c_str());
    if (name.empty() || attrs == INVALID_FILE_ATTRIBUTES || (attrs & FILE_ATTRIBUTE_DIRECTORY))
        return;
    HANDLE h = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    std::string bytes;
    char buf[65536];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(h, buf, sizeof buf, &got, nullptr)) && got > 0) bytes.append(buf, got);
    CloseHandle(h);
    if (!ok) return;
    SkinBytes = std::move(bytes);
    LoadSkin();
    if (FSkinFormtype == sfMainform) ApplySkin();
}

std::string TSkinData::SkinStore() const {
    return Designing() && !SkinBytes.empty() ? "(Good)" : "(none)";
}

std::optional<std::string> TSkinData::Skin3rdKind(const std::string& className) const {
    return wl::Skin3rdKind(FSkin3rd.Lines(), className);
}

bool TSkinData::LoadSkin() {
    NotLoaded = true;
    if (Designing()) return false;
    TSkinReader reader;
    if (!reader.LoadArchive(SkinBytes)) return false;
    TQuickIni ini;
    std::string iniName;
    ini.LoadFromText(reader.GetEntryContaining(".ini", iniName));
    // Skinned windows hold title-bar buttons that point into the records about to be refilled.
    TSkinManagerLink* manager = TSkinManagerLink::Instance();
    if (manager) manager->SkinDataReloading(this);
    try {
        LoadSkinDefinition(*this, ini, reader);
    } catch (const std::exception&) {
        // The skin engine reports nothing; a load cut short leaves the skin not loaded.
        NotLoaded = true;
    }
    if (manager && manager == TSkinManagerLink::Instance()) manager->SkinDataReloaded(this);
    return true;
}

void TSkinData::ApplySkin() {
    if (Designing() || Reading()) return;
    if (!TSkinManagerLink::Instance()) Loaded();
    TSkinManagerLink& m = *TSkinManagerLink::Instance();
    m.SetPendingSkinData(this);
    m.RefreshSkinData();
    if (m.Running()) m.Schedule(skaReskin, 250);
}

void TSkinData::FilterWindow(HWND /*window*/, const std::string& className, bool& doSkin) {
    if (OnFormSkin) {
        OnFormSkin(this, className, doSkin);
        return;
    }
    if (className == "SysMonthCal32") doSkin = false;
    else if ((FSkinControls & SkinControlBit(xcFastReport)) && className.rfind("Tfr", 0) == 0)
        doSkin = false;
}

void TSkinData::Loaded() {
    TComponent::Loaded();
    if (Designing()) return;
    if (!HasUser32("GetScrollBarInfo")) FSkinControls &= ~SkinControlBit(xcScrollbar);
    TSkinManagerLink& m = TSkinManagerLink::Create();
    m.AddSkinData(this);
    MakeCaptionFont();
    if (FSkinFormtype != sfMainform) {
        m.SetSkinning(true);
        m.ComponentStarted();
        if (auto* form = dynamic_cast<TCustomForm*>(Owner()); form && FActive)
            m.SkinWindow(form->Handle());
        return;
    }
    m.InstallHook();
    if (FActive) {
        if (NotLoaded) FActive = false;
        else m.Schedule(skaSkinAll, 250);
    }
    if (FSkinControls & SkinControlBit(xcMainMenu)) FSkinControls &= ~SkinControlBit(xcMenuItem);
    else FSkinControls &= ~SkinControlBit(xcSystemMenu);
    MakeAppIcon();
}

void TSkinData::MakeCaptionFont() {
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof ncm;
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0)) return;
    const LOGFONTA& lf = ncm.lfCaptionFont;
    CaptionFont.SetName(lf.lfFaceName);
    CaptionFont.SetHeight(lf.lfHeight);
    CaptionFont.SetCharset(lf.lfCharSet);
    TFontStyles st = 0;
    if (lf.lfWeight >= FW_BOLD) st |= 1u << fsBold;
    if (lf.lfItalic) st |= 1u << fsItalic;
    if (lf.lfUnderline) st |= 1u << fsUnderline;
    if (lf.lfStrikeOut) st |= 1u << fsStrikeOut;
    CaptionFont.SetStyle(st);
}

void TSkinData::MakeAppIcon() {
    AppIcon.Clear();
    // The application window is the hidden owner of the program's top-level forms.
    if (!Application) return;
    HWND app = Application->Handle();
    if (!app) return;
    HICON icon = reinterpret_cast<HICON>(SendMessageA(app, WM_GETICON, ICON_SMALL, 0));
    if (!icon) icon = reinterpret_cast<HICON>(SendMessageA(app, WM_GETICON, ICON_BIG, 0));
    if (!icon) return;
    const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    UniqueIcon copy(static_cast<HICON>(CopyImage(icon, IMAGE_ICON, cx, cy, 0)));
    if (!copy) return;
    AppIcon.SetPixelFormat(pf24bit);
    AppIcon.SetSize(cx, cy);
    HDC dc = AppIcon.Canvas().Handle();
    UniqueBrush key(CreateSolidBrush(RGB(255, 0, 255)));
    RECT r{0, 0, cx, cy};
    FillRect(dc, &r, key.get());
    DrawIconEx(dc, 0, 0, copy.get(), cx, cy, 0, nullptr, DI_NORMAL);
    AppIcon.SetTransparentColor(0xFF00FF);
    AppIcon.SetTransparent(true);
}

bool TSkinData::ReadBinaryProperty(const std::string& name, const std::string& bytes) {
    if (AsciiLower(name) != "skinstream") return TComponent::ReadBinaryProperty(name, bytes);
    if (bytes.size() < 4) return true; // no length: nothing to read
    int32_t n = 0;
    std::memcpy(&n, bytes.data(), 4); // little-endian on every Windows target
    if (n <= 0) return true;
    // A length beyond the bytes present takes what is there: the archive check refuses it.
    SkinBytes.assign(bytes, 4, std::min<size_t>(static_cast<size_t>(n), bytes.size() - 4));
    if (!Designing()) LoadSkin();
    return true;
}

void TSkinData::WriteBinaryProperties(
    std::vector<std::pair<std::string, std::string>>& out) const {
    TComponent::WriteBinaryProperties(out);
    const int32_t n = static_cast<int32_t>(SkinBytes.size());
    std::string value(4, '\0');
    std::memcpy(value.data(), &n, 4);
    value += SkinBytes;
    out.emplace_back("SkinStream", std::move(value));
}

bool LoadBuiltinBitmap(TBitmap& target, const char* resourceName) {
    HINSTANCE self = GetModuleHandleA(nullptr);
    if (!FindResourceA(self, resourceName, MAKEINTRESOURCEA(2) /* RT_BITMAP */)) return false;
    try {
        target.LoadFromResourceName(self, resourceName);
        return true;
    } catch (const std::exception&) {
        target.Clear();
        return false;
    }
}

// ---- the manager link --------------------------------------------------------------------------

namespace {

// The manager a program gets when no window layer registered one: it keeps the components and
// the shared state, and skins no window.
class TWindowlessManager : public TSkinManagerLink {
public:
    void AddSkinData(TSkinData* data) override {
        if (std::find(FSkinData.begin(), FSkinData.end(), data) == FSkinData.end()) FSkinData.push_back(data);
    }
    void RemoveSkinData(TSkinData* data) override {
        FSkinData.erase(std::remove(FSkinData.begin(), FSkinData.end(), data), FSkinData.end());
        if (PendingSkinData() == data) SetPendingSkinData(nullptr);
    }
    void InstallHook() override {}
    void Schedule(int action, int) override {
        if (Phase() == TManagerPhase::Idle && (action == skaSkinAll || action == skaUnskinAll))
            SetSkinning(action == skaSkinAll);
    }
    bool SkinWindow(HWND) override { return false; }
    void RefreshSkinData() override {}

private:
    std::vector<TSkinData*> FSkinData;
};

std::unique_ptr<TSkinManagerLink>& TheManager() {
    static std::unique_ptr<TSkinManagerLink> manager;
    return manager;
}
TSkinManagerLink::Factory& TheFactory() {
    static TSkinManagerLink::Factory factory = nullptr;
    return factory;
}

} // namespace

TSkinManagerLink* TSkinManagerLink::Instance() { return TheManager().get(); }

TSkinManagerLink& TSkinManagerLink::Create() {
    if (!TheManager()) {
        std::unique_ptr<TSkinManagerLink> made;
        if (TheFactory()) made = TheFactory()();
        if (!made) made = std::make_unique<TWindowlessManager>();
        TheManager() = std::move(made);
    }
    return *TheManager();
}

void TSkinManagerLink::Destroy() {
    // Take it out first: whatever the manager's end touches sees no manager any more.
    std::unique_ptr<TSkinManagerLink> manager = std::move(TheManager());
    manager.reset();
}

void TSkinManagerLink::SetFactory(Factory factory) { TheFactory() = factory; }

} // namespace wl
