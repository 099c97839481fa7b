#pragma once

#include "GlFixture.hpp"

#include "engine/Application.hpp"
#include "engine/Label.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "rendering/Camera.hpp"
#include "rendering/Renderer.hpp"
#include "rendering/ResourceCaches.hpp"
#include "rendering/Sprite.hpp"
#include "rendering/Texture.hpp"

#include <glm/gtc/matrix_transform.hpp>

#include <initializer_list>

// A world under an Application that draws into the test framebuffer, with helpers for the
// entities the renderer tests need. The screen camera maps one world unit to one pixel, with
// (0, 0) at the framebuffer's lower-left corner.
class SceneFixture : public GlFixture {
protected:
    using GlFixture::GlFixture;

    void SetUp() override {
        GlFixture::SetUp();
        app = std::make_unique<vorn::engine::Application>(state.get(), 20.0f, 60.0f,
                                                          vorn::engine::assetRoot());
        world = std::make_shared<vorn::engine::World>();
    }

    void TearDown() override {
        world.reset();
        app.reset();
        GlFixture::TearDown();
    }

    // Starts the world under the application (once) and runs its render pass.
    void render() {
        if (!started) {
            app->setWorld(world);
            started = true;
        }
        context->bind();
        world->render(1.0f / 60.0f);
    }

    vorn::engine::EntityHandle entity(const glm::mat4& matrix,
                                      std::initializer_list<const char*> labels = {}) {
        const vorn::engine::EntityHandle e = world->createEntity();
        world->addComponent(e, new vorn::components::Transform(matrix));
        for (const char* label : labels)
            world->addComponent(e, new vorn::components::Label(label));
        return e;
    }

    // A camera at z = 100 looking down -z, pixel-sized units from (shiftX, shiftY).
    vorn::engine::EntityHandle screenCamera(std::initializer_list<const char*> labels = {},
                                            float shiftX = 0.0f, float shiftY = 0.0f) {
        const auto e =
            entity(glm::translate(glm::mat4(1.0f), glm::vec3(shiftX, shiftY, 100.0f)), labels);
        world->addComponent(e, new vorn::components::Camera(glm::ortho(
                                   0.0f, float(width), 0.0f, float(height), 0.1f, 1000.0f)));
        return e;
    }

    // A w x h sprite with its lower-left corner at (x, y, z).
    vorn::engine::EntityHandle sprite(std::shared_ptr<vorn::rendering::Texture> texture, float x,
                                      float y, float z, float w, float h, bool blending = false,
                                      float priority = 0.0f, bool cullFace = true,
                                      std::initializer_list<const char*> labels = {}) {
        const auto e = entity(glm::translate(glm::mat4(1.0f), glm::vec3(x, y, z)) *
                                  glm::scale(glm::mat4(1.0f), glm::vec3(w, h, 1.0f)),
                              labels);
        world->addComponent(e, new vorn::components::Sprite(blending, std::move(texture), priority,
                                                            false, cullFace));
        return e;
    }

    // A texture of one colour.
    std::shared_ptr<vorn::rendering::Texture> solid(const sf::Color& colour) {
        const std::string name = "solid_" + std::to_string(colour.toInteger()) + ".png";
        return vorn::rendering::textureCache().getFullPath(writeImage(name, 1, 1, {colour}));
    }

    // Clears the framebuffer as the renderer will (the renderers clear with this colour).
    static void clearColour(float r, float g, float b, float a) { glClearColor(r, g, b, a); }

    std::unique_ptr<vorn::engine::Application> app;
    std::shared_ptr<vorn::engine::World> world;
    bool started = false;
};
