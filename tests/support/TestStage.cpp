#include "support/TestStage.hpp"

#include "audio/SoundManager.hpp"
#include "audio/SoundTable.hpp"
#include "audio/SoundUpdate.hpp"
#include "engine/InputScript.hpp"
#include "engine/InputSource.hpp"
#include "engine/Label.hpp"
#include "engine/Transform.hpp"
#include "physics/Gravity.hpp"
#include "physics/PolygonCollider.hpp"
#include "physics/RigidBody.hpp"

#include <glm/gtc/matrix_transform.hpp>

#include <sstream>

namespace testsupport {

void registerGameSounds() {
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    vorn::audio::registerSoundTable(vorn::audio::SoundManager::instance(), "assets/");
}

TestStage::TestStage() {
    registerGameSounds();
    world = std::make_shared<vorn::engine::World>();
    // The scene's own sound slot, given back when the world goes, as the area scenes do.
    vorn::audio::SoundManager::acquire();
    world->addComponent(new vorn::systems::SoundUpdate());
    world->addComponent(new vorn::systems::Gravity(0.0f, -40.0f, 0.0f, "hasGravity"));
    ceiling = platform(-100.0f, ceilingUnderside, 110.0f, ceilingUnderside + 10.0f);
    wall = platform(wallFace, -10.0f, wallFace + 10.0f, ceilingUnderside);
    ledge = platform(ledgeLeft, ledgeTop - 5.0f, ledgeRight, ledgeTop);
    floor = platform(floorLeft, -10.0f, wallFace, floorTop);
    lower = platform(-220.0f, lowerTop - 10.0f, -120.0f, lowerTop);
    app.setWorld(world);
    // No keys at all until a test plays a script: the real keyboard is never read.
    play("");
}

TestStage::~TestStage() {
    vorn::engine::InputSource::instance().useScript(nullptr);
}

vorn::engine::EntityHandle TestStage::platform(float left, float bottom, float right, float top) {
    const vorn::engine::EntityHandle e = world->createEntity();
    const glm::vec3 centre((left + right) / 2.0f, (bottom + top) / 2.0f, 0.0f);
    world->addComponent(e,
                        new vorn::components::Transform(glm::translate(glm::mat4(1.0f), centre)));
    const float w = right - left;
    const float h = top - bottom;
    world->addComponent(
        e, new vorn::components::PolygonCollider(0.0f, -w / 2.0f, -h / 2.0f, w, h, 1.0f, 1.0f));
    world->addComponent(e, new vorn::components::RigidBody(0.0f, true, 0.0f, 0.0f, 0.0f, 0.0f));
    world->addComponent(e, new vorn::components::Label("platform"));
    world->addComponent(e, new vorn::components::Label("staticBody"));
    return e;
}

void TestStage::play(const std::string& script) {
    // The input source counts frames with the application; the script counts from now, so every
    // frame number is moved on by the frames already run.
    frameBase = app.frameCount();
    std::istringstream lines(script);
    std::ostringstream shifted;
    std::string line;
    while (std::getline(lines, line)) {
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') {
            shifted << line << "\n";
            continue;
        }
        const size_t end = line.find_first_of(" \t", first);
        const std::string frames = line.substr(first, end - first);
        const size_t dash = frames.find('-');
        shifted << std::stoull(frames.substr(0, dash)) + frameBase;
        if (dash != std::string::npos)
            shifted << "-" << std::stoull(frames.substr(dash + 1)) + frameBase;
        shifted << line.substr(end) << "\n";
    }
    std::istringstream in(shifted.str());
    auto parsed = std::make_shared<vorn::engine::InputScript>(vorn::engine::InputScript::parse(in));
    vorn::engine::InputSource::instance().useScript(parsed);
}

void TestStage::run(int frames, float dt) {
    for (int i = 0; i < frames; ++i)
        app.runFrame(dt);
}

} // namespace testsupport
