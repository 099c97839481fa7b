#pragma once

// Result codes of the sound layer. Every operation returns one; Ok is 0 and every other code has
// a short message in resultString. The codes are this layer's own, except that 56 keeps its
// customary meaning: the output buffer could not be created.

namespace vorn::audio {

enum class Result : int {
    Ok = 0,
    InvalidParam = 1,
    InvalidHandle = 2,
    Uninitialized = 3,
    Initialized = 4,
    FileNotFound = 5,
    FileEmpty = 6,
    FileBad = 7,
    FileExtension = 8,
    FileUnsupported = 9,
    FileNoData = 10,
    FormatLimits = 11,
    TooLong = 12,
    Memory = 13,
    ChannelAlloc = 14,
    NotLoopback = 15,
    InvalidDriver = 16,
    DeviceOpen = 17,
    Library = 18,
    OutputCreateBuffer = 56,
};

// The short message of a result code; codes without one get "Unknown error.".
const char* resultString(Result result);

// The message of a raw code, as printed next to the number in error reports.
const char* resultString(int code);

} // namespace vorn::audio
