#pragma once

#include <sstream>
#include <string>

#include "parsing/DefinitionReader.hpp"

// A reader over an in-memory text, the stream living as long as the reader.
struct ReaderOver {
    explicit ReaderOver(const std::string& text) : stream(text), reader(stream) {}

    /// Everything not yet read, consumed through the reader.
    std::string rest() {
        std::string text;
        for (int ch = reader.get(); ch != EOF; ch = reader.get()) {
            text += static_cast<char>(ch);
        }
        return text;
    }

    std::istringstream stream;
    vorn::parsing::DefinitionReader reader;
};
