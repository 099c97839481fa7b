#include "audio/Sound.hpp"

#include "audio/AlBuffer.hpp"
#include "audio/SoundTypes.hpp"

#include <cmath>

namespace vorn::audio {

bool mergeMode(const unsigned current, const unsigned change, unsigned& merged) {
    merged = current;
    const unsigned groups[] = {mode::LoopMask, mode::DimensionMask};
    for (const unsigned group : groups) {
        const unsigned named = change & group;
        if (named == group)
            return false;
        if (named != 0)
            merged = (merged & ~group) | named;
    }
    merged |= change & mode::InverseRolloff;
    return true;
}

Sound::Sound(std::string path, const unsigned mode, const bool stream)
    : file(std::move(path)), playMode(mode), streamed(stream) {}

Sound::~Sound() = default;

Result Sound::setMode(const unsigned mode) {
    unsigned merged = 0;
    if (!mergeMode(playMode, mode, merged))
        return Result::InvalidParam;
    playMode = merged;
    return Result::Ok;
}

Result Sound::get3DMinMaxDistance(float& minimum, float& maximum) const {
    minimum = minDistance;
    maximum = maxDistance;
    return Result::Ok;
}

Result Sound::set3DMinMaxDistance(const float minimum, const float maximum) {
    if (!std::isfinite(minimum) || !std::isfinite(maximum) || minimum < 0.0f || maximum < minimum)
        return Result::InvalidParam;
    minDistance = minimum;
    maxDistance = maximum;
    return Result::Ok;
}

double Sound::lengthSeconds() const {
    return rate > 0 ? static_cast<double>(frameCount) / rate : 0.0;
}

} // namespace vorn::audio
