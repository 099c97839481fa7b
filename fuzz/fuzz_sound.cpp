// Sound files through our libsndfile decoder. The decoder opens files by path, so each input is
// written to a private temporary file; the first byte picks the extension (".wav" or ".mp3"),
// since the decoder checks that the extension matches the contents.
#include "FuzzInput.hpp"
#include "audio/Decoder.hpp"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::string extension = (data[0] & 1) ? ".mp3" : ".wav";
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("mossfang-fuzz-" + std::to_string(getpid()) + extension))
                                 .string();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
    }
    for (int outputChannels : {1, 2}) {
        std::unique_ptr<vorn::audio::Decoder> decoder;
        vorn::audio::Decoder::open(path, outputChannels, decoder);
        if (!decoder)
            break;
        std::vector<std::int16_t> samples(4096 * 2);
        // A bounded number of reads: the whole of any small input, and no endless loop on a
        // decoder that keeps producing.
        for (int pass = 0; pass < 2; ++pass) {
            for (int i = 0; i < 256 && decoder->read(samples.data(), 4096) > 0; ++i) {
            }
            if (!decoder->rewind())
                break;
        }
    }
    std::filesystem::remove(path);
    return 0;
}
