#include "audio/SoundManager.hpp"

#include "engine/Diagnostics.hpp"

#include <algorithm>
#include <cstring>
#include <iomanip>
#include <ios>

namespace vorn::audio {

using vorn::engine::Diagnostics;

namespace {

std::unique_ptr<SoundManager>& processManager() {
    static std::unique_ptr<SoundManager> manager;
    return manager;
}

bool byName(const std::unique_ptr<SoundInstance>& instance, const std::string& name) {
    return instance->name < name; // std::string compares bytes as unsigned characters
}

} // namespace

SoundManager::SoundManager(std::unique_ptr<SoundSystem> system, const unsigned requiredVersion)
    : soundSystem(std::move(system)), oldestVersion(requiredVersion) {
    sounds.reserve(maxSounds);
    music.reserve(maxMusic);
}

SoundManager::~SoundManager() = default;

SoundManager& SoundManager::instance() {
    std::unique_ptr<SoundManager>& manager = processManager();
    if (!manager) {
        manager = std::make_unique<SoundManager>(std::make_unique<SoundSystem>());
        manager->initialize();
    }
    return *manager;
}

SoundManager& SoundManager::acquire() {
    SoundManager& manager = instance();
    manager.acquireSlot();
    return manager;
}

void SoundManager::frameUpdate(const float dt) {
    instance().update(dt);
}

bool SoundManager::check(const Result result) const {
    if (result != Result::Ok) {
        const int code = static_cast<int>(result);
        Diagnostics::out() << "FMOD error! (" << code << ") " << resultString(code) << '\n';
        return false;
    }
    return true;
}

std::string SoundManager::tableName(const std::string& name) {
    return name.substr(0, nameLength);
}

void SoundManager::initialize() {
    if (initializeTried)
        return;
    initializeTried = true;

    unsigned version = 0;
    check(soundSystem->getVersion(version));
    if (version < oldestVersion) {
        std::ostream& out = Diagnostics::out();
        const std::ios::fmtflags flags = out.flags();
        const char fill = out.fill('0');
        out << "Error!  You are using an old version of FMOD " << std::hex << std::setw(8)
            << version << ".  This program requires " << std::setw(8) << oldestVersion << '\n';
        out.flags(flags);
        out.fill(fill);
        return;
    }

    int drivers = 0;
    check(soundSystem->getNumDrivers(drivers));
    if (drivers == 0) {
        check(soundSystem->setOutput(OutputType::NoSound));
    } else {
        unsigned capabilities = 0;
        SpeakerMode speakers = SpeakerMode::Stereo;
        check(soundSystem->getDriverCaps(0, capabilities, speakers));
        check(soundSystem->setSpeakerMode(speakers));
        if ((capabilities & caps::HardwareEmulated) != 0) {
            // Emulated output has a long latency: a larger mixing buffer avoids stutter.
            check(soundSystem->setDSPBufferSize(1024, 10));
        }
        char name[256] = {};
        check(soundSystem->getDriverInfo(0, name, sizeof(name)));
        if (std::strstr(name, "SigmaTel") != nullptr) {
            // These chips crackle unless the mix runs in float at 48 kHz.
            check(soundSystem->setSoftwareFormat(48000, SoundFormat::PcmFloat, 0, 0,
                                                 Resampler::Linear));
        }
    }

    Result result = soundSystem->init(channelCount, 0);
    if (result == Result::OutputCreateBuffer) {
        // The chosen speaker layout cannot be opened: plain stereo can.
        check(soundSystem->setSpeakerMode(SpeakerMode::Stereo));
        result = soundSystem->init(channelCount, 0);
    }
    if (!check(result)) {
        // The game goes on without sound rather than with a layer that refuses every call.
        check(soundSystem->setOutput(OutputType::NoSound));
        check(soundSystem->init(channelCount, 0));
    }
    initialized = soundSystem->isInitialized();
    if (!initialized)
        return;

    check(soundSystem->set3DSettings(0.2f, 1.0f, 1.0f));
    for (ChannelGroup*& group : groups) {
        check(soundSystem->createChannelGroup(nullptr, group));
        if (group)
            check(group->setPaused(false));
    }
    // Volumes chosen before the layer was up take effect now.
    for (int group = 0; group < groupCount; ++group)
        applyGroupVolume(group);
}

void SoundManager::acquireSlot() {
    initialize();
    ++acquisitions;
    sceneActive = true;
    for (int slot = 0; slot < slotCount; ++slot) {
        const unsigned bit = 1u << slot;
        if ((takenSlots & bit) == 0) {
            takenSlots |= bit;
            currentSlotIndex = slot;
            return;
        }
    }
    Diagnostics::out() << "Error than 8 scenes requested\n";
}

void SoundManager::registerSound(const std::string& path, const unsigned playbackMode,
                                 const std::string& name) {
    if (sounds.size() >= maxSounds) {
        Diagnostics::out() << "Max sound limit reached\n";
        return;
    }
    TableEntry entry;
    entry.music = false;
    entry.mode = soundCreateMode;
    entry.name = tableName(name);
    if (check(soundSystem->createSound(path, soundCreateMode, entry.sound))) {
        check(entry.sound->set3DMinMaxDistance(0.5f, 5000.0f));
        check(entry.sound->setMode(playbackMode));
    } else {
        Diagnostics::err() << "Sound \"" << entry.name << "\": could not load " << path << '\n';
    }
    sounds.push_back(std::move(entry));
}

void SoundManager::registerMusic(const std::string& path, const std::string& name) {
    if (music.size() >= maxMusic) {
        Diagnostics::out() << "Max music limit reached\n";
        return;
    }
    TableEntry entry;
    entry.music = true;
    entry.mode = musicMode;
    entry.name = tableName(name);
    if (check(soundSystem->createStream(path, musicMode, entry.sound)))
        check(entry.sound->setMode(musicMode | mode::LoopNormal));
    else
        Diagnostics::err() << "Music \"" << entry.name << "\": could not load " << path << '\n';
    music.push_back(std::move(entry));
}

SoundInstance* SoundManager::createSoundInstance(const std::string& name, const glm::vec3& position,
                                                 const glm::vec3& velocity) {
    std::vector<std::unique_ptr<SoundInstance>>& list = slots[currentSlotIndex];
    const std::string key = tableName(name);
    const auto place = std::lower_bound(list.begin(), list.end(), key, byName);
    if (place != list.end() && (*place)->name == key)
        return place->get();
    const auto entry = std::find_if(sounds.begin(), sounds.end(),
                                    [&key](const TableEntry& e) { return e.name == key; });
    if (entry == sounds.end()) {
        Diagnostics::out() << "Sound " << name << " not found.\n\n";
        return nullptr;
    }
    auto instance = std::make_unique<SoundInstance>();
    instance->name = key;
    instance->sound = entry->sound;
    instance->mode = static_cast<int>(entry->mode);
    instance->channelGroup = effectsGroup;
    instance->position = position;
    instance->velocity = velocity;
    instance->volume = 1.0f;
    return list.insert(place, std::move(instance))->get();
}

void SoundManager::playInstance(SoundInstance* instance, const glm::vec3& position,
                                const float volume, const float minDistance,
                                const float maxDistance) {
    // An instance whose file failed to load was reported at registration and stays silent.
    if (!instance || !instance->sound)
        return;
    Channel channel;
    if (!check(soundSystem->playSound(instance->sound, true, channel)))
        return;
    const unsigned instanceMode = static_cast<unsigned>(instance->mode);
    if ((instanceMode & mode::ThreeD) != 0) {
        const glm::vec3 still(0.0f);
        check(channel.set3DAttributes(&position, &still));
    }
    check(channel.setMode(instanceMode));
    check(channel.setLoopCount(0));
    check(channel.setVolume(volume));
    check(channel.set3DMinMaxDistance(minDistance, maxDistance));
    check(channel.setChannelGroup(channelGroup(instance->channelGroup)));
    check(channel.setPaused(false));

    // Forget plays that have finished, keep the rest so that a slot release can stop them all.
    auto& channels = instance->channels;
    channels.erase(std::remove_if(channels.begin(), channels.end(),
                                  [this](const Channel& c) { return !isPlaying(c); }),
                   channels.end());
    channels.push_back(channel);
    instance->channel = channel;
}

void SoundManager::playMusic(const std::string& name, const float targetVolume,
                             const float fadeSeconds) {
    const std::string key = tableName(name);
    const auto entry = std::find_if(music.begin(), music.end(),
                                    [&key](const TableEntry& e) { return e.name == key; });
    if (entry == music.end()) {
        Diagnostics::out() << "Cannot find sound: " << name << '\n';
        return;
    }

    // The oldest track stops at once; a fade that was still moving it has nothing left to do.
    if (isPlaying(previousTrack.channel))
        check(previousTrack.channel.stop());
    const Channel stopped = previousTrack.channel;
    fades.erase(
        std::remove_if(fades.begin(), fades.end(),
                       [&stopped](const MusicFade& f) { return f.from.channel == stopped; }),
        fades.end());

    previousTrack = currentTrack;
    currentTrack = SoundInstance();
    currentTrack.name = entry->name;
    currentTrack.sound = entry->sound;
    currentTrack.mode = static_cast<int>(entry->mode);
    currentTrack.channelGroup = musicGroup;
    currentTrack.position = glm::vec3(0.0f);
    currentTrack.velocity = glm::vec3(0.0f);

    // A track whose file failed to load was reported at registration: it plays nothing, but the
    // previous one still fades out.
    if (currentTrack.sound) {
        const unsigned trackMode = static_cast<unsigned>(currentTrack.mode);
        check(currentTrack.sound->setMode(trackMode));
        Channel channel;
        if (check(soundSystem->playSound(currentTrack.sound, true, channel))) {
            check(channel.setMode(trackMode));
            if ((trackMode & mode::ThreeD) != 0)
                check(channel.set3DAttributes(&currentTrack.position, &currentTrack.velocity));
            check(channel.setLoopCount(-1));
            check(channel.setVolume(1.0f));
            check(channel.setChannelGroup(channelGroup(musicGroup)));
            check(channel.setPaused(false));
            currentTrack.channel = channel;
        }
    }

    if (previousTrack.mode != -1) {
        float oldVolume = 0.0f;
        if (isPlaying(previousTrack.channel))
            check(previousTrack.channel.getVolume(oldVolume));
        setVolumeKeepingPause(currentTrack.channel, 0.0f);
        MusicFade fade;
        fade.from = previousTrack;
        fade.to = currentTrack;
        fade.fadeOutRate = fadeSeconds > 0.0f ? oldVolume / fadeSeconds : 0.0f;
        fade.fadeInRate = fadeSeconds > 0.0f ? targetVolume / fadeSeconds : 0.0f;
        fade.targetVolume = targetVolume;
        fade.remaining = fadeSeconds;
        fades.push_back(std::move(fade));
    }
}

bool SoundManager::isPlaying(const Channel& channel) const {
    bool playing = false;
    return channel.isSet() && channel.isPlaying(playing) == Result::Ok && playing;
}

void SoundManager::setVolumeKeepingPause(Channel channel, const float volume) {
    // A channel that is gone has no volume to keep; skipping it avoids a report every frame.
    if (!isPlaying(channel))
        return;
    bool paused = false;
    if (!check(channel.getPaused(paused)))
        return;
    check(channel.setPaused(true));
    check(channel.setVolume(volume));
    check(channel.setPaused(paused));
}

void SoundManager::stopFadedOut(Channel channel) {
    // Silent from here on: stopping it frees its channel and ends its stream's decoding, and
    // nothing audible changes.
    if (isPlaying(channel))
        check(channel.stop());
}

void SoundManager::setMuted(const bool mute) {
    muted = mute;
    if (!initialized)
        return;
    ChannelGroup* master = nullptr;
    if (soundSystem->getMasterChannelGroup(master) == Result::Ok && master != nullptr)
        master->setPaused(mute);
}

void SoundManager::updateFades(const float dt) {
    for (auto fade = fades.begin(); fade != fades.end();) {
        fade->remaining -= dt;
        if (fade->remaining <= 0.0f) {
            stopFadedOut(fade->from.channel);
            setVolumeKeepingPause(fade->to.channel, fade->targetVolume);
            fade = fades.erase(fade);
            continue;
        }
        float volume = 0.0f;
        if (isPlaying(fade->from.channel) && check(fade->from.channel.getVolume(volume))) {
            const float next = volume - dt * fade->fadeOutRate;
            if (next <= 0.0f)
                stopFadedOut(fade->from.channel);
            else
                setVolumeKeepingPause(fade->from.channel, next);
        }
        if (isPlaying(fade->to.channel) && check(fade->to.channel.getVolume(volume)))
            setVolumeKeepingPause(fade->to.channel, volume + dt * fade->fadeInRate);
        ++fade;
    }
}

void SoundManager::update(const float dt) {
    sinceListenerPush += dt;
    updateFades(dt);
    if (sinceListenerPush > listenerPeriod) {
        if (initialized) {
            check(soundSystem->set3DListenerAttributes(0, &listener.position, &listener.velocity,
                                                       &listener.forward, &listener.up));
            check(soundSystem->update());
        }
        sinceListenerPush = 0.0f;
    }
}

void SoundManager::releaseSlot(const int slot) {
    if (slot < 0 || slot >= slotCount)
        return;
    if (sceneActive && (takenSlots & (1u << slot)) != 0) {
        for (const std::unique_ptr<SoundInstance>& instance : slots[slot])
            stopInstance(instance.get());
        slots[slot].clear();
    }
    sceneActive = false;
}

void SoundManager::freeSlot(const int slot) {
    if (slot >= 0 && slot < slotCount)
        takenSlots &= ~(1u << slot);
}

ChannelGroup* SoundManager::channelGroup(const int index) const {
    return index >= 0 && index < groupCount ? groups[index] : nullptr;
}

void SoundManager::setSceneVolume(const int group, const float volume) {
    if (group < 0 || group >= groupCount)
        return;
    sceneVolumes[group] = volume;
    applyGroupVolume(group);
}

void SoundManager::setPlayerVolume(const int group, const float volume) {
    if (group < 0 || group >= groupCount)
        return;
    playerVolumes[group] = volume;
    applyGroupVolume(group);
}

float SoundManager::sceneVolume(const int group) const {
    return group >= 0 && group < groupCount ? sceneVolumes[group] : 0.0f;
}

float SoundManager::playerVolume(const int group) const {
    return group >= 0 && group < groupCount ? playerVolumes[group] : 0.0f;
}

void SoundManager::applyGroupVolume(const int group) {
    if (ChannelGroup* channels = groups[group])
        check(channels->setVolume(sceneVolumes[group] * playerVolumes[group]));
}

void SoundManager::setInstanceVolume(SoundInstance* instance, const float volume) {
    if (!instance)
        return;
    instance->volume = volume;
    setVolumeKeepingPause(instance->channel, volume);
}

void SoundManager::loopInstance(SoundInstance* instance) {
    if (!instance || !isPlaying(instance->channel))
        return;
    check(instance->channel.setMode(mode::LoopNormal));
    check(instance->channel.setLoopCount(-1));
}

void SoundManager::setInstancePosition(SoundInstance* instance, const glm::vec3& position) {
    if (!instance)
        return;
    instance->position = position;
    if (isPlaying(instance->channel) && (instance->mode & static_cast<int>(mode::ThreeD)) != 0)
        check(instance->channel.set3DAttributes(&position, nullptr));
}

void SoundManager::stopInstance(SoundInstance* instance) {
    if (!instance)
        return;
    for (const Channel& played : instance->channels) {
        if (isPlaying(played)) {
            Channel channel = played;
            check(channel.stop());
        }
    }
    instance->channels.clear();
}

std::vector<std::string> SoundManager::slotInstanceNames(const int slot) const {
    std::vector<std::string> names;
    if (slot >= 0 && slot < slotCount)
        for (const std::unique_ptr<SoundInstance>& instance : slots[slot])
            names.push_back(instance->name);
    return names;
}

} // namespace vorn::audio
