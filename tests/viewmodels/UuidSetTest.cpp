#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <random>
#include <set>
#include <vector>

#include "viewmodels/UuidSet.h"

namespace quillo {
namespace {

// Random inserts and erases over a small pool keep long probe runs that wrap around the table's
// end, which is where a wrong backward shift loses or duplicates a member.
TEST(UuidSetTest, AgreesWithAnOrderedSetThroughRandomInsertsAndErases) {
    std::vector<Uuid> pool;
    std::generate_n(std::back_inserter(pool), 300, Uuid::random);
    std::mt19937 random(20261208);
    std::uniform_int_distribution<std::size_t> pick(0, pool.size() - 1);
    UuidSet set;
    std::set<Uuid> reference;
    for (int step = 0; step < 20'000; ++step) {
        const auto& id = pool[pick(random)];
        if (random() % 3 == 0) {
            ASSERT_EQ(set.erase(id), reference.erase(id)) << "step " << step;
        } else {
            ASSERT_EQ(set.insert(id), reference.insert(id).second) << "step " << step;
        }
        ASSERT_EQ(set.size(), reference.size()) << "step " << step;
    }
    for (const auto& id : pool) {
        EXPECT_EQ(set.contains(id), reference.contains(id));
    }
    EXPECT_EQ(std::set<Uuid>(set.begin(), set.end()), reference);
}

TEST(UuidSetTest, EqualityIgnoresInsertionOrderAndErasedMembers) {
    const auto a = Uuid::random();
    const auto b = Uuid::random();
    const auto c = Uuid::random();
    UuidSet grown{a, b, c};
    grown.erase(c);
    EXPECT_EQ(grown, (UuidSet{b, a}));
    EXPECT_NE(grown, (UuidSet{a}));
    EXPECT_NE(grown, (UuidSet{a, c}));
    const UuidSet empty;
    EXPECT_EQ(empty.begin(), empty.end());
}

}  // namespace
}  // namespace quillo
