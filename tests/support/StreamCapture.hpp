#pragma once

#include <ostream>
#include <sstream>
#include <string>

namespace testsupport {

// Captures what is written to a standard C++ stream (std::cerr, std::cout) while it lives.
class StreamCapture {
public:
    explicit StreamCapture(std::ostream& stream)
        : stream(stream), old(stream.rdbuf(buffer.rdbuf())) {}
    StreamCapture(const StreamCapture&) = delete;
    StreamCapture& operator=(const StreamCapture&) = delete;
    ~StreamCapture() { stream.rdbuf(old); }
    // Everything written so far.
    std::string text() const { return buffer.str(); }

private:
    std::ostream& stream;
    std::ostringstream buffer;
    std::streambuf* old;
};

} // namespace testsupport
