#pragma once

#include "engine/Behavior.hpp"
#include "engine/EntityHandle.hpp"

#include <functional>
#include <string>

namespace vorn::components {

// Calls a function of its entity once, a number of seconds after it joined, then takes itself out
// of its world and deletes itself. Answers "delayedSignal" and "behavior".
class DelayedSignal : public vorn::engine::Behavior {
public:
    inline static const std::string componentName = "delayedSignal";
    using Callback = std::function<void(vorn::engine::EntityHandle)>;
    DelayedSignal(float seconds, Callback callback);
    // Counts down; once below 0 calls the callback and deletes this component.
    void update(float dt) override;
    Callback callback;
    float delay;
    float remaining;
};

} // namespace vorn::components
