#include "audio/Channel.hpp"

#include "audio/SoundSystem.hpp"

namespace vorn::audio {

Result Channel::set3DAttributes(const glm::vec3* position, const glm::vec3* velocity) {
    return system_ != nullptr ? system_->channelSet3DAttributes(*this, position, velocity)
                              : Result::InvalidHandle;
}

Result Channel::setMode(const unsigned mode) {
    return system_ != nullptr ? system_->channelSetMode(*this, mode) : Result::InvalidHandle;
}

Result Channel::getMode(unsigned& mode) const {
    return system_ != nullptr ? system_->channelGetMode(*this, mode) : Result::InvalidHandle;
}

Result Channel::setLoopCount(const int count) {
    return system_ != nullptr ? system_->channelSetLoopCount(*this, count) : Result::InvalidHandle;
}

Result Channel::setVolume(const float volume) {
    return system_ != nullptr ? system_->channelSetVolume(*this, volume) : Result::InvalidHandle;
}

Result Channel::getVolume(float& volume) const {
    return system_ != nullptr ? system_->channelGetVolume(*this, volume) : Result::InvalidHandle;
}

Result Channel::set3DMinMaxDistance(const float minimum, const float maximum) {
    return system_ != nullptr ? system_->channelSet3DMinMaxDistance(*this, minimum, maximum)
                              : Result::InvalidHandle;
}

Result Channel::setChannelGroup(ChannelGroup* group) {
    return system_ != nullptr ? system_->channelSetGroup(*this, group) : Result::InvalidHandle;
}

Result Channel::getChannelGroup(ChannelGroup*& group) const {
    group = nullptr;
    return system_ != nullptr ? system_->channelGetGroup(*this, group) : Result::InvalidHandle;
}

Result Channel::setPaused(const bool paused) {
    return system_ != nullptr ? system_->channelSetPaused(*this, paused) : Result::InvalidHandle;
}

Result Channel::getPaused(bool& paused) const {
    return system_ != nullptr ? system_->channelGetPaused(*this, paused) : Result::InvalidHandle;
}

Result Channel::stop() {
    return system_ != nullptr ? system_->channelStop(*this) : Result::InvalidHandle;
}

Result Channel::isPlaying(bool& playing) const {
    playing = false;
    return system_ != nullptr ? system_->channelIsPlaying(*this, playing) : Result::Ok;
}

} // namespace vorn::audio
