#pragma once

#include "engine/AssetRoot.hpp"
#include "rendering/RenderState.hpp"
#include "support/GlTestContext.hpp"

#include <SFML/Graphics/Image.hpp>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

// Base of the rendering layer's OpenGL tests: a framebuffer of a known size, a fresh render state,
// the repository's assets as the asset root (for the game's shaders), and a scratch directory of
// the test's own for the files it writes.
class GlFixture : public ::testing::Test {
protected:
    explicit GlFixture(int width = 64, int height = 64) : width(width), height(height) {}

    void SetUp() override {
        context = std::make_unique<testsupport::GlTestContext>(width, height);
        ASSERT_TRUE(context->ok()) << context->error();
        state = std::make_unique<vorn::rendering::RenderState>(nullptr);
        previousRoot = vorn::engine::assetRoot();
        vorn::engine::setAssetRoot(std::string(MOSSFANG_SOURCE_DIR) + "/assets/");
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = ::testing::TempDir() + std::to_string(getpid()) + "_mossfang_gl_" +
              info->test_suite_name() + "_" + info->name() + "/";
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }

    void TearDown() override {
        if (context && context->ok()) {
            EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        }
        vorn::engine::setAssetRoot(previousRoot);
        state.reset();
        context.reset();
    }

    // Writes a text file into the scratch directory; returns its path.
    std::string write(const std::string& name, const std::string& text) const {
        std::ofstream(dir + name, std::ios::binary) << text;
        return dir + name;
    }

    // Writes an image (rows from the top, RGBA) into the scratch directory; returns its path.
    std::string writeImage(const std::string& name, unsigned w, unsigned h,
                           const std::vector<sf::Color>& rows) const {
        sf::Image image;
        image.create(w, h);
        for (unsigned y = 0; y < h; ++y)
            for (unsigned x = 0; x < w; ++x)
                image.setPixel(x, y, rows[y * w + x]);
        EXPECT_TRUE(image.saveToFile(dir + name));
        return dir + name;
    }

    int width;
    int height;
    std::unique_ptr<testsupport::GlTestContext> context;
    std::unique_ptr<vorn::rendering::RenderState> state;
    std::string previousRoot;
    std::string dir;
};

// Whether two colours differ by at most `tolerance` in every channel.
inline bool near(const glm::u8vec4& a, const glm::u8vec4& b, int tolerance = 2) {
    for (int i = 0; i < 4; ++i)
        if (std::abs(int(a[i]) - int(b[i])) > tolerance)
            return false;
    return true;
}

inline std::string describe(const glm::u8vec4& c) {
    return "(" + std::to_string(c.r) + ", " + std::to_string(c.g) + ", " + std::to_string(c.b) +
           ", " + std::to_string(c.a) + ")";
}
