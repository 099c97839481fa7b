#include "audio/Result.hpp"

namespace vorn::audio {

const char* resultString(const Result result) {
    switch (result) {
    case Result::Ok:
        return "No errors.";
    case Result::InvalidParam:
        return "A parameter is out of range or not valid.";
    case Result::InvalidHandle:
        return "The channel is not playing any more (stopped, finished or never started).";
    case Result::Uninitialized:
        return "The sound system has not been initialised.";
    case Result::Initialized:
        return "This must be called before the sound system is initialised.";
    case Result::FileNotFound:
        return "The file could not be found or opened.";
    case Result::FileEmpty:
        return "The file is empty.";
    case Result::FileBad:
        return "The file is not readable audio, or it is damaged.";
    case Result::FileExtension:
        return "The file's contents do not match its extension.";
    case Result::FileUnsupported:
        return "Unsupported file type: only .wav and .mp3 files are read.";
    case Result::FileNoData:
        return "The file holds no sound.";
    case Result::FormatLimits:
        return "The file's channel count or sample rate is out of range.";
    case Result::TooLong:
        return "The sound is too long to be decoded whole; open it as a stream.";
    case Result::Memory:
        return "Not enough memory.";
    case Result::ChannelAlloc:
        return "Every channel is in use.";
    case Result::NotLoopback:
        return "The output is not a loopback renderer.";
    case Result::InvalidDriver:
        return "There is no output driver with that number.";
    case Result::DeviceOpen:
        return "The output device could not be opened.";
    case Result::Library:
        return "The audio library refused the request.";
    case Result::OutputCreateBuffer:
        return "The output buffer could not be created.";
    }
    return "Unknown error.";
}

const char* resultString(const int code) {
    return resultString(static_cast<Result>(code));
}

} // namespace vorn::audio
