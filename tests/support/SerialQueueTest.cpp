#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "support/ManualExecutor.h"
#include "support/SerialQueue.h"

namespace quillo::support {
namespace {

/// Operations that record their start and keep their `finished` for the test to call.
class SerialQueueTest : public ::testing::Test {
  protected:
    SerialQueue::Operation operation(std::string name) {
        return [this, name = std::move(name)](SerialQueue::Finished finished) {
            started_.push_back(name);
            finishers_.push_back(std::move(finished));
        };
    }

    const std::shared_ptr<ManualExecutor> context_ = std::make_shared<ManualExecutor>();
    std::shared_ptr<SerialQueue> queue_ = SerialQueue::create(context_);
    std::vector<std::string> started_;
    std::vector<SerialQueue::Finished> finishers_;
};

TEST_F(SerialQueueTest, AnOperationStartsOnlyWhenTheOneBeforeItFinished) {
    queue_->enqueue(operation("a"));
    queue_->enqueue(operation("b"));
    EXPECT_TRUE(started_.empty()) << "started inside enqueue";
    context_->runAll();
    EXPECT_EQ(started_, std::vector<std::string>{"a"});

    queue_->enqueue(operation("c"));
    context_->runAll();
    EXPECT_EQ(started_, std::vector<std::string>{"a"});

    finishers_.at(0)();
    context_->runAll();
    EXPECT_EQ(started_, (std::vector<std::string>{"a", "b"}));
    finishers_.at(1)();
    context_->runAll();
    EXPECT_EQ(started_, (std::vector<std::string>{"a", "b", "c"}));

    // Idle again: the next one starts at once.
    finishers_.at(2)();
    queue_->enqueue(operation("d"));
    context_->runAll();
    EXPECT_EQ(started_.back(), "d");
}

TEST_F(SerialQueueTest, FinishingOnAnotherThreadContinuesOnTheContext) {
    queue_->enqueue(operation("a"));
    queue_->enqueue(operation("b"));
    context_->runAll();
    std::thread([finished = finishers_.at(0)] { finished(); }).join();
    EXPECT_EQ(started_.size(), 1U) << "the next operation ran off the context";
    context_->runAll();
    EXPECT_EQ(started_, (std::vector<std::string>{"a", "b"}));
}

TEST_F(SerialQueueTest, QueuedOperationsOutliveTheQueuesOwner) {
    queue_->enqueue(operation("a"));
    queue_->enqueue(operation("b"));
    queue_.reset();
    context_->runAll();
    finishers_.at(0)();
    context_->runAll();
    EXPECT_EQ(started_, (std::vector<std::string>{"a", "b"}));
}

}  // namespace
}  // namespace quillo::support
