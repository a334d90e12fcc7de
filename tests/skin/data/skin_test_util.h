// Helpers of the skin data tests: synthetic bitmaps and skin archives built in the test with the
// packer's own container writer and compressor.
#pragma once

#include "skin/data/skin_data.h"
#include "skin/data/skin_manage.h"
#include "tools/skinpack/container.h"
#include "tools/skinpack/lzh_encoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace skintest {

// A 24-bit BMP file of w x h, every pixel `colour` (0x00BBGGRR), with optional pixel overrides.
struct Px {
    int x, y;
    wl::TColor c;
};
inline std::string Bmp(int w, int h, wl::TColor colour, const std::vector<Px>& pixels = {}) {
    wl::TBitmap b(w, h, wl::pf24bit);
    for (int y = 0; y < h; ++y) {
        auto* row = static_cast<uint8_t*>(b.ScanLine(y));
        for (int x = 0; x < w; ++x) {
            wl::TColor c = colour;
            for (const Px& p : pixels)
                if (p.x == x && p.y == y) c = p.c;
            row[x * 3] = (c >> 16) & 0xFF;
            row[x * 3 + 1] = (c >> 8) & 0xFF;
            row[x * 3 + 2] = c & 0xFF;
        }
    }
    return b.SaveToBytes();
}

// A stored skin archive (4-byte size + LZHUF) holding `ini` as "skin.ini" and the bitmaps.
inline std::string Archive(const std::string& ini,
                           const std::vector<wl::skinpack::SkinEntry>& files = {},
                           int32_t version = 20000) {
    std::vector<wl::skinpack::SkinEntry> entries{{"skin.ini", ini}};
    entries.insert(entries.end(), files.begin(), files.end());
    return wl::skinpack::LzhCompress(wl::skinpack::BuildSkinContainer(entries, version));
}

inline wl::TColor PixelOf(wl::TBitmap& b, int x, int y) {
    return b.Canvas().Pixel(x, y);
}

// Every test starts without a process-wide manager.
class SkinDataTest : public testing::Test {
protected:
    void SetUp() override { wl::TSkinManage::Destroy(); }
    void TearDown() override { wl::TSkinManage::Destroy(); }

    // A component with `archive` loaded; returns LoadSkin's result.
    bool Load(wl::TSkinData& d, const std::string& archive) {
        d.SkinBytes = archive;
        return d.LoadSkin();
    }
};

} // namespace skintest
