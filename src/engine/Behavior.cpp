#include "engine/Behavior.hpp"

namespace vorn::engine {

Behavior::Behavior() {
    addName(componentName);
}

} // namespace vorn::engine
