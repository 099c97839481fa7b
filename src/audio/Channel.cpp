// Channel operations: each takes the system's lock through withVoice, finds the live voice behind
// the handle (a stale handle answers InvalidHandle) and applies the change to its OpenAL source
// at once when the voice has one.
#include "audio/Channel.hpp"

#include "audio/SoundSystemImpl.hpp"

#include <algorithm>
#include <cmath>

namespace vorn::audio {

Result Channel::set3DAttributes(const glm::vec3* position, const glm::vec3* velocity) {
    if (!system)
        return Result::InvalidHandle;
    if ((position && !isFinite(*position)) || (velocity && !isFinite(*velocity)))
        return Result::InvalidParam;
    SoundSystemImpl& impl = *system->impl;
    return impl.withVoice(*this, [&](Voice& voice) {
        if (position)
            voice.position = *position;
        if (velocity)
            voice.velocity = *velocity;
        if (voice.source)
            impl.applySpatial(voice);
        return Result::Ok;
    });
}

Result Channel::setMode(const unsigned mode) {
    if (!system)
        return Result::InvalidHandle;
    SoundSystemImpl& impl = *system->impl;
    return impl.withVoice(*this, [&](Voice& voice) {
        unsigned merged = 0;
        if (!mergeMode(voice.mode, mode, merged))
            return Result::InvalidParam;
        voice.mode = merged;
        if (voice.started && voice.source) {
            impl.applySpatial(voice);
            impl.applyLooping(voice);
        }
        return Result::Ok;
    });
}

Result Channel::getMode(unsigned& mode) const {
    if (!system)
        return Result::InvalidHandle;
    return system->impl->withVoice(*this, [&](Voice& voice) {
        mode = voice.mode;
        return Result::Ok;
    });
}

Result Channel::setLoopCount(const int count) {
    if (!system)
        return Result::InvalidHandle;
    if (count < -1)
        return Result::InvalidParam;
    SoundSystemImpl& impl = *system->impl;
    return impl.withVoice(*this, [&](Voice& voice) {
        voice.loopCount = count;
        if (voice.started)
            impl.applyLooping(voice);
        return Result::Ok;
    });
}

Result Channel::setVolume(const float volume) {
    if (!system)
        return Result::InvalidHandle;
    if (!std::isfinite(volume))
        return Result::InvalidParam;
    SoundSystemImpl& impl = *system->impl;
    return impl.withVoice(*this, [&](Voice& voice) {
        voice.volume = std::clamp(volume, 0.0f, 1.0f);
        if (voice.source)
            impl.applyGain(voice);
        return Result::Ok;
    });
}

Result Channel::getVolume(float& volume) const {
    if (!system)
        return Result::InvalidHandle;
    return system->impl->withVoice(*this, [&](Voice& voice) {
        volume = voice.volume;
        return Result::Ok;
    });
}

Result Channel::set3DMinMaxDistance(const float minimum, const float maximum) {
    if (!system)
        return Result::InvalidHandle;
    if (!std::isfinite(minimum) || !std::isfinite(maximum) || minimum < 0.0f || maximum < minimum)
        return Result::InvalidParam;
    SoundSystemImpl& impl = *system->impl;
    return impl.withVoice(*this, [&](Voice& voice) {
        voice.minDistance = minimum;
        voice.maxDistance = maximum;
        if (voice.source)
            impl.applySpatial(voice);
        return Result::Ok;
    });
}

Result Channel::setChannelGroup(ChannelGroup* group) {
    if (!system)
        return Result::InvalidHandle;
    if (group && group->system != system)
        return Result::InvalidParam;
    SoundSystemImpl& impl = *system->impl;
    return impl.withVoice(*this, [&](Voice& voice) {
        voice.group = group ? group : impl.master.get();
        if (voice.source)
            impl.applyGain(voice);
        return impl.applyPause(voice);
    });
}

Result Channel::getChannelGroup(ChannelGroup*& group) const {
    group = nullptr;
    if (!system)
        return Result::InvalidHandle;
    return system->impl->withVoice(*this, [&](Voice& voice) {
        group = voice.group;
        return Result::Ok;
    });
}

Result Channel::setPaused(const bool paused) {
    if (!system)
        return Result::InvalidHandle;
    SoundSystemImpl& impl = *system->impl;
    return impl.withVoice(*this, [&](Voice& voice) {
        voice.paused = paused;
        return impl.applyPause(voice);
    });
}

Result Channel::getPaused(bool& paused) const {
    if (!system)
        return Result::InvalidHandle;
    return system->impl->withVoice(*this, [&](Voice& voice) {
        paused = voice.paused;
        return Result::Ok;
    });
}

Result Channel::stop() {
    if (!system)
        return Result::InvalidHandle;
    SoundSystemImpl& impl = *system->impl;
    return impl.withVoice(*this, [&](Voice& voice) {
        impl.releaseVoice(voice);
        return Result::Ok;
    });
}

Result Channel::isPlaying(bool& playing) const {
    playing = false;
    if (!system)
        return Result::Ok;
    SoundSystemImpl& impl = *system->impl;
    const Lock lock(impl.mutex);
    impl.makeCurrent();
    playing = impl.initialized && impl.liveVoice(*this);
    return impl.initialized ? Result::Ok : Result::Uninitialized;
}

} // namespace vorn::audio
