#include "engine/Behavior.hpp"

namespace vorn::engine {

Behavior::Behavior() {
    addName("behavior");
}

} // namespace vorn::engine
