#pragma once

#include <sstream>
#include <string>

namespace vorn::engine {

// Collects what is written to the diagnostics stream while it lives, restoring the previous
// destinations when it goes. Captures nest: an inner capture sees only what was written during
// its own lifetime.
class DiagnosticsCapture {
public:
    DiagnosticsCapture();
    DiagnosticsCapture(const DiagnosticsCapture&) = delete;
    DiagnosticsCapture& operator=(const DiagnosticsCapture&) = delete;
    ~DiagnosticsCapture();

    // What went to Diagnostics::out() so far.
    std::string outText() const { return outBuffer.str(); }
    // What went to Diagnostics::err() so far.
    std::string errText() const { return errBuffer.str(); }
    // Both, out first.
    std::string text() const { return outText() + errText(); }

private:
    std::ostringstream outBuffer;
    std::ostringstream errBuffer;
    std::ostream* previousOut;
    std::ostream* previousErr;
};

} // namespace vorn::engine
