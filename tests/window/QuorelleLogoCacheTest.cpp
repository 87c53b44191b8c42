#include "window/QuorelleLogoCache.h"

#include "web/ProductLogo.h"
#include "window/WindowTestSupport.h"

namespace quorelle::testing {
namespace {

TEST(QuorelleLogoCacheTest, LoadsTheLogoOnceFromTheResources) {
    QuorelleLogoCache cache(std::string(ProductLogo::resourcePath));
    int announcements = 0;
    cache.signalDidLoad().connect([&] { ++announcements; });
    EXPECT_FALSE(cache.didLoad());
    cache.preloadIfNeeded();
    cache.preloadIfNeeded();
    EXPECT_TRUE(cache.didLoad());
    EXPECT_EQ(cache.loadAttempts(), 1);
    EXPECT_EQ(announcements, 1);
    ASSERT_TRUE(cache.image());
    EXPECT_GT(cache.image()->get_width(), 0);
}

TEST(QuorelleLogoCacheTest, AMissingLogoIsTriedAgainOnEachPreload) {
    QuorelleLogoCache cache("/io/github/quorelle/Quorelle/Missing.png");
    cache.preloadIfNeeded();
    cache.preloadIfNeeded();
    EXPECT_FALSE(cache.didLoad());
    EXPECT_FALSE(cache.image());
    EXPECT_EQ(cache.loadAttempts(), 2);
}

TEST(QuorelleLogoCacheTest, PreloadReturnsAtOnceAndLoadsTheSharedCacheLater) {
    auto& shared = QuorelleLogoCache::shared();
    const int attemptsBefore = shared.loadAttempts();
    const bool loadedBefore = shared.didLoad();
    preloadLogo();
    preloadLogo();
    EXPECT_EQ(shared.loadAttempts(), attemptsBefore);
    EXPECT_TRUE(runUntil([&] { return shared.didLoad(); }));
    EXPECT_EQ(shared.loadAttempts(), loadedBefore ? attemptsBefore : attemptsBefore + 1);
}

}  // namespace
}  // namespace quorelle::testing
