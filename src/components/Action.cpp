#include "components/Action.hpp"

#include "engine/World.hpp"

namespace vorn::components {

Action::Action(const std::string& name) {
    addName(componentName);
    addName(name);
}

bool invokeAction(vorn::engine::EntityHandle entity, const std::string& name) {
    if (entity.world == nullptr)
        return false;
    Action* action = entity.world->getComponentAs<Action>(entity, name);
    if (action == nullptr)
        return false;
    action->perform();
    return true;
}

} // namespace vorn::components
