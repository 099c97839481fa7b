#pragma once

#include "engine/GraphicsContext.hpp"
#include "rendering/RenderQuality.hpp"

#include <GL/glew.h>
#include <glm/mat4x4.hpp>

#include <map>
#include <memory>
#include <vector>

namespace sf {
class Window;
}

namespace vorn::rendering {

class FullScreenQuadObjects;
class Material;
class ShaderProgram;
class Texture;

// The one object through which drawing reaches OpenGL. It caches the state the program changes
// most (enabled capabilities, blend function, current program and material, textures on units,
// the frame's view and projection) so that consecutive draws with the same state issue no GL
// calls, and it gives the main loop the window.
//
// Lifetime: built after GLEW is initialised, destroyed after the Application and before the
// window. It owns none of the textures, programs or materials it points to; textures it has bound
// and programs it has made current are registered with it, and its destructor detaches them so
// that textures and programs destroyed later touch nothing. A program or texture destroyed first
// takes itself out of the tables, so a new object at the same address is never mistaken for it.
// The full-screen quad's GL objects belong to the state and are deleted with it, while the
// window's context still exists.
class RenderState : public vorn::engine::GraphicsContext {
public:
    // `window` may be null (off-screen contexts in tools and tests).
    explicit RenderState(sf::Window* window);
    RenderState(const RenderState&) = delete;
    RenderState& operator=(const RenderState&) = delete;
    ~RenderState() override;

    // glEnable(cap) unless the cache says it is already enabled.
    void enableCap(GLenum cap);
    // glDisable(cap) unless the cache says it is already disabled.
    void disableCap(GLenum cap);
    // glBlendFunc(src, dst) unless that pair is already set.
    void setBlendFunc(GLenum src, GLenum dst);

    // Records that `texture` has been bound through this state (it is detached on destruction).
    void registerTexture(Texture* texture);
    // Forgets a texture that is being destroyed: clears its units and its registration.
    void forgetTexture(Texture* texture);
    // Makes `program` current (glUseProgram) unless it already is; null makes none current.
    void useProgram(ShaderProgram* program);
    // Forgets a program that is being destroyed: it is no longer current nor registered.
    void forgetProgram(ShaderProgram* program);
    // Marker stored in boundTextures[0]: unit 0 always counts as occupied. Never a real texture.
    static Texture* unitZeroMarker();
    // The full-screen quad's vertex array and buffer, made on first use.
    FullScreenQuadObjects& fullScreenQuad();

    bool pollEvent(sf::Event& event) override;
    void display() override;
    void setViewport(unsigned width, unsigned height) override;
    void prepareDefaultState() override;

    glm::mat4 view{1.0f};
    glm::mat4 projection{1.0f};
    std::vector<Texture*> boundTextures;
    int maxTextureUnits = 0;
    std::map<GLenum, bool> capabilities;
    ShaderProgram* currentProgram = nullptr;
    Material* currentMaterial = nullptr;
    GLenum blendSrc = GL_ONE;
    GLenum blendDst = GL_ZERO;
    sf::Window* window;
    // The run's picture quality, read by the play areas' renderer every frame.
    RenderQuality quality;
    std::vector<Texture*> registeredTextures;
    std::vector<ShaderProgram*> registeredPrograms;

private:
    std::unique_ptr<FullScreenQuadObjects> quadObjects;
};

} // namespace vorn::rendering
