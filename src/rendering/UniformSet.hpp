#pragma once

#include "rendering/UniformValue.hpp"

#include <string>
#include <unordered_map>

namespace vorn::parsing {
class DefinitionReader;
}

namespace vorn::rendering {

// A named set of uniform values with a dirty flag: set after construction and after every
// assignment, cleared by ShaderProgram::upload once the set has been sent.
class UniformSet {
public:
    // Stores `value` under `name`, replacing any earlier value whatever its type; marks dirty.
    void set(const std::string& name, const UniformValue& value);
    // The value stored under `name`, or null.
    const UniformValue* find(const std::string& name) const;
    // Whether a value is stored under `name`.
    bool contains(const std::string& name) const { return values.count(name) != 0; }
    // Number of stored values.
    std::size_t size() const { return values.size(); }

    // Reads the text form "[ type name value ... ]" and stores its entries (see UniformSet.cpp).
    // Throws vorn::parsing::ParseError on malformed input; entries read before stay stored.
    void read(vorn::parsing::DefinitionReader& reader);

    std::unordered_map<std::string, UniformValue> values;
    bool dirty = true;
};

} // namespace vorn::rendering
