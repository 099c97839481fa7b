// One physics frame (gravity, the rigid-body system, the bodies, the trackers) over a scene of
// n dynamic circles and 2n static boxes: half of the circles rest on boxes under gravity, the
// other half fall through the gaps between them at a steady 30 units/s and are put back on top
// when they drop out of the bottom, so every frame looks like the last. The same scene runs in
// Box2D as a reference, and with our broad phase switched off to show what the full scan costs.
#include "engine/Application.hpp"
#include "engine/Behavior.hpp"
#include "engine/ComponentCollection.hpp"
#include "engine/Label.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "physics/CircleCollider.hpp"
#include "physics/CollisionTracker.hpp"
#include "physics/Gravity.hpp"
#include "physics/PolygonCollider.hpp"
#include "physics/RigidBody.hpp"
#include "physics/RigidBodySystem.hpp"

#include <benchmark/benchmark.h>
#include <box2d/box2d.h>
#include <glm/gtc/matrix_transform.hpp>

#include <cmath>
#include <memory>
#include <vector>

namespace {

using vorn::components::CircleCollider;
using vorn::components::CollisionTracker;
using vorn::components::Label;
using vorn::components::PolygonCollider;
using vorn::components::RigidBody;
using vorn::components::Transform;
using vorn::engine::EntityHandle;
using vorn::engine::World;

constexpr float dt = 1.0f / 60.0f;
constexpr float boxWidth = 12.0f;
constexpr float boxHeight = 4.0f;
constexpr float pitchX = 20.0f; // 8-unit gaps between boxes
constexpr float pitchY = 16.0f;
constexpr float radius = 2.0f;
constexpr int warmUpFrames = 120;
constexpr float fallSpeed = 30.0f;

// Where everything starts; both engines build from the same layout.
struct Layout {
    struct Circle {
        float x, y;
        bool falls;
    };
    std::vector<glm::vec2> boxes; // centres
    std::vector<Circle> circles;
    std::vector<glm::vec2> doors; // tracker areas
    float top = 0.0f;
    float bottom = 0.0f;

    explicit Layout(int n) {
        const int boxCount = 2 * n;
        const int columns = std::max(2, static_cast<int>(std::ceil(std::sqrt(boxCount * 1.5))));
        for (int i = 0; i < boxCount; ++i)
            boxes.emplace_back((i % columns) * pitchX, -(i / columns) * pitchY);
        const int rows = (boxCount + columns - 1) / columns;
        top = pitchY;
        bottom = -rows * pitchY;
        int fallers = 0;
        for (int i = 0; i < n; ++i) {
            if (i % 2 == 0) {
                const glm::vec2 box = boxes[static_cast<size_t>((i * 7) % boxCount)];
                circles.push_back({box.x, box.y + boxHeight / 2.0f + radius, false});
            } else {
                // Spread over the gap columns, 12 apart in each, so that they never meet.
                const int column = fallers % (columns - 1);
                const float y = top - static_cast<float>(fallers / (columns - 1)) * 12.0f -
                                static_cast<float>(column % 5) * 2.0f;
                circles.push_back(
                    {column * pitchX + pitchX / 2.0f, std::max(y, bottom - 9.0f), true});
                ++fallers;
            }
        }
        for (int i = 0; i < std::max(1, n / 10); ++i)
            doors.push_back(boxes[static_cast<size_t>((i * 13) % boxCount)] +
                            glm::vec2(0.0f, 6.0f));
    }
};

// Puts falling circles that left the bottom back on top, as a steady stream.
class Recycler : public vorn::engine::Behavior {
public:
    Recycler(std::vector<EntityHandle> falling, float top, float bottom)
        : falling(std::move(falling)), top(top), bottom(bottom) {}
    void initialize() override {
        for (const EntityHandle& e : falling)
            transforms.push_back(world->getComponentAs<Transform>(e, "transform"));
    }
    void update(float) override {
        for (Transform* t : transforms)
            if (t->matrix[3].y < bottom - 10.0f)
                t->matrix[3].y += top - (bottom - 10.0f);
    }
    std::vector<EntityHandle> falling;
    std::vector<Transform*> transforms;
    float top, bottom;
};

struct OurScene {
    vorn::engine::Application app{nullptr, 20.0f, 60.0f, "assets/"};
    std::shared_ptr<World> world = std::make_shared<World>();
    vorn::systems::RigidBodySystem* system = nullptr;

    // With concaveEvery > 0, every concaveEvery-th static box is a concave point list of the
    // same extent instead (an arrow head), which the broad phase cannot bound.
    OurScene(const Layout& layout, bool broadPhase, int concaveEvery = 0) {
        system = new vorn::systems::RigidBodySystem();
        system->setBroadPhaseEnabled(broadPhase);
        world->addComponent(system);
        world->addComponent(new vorn::systems::Gravity(0.0f, -40.0f, 0.0f, "hasGravity"));
        const float w = boxWidth / 2.0f;
        const float h = boxHeight / 2.0f;
        const std::vector<glm::vec2> arrowHead{{-w, -h}, {w, 0.0f}, {-w, h}, {0.0f, 0.0f}};
        int boxIndex = 0;
        for (const glm::vec2& b : layout.boxes) {
            const EntityHandle e = place(b);
            if (concaveEvery > 0 && boxIndex++ % concaveEvery == 0)
                world->addComponent(e, new PolygonCollider(arrowHead, 0.0f, 1.0f, 1.0f));
            else
                world->addComponent(
                    e, new PolygonCollider(0.0f, -w, -h, boxWidth, boxHeight, 1.0f, 1.0f));
            world->addComponent(e, new RigidBody(1.0f, true, 0.0f, 0.0f, 0.0f, 0.0f));
            world->addComponent(e, new Label("platform"));
            world->addComponent(e, new Label("staticBody"));
        }
        std::vector<EntityHandle> falling;
        bool first = true;
        for (const Layout::Circle& c : layout.circles) {
            const EntityHandle e = place({c.x, c.y});
            world->addComponent(e, new CircleCollider(radius));
            world->addComponent(
                e, new RigidBody(100.0f, false, 0.0f, 0.0f, c.falls ? -fallSpeed : 0.0f, 0.0f));
            if (!c.falls)
                world->addComponent(e, new Label("hasGravity"));
            if (first && !c.falls) {
                world->addComponent(e, new Label("player"));
                first = false;
            }
            if (c.falls)
                falling.push_back(e);
        }
        for (const glm::vec2& d : layout.doors) {
            const EntityHandle e = place(d);
            world->addComponent(e, new PolygonCollider(0.0f, -2.0f, -3.0f, 4.0f, 6.0f, 1.0f, 1.0f));
            world->addComponent(e, new CollisionTracker("player"));
        }
        world->addComponent(world->createEntity(),
                            new Recycler(falling, layout.top, layout.bottom));
        app.setWorld(world);
        for (int i = 0; i < warmUpFrames; ++i)
            world->update(dt);
    }
    EntityHandle place(const glm::vec2& p) {
        const EntityHandle e = world->createEntity();
        world->addComponent(e, new Transform(glm::translate(glm::mat4(1.0f), glm::vec3(p, 0.0f))));
        return e;
    }
    size_t contacts() const {
        size_t total = 0;
        for (auto* c : world->getComponentCollection("rigidBody"))
            total += static_cast<const RigidBody*>(c)->contacts.size();
        return total;
    }
};

void runOurs(benchmark::State& state, bool broadPhase, int concaveEvery = 0) {
    const Layout layout(static_cast<int>(state.range(0)));
    OurScene scene(layout, broadPhase, concaveEvery);
    for (auto _ : state)
        scene.world->update(dt);
    state.counters["contacts"] = static_cast<double>(scene.contacts());
    state.counters["bodies"] = static_cast<double>(layout.boxes.size() + layout.circles.size());
}

void BM_PhysicsFrame(benchmark::State& state) {
    runOurs(state, true);
}
void BM_PhysicsFrameFullScan(benchmark::State& state) {
    runOurs(state, false);
}
// One static shape in a hundred is concave: those are candidates of every body.
void BM_PhysicsFrameConcave(benchmark::State& state) {
    runOurs(state, true, 100);
}

// The same scene in Box2D: static boxes, dynamic circles, sensors for the doors. Sleeping is off,
// as our bodies never sleep.
void BM_Box2DFrame(benchmark::State& state) {
    const Layout layout(static_cast<int>(state.range(0)));
    b2World world(b2Vec2(0.0f, -40.0f));
    world.SetAllowSleeping(false);
    for (const glm::vec2& b : layout.boxes) {
        b2BodyDef def;
        def.position.Set(b.x, b.y);
        b2Body* body = world.CreateBody(&def);
        b2PolygonShape shape;
        shape.SetAsBox(boxWidth / 2.0f, boxHeight / 2.0f);
        body->CreateFixture(&shape, 0.0f);
    }
    std::vector<b2Body*> falling;
    for (const Layout::Circle& c : layout.circles) {
        b2BodyDef def;
        def.type = b2_dynamicBody;
        def.position.Set(c.x, c.y);
        if (c.falls) {
            def.gravityScale = 0.0f;
            def.linearVelocity.Set(0.0f, -fallSpeed);
        }
        b2Body* body = world.CreateBody(&def);
        b2CircleShape shape;
        shape.m_radius = radius;
        b2FixtureDef fixture;
        fixture.shape = &shape;
        fixture.density = 100.0f / (3.1415927f * radius * radius);
        fixture.friction = 0.0f;
        fixture.restitution = 0.0f;
        body->CreateFixture(&fixture);
        if (c.falls)
            falling.push_back(body);
    }
    for (const glm::vec2& d : layout.doors) {
        b2BodyDef def;
        def.position.Set(d.x, d.y);
        b2Body* body = world.CreateBody(&def);
        b2PolygonShape shape;
        shape.SetAsBox(2.0f, 3.0f);
        b2FixtureDef fixture;
        fixture.shape = &shape;
        fixture.isSensor = true;
        body->CreateFixture(&fixture);
    }
    const auto frame = [&] {
        world.Step(dt, 8, 3);
        for (b2Body* body : falling) {
            const b2Vec2 p = body->GetPosition();
            if (p.y < layout.bottom - 10.0f)
                body->SetTransform(b2Vec2(p.x, p.y + layout.top - (layout.bottom - 10.0f)), 0.0f);
        }
    };
    for (int i = 0; i < warmUpFrames; ++i)
        frame();
    for (auto _ : state)
        frame();
    state.counters["contacts"] = static_cast<double>(world.GetContactCount());
    state.counters["bodies"] = static_cast<double>(world.GetBodyCount());
}

} // namespace

BENCHMARK(BM_PhysicsFrame)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Box2DFrame)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PhysicsFrameConcave)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PhysicsFrameFullScan)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
