#include <QVPlatform/foundation/NSCache.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace platform;

TEST(NSCache, CountLimitEvictsTheLeastRecentlyUsed) {
    NSCache<std::string, int> cache;
    EXPECT_EQ(cache.countLimit(), 0u);
    cache.setCountLimit(2);
    cache.setObject(1, "a");
    cache.setObject(2, "b");
    EXPECT_EQ(cache.objectForKey("a"), 1);  // "a" is now the most recent
    cache.setObject(3, "c");                // evicts "b"
    EXPECT_EQ(cache.objectForKey("b"), std::nullopt);
    EXPECT_EQ(cache.objectForKey("a"), 1);
    EXPECT_EQ(cache.objectForKey("c"), 3);
    cache.setObject(30, "c");  // replacing does not grow the cache
    EXPECT_EQ(cache.count(), 2u);
    EXPECT_EQ(cache.objectForKey("c"), 30);
    cache.setCountLimit(1);  // lowering a limit evicts at once
    EXPECT_EQ(cache.count(), 1u);
    EXPECT_EQ(cache.objectForKey("c"), 30);
    cache.removeObjectForKey("c");
    cache.removeObjectForKey("never there");
    EXPECT_EQ(cache.count(), 0u);
}

TEST(NSCache, CostLimitEvictsUntilTheTotalFits) {
    NSCache<int, std::string> cache;
    cache.setTotalCostLimit(10);
    cache.setObject("four", 1, 4);
    cache.setObject("five", 2, 5);
    EXPECT_EQ(cache.totalCost(), 9u);
    cache.setObject("three", 3, 3);  // 12 > 10: the oldest (1) goes
    EXPECT_EQ(cache.objectForKey(1), std::nullopt);
    EXPECT_EQ(cache.totalCost(), 8u);
    cache.setObject("huge", 4, 11);  // alone above the limit: everything goes, itself too
    EXPECT_EQ(cache.count(), 0u);
    EXPECT_EQ(cache.totalCost(), 0u);
    cache.setObject("free", 5);  // cost 0 never counts
    cache.setTotalCostLimit(0);
    cache.setObject("big", 6, 1000);
    EXPECT_EQ(cache.count(), 2u);
    cache.removeAllObjects();
    EXPECT_EQ(cache.count(), 0u);
    EXPECT_EQ(cache.totalCost(), 0u);
}

namespace {

// A value whose destructor reads the cache, as an evicted layer releasing its children might.
struct Reentrant {
    NSCache<int, std::shared_ptr<Reentrant>>* cache;
    std::size_t* countSeen;
    ~Reentrant() { *countSeen = cache->count(); }
};

}  // namespace

TEST(NSCache, EvictedValuesAreReleasedOutsideTheLock) {
    NSCache<int, std::shared_ptr<Reentrant>> cache;
    std::size_t seen = 99;
    cache.setCountLimit(1);
    cache.setObject(std::make_shared<Reentrant>(Reentrant{&cache, &seen}), 1);
    cache.setObject(std::make_shared<Reentrant>(Reentrant{&cache, &seen}), 2);  // evicts 1
    EXPECT_EQ(seen, 1u);
    cache.removeObjectForKey(2);
    EXPECT_EQ(seen, 0u);
}
