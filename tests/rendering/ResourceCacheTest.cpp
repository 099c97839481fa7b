// The load-once, share-while-used cache, over a stand-in resource (no GL needed).
#include "rendering/ResourceCache.hpp"
#include "engine/AssetRoot.hpp"
#include "engine/DiagnosticsCapture.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using vorn::rendering::ResourceCache;

namespace {

struct Loaded {
    std::string path;
};

class ResourceCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        previousRoot = vorn::engine::assetRoot();
        vorn::engine::setAssetRoot("root/");
    }
    void TearDown() override { vorn::engine::setAssetRoot(previousRoot); }

    ResourceCache<Loaded> cache{[this](const std::string& path) {
        loads.push_back(path);
        return std::make_shared<Loaded>(Loaded{path});
    }};
    std::vector<std::string> loads;
    std::string previousRoot;
};

} // namespace

TEST_F(ResourceCacheTest, SharesWhileHeldAndReloadsAfterTheLastHolderLetsGo) {
    auto first = cache.get("models/a.obj");
    auto second = cache.get("models/a.obj");
    EXPECT_EQ(first, second);
    ASSERT_EQ(loads.size(), 1u);
    EXPECT_EQ(loads[0], "root/models/a.obj"); // the loader gets the asset root + the name
    EXPECT_EQ(cache.liveCount(), 1u);

    first.reset();
    EXPECT_EQ(cache.peek("models/a.obj"), second); // one holder is enough
    second.reset();
    EXPECT_EQ(cache.liveCount(), 0u); // the cache itself keeps nothing alive
    EXPECT_EQ(cache.peek("models/a.obj"), nullptr);

    const auto again = cache.get("models/a.obj");
    EXPECT_EQ(loads.size(), 2u);
    EXPECT_EQ(again->path, "root/models/a.obj");
}

TEST_F(ResourceCacheTest, FullPathEntrySharesEntriesWithTheRelativeName) {
    const auto byName = cache.get("models/tex.png");
    const auto byPath = cache.getFullPath("root/models/tex.png");
    EXPECT_EQ(byName, byPath);
    EXPECT_EQ(loads.size(), 1u);

    const auto other = cache.getFullPath("root/models/other.png");
    ASSERT_EQ(loads.size(), 2u);
    EXPECT_EQ(loads[1], "root/models/other.png"); // the path is handed on unchanged
    EXPECT_EQ(cache.get("models/other.png"), other);
}

TEST_F(ResourceCacheTest, PathOutsideTheRootIsItsOwnKeyAndLoadsAsGiven) {
    const auto outside = cache.getFullPath("/tmp/x.png");
    ASSERT_EQ(loads.size(), 1u);
    EXPECT_EQ(loads[0], "/tmp/x.png");
    EXPECT_EQ(cache.getFullPath("/tmp/x.png"), outside);
    // A path shorter than the root must not be cut into a wrong key.
    const auto shortPath = cache.getFullPath("ro");
    EXPECT_EQ(loads.back(), "ro");
    EXPECT_NE(shortPath, outside);
}

TEST_F(ResourceCacheTest, NamesLeavingTheAssetFolderAreRefusedWithOneLineAndLoadNothing) {
    struct Case {
        std::string name;
        bool fullPath; // through getFullPath instead of get
        bool refused;
    };
    const Case cases[] = {
        {"models/../images/a.png", false, false},
        {"./a//b.png", false, false},
        {"../a.png", false, true},
        {"models/../../a.png", false, true},
        {"models/./../..", false, true},
        {"/etc/passwd", false, true},
        {"root/models/../../../etc/passwd", true, true},
        {"root/../x.png", true, true},
        {"root/models/../x.png", true, false},
        {"/tmp/y.png", true, false}, // outside the root from the start: a tool's own path
    };
    for (const Case& c : cases) {
        loads.clear();
        vorn::engine::DiagnosticsCapture capture;
        const auto loaded = c.fullPath ? cache.getFullPath(c.name) : cache.get(c.name);
        ASSERT_NE(loaded, nullptr) << c.name;
        EXPECT_EQ(loads.empty(), c.refused) << c.name;
        EXPECT_EQ(loaded->path.empty(), c.refused) << c.name;
        const std::string named = c.fullPath ? c.name.substr(5) : c.name;
        EXPECT_EQ(capture.errText(), c.refused ? "Refused the file name \"" + named +
                                                     "\": it leads outside the asset folder\n"
                                               : "")
            << c.name;
    }
}
