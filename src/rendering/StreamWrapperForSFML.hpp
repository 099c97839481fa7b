#pragma once

#include <SFML/System/InputStream.hpp>

#include <istream>
#include <memory>

namespace vorn::rendering {

// Lets SFML's image decoder read from a standard input stream.
class StreamWrapperForSFML : public sf::InputStream {
public:
    // Reads from `stream`, which the caller keeps alive and owns.
    explicit StreamWrapperForSFML(std::istream& stream);
    // Reads from a stream the wrapper owns (null: every operation reports no stream).
    explicit StreamWrapperForSFML(std::unique_ptr<std::istream> owned);
    ~StreamWrapperForSFML() override;

    // Reads up to `size` bytes; the number actually read, or -1 without a stream.
    sf::Int64 read(void* data, sf::Int64 size) override;
    // Seeks from the beginning; the new position, or -1 when seeking failed (0 without a stream).
    sf::Int64 seek(sf::Int64 position) override;
    // The current position (0 without a stream).
    sf::Int64 tell() override;
    // The stream's size in bytes, keeping the position (-1 without a stream).
    sf::Int64 getSize() override;

private:
    std::unique_ptr<std::istream> owned;
    std::istream* stream;
};

} // namespace vorn::rendering
