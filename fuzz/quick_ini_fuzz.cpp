// Fuzz target: the INI reader on arbitrary text, looking up every section with keys taken from
// its own lines.
#include "skin/archive/quick_ini.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view in(reinterpret_cast<const char*>(data), size);
    wl::TQuickIni ini;
    ini.LoadFromText(in);
    std::vector<std::string> lines = ini.Lines();
    for (const std::string& section : ini.ReadSections()) {
        for (size_t i = 0; i < lines.size() && i < 16; ++i) {
            std::string key = lines[i].substr(0, lines[i].find('='));
            ini.ReadString(section, key, "d");
            ini.ReadInteger(section, key, -7);
        }
    }
    return 0;
}
