// Drives the definition reader through every operation, chosen by the input's own bytes, so each
// lexical rule meets arbitrary text. A ParseError is an answer; anything else escaping is a fault.
#include "FuzzInput.hpp"
#include "parsing/DefinitionReader.hpp"
#include "parsing/ParseError.hpp"

#include <cassert>
#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    // The first byte picks the sequence of operations; the rest is the text read.
    const std::uint8_t plan = data[0];
    std::istringstream in(fuzzing::asText(data + 1, size - 1));
    vorn::parsing::DefinitionReader reader(in);
    int step = 0;
    while (!reader.atEnd()) {
        const int line = reader.line();
        const int column = reader.column();
        try {
            switch ((plan + step++) % 11) {
            case 0:
                reader.skipWhitespace();
                break;
            case 1:
                reader.expect('[');
                break;
            case 2:
                reader.accept('{');
                break;
            case 3: {
                std::string token;
                reader.nextEntry('}', token);
                break;
            }
            case 4:
                reader.readWord();
                break;
            case 5:
                reader.readQuotedString();
                break;
            case 6:
                reader.readString();
                break;
            case 7:
                reader.readInt();
                break;
            case 8:
                reader.readVec3();
                break;
            case 9:
                reader.skipPast(']');
                break;
            default: {
                const float value = reader.readFloat();
                assert(value == value && value - value == 0.0f); // always finite
                (void)value;
                break;
            }
            }
        } catch (const vorn::parsing::ParseError&) {
            // Nothing consumed: take one character by hand so the loop goes on.
            reader.get();
        }
        // The position only ever moves forward.
        if (reader.line() < line || (reader.line() == line && reader.column() < column))
            __builtin_trap();
        if (step > 1 << 20)
            break;
    }
    return 0;
}
