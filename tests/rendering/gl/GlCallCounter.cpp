#include "GlCallCounter.hpp"

#include <GL/glew.h>

#include <dlfcn.h>

#include <array>
#include <stdexcept>

namespace testsupport {

// Functions GLEW reaches through pointers: name, return type, parameters, arguments.
#define MOSSFANG_GLEW_COUNTED(X)                                                                   \
    X(UseProgram, void, (GLuint a), (a))                                                           \
    X(Uniform1f, void, (GLint a, GLfloat b), (a, b))                                               \
    X(Uniform1i, void, (GLint a, GLint b), (a, b))                                                 \
    X(Uniform1ui, void, (GLint a, GLuint b), (a, b))                                               \
    X(Uniform1iv, void, (GLint a, GLsizei b, const GLint* c), (a, b, c))                           \
    X(Uniform2fv, void, (GLint a, GLsizei b, const GLfloat* c), (a, b, c))                         \
    X(Uniform2iv, void, (GLint a, GLsizei b, const GLint* c), (a, b, c))                           \
    X(Uniform2uiv, void, (GLint a, GLsizei b, const GLuint* c), (a, b, c))                         \
    X(Uniform3fv, void, (GLint a, GLsizei b, const GLfloat* c), (a, b, c))                         \
    X(Uniform3iv, void, (GLint a, GLsizei b, const GLint* c), (a, b, c))                           \
    X(Uniform3uiv, void, (GLint a, GLsizei b, const GLuint* c), (a, b, c))                         \
    X(Uniform4fv, void, (GLint a, GLsizei b, const GLfloat* c), (a, b, c))                         \
    X(Uniform4iv, void, (GLint a, GLsizei b, const GLint* c), (a, b, c))                           \
    X(Uniform4uiv, void, (GLint a, GLsizei b, const GLuint* c), (a, b, c))                         \
    X(UniformMatrix2fv, void, (GLint a, GLsizei b, GLboolean c, const GLfloat* d), (a, b, c, d))   \
    X(UniformMatrix3fv, void, (GLint a, GLsizei b, GLboolean c, const GLfloat* d), (a, b, c, d))   \
    X(UniformMatrix4fv, void, (GLint a, GLsizei b, GLboolean c, const GLfloat* d), (a, b, c, d))   \
    X(ActiveTexture, void, (GLenum a), (a))                                                        \
    X(BindVertexArray, void, (GLuint a), (a))                                                      \
    X(GenVertexArrays, void, (GLsizei a, GLuint * b), (a, b))                                      \
    X(DeleteVertexArrays, void, (GLsizei a, const GLuint* b), (a, b))                              \
    X(DeleteBuffers, void, (GLsizei a, const GLuint* b), (a, b))                                   \
    X(BindBuffer, void, (GLenum a, GLuint b), (a, b))                                              \
    X(BufferData, void, (GLenum a, GLsizeiptr b, const void* c, GLenum d), (a, b, c, d))           \
    X(BufferSubData, void, (GLenum a, GLintptr b, GLsizeiptr c, const void* d), (a, b, c, d))      \
    X(EnableVertexAttribArray, void, (GLuint a), (a))                                              \
    X(VertexAttribPointer, void,                                                                   \
      (GLuint a, GLint b, GLenum c, GLboolean d, GLsizei e, const void* f), (a, b, c, d, e, f))    \
    X(GetAttribLocation, GLint, (GLuint a, const GLchar* b), (a, b))

// OpenGL 1.1 functions, linked directly against libGL.
#define MOSSFANG_GL11_COUNTED(X)                                                                   \
    X(Enable, void, (GLenum a), (a))                                                               \
    X(Disable, void, (GLenum a), (a))                                                              \
    X(BindTexture, void, (GLenum a, GLuint b), (a, b))                                             \
    X(DrawArrays, void, (GLenum a, GLint b, GLsizei c), (a, b, c))                                 \
    X(DrawElements, void, (GLenum a, GLsizei b, GLenum c, const void* d), (a, b, c, d))            \
    X(BlendFunc, void, (GLenum a, GLenum b), (a, b))                                               \
    X(DepthMask, void, (GLboolean a), (a))                                                         \
    X(Clear, void, (GLbitfield a), (a))

namespace {

enum Slot {
#define MOSSFANG_SLOT(Name, Ret, Params, Args) Slot##Name,
    MOSSFANG_GLEW_COUNTED(MOSSFANG_SLOT) MOSSFANG_GL11_COUNTED(MOSSFANG_SLOT)
#undef MOSSFANG_SLOT
        SlotCount
};

const char* const slotNames[] = {
#define MOSSFANG_NAME(Name, Ret, Params, Args) "gl" #Name,
    MOSSFANG_GLEW_COUNTED(MOSSFANG_NAME) MOSSFANG_GL11_COUNTED(MOSSFANG_NAME)
#undef MOSSFANG_NAME
};

std::array<int, SlotCount> calls{};
bool counting = false;
bool drawsSuppressed = false;

#define MOSSFANG_WRAPPER(Name, Ret, Params, Args)                                                  \
    decltype(__glew##Name) real##Name = nullptr;                                                   \
    Ret GLAPIENTRY counting##Name Params {                                                         \
        ++calls[Slot##Name];                                                                       \
        return real##Name Args;                                                                    \
    }
MOSSFANG_GLEW_COUNTED(MOSSFANG_WRAPPER)
#undef MOSSFANG_WRAPPER

template <class F> F nextDefinition(const char* name) {
    void* symbol = dlsym(RTLD_NEXT, name);
    if (!symbol)
        throw std::runtime_error(std::string("no OpenGL function ") + name);
    return reinterpret_cast<F>(symbol);
}

} // namespace

GlCallCounter::GlCallCounter() {
    if (counting)
        throw std::logic_error("only one GlCallCounter may count at a time");
#define MOSSFANG_INSTALL(Name, Ret, Params, Args)                                                  \
    real##Name = __glew##Name;                                                                     \
    __glew##Name = counting##Name;
    MOSSFANG_GLEW_COUNTED(MOSSFANG_INSTALL)
#undef MOSSFANG_INSTALL
    calls.fill(0);
    counting = true;
}

GlCallCounter::~GlCallCounter() {
#define MOSSFANG_RESTORE(Name, Ret, Params, Args) __glew##Name = real##Name;
    MOSSFANG_GLEW_COUNTED(MOSSFANG_RESTORE)
#undef MOSSFANG_RESTORE
    counting = false;
    drawsSuppressed = false;
}

int GlCallCounter::count(const std::string& function) const {
    for (int slot = 0; slot < SlotCount; ++slot)
        if (function == slotNames[slot])
            return calls[static_cast<size_t>(slot)];
    throw std::invalid_argument("GlCallCounter does not count " + function);
}

int GlCallCounter::uniformCalls() const {
    int sum = 0;
    for (int slot = 0; slot < SlotCount; ++slot)
        if (std::string(slotNames[slot]).rfind("glUniform", 0) == 0)
            sum += calls[static_cast<size_t>(slot)];
    return sum;
}

int GlCallCounter::total() const {
    int sum = 0;
    for (int n : calls)
        sum += n;
    return sum;
}

std::map<std::string, int> GlCallCounter::counts() const {
    std::map<std::string, int> result;
    for (int slot = 0; slot < SlotCount; ++slot)
        if (calls[static_cast<size_t>(slot)] > 0)
            result[slotNames[slot]] = calls[static_cast<size_t>(slot)];
    return result;
}

void GlCallCounter::reset() {
    calls.fill(0);
}

void GlCallCounter::suppressDraws(bool suppress) {
    drawsSuppressed = suppress;
}

} // namespace testsupport

// The OpenGL 1.1 entry points of this program: count while a counter lives, then call libGL's.
#define MOSSFANG_INTERPOSER(Name, Ret, Params, Args)                                               \
    Ret GLAPIENTRY gl##Name Params {                                                               \
        using Function = Ret(GLAPIENTRY*) Params;                                                  \
        static const Function real = testsupport::nextDefinition<Function>("gl" #Name);            \
        if (testsupport::counting)                                                                 \
            ++testsupport::calls[testsupport::Slot##Name];                                         \
        if ((testsupport::Slot##Name == testsupport::SlotDrawArrays ||                             \
             testsupport::Slot##Name == testsupport::SlotDrawElements) &&                          \
            testsupport::drawsSuppressed)                                                          \
            return;                                                                                \
        return real Args;                                                                          \
    }
MOSSFANG_GL11_COUNTED(MOSSFANG_INTERPOSER)
#undef MOSSFANG_INTERPOSER
