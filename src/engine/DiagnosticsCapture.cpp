#include "engine/DiagnosticsCapture.hpp"

#include "engine/Diagnostics.hpp"

namespace vorn::engine {

DiagnosticsCapture::DiagnosticsCapture()
    : previousOut(Diagnostics::redirectOut(&outBuffer)),
      previousErr(Diagnostics::redirectErr(&errBuffer)) {}

DiagnosticsCapture::~DiagnosticsCapture() {
    Diagnostics::redirectOut(previousOut);
    Diagnostics::redirectErr(previousErr);
}

} // namespace vorn::engine
