#pragma once

#include <glm/mat2x2.hpp>
#include <glm/mat3x3.hpp>
#include <glm/mat4x4.hpp>
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>
#include <glm/vec4.hpp>

#include <cstddef>
#include <variant>

namespace vorn::rendering {

// One value of a GLSL uniform: a tagged union over the 15 types the engine uploads. The position
// of a type in the list below is its tag (float is 0, mat4 is 14); the order is fixed because
// tags are compared and stored.
class UniformValue {
public:
    using Storage = std::variant<float, int, unsigned, glm::vec2, glm::ivec2, glm::uvec2, glm::vec3,
                                 glm::ivec3, glm::uvec3, glm::vec4, glm::ivec4, glm::uvec4,
                                 glm::mat2, glm::mat3, glm::mat4>;

    // The float 0.
    UniformValue() : storage(0.0f) {}
    // Holds `value` under the tag of its type.
    template <class T, class = std::enable_if_t<std::is_constructible_v<Storage, T>>>
    UniformValue(const T& value) : storage(value) {}

    // The alternative held: 0 (float) to 14 (mat4).
    std::size_t tag() const { return storage.index(); }
    // Whether the value holds a T.
    template <class T> bool holds() const { return std::holds_alternative<T>(storage); }
    // The held T; only valid when holds<T>().
    template <class T> const T& get() const { return std::get<T>(storage); }
    // The held T, or null when the value holds another type.
    template <class T> const T* getIf() const { return std::get_if<T>(&storage); }
    // The zero of the held alternative: 0, the zero vector or the all-zero matrix.
    UniformValue zero() const;
    // The zero value of the alternative with this tag (tags past 14 give the float 0).
    static UniformValue zeroOfTag(std::size_t tag);

    // Calls f with the held value.
    template <class F> decltype(auto) visit(F&& f) const {
        return std::visit(std::forward<F>(f), storage);
    }

    bool operator==(const UniformValue& other) const { return storage == other.storage; }
    bool operator!=(const UniformValue& other) const { return !(*this == other); }

private:
    Storage storage;
};

} // namespace vorn::rendering
