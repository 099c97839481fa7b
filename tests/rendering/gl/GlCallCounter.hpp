#pragma once

#include <map>
#include <string>

namespace testsupport {

// Counts the OpenGL calls made while it lives, by function name ("glUseProgram", "glUniform3fv",
// "glBindTexture", ...); every call still reaches GL. Functions GLEW loads through pointers are
// wrapped by swapping the pointers; the OpenGL 1.1 functions (glEnable, glDisable, glBindTexture,
// glDrawArrays, glBlendFunc, glDepthMask, glClear) are counted by definitions in this program
// that pass the call on to the system's libGL. One counter at a time; needs GLEW initialised.
class GlCallCounter {
public:
    GlCallCounter();
    GlCallCounter(const GlCallCounter&) = delete;
    GlCallCounter& operator=(const GlCallCounter&) = delete;
    ~GlCallCounter();

    // Calls of one function since construction or the last reset().
    int count(const std::string& function) const;
    // Calls of every glUniform* function (values and samplers).
    int uniformCalls() const;
    // Calls of every counted function.
    int total() const;
    // Every function called at least once, with its count.
    std::map<std::string, int> counts() const;
    // Starts counting from zero again.
    void reset();
    // While true, glDrawArrays and glDrawElements are counted but not passed on, so that a
    // measurement holds the engine's own work without the driver's vertex processing.
    void suppressDraws(bool suppress);
};

} // namespace testsupport
