#include "rendering/UniformSet.hpp"

#include "parsing/DefinitionReader.hpp"

namespace vorn::rendering {

void UniformSet::set(const std::string& name, const UniformValue& value) {
    values[name] = value;
    dirty = true;
}

const UniformValue* UniformSet::find(const std::string& name) const {
    const auto found = values.find(name);
    return found == values.end() ? nullptr : &found->second;
}

// The text form: '[', then entries until ']'. An entry is a type word, a uniform name and a value:
// "int" reads an integer, "float" a real, "vec3" a strict "[x y z]". Any other type word is read
// with its name and stores nothing; whatever follows is read as the next entry. A token that is
// neither a word nor a quoted string cannot start an entry, so it ends the block with an error
// instead of being looked at forever.
void UniformSet::read(vorn::parsing::DefinitionReader& reader) {
    reader.expect('[');
    std::string type;
    while (reader.nextEntry(']', type)) {
        const std::string name = reader.readString();
        if (type == "int") {
            set(name, reader.readInt());
        } else if (type == "float") {
            set(name, reader.readFloat());
        } else if (type == "vec3") {
            reader.expect('[');
            glm::vec3 v;
            v.x = reader.readFloat();
            v.y = reader.readFloat();
            v.z = reader.readFloat();
            reader.expect(']');
            set(name, v);
        }
    }
}

} // namespace vorn::rendering
