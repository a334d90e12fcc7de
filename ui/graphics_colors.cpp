// Colour values: system colour resolution and the names form definitions use.
#include "ui/graphics_colors.h"

#include "ui/classes.h"
#include "ui/sysutils.h"

#include <windows.h>

#include <cstdio>

namespace wl {
namespace {

struct NamedColor {
    TColor color;
    const char* name;
};

// The first name of a colour is the one written back (clGray rather than clDkGray).
constexpr NamedColor kNames[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clLtGray, "clLtGray"},
    {clDkGray, "clDkGray"},
    {clScrollBar, "clScrollBar"},
    {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"},
    {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"},
    {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"},
    {clHotLight, "clHotLight"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuBar, "clMenuBar"},
    {clNone, "clNone"},
    {clDefault, "clDefault"},
};

// Lets the property system read and write colour names (Color = clBtnFace).
const bool kHooksInstalled = [] {
    TColorIdentHooks hooks;
    hooks.identToColor = [](const std::string& ident, int32_t& color) { return IdentToColor(ident, color); };
    hooks.colorToIdent = [](int32_t color, std::string& ident) { return ColorToIdent(color, ident); };
    SetColorIdentHooks(hooks);
    return true;
}();

} // namespace

TColor ColorToRGB(TColor color) {
    if (color < 0) return static_cast<TColor>(GetSysColor(color & 0xFF));
    return color;
}

bool ColorToIdent(TColor color, std::string& ident) {
    for (const auto& n : kNames)
        if (n.color == color) {
            ident = n.name;
            return true;
        }
    return false;
}

bool IdentToColor(std::string_view ident, TColor& color) {
    for (const auto& n : kNames)
        if (SameText(ident, n.name)) {
            color = n.color;
            return true;
        }
    return false;
}

std::string ColorToString(TColor color) {
    std::string ident;
    if (ColorToIdent(color, ident)) return ident;
    char buf[16];
    std::snprintf(buf, sizeof buf, "$%.8X", static_cast<unsigned>(color));
    return buf;
}

TColor StringToColor(std::string_view text) {
    TColor color;
    if (IdentToColor(text, color)) return color;
    return StrToInt(text);
}

} // namespace wl
