#pragma once

namespace vorn::rendering {

class RenderState;

// Draws the screen-filling quad of the full-screen passes with the program current in `state`
// (nothing when none is): "pos" from (-1, -1) to (1, 1) at z = 0 and "UV" from (0, 0) at the
// bottom left to (1, 1) at the top right, as render targets are stored.
//
// The quad's vertex array object and buffer are made on the first call and kept for the life of
// the process, in the GL context of that call; every call binds them itself, whatever vertex
// array is bound before, and leaves none bound.
void drawFullScreenQuad(RenderState& state);

} // namespace vorn::rendering
