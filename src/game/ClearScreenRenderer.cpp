#include "game/ClearScreenRenderer.hpp"

#include <GL/glew.h>

namespace game {

ClearScreenRenderer::ClearScreenRenderer(float red, float green, float blue)
    : red(red), green(green), blue(blue) {
    addName(componentName);
}

void ClearScreenRenderer::render(float) {
    glClearColor(red, green, blue, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

} // namespace game
