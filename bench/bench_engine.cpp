// Engine-core costs: sibling lookup, update-pass dispatch, and entity creation and destruction.
#include "engine/Behavior.hpp"
#include "engine/Label.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

using vorn::components::Label;
using vorn::components::Transform;
using vorn::engine::Behavior;
using vorn::engine::EntityHandle;
using vorn::engine::World;

namespace {

class Trivial : public Behavior {
public:
    void update(float dt) override { accumulated += dt; }
    float accumulated = 0.0f;
};

// A level-sized world: many entities, each with a transform, a behaviour and a few tags.
void populate(World& world, int entities, std::vector<EntityHandle>& handles) {
    for (int i = 0; i < entities; ++i) {
        const EntityHandle e = world.createEntity();
        world.addComponent(e, new Transform());
        world.addComponent(e, new Trivial());
        world.addComponent(e, new Label("gameSpace"));
        world.addComponent(e, new Label(i % 2 ? "platform" : "enemy"));
        handles.push_back(e);
    }
}

void BM_SiblingLookup(benchmark::State& state) {
    World world;
    std::vector<EntityHandle> handles;
    populate(world, 2000, handles);
    const std::string name = Transform::componentName;
    size_t i = 0;
    for (auto _ : state) {
        const auto& found = world.getComponents(handles[i], name);
        benchmark::DoNotOptimize(found.front());
        i = (i + 7) % handles.size();
    }
}
BENCHMARK(BM_SiblingLookup);

void BM_SiblingLookupFromLiteral(benchmark::State& state) {
    World world;
    std::vector<EntityHandle> handles;
    populate(world, 2000, handles);
    size_t i = 0;
    for (auto _ : state) {
        // A literal on purpose: this measures the temporary string a literal costs per lookup.
        benchmark::DoNotOptimize(world.getComponent(handles[i], "transform"));
        i = (i + 7) % handles.size();
    }
}
BENCHMARK(BM_SiblingLookupFromLiteral);

void BM_UpdatePass(benchmark::State& state) {
    World world;
    const int count = static_cast<int>(state.range(0));
    for (int i = 0; i < count; ++i)
        world.addComponent(world.createEntity(), new Trivial());
    for (auto _ : state)
        world.update(0.016f);
    // Time per behaviour = 1 / items_per_second.
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_UpdatePass)->Arg(10000);

void BM_AddAndDestroyEntityWithEightComponents(benchmark::State& state) {
    World world;
    std::vector<EntityHandle> handles;
    populate(world, 500, handles);
    // Collections the way a level has them, so the signals have listeners.
    world.getEntities(Transform::componentName, "gameSpace");
    world.getEntities("platform");
    for (auto _ : state) {
        const EntityHandle e = world.createEntity();
        world.addComponent(e, new Transform());
        world.addComponent(e, new Trivial());
        world.addComponent(e, new Trivial());
        world.addComponent(e, new Label("gameSpace"));
        world.addComponent(e, new Label("platform"));
        world.addComponent(e, new Label("staticBody"));
        world.addComponent(e, new Label("being"));
        world.addComponent(e, new Label("hasGravity"));
        world.destroyEntity(e);
    }
}
BENCHMARK(BM_AddAndDestroyEntityWithEightComponents);

} // namespace

BENCHMARK_MAIN();
