#pragma once

#include "engine/Behavior.hpp"
#include "engine/EntityHandle.hpp"

#include <functional>
#include <string>

namespace vorn::components {

// An object that goes away when something carrying `triggerTag` touches it (a breakable wall hit
// by a boulder, spikes crushed by one, the hat picked up by the player): it calls its callback, if
// any, with its own entity and queues that entity for destruction after the update pass. Answers
// "selfDelete"; update priority 10, after the gameplay that reacts to the same touch.
class SelfDelete : public vorn::engine::Behavior {
public:
    inline static const std::string componentName = "selfDelete";
    using Callback = std::function<void(vorn::engine::EntityHandle)>;

    explicit SelfDelete(const std::string& triggerTag, Callback callback = nullptr);

    // Reacts to the first touch by an entity carrying the tag.
    void update(float dt) override;

    std::string triggerTag;
    Callback callback;

private:
    bool triggered = false;
};

} // namespace vorn::components
