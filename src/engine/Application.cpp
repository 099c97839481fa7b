#include "engine/Application.hpp"

#include "engine/AssetRoot.hpp"
#include "engine/GraphicsContext.hpp"
#include "engine/InputSource.hpp"
#include "engine/World.hpp"

#include <SFML/System/Sleep.hpp>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

namespace vorn::engine {

Application::Application(GraphicsContext* context, float minFrameRate, float targetFrameRate,
                         const std::string& assetRoot)
    : context(context), minFrameRate(minFrameRate), targetFrameRate(targetFrameRate),
      assetRoot(assetRoot), framePacer(minFrameRate, targetFrameRate) {
    clock.now = [] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    };
    clock.sleep = [](double seconds) { sf::sleep(sf::seconds(static_cast<float>(seconds))); };
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

void Application::setGameSpeed(float newSpeed) {
    if (std::isfinite(newSpeed))
        speed = std::clamp(newSpeed, 0.1f, 1.0f);
}

void Application::setClock(Clock newClock) {
    if (newClock.now && newClock.sleep)
        clock = std::move(newClock);
}

void Application::setFrameSize(unsigned width, unsigned height) {
    if (width == 0 || height == 0)
        return;
    frameSize[0] = windowSize[0] = width;
    frameSize[1] = windowSize[1] = height;
}

void Application::setFocus(bool hasFocus) {
    if (focused == hasFocus)
        return;
    focused = hasFocus;
    if (focusChanged)
        focusChanged(hasFocus);
}

// Scales a window pixel into the frame: the picture is stretched over the whole window.
static int toFrame(int pixel, unsigned window, unsigned frame) {
    if (window == 0)
        return pixel;
    return static_cast<int>(static_cast<long long>(pixel) * frame / window);
}

void Application::dispatch(sf::Event event) {
    switch (event.type) {
    case sf::Event::Closed:
        running = false;
        break;
    case sf::Event::Resized:
        if (event.size.width == 0 || event.size.height == 0)
            break; // minimised: keep mapping clicks by the last real size
        windowSize[0] = event.size.width;
        windowSize[1] = event.size.height;
        if (context)
            context->setViewport(event.size.width, event.size.height);
        break;
    case sf::Event::LostFocus:
        setFocus(false);
        break;
    case sf::Event::GainedFocus:
        setFocus(true);
        break;
    case sf::Event::MouseButtonPressed:
    case sf::Event::MouseButtonReleased:
        event.mouseButton.x = toFrame(event.mouseButton.x, windowSize[0], frameSize[0]);
        event.mouseButton.y = toFrame(event.mouseButton.y, windowSize[1], frameSize[1]);
        if (current) {
            if (event.type == sf::Event::MouseButtonPressed)
                current->mouseButtonPressed(event.mouseButton);
            else
                current->mouseButtonReleased(event.mouseButton);
        }
        break;
    case sf::Event::KeyPressed:
        if (event.key.code == sf::Keyboard::F11 && fullscreenToggle) {
            fullscreenToggle();
            break;
        }
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
    // A replayed run decides focus itself: the real window's focus must not pause it.
    case sf::Event::LostFocus:
    case sf::Event::GainedFocus:
        return true;
    default:
        return false;
    }
}

static bool isFocusEvent(const sf::Event& event) {
    return event.type == sf::Event::LostFocus || event.type == sf::Event::GainedFocus;
}

void Application::runFrame(float dt) {
    FramePacer::Steps one;
    one.step = dt * speed;
    runFrame(one, dt);
}

void Application::runFrame(const FramePacer::Steps& steps, float audioSeconds) {
    InputSource& input = InputSource::instance();
    std::vector<sf::Event> scripted;
    input.beginFrame(frames, scripted);

    if (context) {
        sf::Event event;
        while (context->pollEvent(event)) {
            // A script replaces the real keyboard and mouse entirely.
            if (input.scripted() && isDeviceEvent(event))
                continue;
            // A run at a fixed time step is meant to repeat frame for frame; when the window
            // manager happens to hand out the focus must not change which frames update.
            if (fixedStep > 0.0f && isFocusEvent(event))
                continue;
            dispatch(event);
        }
    }
    for (const sf::Event& event : scripted)
        dispatch(event);

    using Clock = std::chrono::steady_clock;
    const Clock::time_point updateStart = Clock::now();
    stepCount = 0;
    if (focused) {
        // The steps catch the world up with the clock; a world switched to in one of them starts
        // afresh with the next frame rather than with the old world's remaining time.
        for (int i = 0; i < steps.count && running; ++i) {
            const World* before = current.get();
            update(steps.step);
            ++stepCount;
            if (current.get() != before)
                break;
        }
    }
    const Clock::time_point renderStart = Clock::now();
    const bool lastFrame = frameLimit != 0 && frames + 1 >= frameLimit;
    if (current && (!drawLastFrameOnly || lastFrame))
        current->render(steps.total());
    const Clock::time_point renderEnd = Clock::now();
    updateSeconds = std::chrono::duration<double>(renderStart - updateStart).count();
    renderSeconds = std::chrono::duration<double>(renderEnd - renderStart).count();
    if (audioUpdate)
        audioUpdate(audioSeconds);

    ++frames;
    if (frameLimit != 0 && frames >= frameLimit)
        running = false;
    if (frameEnd)
        frameEnd(frames - 1);
    if (context)
        context->display();
}

void Application::run() {
    double mark = clock.now();
    while (running) {
        if (fixedStep > 0.0f) {
            FramePacer::Steps one;
            one.step = framePacer.timeStep(fixedStep * speed, 0.0f);
            runFrame(one, framePacer.timeStep(fixedStep, 0.0f));
            continue;
        }
        // The work since the last mark, then the sleep towards the target frame rate.
        const double beforeSleep = clock.now();
        const float measured = static_cast<float>(beforeSleep - mark);
        mark = beforeSleep;
        float slept = 0.0f;
        // A frame with no time left to sleep does not ask to sleep at all: even a zero sleep hands
        // the processor away, and on a busy machine it may take a while to come back.
        const float sleep = framePacer.sleepFor(measured);
        if (sleep > 0.0f) {
            clock.sleep(sleep);
            mark = clock.now();
            slept = static_cast<float>(mark - beforeSleep);
        }
        workSeconds = measured;
        frameSeconds = static_cast<double>(measured) + slept;
        const float real = measured + slept;
        // The audio step follows the clock, bounded as the world's catching up is.
        const float audio =
            std::min(real, framePacer.maxStep() * static_cast<float>(FramePacer::maxSteps));
        runFrame(framePacer.split(real * speed), audio);
    }
}

} // namespace vorn::engine
