#include "engine/Diagnostics.hpp"

#include <atomic>
#include <iostream>

namespace vorn::engine {

namespace {
std::atomic<std::ostream*> outTarget{nullptr};
std::atomic<std::ostream*> errTarget{nullptr};
} // namespace

std::ostream& Diagnostics::out() {
    std::ostream* target = outTarget.load();
    return target ? *target : std::cout;
}

std::ostream& Diagnostics::err() {
    std::ostream* target = errTarget.load();
    return target ? *target : std::cerr;
}

std::ostream* Diagnostics::redirectOut(std::ostream* target) { return outTarget.exchange(target); }

std::ostream* Diagnostics::redirectErr(std::ostream* target) { return errTarget.exchange(target); }

} // namespace vorn::engine
