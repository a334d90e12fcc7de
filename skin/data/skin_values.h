// Value formats of skin definitions and other pure rules of skin loading: colour triples,
// split colours, image names, the frame count of title-bar buttons and the class-to-kind list
// ("Skin3rd"). Portable code (no Win32): tested natively.
#pragma once

#include "skin/archive/quick_ini.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wl {

// Colours here are TColor values: 0x00BBGGRR.
constexpr int32_t SkinRgb(int r, int g, int b) {
    return static_cast<int32_t>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

// "R G B" in any separators: runs of decimal digits are numbers; a run ended by another
// character is the next component (red, green, blue), runs after the third are ignored; when
// the text ends after exactly two components its last run is blue. Missing components are 0;
// each is taken modulo 256. "10 20" is (10, 0, 0); "128" is black.
int32_t ParseColourTriple(std::string_view text);

// The colour-triple key, or `def` when it is missing or empty.
int32_t ReadColourTriple(const TQuickIni& ini, std::string_view section, std::string_view key,
                         int32_t def);

// Keys prefix+"R", +"G", +"B" (default -1 each): only when all three are 0 or more is `field`
// set, to (R, G, B) each modulo 256. Returns whether it was set.
bool ReadSplitColour(const TQuickIni& ini, std::string_view section, std::string_view prefix,
                     int32_t& field);

// The archive entry an image value names: everything up to the last "\" or ":" is dropped;
// the rest must be non-empty and end in exactly ".bmp" (case-sensitive). Nothing otherwise.
std::optional<std::string> ImageEntryName(std::string_view value);

// Frame count of a title-bar button: a non-zero "frame" key is kept with the image. Otherwise
// 3 cells for an image at most 3.8 times as wide as high, 6 for wider ones, for no image and
// for negative actions; the icon actions 3 and 11 lose their image.
struct TSysButtonFrame {
    int32_t Frame = 0;
    bool ClearImage = false;
};
TSysButtonFrame ChooseSysButtonFrame(int32_t frameKey, int imageWidth, int imageHeight,
                                     int32_t action);

// Check and radio glyph cells when the skin does not say: 16-pixel cells for images at least
// 16 high, 13-pixel ones otherwise, and at least 4.
int32_t GlyphFrameCount(int imageWidth, int imageHeight);

// The class-to-kind list: the first line that begins, ignoring case, with the class name and
// "=" decides; the kind is the text after the first "=", lower-cased and cut to 50 characters.
// Nothing when no line names the class.
std::optional<std::string> Skin3rdKind(const std::vector<std::string>& lines,
                                       std::string_view className);

// The list a new skin data component starts with (117 lines).
const std::vector<std::string>& DefaultSkin3rd();

// Lower-cases A-Z only (other bytes, including code-page lead bytes, stay as they are).
std::string AsciiLower(std::string_view text);

} // namespace wl
