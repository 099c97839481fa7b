#include "components/ActionSignal.hpp"

#include <utility>

namespace vorn::components {

ActionSignal::ActionSignal(const std::string& name, Callback callback)
    : Action(name), callback(std::move(callback)) {}

void ActionSignal::perform() {
    if (callback)
        callback(handle());
}

} // namespace vorn::components
