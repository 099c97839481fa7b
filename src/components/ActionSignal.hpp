#pragma once

#include "components/Action.hpp"

#include <functional>
#include <string>

namespace vorn::components {

// An action whose reaction is a plain function of the entity (the ninja's hurt reaction).
class ActionSignal : public Action {
public:
    using Callback = std::function<void(vorn::engine::EntityHandle)>;
    ActionSignal(const std::string& name, Callback callback);
    // Calls the callback with the own entity.
    void perform() override;
    Callback callback;
};

} // namespace vorn::components
