#include "rendering/Renderable.hpp"

#include "engine/Label.hpp"
#include "engine/World.hpp"

namespace vorn::components {

Renderable::Renderable(bool blending) : blending(blending) {
    addName(componentName);
}

void Renderable::initialize() {
    if (getWorld())
        getWorld()->addComponent(handle(), new Label(blending ? "blending" : "noblending"));
}

} // namespace vorn::components
