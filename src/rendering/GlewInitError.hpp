#pragma once

#include <exception>
#include <string>

namespace vorn::rendering {

// Start-up failure of the OpenGL entry-point loader; what() is the message.
class GlewInitError : public std::exception {
public:
    explicit GlewInitError(std::string message) : message(std::move(message)) {}
    const char* what() const noexcept override { return message.c_str(); }

private:
    std::string message;
};

// Loads the OpenGL entry points for the current context; throws GlewInitError on failure.
void initializeGlew();

} // namespace vorn::rendering
