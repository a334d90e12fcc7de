// Media players: the covering panel that draws the player's buttons from the skin and passes
// clicks on to the player (see mediaplayer.h).
#include "skin/controls/mediaplayer.h"

#include "skin/data/skin_data.h"
#include "skin/data/skin_elements.h"
#include "skin/draw/skin_draw.h"
#include "skin/forms/win_skin_form.h"
#include "ui/graphics_colors.h"
#include "ui/graphics_handles.h"
#include "ui/mplayer.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace wl {

WL_DEFINE_CLASS(TWMediaPlayer, WL_NO_PROPERTIES)
WL_DEFINE_CLASS(TSkinMP, WL_NO_PROPERTIES)

const std::array<const char*, kMediaButtonKinds> kMediaGlyphNames = {
    "MPPLAY", "MPPAUSE", "MPSTOP", "MPNEXT", "MPPREV", "MPSTEP", "MPBACK", "MPRECORD", "MPEJECT"};
const std::array<const char*, kMediaButtonKinds> kMediaButtonMembers = {
    "btPlay", "btPause", "btStop", "btNext", "btPrev", "btStep", "btBack", "btRecord", "btEject"};

namespace {

// The glyphs' background colour (olive), replaced by the panel's face when a glyph is drawn.
constexpr TColor kGlyphKey = clOlive;
constexpr const char* kStatePrefixes[3] = {"EN", "DI", "CL"};

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '['))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == ']'))
        s.remove_suffix(1);
    return s;
}

} // namespace

unsigned MediaButtonsFromText(std::string_view setText) {
    unsigned set = 0;
    setText = Trimmed(setText);
    while (!setText.empty()) {
        const size_t comma = setText.find(',');
        const std::string_view item = Trimmed(setText.substr(0, comma));
        for (int i = 0; i < kMediaButtonKinds; ++i)
            if (SameName(item, kMediaButtonMembers[i])) set |= 1u << i;
        if (comma == std::string_view::npos) break;
        setText.remove_prefix(comma + 1);
    }
    return set;
}

int MediaPanelHitTest(unsigned visible, int buttonWidth, int x) {
    int s = 0;
    for (int i = 0; i < kMediaButtonKinds; ++i) {
        if (!(visible & (1u << i))) continue;
        if (s <= x && x <= s + buttonWidth) return i;
        s += buttonWidth;
    }
    return kNoMediaButton;
}

// ---- TWMediaPlayer
// -------------------------------------------------------------------------------

TWMediaPlayer::TWMediaPlayer(TComponent* owner) : TCustomPanel(owner) {
    SetBevelOuter(bvNone);
    LoadGlyphs();
}

TWMediaPlayer::~TWMediaPlayer() {
    if (FPlayer) FPlayer->RemoveFreeNotification(this);
}

void TWMediaPlayer::LoadGlyphs() {
    HINSTANCE module = GetModuleHandleW(nullptr);
    for (int i = 0; i < kMediaButtonKinds; ++i)
        for (int state = 0; state < 3; ++state) {
            TBitmap& glyph = FButtons[i].Glyphs[state];
            const std::string name = std::string(kStatePrefixes[state]) + "_" + kMediaGlyphNames[i];
            // FindResource first: a missing glyph is normal and should not cost an exception.
            // A glyph the module does not carry stays empty: its button shows the skin alone.
            if (!FindResourceA(module, name.c_str(), MAKEINTRESOURCEA(2))) continue;
            try {
                glyph.LoadFromResourceName(module, name);
            } catch (const Exception&) {
                glyph.Clear();
            }
        }
}

void TWMediaPlayer::Notification(TComponent* component, TOperation operation) {
    TCustomPanel::Notification(component, operation);
    if (operation == opRemove && component == FPlayer) FPlayer = nullptr;
}

void TWMediaPlayer::SetUp(TSkinMP* skin, TControl* player) {
    FPlayer = player;
    FPlayer->FreeNotification(this);
    FSkin = skin;
    FSkinData = skin ? skin->SkinData() : nullptr;
    // The form's discovery leaves controls with the disable tag alone, so the panel is never
    // skinned as a panel of its own.
    if (FSkinData) SetTag(FSkinData->DisableTag());
    FollowPlayer();
    SetParent(player->Parent());
    if (Parent()) {
        HandleNeeded();
        BringToFront();
    }
}

void TWMediaPlayer::FollowPlayer() {
    if (!FPlayer) return;
    SetBounds(FPlayer->Left(), FPlayer->Top(), FPlayer->Width(), FPlayer->Height());
    if (HandleAllocated()) BringToFront();
}

unsigned TWMediaPlayer::VisibleSet() const {
    unsigned set = 0;
    for (int i = 0; i < kMediaButtonKinds; ++i)
        if (FButtons[i].Visible) set |= 1u << i;
    return set;
}

void TWMediaPlayer::ReadButtonStates() {
    auto setOf = [this](const char* property) -> unsigned {
        if (!FPlayer) return 0;
        try {
            return MediaButtonsFromText(GetPropertyText(*FPlayer, property));
        } catch (const Exception&) {
            return 0;
        }
    };
    const unsigned visible = setOf("VisibleButtons");
    // The library's player may enable its buttons by device mode rather than EnabledButtons:
    // show the buttons that really react, as the player itself would.
    unsigned enabled = 0;
    if (auto* player = dynamic_cast<TMediaPlayer*>(FPlayer))
        enabled = player->ActiveButtons();
    else if (FPlayer && FPlayer->Enabled())
        enabled = setOf("EnabledButtons");
    const unsigned colored = setOf("ColoredButtons");
    FVisibleCount = 0;
    for (int i = 0; i < kMediaButtonKinds; ++i) {
        const unsigned bit = 1u << i;
        FButtons[i].Visible = (visible & bit) != 0;
        FButtons[i].Enabled = (enabled & bit) != 0;
        FButtons[i].Colored = (colored & bit) != 0;
        if (FButtons[i].Visible) ++FVisibleCount;
    }
    FButtonWidth = FVisibleCount ? Width() / FVisibleCount : 0;
}

void TWMediaPlayer::Paint() {
    ReadButtonStates();
    TCanvas& canvas = Canvas();
    const RECT all{0, 0, Width(), Height()};
    const TColor face = FSkinData ? FSkinData->ButtonFace : clBtnFace;
    if (FVisibleCount == 0 || all.right <= 0 || all.bottom <= 0) {
        FillColor(canvas.Handle(), all, face);
        return;
    }
    TBitmap buffer(all.right, all.bottom);
    TCanvas& bc = buffer.Canvas();
    bc.Brush().SetColor(face);
    HDC dc = bc.Handle();
    FillColor(dc, all, face);
    TDataSkinObject* element = FSkinData ? FSkinData->Buttons.get() : nullptr;
    int x = 0;
    for (int i = 0; i < kMediaButtonKinds; ++i) {
        TButtonFace& b = FButtons[i];
        if (!b.Visible) continue;
        const RECT r{x, 0, x + FButtonWidth, all.bottom};
        x += FButtonWidth;
        const int frame = !b.Enabled ? 3 : (FPressed && FDownButton == i) ? 2 : 1;
        if (HasElement(element)) DrawElement(dc, r, ElementDraw(*element, frame));
        TBitmap& glyph = b.Glyphs[!b.Enabled ? glDisabled : b.Colored ? glColored : glEnabled];
        if (glyph.Empty()) continue;
        const int shift = frame == 2 ? 1 : 0;
        const int gx = r.left + (FButtonWidth - glyph.Width()) / 2 + shift;
        const int gy = (all.bottom - glyph.Height()) / 2 + shift;
        // The glyph's olive background becomes the face colour (the canvas's brush).
        bc.BrushCopy(RECT{gx, gy, gx + glyph.Width(), gy + glyph.Height()}, glyph,
                     RECT{0, 0, glyph.Width(), glyph.Height()}, kGlyphKey);
    }
    BitBlt(canvas.Handle(), 0, 0, all.right, all.bottom, dc, 0, 0, SRCCOPY);
}

void TWMediaPlayer::DeliverToPlayer(UINT msg, WPARAM keys, int button) {
    auto* player = FPlayer;
    if (!player) return;
    // The player lays its buttons out itself (its widths may differ by a pixel from the even
    // split drawn here): aim at the middle of the same button in its layout, so the button
    // shown pressed is the one that acts.
    POINT at{-1, -1};
    if (button != kNoMediaButton) {
        unsigned visible = 0;
        for (int i = 0; i < kMediaButtonKinds; ++i)
            if (FButtons[i].Visible) visible |= 1u << i;
        for (const TMPButtonRect& r :
             MediaPlayerButtonRects(player->Width(), player->Height(), visible))
            if (r.button == button)
                at = POINT{(r.rect.left + r.rect.right) / 2, (r.rect.top + r.rect.bottom) / 2};
    }
    player->Perform(msg, keys, MAKELPARAM(at.x, at.y));
}

void TWMediaPlayer::LButtonDown(TMessage& m) {
    FPressed = true;
    TCustomPanel::WndProc(m);
    ReadButtonStates();
    const int hit = HitTest(static_cast<short>(LOWORD(m.LParam)));
    DeliverToPlayer(WM_LBUTTONDOWN, m.WParam, hit);
    // The player took the mouse for itself; the release must come back here instead, also when
    // it happens outside the panel, so a pressed button never stays pressed.
    ReleaseCapture();
    if (HandleAllocated()) SetCapture(HandleValue());
    FHitButton = hit;
    FDownButton = FHitButton;
    Invalidate();
}

void TWMediaPlayer::LButtonUp(TMessage& m) {
    FPressed = false;
    TCustomPanel::WndProc(m);
    if (HandleAllocated() && GetCapture() == HandleValue()) ReleaseCapture();
    FHitButton = HitTest(static_cast<short>(LOWORD(m.LParam)));
    const int down = FDownButton;
    FDownButton = FHitButton;
    Invalidate();
    // Released over the pressed button: the player acts. Anywhere else it only learns that the
    // button is up again, at a point outside all of its buttons.
    const bool click = FHitButton == down && down != kNoMediaButton;
    DeliverToPlayer(WM_LBUTTONUP, m.WParam, click ? down : kNoMediaButton);
}

void TWMediaPlayer::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: // the second press of a quick double click is a press too
        LButtonDown(m);
        break;
    case WM_LBUTTONUP:
        LButtonUp(m);
        break;
    default:
        TCustomPanel::WndProc(m);
        break;
    }
}

// ---- TSkinMP
// -------------------------------------------------------------------------------------

TSkinMP::TSkinMP(TComponent* owner) : TSkinControl(owner) {}

TSkinMP::~TSkinMP() {
    FPanel.reset();
}

void TSkinMP::Notification(TComponent* component, TOperation operation) {
    TSkinControl::Notification(component, operation);
}

bool TSkinMP::OnAttach(const TAttachContext& context) {
    if (context.Kind != TAttachKind::Control) return TSkinControl::OnAttach(context);
    if (!TSkinControl::OnAttach(context)) return false;
    UpdatePanel();
    return true;
}

bool TSkinMP::PanelDrawn() const { return FSkinData && HasElement(FSkinData->Buttons.get()); }

void TSkinMP::UpdatePanel() {
    if (!FControl || ControlGone()) return;
    if (!PanelDrawn()) {
        FPanel.reset();
        return;
    }
    if (FPanel) return;
    FPanel = std::make_unique<TWMediaPlayer>(nullptr);
    FPanel->SetUp(this, FControl);
    FPanel->SetVisible(FControl->Visible());
}

void TSkinMP::AfterMessage(TMessage& m) {
    switch (m.Msg) {
    case WM_WINDOWPOSCHANGED:
        if (FPanel && !ControlGone()) FPanel->FollowPlayer();
        break;
    case CM_VISIBLECHANGED:
        if (FPanel && FControl && !ControlGone()) FPanel->SetVisible(FControl->Visible());
        break;
    default:
        TSkinControl::AfterMessage(m);
        break;
    }
}

void TSkinMP::Restore() {
    TSkinControl::Restore();
    if (FLifeState == TLifeState::WindowDestroyed || !FPanel) return;
    FPanel.reset();
}

void TSkinMP::SkinChanged() {
    TSkinControl::SkinChanged();
    UpdatePanel();
    if (FPanel) {
        FPanel->FSkinData = FSkinData;
        FPanel->Invalidate();
    }
}

} // namespace wl
