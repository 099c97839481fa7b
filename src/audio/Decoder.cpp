#include "audio/Decoder.hpp"

#include <sndfile.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>

namespace vorn::audio {

namespace {

std::string lowerExtension(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string extension = path.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

bool isWaveContainer(const int format) {
    const int major = format & SF_FORMAT_TYPEMASK;
    return major == SF_FORMAT_WAV || major == SF_FORMAT_WAVEX || major == SF_FORMAT_RF64;
}

bool isMpeg(const int format) {
    return (format & SF_FORMAT_TYPEMASK) == SF_FORMAT_MPEG;
}

} // namespace

Decoder::Decoder(std::string path, const int outputChannels)
    : filePath(std::move(path)), wantedChannels(outputChannels) {}

Decoder::~Decoder() {
    closeFile();
}

Result Decoder::open(const std::string& path, const int outputChannels,
                     std::unique_ptr<Decoder>& out) {
    out.reset();
    if (outputChannels != 1 && outputChannels != 2)
        return Result::InvalidParam;
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return Result::FileNotFound;
    if (status.st_size == 0)
        return Result::FileEmpty;
    const std::string extension = lowerExtension(path);
    if (extension != ".wav" && extension != ".mp3")
        return Result::FileUnsupported;

    std::unique_ptr<Decoder> decoder(new Decoder(path, outputChannels));
    if (const Result result = decoder->openFile(); result != Result::Ok)
        return result;
    // libsndfile goes by the contents; the extension must agree with what it found.
    SF_INFO info{};
    sf_command(decoder->handle, SFC_GET_CURRENT_SF_INFO, &info, sizeof(info));
    const bool matches = extension == ".wav" ? isWaveContainer(info.format) : isMpeg(info.format);
    if (!matches)
        return Result::FileExtension;
    // A file is only accepted when at least one frame decodes.
    std::int16_t probe[2 * 64];
    if (decoder->read(probe, 64) == 0)
        return Result::FileNoData;
    if (!decoder->rewind())
        return Result::FileBad;
    out = std::move(decoder);
    return Result::Ok;
}

Result Decoder::openFile() {
    SF_INFO info{};
    handle = sf_open(filePath.c_str(), SFM_READ, &info);
    if (!handle)
        return Result::FileBad;
    if (info.channels < 1 || info.channels > maxChannels || info.samplerate < 1 ||
        info.samplerate > maxSampleRate) {
        closeFile();
        return Result::FormatLimits;
    }
    fileChannels = info.channels;
    fileRate = info.samplerate;
    frameHint = std::max<sf_count_t>(info.frames, 0);
    // Keep integer conversion from clipping float files that exceed full scale.
    sf_command(handle, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    // Mono stays mono; stereo stays stereo unless mono was asked for; more channels become mono.
    if (fileChannels != 2)
        wantedChannels = 1;
    return Result::Ok;
}

void Decoder::closeFile() {
    if (handle) {
        sf_close(handle);
        handle = nullptr;
    }
}

std::size_t Decoder::read(std::int16_t* out, const std::size_t frames) {
    if (!handle || frames == 0)
        return 0;
    if (fileChannels == wantedChannels) {
        const sf_count_t got = sf_readf_short(handle, out, static_cast<sf_count_t>(frames));
        return got > 0 ? static_cast<std::size_t>(got) : 0;
    }
    // Mix every file channel down to mono.
    scratch.resize(frames * static_cast<std::size_t>(fileChannels));
    const sf_count_t got = sf_readf_short(handle, scratch.data(), static_cast<sf_count_t>(frames));
    if (got <= 0)
        return 0;
    const std::size_t count = static_cast<std::size_t>(got);
    for (std::size_t frame = 0; frame < count; ++frame) {
        int sum = 0;
        for (int channel = 0; channel < fileChannels; ++channel)
            sum += scratch[frame * static_cast<std::size_t>(fileChannels) + channel];
        out[frame] = static_cast<std::int16_t>(sum / fileChannels);
    }
    return count;
}

bool Decoder::rewind() {
    if (handle && sf_seek(handle, 0, SEEK_SET) == 0)
        return true;
    // Some decoders cannot seek back; opening the file again gives the same result.
    closeFile();
    return openFile() == Result::Ok;
}

} // namespace vorn::audio
