// Helpers of the skin data tests: synthetic bitmaps and skin archives built in the test with the
// packer's own container writer and compressor.
#pragma once

#include "skin/data/skin_data.h"
#include "skin/data/skin_manager_link.h"
#include "tools/skinpack/container.h"
#include "tools/skinpack/lzh_encoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
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

// A manager that records what skin data components ask of it (the window layer is not linked
// into these tests).
class RecordingManager : public wl::TSkinManagerLink {
public:
    static RecordingManager* Instance() {
        return dynamic_cast<RecordingManager*>(wl::TSkinManagerLink::Instance());
    }
    static RecordingManager& Create() {
        wl::TSkinManagerLink::SetFactory([]() -> std::unique_ptr<wl::TSkinManagerLink> {
            return std::make_unique<RecordingManager>();
        });
        return dynamic_cast<RecordingManager&>(wl::TSkinManagerLink::Create());
    }
    static void Destroy() { wl::TSkinManagerLink::Destroy(); }

    void AddSkinData(wl::TSkinData* data) override {
        if (std::find(list_.begin(), list_.end(), data) != list_.end()) return;
        list_.push_back(data);
        if (!main_ && data->SkinFormtype() == wl::sfMainform) main_ = data;
    }
    void RemoveSkinData(wl::TSkinData* data) override {
        list_.erase(std::remove(list_.begin(), list_.end(), data), list_.end());
        if (main_ == data) main_ = nullptr;
        if (PendingSkinData() == data) SetPendingSkinData(nullptr);
        for (Scheduled& s : scheduled_)
            if (s.Data == data) s.Data = nullptr;
    }
    void InstallHook() override { hook_ = true; }
    void Schedule(int action, int delayMs) override {
        scheduled_.push_back(Scheduled{action, delayMs, PendingSkinData()});
    }
    bool SkinWindow(HWND window) override {
        requests_.push_back(window);
        return false;
    }
    void RefreshSkinData() override { ++refreshes_; }

    struct Scheduled {
        int Action;
        int DelayMs;
        wl::TSkinData* Data;
    };
    bool HookInstalled() const { return hook_; }
    wl::TSkinData* MainData() const { return main_; }
    const std::vector<wl::TSkinData*>& SkinDataList() const { return list_; }
    const std::vector<Scheduled>& ScheduledActions() const { return scheduled_; }
    const std::vector<HWND>& SkinWindowRequests() const { return requests_; }
    int RefreshCount() const { return refreshes_; }

private:
    std::vector<wl::TSkinData*> list_;
    wl::TSkinData* main_ = nullptr;
    bool hook_ = false;
    std::vector<Scheduled> scheduled_;
    std::vector<HWND> requests_;
    int refreshes_ = 0;
};

// Every test starts without a process-wide manager; components that make one get a recorder.
class SkinDataTest : public testing::Test {
protected:
    void SetUp() override {
        RecordingManager::Destroy();
        wl::TSkinManagerLink::SetFactory([]() -> std::unique_ptr<wl::TSkinManagerLink> {
            return std::make_unique<RecordingManager>();
        });
    }
    void TearDown() override { RecordingManager::Destroy(); }

    // A component with `archive` loaded; returns LoadSkin's result.
    bool Load(wl::TSkinData& d, const std::string& archive) {
        d.SkinBytes = archive;
        return d.LoadSkin();
    }
};

} // namespace skintest
