#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/Observation.h"

namespace quillo::support {
namespace {

struct Counter {
    ChangeNotifier notifier;
    ObservedField<int> value{notifier, "value"};
    ObservedField<int> doubled{notifier, "doubled"};

    void setValue(int newValue) {
        ChangeNotifier::Batch batch(notifier);
        value.set(newValue);
        doubled.set(newValue * 2);
    }
};

TEST(ObservationTest, NotifiesChangesButNotEqualAssignments) {
    Counter counter;
    std::vector<std::string> seen;
    const auto subscription =
        counter.notifier.observe([&](std::string_view field) { seen.emplace_back(field); });
    EXPECT_TRUE(counter.value.set(3));
    EXPECT_FALSE(counter.value.set(3));
    EXPECT_EQ(seen, std::vector<std::string>{"value"});
    EXPECT_EQ(counter.value.get(), 3);
}

TEST(ObservationTest, ObserversSeeOnlyConsistentStateAfterABatch) {
    Counter counter;
    std::vector<std::string> seen;
    const auto subscription = counter.notifier.observe([&](std::string_view field) {
        EXPECT_EQ(counter.doubled.get(), counter.value.get() * 2) << field;
        seen.emplace_back(field);
    });
    counter.setValue(5);
    EXPECT_EQ(seen, (std::vector<std::string>{"value", "doubled"}));
}

TEST(ObservationTest, NestedBatchesNotifyOnceAtTheOutermostEnd) {
    Counter counter;
    int notifications = 0;
    const auto subscription = counter.notifier.observe([&](std::string_view) { ++notifications; });
    {
        ChangeNotifier::Batch outer(counter.notifier);
        counter.value.set(1);
        {
            ChangeNotifier::Batch inner(counter.notifier);
            counter.value.set(2);
        }
        EXPECT_EQ(notifications, 0);
    }
    EXPECT_EQ(notifications, 1);
}

TEST(ObservationTest, CancelledSubscriptionsHearNothingEvenMidNotification) {
    Counter counter;
    int first = 0;
    int second = 0;
    ChangeNotifier::Subscription secondSubscription;
    auto firstSubscription = counter.notifier.observe([&](std::string_view) {
        ++first;
        secondSubscription.cancel();
    });
    secondSubscription = counter.notifier.observe([&](std::string_view) { ++second; });
    counter.value.set(1);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 0);

    firstSubscription = {};
    counter.value.set(2);
    EXPECT_EQ(first, 1);
}

}  // namespace
}  // namespace quillo::support
