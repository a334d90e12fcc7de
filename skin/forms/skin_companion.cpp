// The companion discovery hooks: one set per process, registered by the companion layer.
#include "skin/forms/skin_companion.h"

namespace wl {

namespace {
TControlDiscovery& Discovery() {
    static TControlDiscovery discovery;
    return discovery;
}
} // namespace

void SetControlDiscovery(const TControlDiscovery& discovery) { Discovery() = discovery; }
const TControlDiscovery& ControlDiscovery() { return Discovery(); }

} // namespace wl
