// Input scripts: a script that parses is then queried over its frames.
#include "FuzzInput.hpp"
#include "engine/InputScript.hpp"

#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(fuzzing::asText(data, size));
    try {
        const vorn::engine::InputScript script = vorn::engine::InputScript::parse(in);
        const std::uint64_t last = script.lastFrame();
        for (std::uint64_t frame : {std::uint64_t{0}, last / 2, last, last + 1}) {
            script.isHeld(frame, sf::Keyboard::Right);
            script.clicksAt(frame);
        }
    } catch (const vorn::engine::InputScriptError&) {
        // A malformed script is reported, which is the answer wanted.
    }
    return 0;
}
