#include "rendering/StreamWrapperForSFML.hpp"

namespace vorn::rendering {

StreamWrapperForSFML::StreamWrapperForSFML(std::istream& stream) : stream(&stream) {}

StreamWrapperForSFML::StreamWrapperForSFML(std::unique_ptr<std::istream> owned)
    : owned(std::move(owned)), stream(this->owned.get()) {}

StreamWrapperForSFML::~StreamWrapperForSFML() = default;

sf::Int64 StreamWrapperForSFML::read(void* data, sf::Int64 size) {
    if (!stream)
        return -1;
    if (size <= 0)
        return 0;
    // Reading past the end sets eof and fail; the bytes read before still count.
    stream->read(static_cast<char*>(data), static_cast<std::streamsize>(size));
    const std::streamsize got = stream->gcount();
    if (!stream->bad())
        stream->clear();
    return static_cast<sf::Int64>(got);
}

sf::Int64 StreamWrapperForSFML::seek(sf::Int64 position) {
    if (!stream)
        return 0;
    stream->clear();
    stream->seekg(static_cast<std::streamoff>(position), std::ios::beg);
    if (!*stream) {
        stream->clear();
        return -1;
    }
    return static_cast<sf::Int64>(stream->tellg());
}

sf::Int64 StreamWrapperForSFML::tell() {
    if (!stream)
        return 0;
    const std::streampos position = stream->tellg();
    return position < 0 ? -1 : static_cast<sf::Int64>(position);
}

sf::Int64 StreamWrapperForSFML::getSize() {
    if (!stream)
        return -1;
    stream->clear();
    const std::streampos position = stream->tellg();
    stream->seekg(0, std::ios::end);
    const std::streampos end = stream->tellg();
    stream->seekg(position);
    if (position < 0 || end < 0) {
        stream->clear();
        return -1;
    }
    return static_cast<sf::Int64>(end);
}

} // namespace vorn::rendering
