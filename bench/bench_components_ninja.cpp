// The ninja's own components over one frame on the test stage: movement, energy, health, punch,
// contact damage and his rigid body (integration and resolution against the stage), while a
// scripted player walks right, jumps, walks left and jumps again, over and over. The
// model and the particle effects need OpenGL and are left out; their updates are the animation's
// and the particles' own business. A whole stage frame (gravity, the platforms, the rigid-body
// system) is measured beside it.
#include "components/ActionSignal.hpp"
#include "components/Attack.hpp"
#include "components/Damage.hpp"
#include "components/Energy.hpp"
#include "components/Health.hpp"
#include "components/OriginalSpawnPoint.hpp"
#include "components/PlayerDeathAction.hpp"
#include "components/PlayerReactions.hpp"
#include "components/Score.hpp"
#include "components/SimpleNavigation.hpp"
#include "engine/InputSource.hpp"
#include "engine/Label.hpp"
#include "engine/Transform.hpp"
#include "physics/CircleCollider.hpp"
#include "physics/RigidBody.hpp"
#include "support/TestStage.hpp"

#include <benchmark/benchmark.h>
#include <glm/gtc/matrix_transform.hpp>

#include <sstream>
#include <string>
#include <vector>

namespace {

using vorn::engine::EntityHandle;

// 240 frames a round, repeated: right with a jump, then left with a jump. No punches: the punch
// entity's sprite needs OpenGL.
std::string roundsScript(int rounds) {
    std::ostringstream s;
    for (int r = 0; r < rounds; ++r) {
        const int f = r * 240;
        s << f << "-" << f + 119 << " hold Right\n"
          << f + 40 << "-" << f + 42 << " hold Space\n"
          << f + 120 << "-" << f + 239 << " hold Left\n"
          << f + 160 << "-" << f + 162 << " hold Space\n";
    }
    return s.str();
}

EntityHandle buildNinja(vorn::engine::World& world) {
    namespace vc = vorn::components;
    const EntityHandle e = world.createEntity();
    world.addComponent(e, new vc::Transform(glm::translate(glm::mat4(1.0f), glm::vec3(0, 5, 0))));
    world.addComponent(e, new vc::CircleCollider(5.0f));
    world.addComponent(e, new vc::SimpleNavigation(20, 10, 1, 5, 120));
    world.addComponent(e, new components::Health(100, "antBite", 0.5f, 0.5f, 0.1f));
    world.addComponent(e, new vc::Energy());
    world.addComponent(e, new vc::Score());
    world.addComponent(e, new vc::RigidBody(100, false, 0, 0, 0, 0));
    world.addComponent(e, new components::OriginalSpawnPoint(glm::vec3(0, 5, 0)));
    world.addComponent(e, new components::Attack("enemy", 100, 0.05f, 40, 0.2f, 1, 0, 0, 5, 5, 5));
    world.addComponent(e, new components::Damage("ant", 100, 0.5f, 0));
    world.addComponent(e, new components::PlayerDeathAction());
    world.addComponent(e, new vc::ActionSignal("hurtAction", components::hurt));
    world.addComponent(e, new vc::Label("hasGravity"));
    world.addComponent(e, new vc::Label("player"));
    world.addComponent(e, new vc::Label("being"));
    return e;
}

// The ninja's components that take part in the update pass, in the pass's order.
std::vector<vorn::engine::Component*> ninjaBehaviours(vorn::engine::World& world, EntityHandle e) {
    std::vector<vorn::engine::Component*> list;
    for (vorn::engine::Component* c : world.getEntityComponents(e))
        if (c->hasName("behavior"))
            list.push_back(c);
    std::stable_sort(list.begin(), list.end(), vorn::engine::Component::CompareByUpdatePriority());
    return list;
}

void BM_NinjaComponentsPerFrame(benchmark::State& state) {
    testsupport::TestStage stage;
    const EntityHandle ninja = buildNinja(*stage.world);
    const std::vector<vorn::engine::Component*> parts = ninjaBehaviours(*stage.world, ninja);
    // One round at a time: the input source's cost grows with the script's length.
    const std::string script = roundsScript(1);
    stage.play(script);
    std::vector<sf::Event> events;
    uint64_t frame = 0;
    for (auto _ : state) {
        if (frame == 240) {
            state.PauseTiming();
            stage.play(script);
            frame = 0;
            state.ResumeTiming();
        }
        events.clear();
        vorn::engine::InputSource::instance().beginFrame(stage.app.frameCount() + frame, events);
        ++frame;
        for (vorn::engine::Component* part : parts)
            part->update(testsupport::TestStage::step);
    }
}
BENCHMARK(BM_NinjaComponentsPerFrame);

void BM_WholeStageFrame(benchmark::State& state) {
    testsupport::TestStage stage;
    buildNinja(*stage.world);
    const std::string script = roundsScript(1);
    stage.play(script);
    for (auto _ : state) {
        if (stage.frame() == 240) {
            state.PauseTiming();
            stage.play(script);
            state.ResumeTiming();
        }
        stage.run(1);
    }
}
BENCHMARK(BM_WholeStageFrame);

} // namespace

BENCHMARK_MAIN();
