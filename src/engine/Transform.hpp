#pragma once

#include "engine/Component.hpp"

#include <glm/mat3x3.hpp>
#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>

#include <string>

namespace vorn::components {

// An entity's placement in its world: one column-major model matrix whose columns 0 to 2 are the
// entity's x, y and z axes and whose column 3 is its position. There is no hierarchy: every
// transform is in world space. Answers "transform".
class Transform : public vorn::engine::Component {
public:
    // The name the transform answers to; siblings look it up by this.
    inline static const std::string componentName = "transform";

    explicit Transform(const glm::mat4& initial = glm::mat4(1.0f));

    // Replaces the three axes with R's columns; the position stays.
    void setRotation(const glm::mat3& rotation);
    // Moves the position by v along the world axes (pre-multiplies a translation).
    void translate(const glm::vec3& v);
    // Turns the z axis towards `target` (or away from it), keeping the position; axes become unit.
    void lookAt(const glm::vec3& target, const glm::vec3& up, bool away);

    // The position, column 3.
    glm::vec3 position() const { return glm::vec3(matrix[3]); }
    // Writes the position into column 3 (w = 1).
    void setPosition(const glm::vec3& p) { matrix[3] = glm::vec4(p, 1.0f); }

    glm::mat4 matrix;
};

} // namespace vorn::components
