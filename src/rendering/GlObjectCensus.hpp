#pragma once

namespace vorn::rendering {

// How many objects of each kind exist in the current OpenGL context. Long runs compare these
// between samples: a count that keeps growing is a resource that is made and never deleted.
struct GlObjectCounts {
    int programs = 0;
    int textures = 0;
    int buffers = 0;
    int vertexArrays = 0;
    int framebuffers = 0;
};

// Counts live GL objects by asking the context about each name (glIsProgram, glIsTexture, ...).
// This sees every object, including those made by raw GL calls outside the engine's wrappers, and
// needs no bookkeeping in them. Drivers hand out names densely from 1 and reuse freed ones, so
// the scan of a kind ends after a long run of unused names. A buffer, texture, vertex array or
// framebuffer counts once it has been bound, as GL defines it.
class GlObjectCensus {
public:
    // Counts the objects of the current context; it costs some milliseconds, so call it rarely.
    static GlObjectCounts take();
};

} // namespace vorn::rendering
