#pragma once

// Plain values shared by the sound layer: playback mode flags, output kinds, speaker layouts and
// the layer's version. The mode flags are bit sets: a call that changes a mode replaces only the
// groups of flags it names (looping, 2D/3D, roll-off) and keeps the others.

namespace vorn::audio {

// Version of this sound layer, reported by SoundSystem::getVersion (major.minor.patch in bytes).
constexpr unsigned layerVersion = 0x00010200;

// Playback mode flags of sounds and channels.
namespace mode {
constexpr unsigned Default = 0x0;             // whatever the sound or channel already has
constexpr unsigned LoopOff = 0x1;             // play once
constexpr unsigned LoopNormal = 0x2;          // loop (the loop count says how often)
constexpr unsigned TwoD = 0x8;                // not positioned: plays straight to the speakers
constexpr unsigned ThreeD = 0x10;             // positioned around the listener
constexpr unsigned InverseRolloff = 0x100000; // full volume up to the minimum distance, then min/d

constexpr unsigned LoopMask = LoopOff | LoopNormal;
constexpr unsigned DimensionMask = TwoD | ThreeD;
} // namespace mode

// Where the mix goes.
enum class OutputType : int {
    AutoDetect = 0, // the system's default playback device
    Loopback = 1,   // rendered on demand into memory (SoundSystem::renderSamples)
    NoSound = 2,    // nowhere: every call succeeds and nothing is heard
};

// Speaker layouts of the output.
enum class SpeakerMode : int {
    Raw = 0,
    Mono = 1,
    Stereo = 2,
    Quad = 3,
    Surround = 4,
    FivePointOne = 5,
    SevenPointOne = 6,
};

// Driver capability bits reported by SoundSystem::getDriverCaps.
namespace caps {
constexpr unsigned None = 0x0;
constexpr unsigned HardwareEmulated = 0x2; // the device is emulated in software (high latency)
} // namespace caps

// Sample formats accepted by SoundSystem::setSoftwareFormat.
enum class SoundFormat : int { None = 0, Pcm8 = 1, Pcm16 = 2, Pcm24 = 3, Pcm32 = 4, PcmFloat = 5 };

// Resamplers accepted by SoundSystem::setSoftwareFormat.
enum class Resampler : int { NoInterpolation = 0, Linear = 1, Cubic = 2, Spline = 3 };

} // namespace vorn::audio
