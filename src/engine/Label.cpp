#include "engine/Label.hpp"

namespace vorn::components {

Label::Label(const std::string& name) {
    addName(name);
}

} // namespace vorn::components
