#pragma once

#include "audio/Result.hpp"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct sf_private_tag;

namespace vorn::audio {

// Reads a WAV or MP3 file through libsndfile, a piece at a time, as 16-bit samples with one or two
// channels. Opening checks the file thoroughly (present, not empty, extension matching the
// contents, sane channel count and rate, at least one readable frame) so that a file that opens
// can be played; reading never fails loudly: a damaged tail simply ends the sound early.
class Decoder {
public:
    // Largest channel count and sample rate accepted from a file.
    static constexpr int maxChannels = 8;
    static constexpr int maxSampleRate = 192000;

    // Opens and checks the file; on success `out` holds a decoder at the first frame.
    // outputChannels is 1 (everything mixed down to mono) or 2 (stereo kept, mono kept, more
    // channels mixed down to mono).
    static Result open(const std::string& path, int outputChannels, std::unique_ptr<Decoder>& out);

    // Closes the file.
    ~Decoder();
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    // Channels of the samples read() produces (1 or 2).
    int channels() const { return wantedChannels; }
    // Frames per second of the file.
    int sampleRate() const { return fileRate; }
    // Frames the file's header announces (a damaged file may deliver fewer).
    std::int64_t announcedFrames() const { return frameHint; }

    // Reads up to `frames` frames into `out` (frames * channels() samples); returns the frames
    // read, 0 at the end of the file or where the rest cannot be decoded.
    std::size_t read(std::int16_t* out, std::size_t frames);
    // Goes back to the first frame; false if the file cannot be read again.
    bool rewind();

private:
    Decoder(std::string path, int outputChannels);
    Result openFile();
    void closeFile();

    std::string filePath;
    sf_private_tag* handle = nullptr;
    int fileChannels = 0;
    int wantedChannels = 1;
    int fileRate = 0;
    std::int64_t frameHint = 0;
    std::vector<std::int16_t> scratch; // file-channel samples before mixing down
};

} // namespace vorn::audio
