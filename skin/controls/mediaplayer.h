// Media players: TSkinMP covers the player with TWMediaPlayer, a panel that draws the player's
// buttons as skin push buttons (with the player's glyphs) and passes every click through to the
// player, which still carries out the command and raises its events.
//
// The panel's layout and hit test are window-free functions so they can be tested on their own.
#pragma once

#include "skin/controls/skin_control.h"
#include "ui/extctrls.h"

#include <array>
#include <string>
#include <string_view>

namespace wl {

class TSkinMP;

inline constexpr int kMediaButtonKinds = 9;
inline constexpr int kNoMediaButton = 9;
// Glyph resource names and the player's set member names, by button index.
extern const std::array<const char*, kMediaButtonKinds> kMediaGlyphNames;
extern const std::array<const char*, kMediaButtonKinds> kMediaButtonMembers;

// The buttons (bit i for button index i) named in a set property's text ("[btPlay, btStop]").
unsigned MediaButtonsFromText(std::string_view setText);
// The button under x: walking the visible buttons in index order, each `buttonWidth` wide, the
// first whose span [s, s + buttonWidth] (both ends included) holds x; kNoMediaButton when none.
int MediaPanelHitTest(unsigned visible, int buttonWidth, int x);

class TWMediaPlayer : public TCustomPanel {
    WL_CLASS(TWMediaPlayer, TCustomPanel)
public:
    enum { glEnabled, glDisabled, glColored };
    struct TButtonFace {
        bool Visible = false, Enabled = false, Colored = false;
        std::array<TBitmap, 3> Glyphs; // enabled, disabled, coloured
    };

    explicit TWMediaPlayer(TComponent* owner);
    ~TWMediaPlayer() override;
    void Notification(TComponent* component, TOperation operation) override;

    // Covers `player` (same parent, same bounds, in front of it).
    void SetUp(TSkinMP* skin, TControl* player);
    // Copies the player's bounds again.
    void FollowPlayer();
    // Reads the player's visible, enabled and coloured buttons.
    void ReadButtonStates();
    int HitTest(int x) const { return MediaPanelHitTest(VisibleSet(), FButtonWidth, x); }

    std::array<TButtonFace, kMediaButtonKinds> FButtons;
    TSkinData* FSkinData = nullptr; // not owned
    bool FPressed = false;
    int FDownButton = kNoMediaButton;
    int FHitButton = kNoMediaButton;
    int FButtonWidth = 0;
    int FVisibleCount = 0;
    TControl* FPlayer = nullptr; // not owned
    TSkinMP* FSkin = nullptr;    // not owned

protected:
    void Paint() override;
    void WndProc(TMessage& m) override;

private:
    unsigned VisibleSet() const;
    void LoadGlyphs();
    void LButtonDown(TMessage& m);
    void LButtonUp(TMessage& m);
    // Hands a mouse message to the player, at the centre of button `button` in the player's own
    // layout (or outside every button for kNoMediaButton).
    void DeliverToPlayer(UINT msg, WPARAM keys, int button);
};

class TSkinMP : public TSkinControl {
    WL_CLASS(TSkinMP, TSkinControl)
public:
    explicit TSkinMP(TComponent* owner);
    ~TSkinMP() override;
    void Notification(TComponent* component, TOperation operation) override;
    bool OnAttach(const TAttachContext& context) override;
    void AfterMessage(TMessage& m) override;
    void Restore() override;
    void SkinChanged() override;
    // Whether the skin has the push-button cells the panel draws from; without them the player
    // shows its own buttons.
    bool PanelDrawn() const;

    std::unique_ptr<TWMediaPlayer> FPanel; // the skinned control panel over the player

private:
    // Covers the player with the panel, or uncovers it, as the skin says.
    void UpdatePanel();
};

} // namespace wl
