#include "engine/Application.hpp"

#include "engine/AssetRoot.hpp"
#include "engine/GraphicsContext.hpp"
#include "engine/InputSource.hpp"
#include "engine/World.hpp"

#include <SFML/System/Clock.hpp>
#include <SFML/System/Sleep.hpp>

#include <chrono>
#include <vector>

namespace vorn::engine {

Application::Application(GraphicsContext* context, float minFrameRate, float targetFrameRate,
                         const std::string& assetRoot)
    : context(context), minFrameRate(minFrameRate), targetFrameRate(targetFrameRate),
      assetRoot(assetRoot), framePacer(minFrameRate, targetFrameRate) {
    setAssetRoot(assetRoot);
    if (context)
        context->prepareDefaultState();
}

Application::~Application() = default;

void Application::setWorld(std::shared_ptr<World> world) {
    if (!world)
        return;
    world->setApplication(this);
    if (!current) {
        current = std::move(world);
        current->start();
        return;
    }
    next = world;
    world->start();
}

void Application::update(float dt) {
    if (running && current)
        current->update(dt);
    if (next) {
        // The old world dies here unless someone else still holds it.
        current = std::move(next);
        next.reset();
    }
}

void Application::dispatch(const sf::Event& event) {
    switch (event.type) {
    case sf::Event::Closed:
        running = false;
        break;
    case sf::Event::Resized:
        if (context)
            context->setViewport(event.size.width, event.size.height);
        break;
    case sf::Event::MouseButtonPressed:
        if (current)
            current->mouseButtonPressed(event.mouseButton);
        break;
    case sf::Event::MouseButtonReleased:
        if (current)
            current->mouseButtonReleased(event.mouseButton);
        break;
    case sf::Event::KeyPressed:
        if (current)
            current->keyPressed(event.key);
        break;
    case sf::Event::KeyReleased:
        if (current)
            current->keyReleased(event.key);
        break;
    default:
        break;
    }
}

static bool isDeviceEvent(const sf::Event& event) {
    switch (event.type) {
    case sf::Event::KeyPressed:
    case sf::Event::KeyReleased:
    case sf::Event::MouseButtonPressed:
    case sf::Event::MouseButtonReleased:
        return true;
    default:
        return false;
    }
}

void Application::runFrame(float dt) {
    InputSource& input = InputSource::instance();
    std::vector<sf::Event> scripted;
    input.beginFrame(frames, scripted);

    if (context) {
        sf::Event event;
        while (context->pollEvent(event)) {
            // A script replaces the real keyboard and mouse entirely.
            if (input.scripted() && isDeviceEvent(event))
                continue;
            dispatch(event);
        }
    }
    for (const sf::Event& event : scripted)
        dispatch(event);

    using Clock = std::chrono::steady_clock;
    const Clock::time_point updateStart = Clock::now();
    update(dt);
    const Clock::time_point renderStart = Clock::now();
    if (current)
        current->render(dt);
    const Clock::time_point renderEnd = Clock::now();
    updateSeconds = std::chrono::duration<double>(renderStart - updateStart).count();
    renderSeconds = std::chrono::duration<double>(renderEnd - renderStart).count();
    if (audioUpdate)
        audioUpdate(dt);

    ++frames;
    if (frameLimit != 0 && frames >= frameLimit)
        running = false;
    if (frameEnd)
        frameEnd(frames - 1);
    if (context)
        context->display();
}

void Application::run() {
    sf::Clock clock;
    while (running) {
        float dt;
        if (fixedStep > 0.0f) {
            dt = framePacer.timeStep(fixedStep, 0.0f);
        } else {
            const float measured = clock.restart().asSeconds();
            const float sleep = framePacer.sleepFor(measured);
            float slept = 0.0f;
            if (measured < framePacer.maxStep()) {
                sf::sleep(sf::seconds(sleep));
                slept = clock.restart().asSeconds();
            }
            dt = framePacer.timeStep(measured, slept);
        }
        runFrame(dt);
    }
}

} // namespace vorn::engine
