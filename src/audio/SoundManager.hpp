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
// Every layer call is checked; a failure prints "FMOD error! (code) message" on standard output
// and the operation goes on with its next call. The process-wide manager (acquire, instance,
// frameUpdate) is created on first use over the default output and lives until the process
// exits; tests build their own over a loopback system.
class SoundManager {
public:
    static constexpr std::size_t kMaxSounds = 150;
    static constexpr std::size_t kMaxMusic = 30;
    static constexpr int kSlotCount = 8;
    static constexpr int kGroupCount = 3;
    static constexpr std::size_t kNameLength = 41;
    static constexpr int kChannelCount = 100;
    static constexpr unsigned kSoundCreateMode = mode::ThreeD | mode::InverseRolloff;
    static constexpr unsigned kMusicMode = mode::TwoD;
    static constexpr unsigned kRequiredVersion = kLayerVersion;
    static constexpr float kListenerPeriod = 0.1f;
    static constexpr int kMusicGroup = 0;
    static constexpr int kEffectsGroup = 1;

    // A manager over `system`, not initialised until the first acquisition. `requiredVersion` is
    // the oldest layer version it accepts.
    explicit SoundManager(std::unique_ptr<SoundSystem> system,
                          unsigned requiredVersion = kRequiredVersion);
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
    bool isInitialized() const { return initialized_; }
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
    void setActive(bool active) { active_ = active; }
    // Channel group 0 (music), 1 (sound effects) or 2 (unused); null for other indices.
    ChannelGroup* channelGroup(int index) const;
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
    void setListenerPosition(const glm::vec3& position) { listenerPosition_ = position; }
    void setListenerVelocity(const glm::vec3& velocity) { listenerVelocity_ = velocity; }
    void setListenerForward(const glm::vec3& forward) { listenerForward_ = forward; }
    void setListenerUp(const glm::vec3& up) { listenerUp_ = up; }
    const glm::vec3& listenerPosition() const { return listenerPosition_; }
    const glm::vec3& listenerVelocity() const { return listenerVelocity_; }
    const glm::vec3& listenerForward() const { return listenerForward_; }
    const glm::vec3& listenerUp() const { return listenerUp_; }
    // Seconds gathered since the last listener push.
    float listenerTimer() const { return listenerTimer_; }

    // State, for the components and for inspection.
    int currentSlot() const { return currentSlot_; }
    unsigned slotMask() const { return slotMask_; }
    int referenceCount() const { return referenceCount_; }
    bool isActive() const { return active_; }
    std::size_t soundCount() const { return sounds_.size(); }
    std::size_t musicCount() const { return music_.size(); }
    // Names of the slot's instances, in their kept order.
    std::vector<std::string> slotInstanceNames(int slot) const;
    const SoundInstance& currentMusic() const { return currentMusic_; }
    const SoundInstance& previousMusic() const { return previousMusic_; }
    std::size_t runningFades() const { return fades_.size(); }
    // The sound layer underneath.
    SoundSystem& system() { return *system_; }

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
    bool isPlaying(const Channel& channel) const;
    void setVolumeKeepingPause(Channel channel, float volume);
    // Stops the track a fade has brought to silence.
    void stopFadedOut(Channel channel);
    static std::string tableName(const std::string& name);

    std::unique_ptr<SoundSystem> system_;
    unsigned requiredVersion_;
    bool initializeTried_ = false;
    bool initialized_ = false;

    std::vector<TableEntry> sounds_;
    std::vector<TableEntry> music_;
    SoundInstance currentMusic_;
    SoundInstance previousMusic_;
    std::array<std::vector<std::unique_ptr<SoundInstance>>, kSlotCount> slots_;
    unsigned slotMask_ = 0;
    int currentSlot_ = 0;
    int referenceCount_ = 0;
    bool active_ = false;
    std::vector<MusicFade> fades_;
    std::array<ChannelGroup*, kGroupCount> groups_{};

    glm::vec3 listenerPosition_{0.0f, 0.0f, -1.0f};
    glm::vec3 listenerVelocity_{0.0f};
    glm::vec3 listenerForward_{0.0f, 0.0f, 1.0f};
    glm::vec3 listenerUp_{0.0f, 1.0f, 0.0f};
    float listenerTimer_ = kListenerPeriod;
};

} // namespace vorn::audio
