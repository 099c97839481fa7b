#pragma once

#include "engine/Component.hpp"
#include "engine/EntityHandle.hpp"

#include <string>

namespace vorn::components {

// A reaction an entity carries under a name ("deathAction", "hurtAction"): other components invoke
// it by that name without knowing what it does. Answers "action" and its own name.
class Action : public vorn::engine::Component {
public:
    // The name every action answers to besides its own.
    inline static const std::string componentName = "action";
    explicit Action(const std::string& name);
    // Runs the reaction on the own entity.
    virtual void perform() = 0;
};

// Invokes the action `name` of `entity`: performs its first component of that name if it is an
// Action. Returns whether one was found.
bool invokeAction(vorn::engine::EntityHandle entity, const std::string& name);

} // namespace vorn::components
