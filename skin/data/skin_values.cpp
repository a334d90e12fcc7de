// Value formats and pure rules of skin loading (see skin_values.h).
#include "skin/data/skin_values.h"

#include <algorithm>

namespace wl {

std::string AsciiLower(std::string_view text) {
    std::string s(text);
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

namespace {
std::string_view TrimView(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= 32) s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= 32) s.remove_suffix(1);
    return s;
}
} // namespace

int32_t ParseColourTriple(std::string_view text) {
    text = TrimView(text);
    int comp[3] = {0, 0, 0};
    int count = 0;
    bool inRun = false;
    int run = 0; // value of the current run, modulo 256 (so long runs cannot overflow)
    for (char ch : text) {
        if (ch >= '0' && ch <= '9') {
            run = inRun ? (run * 10 + (ch - '0')) % 256 : (ch - '0');
            inRun = true;
        } else if (inRun) {
            if (count < 3) comp[count] = run;
            ++count;
            inRun = false;
        }
    }
    // A run that the end of the text closes counts only as the blue of a two-component text.
    if (inRun && count == 2) comp[2] = run;
    return SkinRgb(comp[0], comp[1], comp[2]);
}

int32_t ReadColourTriple(const TQuickIni& ini, std::string_view section, std::string_view key,
                         int32_t def) {
    const std::string v = ini.ReadString(section, key, "");
    return v.empty() ? def : ParseColourTriple(v);
}

bool ReadSplitColour(const TQuickIni& ini, std::string_view section, std::string_view prefix,
                     int32_t& field) {
    const std::string p(prefix);
    const int32_t r = ini.ReadInteger(section, p + "R", -1);
    const int32_t g = ini.ReadInteger(section, p + "G", -1);
    const int32_t b = ini.ReadInteger(section, p + "B", -1);
    if (r < 0 || g < 0 || b < 0) return false;
    field = SkinRgb(r % 256, g % 256, b % 256);
    return true;
}

std::optional<std::string> ImageEntryName(std::string_view value) {
    const size_t cut = value.find_last_of("\\:");
    if (cut != std::string_view::npos) value.remove_prefix(cut + 1);
    if (value.empty()) return std::nullopt;
    const size_t dot = value.rfind('.');
    if (dot == std::string_view::npos || value.substr(dot) != ".bmp") return std::nullopt;
    return std::string(value);
}

TSysButtonFrame ChooseSysButtonFrame(int32_t frameKey, int imageWidth, int imageHeight,
                                     int32_t action) {
    TSysButtonFrame r;
    if (frameKey != 0) {
        r.Frame = frameKey;
        return r;
    }
    r.Frame = 6;
    if (imageWidth > 0 && imageHeight > 0)
        r.Frame = static_cast<double>(imageWidth) / imageHeight <= 3.8 ? 3 : 6;
    if (action < 0) r.Frame = 6;
    r.ClearImage = action == 3 || action == 11;
    return r;
}

int32_t GlyphFrameCount(int imageWidth, int imageHeight) {
    const int cell = imageHeight >= 16 ? 16 : 13;
    return std::max(4, imageWidth / cell);
}

std::optional<std::string> Skin3rdKind(const std::vector<std::string>& lines,
                                       std::string_view className) {
    const std::string want = AsciiLower(className) + "=";
    for (const std::string& line : lines) {
        if (line.size() < want.size() || AsciiLower(line.substr(0, want.size())) != want) continue;
        std::string kind = AsciiLower(line.substr(line.find('=') + 1));
        if (kind.size() > 50) kind.resize(50);
        return kind;
    }
    return std::nullopt;
}

const std::vector<std::string>& DefaultSkin3rd() {
    static const std::vector<std::string> lines = {
        "TCategoryButtons=scrollbar", "TPngBitBtn=pngbitbtn", "TVirtualStringTree=scrollbar",
        "TVirtualDrawTree=scrollbar", "TTBXDockablePanel=Panel", "TAdvPanelGroup=scrollbar",
        "TComboboxex=combobox", "TRxSpeedButton=speedbutton", "THTMLViewer=scrollbar",
        "TDBCtrlGrid=scrollbar", "TfrSpeedButton=speedbutton", "TfrTBButton=speedbutton",
        "TControlBar=Panel", "TTBDock=Panel", "TTBToolbar=Panel", "TImageEnMView=scrollbar",
        "TImageEnView=scrollbar", "TAdvMemo=scrollbar", "TDBAdvMemo=scrollbar",
        "TcxDBLookupComboBox=combobox", "TcxDBComboBox=combobox", "TcxDBDateEdit=combobox",
        "TcxDBImageComboBox=combobox", "TcxDBCalcEdit=combobox", "TcxDBBlobEdit=combobox",
        "TcxDBPopupEdit=combobox", "TcxDBFontNameComboBox=combobox", "TcxDBShellComboBox=combobox",
        "TRxLookupEdit=combobox", "TRxDBLookupCombo=combobox", "TRzGroup=panel", "TRzButton=button",
        "TRzBitbtn=bitbtn", "TRzMenuButton=menubtn", "TRzCheckGroup=CheckGroup",
        "TRzRadioGroup=Radiogroup", "TRzButtonEdit=Edit", "TRzDBRadioGroup=Radiogroup",
        "TRzDBRadioButton=Radiobutton", "TRzDateTimeEdit=combobox", "TRzColorEdit=combobox",
        "TRzDateTimePicker=combobox", "TRzDBDateTimeEdit=combobox", "TRzDbColorEdit=combobox",
        "TRzDBDateTimePicker=combobox", "TLMDButton=bitbtn", "TLMDGroupBox=Groupbox",
        "TDBCheckboxEh=Checkbox", "TDBCheckboxEh=Checkbox", "TLMDCHECKBOX=Checkbox",
        "TLMDDBCHECKBOX=Checkbox", "TLMDRadiobutton=Radiobutton", "TLMDCalculator=panel",
        "TLMDGROUPBOX=Panel", "TLMDSIMPLEPANEL=Panel", "TLMDDBCalendar=Panel",
        "TLMDButtonPanel=Panel", "TLMDLMDCalculator=Panel", "TLMDHeaderPanel=Panel",
        "TLMDTechnicalLine=Panel", "TLMDLMDClock=Panel", "TLMDTrackbar=panel",
        "TLMDListCombobox=combobox", "TLMDCheckListCombobox=combobox",
        "TLMDHeaderListCombobox=combobox", "TLMDImageCombobox=combobox", "TLMDColorCombobox=combobox",
        "TLMDFontCombobox=combobox", "TLMDFontSizeCombobox=combobox", "TLMDFontSizeCombobox=combobox",
        "TLMDPrinterCombobox=combobox", "TLMDDriveCombobox=combobox",
        "TLMDCalculatorComboBox=combobox", "TLMDTrackBarComboBox=combobox",
        "TLMDCalendarComboBox=combobox", "TLMDTreeComboBox=combobox", "TLMDRADIOGROUP=radiogroup",
        "TLMDCheckGroup=CheckGroup", "TLMDDBRADIOGROUP=radiogroup", "TLMDDBCheckGroup=CheckGroup",
        "TLMDCalculatorEdit=edit", "TLMDEDIT=Edit", "TLMDMASKEDIT=Edit", "TLMDBROWSEEDIT=Edit",
        "TLMDEXTSPINEDIT=Edit", "TLMDCALENDAREDIT=Edit", "TLMDFILEOPENEDIT=Edit",
        "TLMDFILESAVEEDIT=Edit", "TLMDCOLOREDIT=Edit", "TLMDDBEDIT=Edit", "TLMDDBMASKEDIT=Edit",
        "TLMDDBEXTSPINEDIT=Edit", "TLMDDBSPINEDIT=Edit", "TLMDDBEDITDBLookup=Edit",
        "TLMDEDITDBLookup=Edit", "TDBLookupCombobox=Combobox", "TWWDBCombobox=Combobox",
        "TWWDBLookupCombo=Combobox", "TWWDBCombobox=Combobox", "TWWKeyCombo=Combobox",
        "TWWTempKeyCombo=combobox", "TWWDBDateTimePicker=Combobox", "TWWRADIOGROUP=radiogroup",
        "TWWDBEDIT=Edit", "TcxButton=bitbtn", "TcxDBRadioGroup=radiogroup",
        "TcxRadioGroup=radiogroup", "TcxGroupbox=groupbox", "TOVCPICTUREFIELD=Edit",
        "TOVCDBPICTUREFIELD=Edit", "TOVCSLIDEREDIT=Edit", "TOVCDBSLIDEREDIT=Edit",
        "TOVCSIMPLEFIELD=Edit", "TOVCDBSIMPLEFIELD=Edit", "TO32DBFLEXEDIT=Edit",
        "TOVCNUMERICFIELD=Edit", "TOVCDBNUMERICFIELD=Edit",
    };
    return lines;
}

} // namespace wl
