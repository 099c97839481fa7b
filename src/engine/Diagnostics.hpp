#pragma once

#include <ostream>

namespace vorn::engine {

// The one stream every diagnostic line of the game goes through. Loaders, shaders, the sound
// layer and the level loader write their fixed messages here instead of to std::cout/std::cerr
// directly, so a test (or a tool) can swap the destination without touching process streams.
//
// Two channels keep the messages' usual destinations: `out()` goes to standard output by default
// (the sound manager's limits and errors, informational lines) and `err()` to standard error
// (loader and definition-file failures). Everything runs on the main thread; a redirect is not
// meant to be changed while another thread writes.
class Diagnostics {
public:
    // The stream for messages that go to standard output by default.
    static std::ostream& out();
    // The stream for messages that go to standard error by default.
    static std::ostream& err();

    // Points out() (and err()) at another stream; null restores the default. Returns the previous
    // target (null when it was the default). DiagnosticsCapture is the usual way to use these.
    static std::ostream* redirectOut(std::ostream* target);
    static std::ostream* redirectErr(std::ostream* target);
};

} // namespace vorn::engine
