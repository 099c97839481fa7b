#include "components/ScreenFade.hpp"

#include "engine/World.hpp"
#include "rendering/Material.hpp"
#include "rendering/Model.hpp"

#include <algorithm>

namespace components {

ScreenFade::ScreenFade(float duration) : duration(duration) {
    addName(componentName);
}

float ScreenFade::darkness() const {
    return duration > 0.0f ? std::clamp(1.0f - elapsed / duration, 0.0f, 1.0f) : 0.0f;
}

void ScreenFade::update(float dt) {
    vorn::engine::World* world = getWorld();
    if (world == nullptr)
        return;
    elapsed += dt;
    if (auto* picture = world->getComponentAs<vorn::components::Model>(handle(), "model"))
        for (vorn::rendering::MeshPart& part : picture->parts)
            if (part.material)
                part.material->setUniform("transparency", 1.0f - darkness());
    if (darkness() == 0.0f)
        world->destroyEntityLater(handle());
}

} // namespace components
