#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/EventStream.h"
#include "support/ManualExecutor.h"

namespace quillo::support {
namespace {

struct Recorder {
    std::vector<int> events;
    std::optional<std::optional<Error>> end;

    void listenTo(EventStream<int>& stream, const ExecutorRef& executor) {
        stream.listen(
            executor, [this](int event) { events.push_back(event); },
            [this](std::optional<Error> error) { end = std::move(error); });
    }
};

class EventStreamTest : public ::testing::Test {
  protected:
    std::shared_ptr<ManualExecutor> consumer = std::make_shared<ManualExecutor>();
};

TEST_F(EventStreamTest, WorkStartsAtCreationAndEverythingBufferedIsDeliveredInOrder) {
    std::optional<EventSink<int>> producer;
    auto stream = makeEventStream<int>([&](EventSink<int> sink) {
        for (int i = 0; i < 1000; ++i) {
            sink.yield(i);
        }
        producer = sink;
    });
    ASSERT_TRUE(producer.has_value());
    producer->finish();

    Recorder recorder;
    recorder.listenTo(stream, consumer);
    consumer->runAll();

    ASSERT_EQ(recorder.events.size(), 1000U);
    for (int i = 0; i < 1000; ++i) {
        EXPECT_EQ(recorder.events[static_cast<std::size_t>(i)], i);
    }
    ASSERT_TRUE(recorder.end.has_value());
    EXPECT_FALSE(recorder.end->has_value());
}

TEST_F(EventStreamTest, ErrorEndsTheStreamAfterTheBufferedEventsAndLaterEventsAreDropped) {
    std::optional<EventSink<int>> producer;
    auto stream = makeEventStream<int>([&](EventSink<int> sink) { producer = sink; });
    Recorder recorder;
    recorder.listenTo(stream, consumer);

    producer->yield(1);
    producer->finish(Error::cancelled());
    producer->yield(2);
    producer->finish();
    consumer->runAll();

    EXPECT_EQ(recorder.events, std::vector<int>{1});
    ASSERT_TRUE(recorder.end.has_value() && recorder.end->has_value());
    EXPECT_TRUE((*recorder.end)->isCancellation());
}

TEST_F(EventStreamTest, EventsArriveOnlyThroughTheListenersExecutor) {
    std::optional<EventSink<int>> producer;
    auto stream = makeEventStream<int>([&](EventSink<int> sink) { producer = sink; });
    Recorder recorder;
    recorder.listenTo(stream, consumer);
    producer->yield(7);
    EXPECT_TRUE(recorder.events.empty());
    consumer->runAll();
    EXPECT_EQ(recorder.events, std::vector<int>{7});
}

TEST_F(EventStreamTest, DroppingTheStreamCancelsTheProducerAndDeliversNothingMore) {
    std::optional<EventSink<int>> producer;
    auto stream =
        std::make_optional(makeEventStream<int>([&](EventSink<int> sink) { producer = sink; }));
    Recorder recorder;
    recorder.listenTo(*stream, consumer);
    producer->yield(1);
    EXPECT_FALSE(producer->token().isCancelled());

    stream.reset();
    EXPECT_TRUE(producer->token().isCancelled());
    producer->yield(2);
    producer->finish();
    consumer->runAll();
    EXPECT_TRUE(recorder.events.empty());
    EXPECT_FALSE(recorder.end.has_value());
}

TEST_F(EventStreamTest, MovedStreamKeepsListeningAndOnlyTheLastOwnerCancels) {
    std::optional<EventSink<int>> producer;
    auto first = makeEventStream<int>([&](EventSink<int> sink) { producer = sink; });
    auto second = std::move(first);
    EXPECT_FALSE(producer->token().isCancelled());
    Recorder recorder;
    recorder.listenTo(second, consumer);
    producer->yield(3);
    producer->finish();
    consumer->runAll();
    EXPECT_EQ(recorder.events, std::vector<int>{3});
    EXPECT_TRUE(recorder.end.has_value());
}

}  // namespace
}  // namespace quillo::support
