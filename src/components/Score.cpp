#include "components/Score.hpp"

namespace vorn::components {

Score::Score() {
    addName(componentName);
}

} // namespace vorn::components
