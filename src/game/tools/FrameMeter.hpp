#pragma once

#include "engine/Behavior.hpp"

#include <memory>
#include <string>

namespace game {

struct DesignerSettings;

// The on-screen frame meter of an area: frames per second and the mean update, render and
// post-processing milliseconds of the last second (the figures of --profile-frames), and the
// picture's quality level and render scale (with "auto" when the game chooses them), written into
// the "text" of its own HUD entity while the designer's switch is on, and an empty text while it
// is off. The update and render figures are the processor time the Application measured; the
// post-processing figure is the GPU time of the area's post-processing renderer, which the meter
// asks to time its steps while it is shown.
class FrameMeter : public vorn::engine::Behavior {
public:
    inline static const std::string componentName = "frameMeter";

    explicit FrameMeter(std::shared_ptr<DesignerSettings> settings);

    // Counts the frame, closes a second's figures when one has passed, and shows or hides them.
    void update(float dt) override;

    // The readout as shown: the last full second's figures, or those gathered so far before the
    // first second has passed.
    std::string readout() const;

private:
    struct Window {
        double seconds = 0.0;
        unsigned frames = 0;
        double update = 0.0;
        double render = 0.0;
        double post = 0.0;
        unsigned postFrames = 0;
    };
    static std::string format(const Window& window);
    // The post-processing renderer's running GPU total (milliseconds) and frame count.
    bool gpuTotals(double& milliseconds, unsigned long long& frames) const;

    std::shared_ptr<DesignerSettings> settings;
    Window current;
    Window last;
    bool haveLast = false;
    double windowStart = -1.0;
    double gpuStartMs = 0.0;
    unsigned long long gpuStartFrames = 0;
};

} // namespace game
