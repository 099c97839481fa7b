#pragma once

#include "audio/SoundInstance.hpp"
#include "audio/SoundSystem.hpp"
#include "audio/SoundTypes.hpp"

#include <glm/vec3.hpp>

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace vorn::audio {

// The one object through which the game plays sound: the tables of named sounds and music
// registered at start-up, positioned sound instances grouped by scene slot, music with
// cross-fades, and the listener that the main loop pushes to the sound layer every 0.1 s.
//
// Scene slots and lifetimes: each acquisition takes the lowest free of 8 slots and makes it
// current; instances created afterwards join the current slot's list (kept in byte-wise name
// order, one instance per name). Releasing a slot stops every channel its instances played and
// frees the instances, so pointers returned by createSoundInstance are valid until their slot is
// released. Table entries and the sounds behind them live as long as the manager.
//
// Every layer call is checked; a failure prints "FMOD error! (code) message" on the diagnostics
// stream's out() (standard output by default) and the operation goes on with its next call; a
// file that fails to load is also named on err(). The process-wide manager (acquire, instance,
// frameUpdate) is created on first use over the default output and lives until the process
// exits; tests build their own over a loopback system.
class SoundManager {
public:
    static constexpr std::size_t maxSounds = 150;
    static constexpr std::size_t maxMusic = 30;
    static constexpr int slotCount = 8;
    static constexpr int groupCount = 3;
    static constexpr std::size_t nameLength = 41;
    static constexpr int channelCount = 100;
    static constexpr unsigned soundCreateMode = mode::ThreeD | mode::InverseRolloff;
    static constexpr unsigned musicMode = mode::TwoD;
    static constexpr unsigned requiredLayerVersion = layerVersion;
    static constexpr float listenerPeriod = 0.1f;
    static constexpr int musicGroup = 0;
    static constexpr int effectsGroup = 1;

    // A manager over `system`, not initialised until the first acquisition. `requiredVersion` is
    // the oldest layer version it accepts.
    explicit SoundManager(std::unique_ptr<SoundSystem> system,
                          unsigned requiredVersion = requiredLayerVersion);
    // Frees the layer, stopping everything.
    ~SoundManager();
    SoundManager(const SoundManager&) = delete;
    SoundManager& operator=(const SoundManager&) = delete;

    // The process-wide manager, created and initialised on first use, after an acquisition.
    static SoundManager& acquire();
    // The process-wide manager without acquiring (created and initialised if there is none yet).
    static SoundManager& instance();
    // The main loop's audio step: the process-wide manager's update(dt).
    static void frameUpdate(float dt);

    // Initialises the layer the first time; later calls do nothing.
    void initialize();
    // Whether initialisation got the layer running.
    bool isInitialized() const { return initialized; }
    // Initialises if needed, counts the acquisition, sets the active flag and takes the lowest free
    // scene slot as the current one (with all 8 taken it reports so and keeps the current slot).
    void acquireSlot();

    // Adds a positioned sound decoded whole; playbackMode is applied to it (mode::LoopNormal...).
    void registerSound(const std::string& path, unsigned playbackMode, const std::string& name);
    // Adds a looping 2D music stream.
    void registerMusic(const std::string& path, const std::string& name);
    // The current slot's instance of the named sound, made on first request; null if the name is
    // not registered.
    SoundInstance* createSoundInstance(const std::string& name, const glm::vec3& position,
                                       const glm::vec3& velocity);
    // Plays the instance once more on a new channel at the position, with the volume and the
    // roll-off distances given.
    void playInstance(SoundInstance* instance, const glm::vec3& position, float volume,
                      float minDistance, float maxDistance);
    // Starts the named music; from the second music on, the previous track fades out and this one
    // fades in to targetVolume over fadeSeconds (the first plays at volume 1 at once). The old
    // track is stopped as soon as its fade reaches 0.
    void playMusic(const std::string& name, float targetVolume, float fadeSeconds);
    // Advances the running cross-fades by dt seconds.
    void updateFades(float dt);
    // Per frame: advances the listener timer and the fades; past 0.1 s pushes the listener to the
    // layer and updates it.
    void update(float dt);
    // Stops and frees every instance of the slot if the manager is active and the slot is taken,
    // then clears the active flag.
    void releaseSlot(int slot);
    // Marks the slot free for a later acquisition.
    void freeSlot(int slot);
    // Sets the active flag (a scene's end sets it before releasing its slot).
    void setActive(bool active) { sceneActive = active; }
    // Silences (pauses the master group) or restores everything the manager plays; the game mutes
    // while its window has no focus. Channels keep their own pause flags and positions.
    void setMuted(bool muted);
    bool isMuted() const { return muted; }
    // Channel group 0 (music), 1 (sound effects) or 2 (unused); null for other indices.
    ChannelGroup* channelGroup(int index) const;
    // A channel group plays at the scene's volume for it (an area sets its music to 0.6) times
    // the player's volume from the settings; each setter keeps the other factor. Both start at 1;
    // other indices are ignored.
    void setSceneVolume(int group, float volume);
    void setPlayerVolume(int group, float volume);
    float sceneVolume(int group) const;
    float playerVolume(int group) const;
    // Stores the volume in the instance and applies it to its last channel, keeping its pause
    // state.
    void setInstanceVolume(SoundInstance* instance, float volume);

    // Makes the instance's last channel repeat until it is stopped (looping emitters).
    void loopInstance(SoundInstance* instance);
    // Moves the instance and its last channel to a new position.
    void setInstancePosition(SoundInstance* instance, const glm::vec3& position);
    // Stops every channel the instance played.
    void stopInstance(SoundInstance* instance);

    // Listener attributes pushed to the layer by the periodic update.
    void setListenerPosition(const glm::vec3& position) { listener.position = position; }
    void setListenerVelocity(const glm::vec3& velocity) { listener.velocity = velocity; }
    void setListenerForward(const glm::vec3& forward) { listener.forward = forward; }
    void setListenerUp(const glm::vec3& up) { listener.up = up; }
    const glm::vec3& listenerPosition() const { return listener.position; }
    const glm::vec3& listenerVelocity() const { return listener.velocity; }
    const glm::vec3& listenerForward() const { return listener.forward; }
    const glm::vec3& listenerUp() const { return listener.up; }
    // Seconds gathered since the last listener push.
    float listenerTimer() const { return sinceListenerPush; }

    // State, for the components and for inspection.
    int currentSlot() const { return currentSlotIndex; }
    unsigned slotMask() const { return takenSlots; }
    int referenceCount() const { return acquisitions; }
    bool isActive() const { return sceneActive; }
    std::size_t soundCount() const { return sounds.size(); }
    std::size_t musicCount() const { return music.size(); }
    // Names of the slot's instances, in their kept order.
    std::vector<std::string> slotInstanceNames(int slot) const;
    const SoundInstance& currentMusic() const { return currentTrack; }
    const SoundInstance& previousMusic() const { return previousTrack; }
    std::size_t runningFades() const { return fades.size(); }
    // The sound layer underneath.
    SoundSystem& system() { return *soundSystem; }

private:
    struct TableEntry {
        bool music = false;
        unsigned mode = 0;
        Sound* sound = nullptr;
        std::string name;
    };
    struct MusicFade {
        SoundInstance from;
        SoundInstance to;
        float fadeOutRate = 0.0f;
        float fadeInRate = 0.0f;
        float targetVolume = 0.0f;
        float remaining = 0.0f;
    };

    bool check(Result result) const;
    // Sets the group's volume to its scene volume times its player volume.
    void applyGroupVolume(int group);
    bool isPlaying(const Channel& channel) const;
    void setVolumeKeepingPause(Channel channel, float volume);
    // Stops the track a fade has brought to silence.
    void stopFadedOut(Channel channel);
    static std::string tableName(const std::string& name);

    std::unique_ptr<SoundSystem> soundSystem;
    unsigned oldestVersion;
    bool initializeTried = false;
    bool initialized = false;
    bool muted = false;

    std::vector<TableEntry> sounds;
    std::vector<TableEntry> music;
    SoundInstance currentTrack;
    SoundInstance previousTrack;
    std::array<std::vector<std::unique_ptr<SoundInstance>>, slotCount> slots;
    unsigned takenSlots = 0;
    int currentSlotIndex = 0;
    int acquisitions = 0;
    bool sceneActive = false;
    std::vector<MusicFade> fades;
    std::array<ChannelGroup*, groupCount> groups{};
    std::array<float, groupCount> sceneVolumes{1.0f, 1.0f, 1.0f};
    std::array<float, groupCount> playerVolumes{1.0f, 1.0f, 1.0f};

    // The listener attributes pushed to the layer every listenerPeriod seconds.
    struct Listener {
        glm::vec3 position{0.0f, 0.0f, -1.0f};
        glm::vec3 velocity{0.0f};
        glm::vec3 forward{0.0f, 0.0f, 1.0f};
        glm::vec3 up{0.0f, 1.0f, 0.0f};
    };
    Listener listener;
    float sinceListenerPush = listenerPeriod;
};

} // namespace vorn::audio
