#pragma once

#include "rendering/VertexArray.hpp"
#include "rendering/VertexBuffer.hpp"

namespace vorn::rendering {

class RenderState;

// The GL objects of the full-screen quad. A render state makes them on the first quad drawn
// through it and deletes them with itself, so they go while the window's context still exists.
class FullScreenQuadObjects {
public:
    // Creates the vertex array and fills the quad's buffer.
    FullScreenQuadObjects();

    VertexArray vertexArray;
    VertexBuffer buffer;
};

// Draws the screen-filling quad of the full-screen passes with the program current in `state`
// (nothing when none is): "pos" from (-1, -1) to (1, 1) at z = 0 and "UV" from (0, 0) at the
// bottom left to (1, 1) at the top right, as render targets are stored.
//
// The quad's vertex array object and buffer belong to `state` (made on the first call); every
// call binds them itself, whatever vertex array is bound before, and leaves none bound.
void drawFullScreenQuad(RenderState& state);

} // namespace vorn::rendering
