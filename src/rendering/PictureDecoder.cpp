#include "rendering/PictureDecoder.hpp"

#include <SFML/Graphics/Image.hpp>

// libjpeg's header needs size_t and FILE declared before it.
#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>
#include <png.h>

#include <cstring>
#include <vector>

namespace vorn::rendering {

namespace {

using Bytes = std::vector<unsigned char>;

// The whole file, or false when it is empty or larger than maxFileBytes.
bool readAll(std::istream& in, Bytes& file) {
    constexpr std::size_t piece = 64 * 1024;
    while (in && file.size() <= PictureDecoder::maxFileBytes) {
        const std::size_t had = file.size();
        file.resize(had + piece);
        in.read(reinterpret_cast<char*>(file.data() + had), static_cast<std::streamsize>(piece));
        file.resize(had + static_cast<std::size_t>(in.gcount()));
    }
    return !file.empty() && file.size() <= PictureDecoder::maxFileBytes;
}

bool sizeAllowed(std::uint64_t width, std::uint64_t height, unsigned maxSide) {
    return width > 0 && height > 0 && width <= maxSide && height <= maxSide &&
           width * height <= PictureDecoder::maxPixels;
}

// PNG through libpng's simplified API, which keeps libpng's error jumps inside itself: every
// failure comes back as a zero result with the image's memory already freed.
bool decodePng(const Bytes& file, unsigned maxSide, sf::Image& out) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, file.data(), file.size()))
        return false;
    if (!sizeAllowed(image.width, image.height, maxSide)) {
        png_image_free(&image);
        return false;
    }
    image.format = PNG_FORMAT_RGBA; // 8 bits a channel, straight alpha, sRGB
    std::vector<png_byte> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr))
        return false; // freed by libpng
    out.create(image.width, image.height, pixels.data());
    return true;
}

// libjpeg reports a fatal error by calling error_exit, which must not return: it jumps back to
// the decoder's set-up point. The error manager comes first, so libjpeg's pointer to it is also a
// pointer to the whole record.
struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void jpegFailed(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1);
}

// Warnings and traces (a damaged file's "Corrupt JPEG data" among them) stay quiet: the caller
// reports a picture that failed, once, in the game's own words.
void jpegMessage(j_common_ptr, int) {}

// Called as the input is consumed; stops a progressive file with too many scans.
void jpegProgress(j_common_ptr info) {
    const auto* decoder = reinterpret_cast<j_decompress_ptr>(info);
    if (decoder->input_scan_number > PictureDecoder::maxScans)
        jpegFailed(info);
}

// Frees the decoder on every way out, the error jump included: it lives outside the frames the
// jump leaves.
struct JpegDecoder {
    jpeg_decompress_struct info;
    JpegErrors errors;
    jpeg_progress_mgr progress;
    // Set after the jump's set-up and read after a jump: volatile keeps it out of registers.
    volatile bool created = false;
    ~JpegDecoder() {
        if (created)
            jpeg_destroy_decompress(&info);
    }
};

// JPEG through libjpeg-turbo, which converts every colour space it can to RGBA itself. Nothing with
// a destructor is created between the jump's set-up and the jump, so leaving libjpeg's frames
// through it skips no clean-up.
bool decodeJpeg(const Bytes& file, unsigned maxSide, sf::Image& out, std::vector<JSAMPLE>& pixels) {
    JpegDecoder decoder;
    std::memset(&decoder.info, 0, sizeof decoder.info);
    decoder.info.err = jpeg_std_error(&decoder.errors.manager);
    decoder.errors.manager.error_exit = jpegFailed;
    decoder.errors.manager.emit_message = jpegMessage;
    if (setjmp(decoder.errors.jump))
        return false;
    jpeg_create_decompress(&decoder.info);
    decoder.created = true;
    decoder.progress.progress_monitor = jpegProgress;
    decoder.info.progress = &decoder.progress;
    jpeg_mem_src(&decoder.info, file.data(), static_cast<unsigned long>(file.size()));
    if (jpeg_read_header(&decoder.info, TRUE) != JPEG_HEADER_OK)
        return false;
    if (!sizeAllowed(decoder.info.image_width, decoder.info.image_height, maxSide))
        return false;
    decoder.info.out_color_space = JCS_EXT_RGBA;
    jpeg_start_decompress(&decoder.info);
    const JDIMENSION width = decoder.info.output_width;
    const JDIMENSION height = decoder.info.output_height;
    if (decoder.info.output_components != 4 || !sizeAllowed(width, height, maxSide))
        return false;
    // Sized before the rows are read, so nothing allocates while libjpeg may still jump.
    const std::size_t stride = std::size_t{width} * 4;
    pixels.resize(stride * height);
    while (decoder.info.output_scanline < height) {
        JSAMPROW row = pixels.data() + stride * decoder.info.output_scanline;
        jpeg_read_scanlines(&decoder.info, &row, 1);
    }
    jpeg_finish_decompress(&decoder.info);
    out.create(width, height, pixels.data());
    return true;
}

} // namespace

bool PictureDecoder::decode(std::istream& in, sf::Image& image, unsigned maxSide) {
    Bytes file;
    if (!readAll(in, file))
        return false;
    static const unsigned char pngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (file.size() >= 8 && std::memcmp(file.data(), pngSignature, 8) == 0)
        return decodePng(file, maxSide, image);
    if (file.size() >= 3 && file[0] == 0xFF && file[1] == 0xD8 && file[2] == 0xFF) {
        std::vector<JSAMPLE> pixels;
        return decodeJpeg(file, maxSide, image, pixels);
    }
    return false;
}

void PictureDecoder::halve(sf::Image& image) {
    const sf::Vector2u size = image.getSize();
    if (size.x < 2 && size.y < 2)
        return;
    const unsigned w = std::max(size.x / 2, 1u);
    const unsigned h = std::max(size.y / 2, 1u);
    const unsigned stepX = size.x > 1 ? 2 : 1;
    const unsigned stepY = size.y > 1 ? 2 : 1;
    const std::uint8_t* in = image.getPixelsPtr();
    std::vector<std::uint8_t> out(static_cast<std::size_t>(w) * h * 4);
    for (unsigned y = 0; y < h; ++y)
        for (unsigned x = 0; x < w; ++x)
            for (unsigned c = 0; c < 4; ++c) {
                unsigned sum = 0;
                for (unsigned dy = 0; dy < 2; ++dy)
                    for (unsigned dx = 0; dx < 2; ++dx) {
                        const std::size_t sx = x * stepX + (stepX > 1 ? dx : 0);
                        const std::size_t sy = y * stepY + (stepY > 1 ? dy : 0);
                        sum += in[(sy * size.x + sx) * 4 + c];
                    }
                out[(static_cast<std::size_t>(y) * w + x) * 4 + c] =
                    static_cast<std::uint8_t>((sum + 2) / 4);
            }
    image.create(w, h, out.data());
}

} // namespace vorn::rendering
