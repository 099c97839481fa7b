#pragma once

#include "engine/Component.hpp"

#include <string>

namespace vorn::components {

// A pure tag: a component whose only purpose is the one name it answers to ("player",
// "gameSpace", "hasGravity", ...).
class Label : public vorn::engine::Component {
public:
    explicit Label(const std::string& name);
};

} // namespace vorn::components
