#include "audio/ChannelGroup.hpp"

#include "audio/SoundSystem.hpp"

namespace vorn::audio {

Result ChannelGroup::setVolume(const float volume) {
    return system_->groupSetVolume(*this, volume);
}

Result ChannelGroup::getVolume(float& volume) const {
    return system_->groupGetVolume(*this, volume);
}

Result ChannelGroup::setPaused(const bool paused) {
    return system_->groupSetPaused(*this, paused);
}

Result ChannelGroup::getPaused(bool& paused) const {
    return system_->groupGetPaused(*this, paused);
}

} // namespace vorn::audio
