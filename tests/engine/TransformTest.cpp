#include "engine/Transform.hpp"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

using vorn::components::Transform;

namespace {
void expectVec(const glm::vec3& actual, const glm::vec3& expected, float tolerance = 1e-5f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}
} // namespace

TEST(TransformOps, AnswersTransformAndKeepsTheInitialMatrix) {
    const glm::mat4 m = glm::translate(glm::mat4(1.0f), glm::vec3(1, 2, 3));
    Transform t(m);
    EXPECT_TRUE(t.hasName("transform"));
    EXPECT_EQ(t.matrix, m);
    expectVec(t.position(), {1, 2, 3});
}

TEST(TransformOps, LookAtItsOwnPositionChangesNothing) {
    Transform t(glm::scale(glm::translate(glm::mat4(1.0f), glm::vec3(3, 4, 5)), glm::vec3(2.0f)));
    const glm::mat4 before = t.matrix;
    t.lookAt({3, 4, 5}, {0, 1, 0}, false);
    EXPECT_EQ(t.matrix, before);
}

TEST(TransformOps, LookAtTurnsZTowardsOrAwayFromTheTargetWithUnitAxes) {
    Transform toward(glm::translate(glm::mat4(1.0f), glm::vec3(0, 0, 10)));
    toward.lookAt({0, 0, 0}, {0, 1, 0}, false);
    expectVec(glm::vec3(toward.matrix[2]), {0, 0, -1});
    expectVec(glm::vec3(toward.matrix[1]), {0, 1, 0});
    expectVec(glm::vec3(toward.matrix[0]), {-1, 0, 0});
    expectVec(toward.position(), {0, 0, 10});

    // A camera: z points from the target to the camera.
    Transform away(
        glm::scale(glm::translate(glm::mat4(1.0f), glm::vec3(5, 3, 100)), glm::vec3(4.0f)));
    away.lookAt({5, 3, 0}, {0, 1, 0}, true);
    expectVec(glm::vec3(away.matrix[2]), {0, 0, 1});
    expectVec(glm::vec3(away.matrix[0]), {1, 0, 0}); // the scale is gone
    expectVec(away.position(), {5, 3, 100});
    EXPECT_EQ(away.matrix[0].w, 0.0f);
    EXPECT_EQ(away.matrix[3].w, 1.0f);
}

TEST(TransformOps, TranslateMovesAlongWorldAxesWhateverTheRotation) {
    Transform t(glm::rotate(glm::mat4(1.0f), glm::radians(90.0f), glm::vec3(0, 1, 0)));
    t.translate({1, 0, 0});
    expectVec(t.position(), {1, 0, 0});
    // The axes are untouched.
    expectVec(glm::vec3(t.matrix[0]), {0, 0, -1});
}

TEST(TransformOps, SetRotationKeepsThePosition) {
    Transform t(glm::translate(glm::mat4(1.0f), glm::vec3(3, 4, 5)));
    const glm::mat3 r =
        glm::mat3(glm::rotate(glm::mat4(1.0f), glm::radians(30.0f), glm::vec3(0, 0, 1)));
    t.setRotation(r);
    expectVec(t.position(), {3, 4, 5});
    EXPECT_EQ(glm::mat3(t.matrix), r);
    EXPECT_EQ(t.matrix[0].w, 0.0f);
    EXPECT_EQ(t.matrix[3].w, 1.0f);
}
