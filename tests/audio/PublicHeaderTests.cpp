// The sound manager's header must not drag OpenAL, the stream worker's thread, its lock or the
// voice pool into every file that plays a sound: they belong to the sound system's private
// implementation. Checked when this file compiles, so it includes the header before anything
// else could define the guards below.
#include "audio/SoundManager.hpp"

#if defined(AL_AL_H) || defined(AL_ALC_H)
#error "audio/SoundManager.hpp pulls in OpenAL"
#endif
#if defined(_GLIBCXX_THREAD) || defined(_GLIBCXX_MUTEX) || defined(_GLIBCXX_CONDITION_VARIABLE)
#error "audio/SoundManager.hpp pulls in the worker thread's machinery"
#endif

#include <gtest/gtest.h>

#include <type_traits>

namespace vorn::audio {
struct Voice;
}

// The voice pool is not even declared by the public headers: this local declaration is the
// first one, and it stays incomplete.
template <typename T, typename = void> struct IsComplete : std::false_type {};
template <typename T> struct IsComplete<T, decltype(void(sizeof(T)))> : std::true_type {};

TEST(SoundPublicHeaders, TheVoicePoolStaysPrivate) {
    EXPECT_FALSE(IsComplete<vorn::audio::Voice>::value);
    EXPECT_TRUE(IsComplete<vorn::audio::SoundSystem>::value);
}
