// Group operations: a change of volume or pause reaches every voice in the group at once (every
// voice at all for the master group), under the system's lock.
#include "audio/ChannelGroup.hpp"

#include "audio/SoundSystemImpl.hpp"

#include <algorithm>
#include <cmath>

namespace vorn::audio {

Result ChannelGroup::setVolume(const float value) {
    if (!std::isfinite(value))
        return Result::InvalidParam;
    SoundSystemImpl& impl = *system->impl;
    const Lock lock(impl.mutex);
    impl.makeCurrent();
    volume = std::clamp(value, 0.0f, 1.0f);
    for (Voice& voice : impl.voices)
        if (voice.inUse && voice.source && (voice.group == this || this == impl.master.get()))
            impl.applyGain(voice);
    return Result::Ok;
}

Result ChannelGroup::getVolume(float& value) const {
    const Lock lock(system->impl->mutex);
    value = volume;
    return Result::Ok;
}

Result ChannelGroup::setPaused(const bool value) {
    SoundSystemImpl& impl = *system->impl;
    const Lock lock(impl.mutex);
    impl.makeCurrent();
    paused = value;
    Result first = Result::Ok;
    for (Voice& voice : impl.voices) {
        if (voice.inUse && (voice.group == this || this == impl.master.get())) {
            const Result result = impl.applyPause(voice);
            if (first == Result::Ok)
                first = result;
        }
    }
    return first;
}

Result ChannelGroup::getPaused(bool& value) const {
    const Lock lock(system->impl->mutex);
    value = paused;
    return Result::Ok;
}

} // namespace vorn::audio
