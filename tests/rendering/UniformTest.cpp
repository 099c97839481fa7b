// Uniform values, uniform sets and the uniform block text form.
#include "parsing/DefinitionReader.hpp"
#include "parsing/ParseError.hpp"
#include "rendering/UniformSet.hpp"
#include "rendering/UniformValue.hpp"

#include <gtest/gtest.h>

#include <sstream>

using vorn::rendering::UniformSet;
using vorn::rendering::UniformValue;

TEST(UniformValue, TagsFollowTheFixedTypeOrder) {
    EXPECT_EQ(UniformValue(1.0f).tag(), 0u);
    EXPECT_EQ(UniformValue(1).tag(), 1u);
    EXPECT_EQ(UniformValue(1u).tag(), 2u);
    EXPECT_EQ(UniformValue(glm::vec2(1)).tag(), 3u);
    EXPECT_EQ(UniformValue(glm::ivec2(1)).tag(), 4u);
    EXPECT_EQ(UniformValue(glm::uvec2(1)).tag(), 5u);
    EXPECT_EQ(UniformValue(glm::vec3(1)).tag(), 6u);
    EXPECT_EQ(UniformValue(glm::ivec3(1)).tag(), 7u);
    EXPECT_EQ(UniformValue(glm::uvec3(1)).tag(), 8u);
    EXPECT_EQ(UniformValue(glm::vec4(1)).tag(), 9u);
    EXPECT_EQ(UniformValue(glm::ivec4(1)).tag(), 10u);
    EXPECT_EQ(UniformValue(glm::uvec4(1)).tag(), 11u);
    EXPECT_EQ(UniformValue(glm::mat2(1)).tag(), 12u);
    EXPECT_EQ(UniformValue(glm::mat3(1)).tag(), 13u);
    EXPECT_EQ(UniformValue(glm::mat4(1)).tag(), 14u);
}

TEST(UniformValue, ZeroKeepsTheAlternativeAndMatricesBecomeAllZero) {
    for (std::size_t tag = 0; tag < 15; ++tag)
        EXPECT_EQ(UniformValue::zeroOfTag(tag).tag(), tag);
    EXPECT_EQ(UniformValue(7).zero(), UniformValue(0));
    EXPECT_EQ(UniformValue(glm::uvec3(4, 5, 6)).zero(), UniformValue(glm::uvec3(0)));
    // The zero of a matrix is not the identity.
    EXPECT_EQ(UniformValue(glm::mat4(3.0f)).zero().get<glm::mat4>(), glm::mat4(0.0f));
    EXPECT_NE(UniformValue(glm::mat4(3.0f)).zero().get<glm::mat4>(), glm::mat4(1.0f));
    EXPECT_EQ(UniformValue(glm::mat2(1.0f)).zero().get<glm::mat2>()[0][0], 0.0f);
    // Values compare by alternative as well as content.
    EXPECT_NE(UniformValue(0), UniformValue(0.0f));
}

TEST(UniformSet, StartsDirtyAndEveryAssignmentReplacesAndMarksDirty) {
    UniformSet set;
    EXPECT_TRUE(set.dirty);
    set.set("a", 1.5f);
    set.dirty = false;
    set.set("a", glm::vec3(1, 2, 3)); // another alternative replaces the value
    EXPECT_TRUE(set.dirty);
    ASSERT_NE(set.find("a"), nullptr);
    EXPECT_EQ(set.find("a")->tag(), 6u);
    EXPECT_EQ(set.size(), 1u);
    EXPECT_EQ(set.find("b"), nullptr);
}

namespace {

UniformSet readBlock(const std::string& text) {
    std::istringstream in(text);
    vorn::parsing::DefinitionReader reader(in);
    UniformSet set;
    set.read(reader);
    return set;
}

} // namespace

TEST(UniformBlock, ReadsIntFloatAndStrictVec3InTheOrderWritten) {
    const UniformSet set =
        readBlock("[ int usingDiffuseTex 1\n float mat_shininess 12.5 // comment\n"
                  "  vec3 mat_diffuse [0.25 -1 3] ]");
    ASSERT_EQ(set.size(), 3u);
    EXPECT_EQ(*set.find("usingDiffuseTex"), UniformValue(1));
    EXPECT_EQ(*set.find("mat_shininess"), UniformValue(12.5f));
    EXPECT_EQ(*set.find("mat_diffuse"), UniformValue(glm::vec3(0.25f, -1.0f, 3.0f)));
    EXPECT_TRUE(set.dirty);
}

TEST(UniformBlock, UnknownTypeSkipsOnlyTypeAndNameAndLaterEntriesReplaceEarlierOnes) {
    const UniformSet set = readBlock("[ vec2 offset float f 2.5 int f 3 \"float\" \"g\" 1 ]");
    ASSERT_EQ(set.size(), 2u);
    EXPECT_EQ(*set.find("f"), UniformValue(3));
    EXPECT_EQ(*set.find("g"), UniformValue(1.0f));
    EXPECT_EQ(set.find("offset"), nullptr);
}

TEST(UniformBlock, Vec3IsStrictAboutItsBrackets) {
    EXPECT_THROW(readBlock("[ vec3 c [1 2 3 4] ]"), vorn::parsing::ParseError);
    EXPECT_THROW(readBlock("[ vec3 c 1 2 3 ]"), vorn::parsing::ParseError);
}

TEST(UniformBlock, UnterminatedOrStrayCharacterIsAParseErrorNotAnEndlessLoop) {
    EXPECT_THROW(readBlock("[ int a 1 "), vorn::parsing::ParseError);
    EXPECT_THROW(readBlock("[ int a 1 # ]"), vorn::parsing::ParseError);
    EXPECT_THROW(readBlock("int a 1 ]"), vorn::parsing::ParseError);
    try {
        readBlock("[ float x 1\n  @ ]");
        FAIL() << "a stray character must be reported";
    } catch (const vorn::parsing::ParseError& e) {
        EXPECT_NE(std::string(e.what()).find("line 2"), std::string::npos) << e.what();
    }
}
