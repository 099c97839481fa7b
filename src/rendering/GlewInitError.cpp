#include "rendering/GlewInitError.hpp"

#include <GL/glew.h>

namespace vorn::rendering {

void initializeGlew() {
    glewExperimental = GL_TRUE;
    const GLenum result = glewInit();
    // GLEW probes extensions through the compatibility-profile query and leaves an error behind
    // on core contexts; clear it so the first real GL error check sees only its own.
    while (glGetError() != GL_NO_ERROR) {
    }
    if (result != GLEW_OK)
        throw GlewInitError("Failed to initialize GLEW\n");
}

} // namespace vorn::rendering
