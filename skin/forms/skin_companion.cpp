// The companion discovery hooks (one set per process, registered by the companion layer) and
// the companion list of a form object.
#include "skin/forms/skin_companion.h"

#include <algorithm>
#include <iterator>

namespace wl {

namespace {
TControlDiscovery& Discovery() {
    static TControlDiscovery discovery;
    return discovery;
}
} // namespace

void SetControlDiscovery(const TControlDiscovery& discovery) { Discovery() = discovery; }
const TControlDiscovery& ControlDiscovery() { return Discovery(); }

// ---- the companion list ----------------------------------------------------------------------------

bool TCompanionList::Add(TSkinCompanion* companion) {
    if (std::find(FItems.begin(), FItems.end(), companion) != FItems.end()) return true;
    FItems.push_back(companion);
    return false;
}

TSkinCompanion* TCompanionList::Adopt(std::unique_ptr<TSkinCompanion> companion) {
    TSkinCompanion* c = companion.get();
    if (!c) return nullptr;
    Add(c);
    FOwned.push_back(std::move(companion));
    return c;
}

void TCompanionList::Remove(TSkinCompanion* companion) {
    auto it = std::find(FItems.rbegin(), FItems.rend(), companion);
    if (it != FItems.rend()) FItems.erase(std::next(it).base());
}

std::unique_ptr<TSkinCompanion> TCompanionList::Ownership(TSkinCompanion* companion) {
    auto it = std::find_if(FOwned.begin(), FOwned.end(), [companion](const auto& c) { return c.get() == companion; });
    if (it == FOwned.end()) return companion->ReleaseFromOwner();
    std::unique_ptr<TSkinCompanion> owned = std::move(*it);
    FOwned.erase(it);
    return owned;
}

std::unique_ptr<TSkinCompanion> TCompanionList::TakeNewest(HWND window) {
    auto it = std::find_if(FItems.rbegin(), FItems.rend(), [window](TSkinCompanion* c) { return c && c->Handle() == window; });
    if (it == FItems.rend()) return nullptr;
    TSkinCompanion* c = *it;
    FItems.erase(std::next(it).base());
    return Ownership(c);
}

void TCompanionList::FreeAll() {
    while (!FItems.empty()) {
        TSkinCompanion* c = FItems.front();
        FItems.erase(FItems.begin());
        if (!c) continue;
        if (c->LifeState() != TLifeState::WindowDestroyed) c->Restore();
        Ownership(c).reset();
    }
    // Nothing the list owns outlives it.
    FOwned.clear();
}

void TCompanionList::Purge() {
    // Freeing one companion may free others with it (the helpers it owns), which then leave the
    // list as they go: each is looked up again before it is freed.
    std::vector<TSkinCompanion*> dead;
    for (TSkinCompanion* c : FItems)
        if (c && c->LifeState() == TLifeState::WindowDestroyed) dead.push_back(c);
    for (auto d = dead.rbegin(); d != dead.rend(); ++d) {
        auto it = std::find(FItems.rbegin(), FItems.rend(), *d);
        if (it == FItems.rend()) continue;
        FItems.erase(std::next(it).base());
        Ownership(*d).reset();
    }
}

} // namespace wl
