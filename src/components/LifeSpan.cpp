#include "components/LifeSpan.hpp"

#include "engine/World.hpp"

namespace components {

LifeSpan::LifeSpan(float seconds) : lifetime(seconds), remaining(seconds) {}

void LifeSpan::update(float dt) {
    remaining -= dt;
    if (remaining < 0.0f && !queued && getWorld() != nullptr) {
        queued = true;
        getWorld()->destroyEntityLater(handle());
    }
}

} // namespace components
