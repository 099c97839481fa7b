// The load-once, share-while-used cache, over a stand-in resource (no GL needed).
#include "rendering/ResourceCache.hpp"
#include "engine/AssetRoot.hpp"

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
