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
// needs no bookkeeping in them. A kind's scan runs from 1 past the name the context hands out
// next (Mesa hands out ever higher names and does not reuse freed ones, so after many areas the
// live names lie far above the long-lived first ones), and on past it while names in use keep
// turning up (for drivers that reuse freed names). A buffer, texture, vertex array or framebuffer
// counts once it has been bound, as GL defines it.
class GlObjectCensus {
public:
    // Counts the objects of the current context; it costs some milliseconds, so call it rarely.
    static GlObjectCounts take();
};

} // namespace vorn::rendering
