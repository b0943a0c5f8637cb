#include <gtest/gtest.h>

#include "support/CancellationToken.h"

namespace quillo::support {
namespace {

TEST(CancellationTokenTest, DefaultTokenIsNeverCancelledAndIgnoresHandlers) {
    CancellationToken token;
    bool called = false;
    auto registration = token.onCancel([&] { called = true; });
    EXPECT_FALSE(token.isCancelled());
    EXPECT_FALSE(called);
}

TEST(CancellationTokenTest, HandlersRunOnceOnCancelAndAtOnceWhenAlreadyCancelled) {
    CancellationSource source;
    int calls = 0;
    auto registration = source.token().onCancel([&] { ++calls; });
    source.cancel();
    source.cancel();
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(source.token().isCancelled());

    bool late = false;
    auto lateRegistration = source.token().onCancel([&] { late = true; });
    EXPECT_TRUE(late);
}

TEST(CancellationTokenTest, DroppedRegistrationIsNotCalled) {
    CancellationSource source;
    bool called = false;
    {
        auto registration = source.token().onCancel([&] { called = true; });
    }
    source.cancel();
    EXPECT_FALSE(called);
}

TEST(CancellationTokenTest, CancellingParentReachesGrandchildrenButNotTheOtherWay) {
    CancellationSource parent;
    CancellationSource child(parent.token());
    CancellationSource grandchild(child.token());

    grandchild.cancel();
    EXPECT_FALSE(child.isCancelled());
    EXPECT_FALSE(parent.isCancelled());

    CancellationSource sibling(child.token());
    parent.cancel();
    EXPECT_TRUE(child.isCancelled());
    EXPECT_TRUE(sibling.isCancelled());
}

TEST(CancellationTokenTest, ChildOfCancelledParentStartsCancelled) {
    CancellationSource parent;
    parent.cancel();
    CancellationSource child(parent.token());
    EXPECT_TRUE(child.token().isCancelled());
}

}  // namespace
}  // namespace quillo::support
