// One frame of the ambient cloud, the largest particle effect (1,000 particles): the system's
// update (integration, spawning and its four behaviours) plus the refill of the draw arrays that
// are uploaded to the vertex buffer, and the same with the cloud's swirl applied to the points.
// The cloud is warmed up for 10 s first so every particle is alive, as in play. Heap allocations
// are counted by replacing the global operator new: after the first frame there must be none.
#include "particles/ParticleEffects.hpp"
#include "particles/ParticleSystem.hpp"
#include "particles/ParticleVertices.hpp"
#include "particles/Rotator.hpp"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long long> allocations{0};
} // namespace

// The replacements pair malloc with free, which GCC cannot see through operator new.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

using vorn::particles::ParticleEffects;
using vorn::particles::ParticleSystem;
using vorn::particles::ParticleVertices;

constexpr float dt = 1.0f / 60.0f;

void warmUp(ParticleSystem& system) {
    std::srand(1);
    ParticleEffects::configureAmbientCloud(system);
    system.start();
    for (int frame = 0; frame < 600; ++frame)
        system.update(dt, true);
}

// Runs frames, counting the allocations of every frame after the first one measured.
template <class Frame> void measure(benchmark::State& state, ParticleSystem& system, Frame frame) {
    frame(); // the first frame may size the draw arrays
    const long long before = allocations.load();
    for (auto _ : state)
        frame();
    const long long after = allocations.load();
    state.counters["allocs_per_frame"] = benchmark::Counter(
        static_cast<double>(after - before) / static_cast<double>(state.iterations()));
    state.counters["alive"] = system.aliveCount();
}

void BM_AmbientCloudFrame(benchmark::State& state) {
    ParticleSystem system;
    warmUp(system);
    ParticleVertices vertices;
    measure(state, system, [&] {
        system.update(dt, true);
        benchmark::DoNotOptimize(vertices.fillPoints(system));
    });
}
BENCHMARK(BM_AmbientCloudFrame)->Unit(benchmark::kMicrosecond);

void BM_AmbientCloudFrameSwirled(benchmark::State& state) {
    ParticleSystem system;
    warmUp(system);
    ParticleVertices vertices;
    vorn::particles::Rotator swirl(10.0f);
    measure(state, system, [&] {
        system.update(dt, true);
        swirl.beginUpdate(dt);
        swirl.transformPoints(nullptr, 0);
        const std::size_t n = vertices.fillPoints(system);
        swirl.rotatePoints(vertices.positions.data(), n);
        benchmark::DoNotOptimize(vertices.positions.data());
    });
}
BENCHMARK(BM_AmbientCloudFrameSwirled)->Unit(benchmark::kMicrosecond);

// The update alone, to show where the time goes.
void BM_AmbientCloudUpdateOnly(benchmark::State& state) {
    ParticleSystem system;
    warmUp(system);
    measure(state, system, [&] { system.update(dt, true); });
}
BENCHMARK(BM_AmbientCloudUpdateOnly)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
