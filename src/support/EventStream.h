#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>

#include "support/CancellationToken.h"
#include "support/Error.h"
#include "support/Executor.h"

namespace quillo::support {

namespace detail {

// Shared between the producer's sinks and the consumer's stream. Events queue here without
// limit until the listener's executor takes them, so a producer never waits for its consumer.
template <class Event>
class StreamState final : public std::enable_shared_from_this<StreamState<Event>> {
  public:
    using EventHandler = std::function<void(Event)>;
    using EndHandler = std::function<void(std::optional<Error>)>;

    void yield(Event event) {
        std::lock_guard lock(mutex_);
        if (ended_ || stopped_) {
            return;
        }
        buffer_.push_back(std::move(event));
        scheduleDrainLocked();
    }

    void finish(std::optional<Error> error) {
        std::lock_guard lock(mutex_);
        if (ended_ || stopped_) {
            return;
        }
        ended_ = true;
        endError_ = std::move(error);
        scheduleDrainLocked();
    }

    void listen(ExecutorRef executor, EventHandler onEvent, EndHandler onEnd) {
        std::lock_guard lock(mutex_);
        if (executor_ || stopped_) {
            return;
        }
        executor_ = std::move(executor);
        onEvent_ = std::move(onEvent);
        onEnd_ = std::move(onEnd);
        scheduleDrainLocked();
    }

    void stop() {
        {
            std::lock_guard lock(mutex_);
            if (stopped_) {
                return;
            }
            stopped_ = true;
            buffer_.clear();
            onEvent_ = nullptr;
            onEnd_ = nullptr;
        }
        source_.cancel();
    }

    [[nodiscard]] CancellationToken token() const { return source_.token(); }

    void requestStop() { source_.cancel(); }

    [[nodiscard]] bool isAbandoned() {
        std::lock_guard lock(mutex_);
        return stopped_;
    }

  private:
    void scheduleDrainLocked() {
        if (!executor_ || drainScheduled_ || endDelivered_) {
            return;
        }
        if (buffer_.empty() && !ended_) {
            return;
        }
        drainScheduled_ = true;
        executor_->post([self = this->shared_from_this()] { self->drain(); });
    }

    // Runs on the listener's executor; only one drain is scheduled at a time, which keeps the
    // events in the order they were produced.
    void drain() {
        while (true) {
            std::unique_lock lock(mutex_);
            if (stopped_) {
                drainScheduled_ = false;
                return;
            }
            if (!buffer_.empty()) {
                Event event = std::move(buffer_.front());
                buffer_.pop_front();
                auto handler = onEvent_;
                lock.unlock();
                handler(std::move(event));
                continue;
            }
            drainScheduled_ = false;
            if (ended_ && !endDelivered_) {
                endDelivered_ = true;
                auto handler = std::move(onEnd_);
                auto error = std::exchange(endError_, std::nullopt);
                onEvent_ = nullptr;
                lock.unlock();
                handler(std::move(error));
            }
            return;
        }
    }

    std::mutex mutex_;
    std::deque<Event> buffer_;
    bool ended_ = false;
    bool stopped_ = false;
    bool drainScheduled_ = false;
    bool endDelivered_ = false;
    std::optional<Error> endError_;
    ExecutorRef executor_;
    EventHandler onEvent_;
    EndHandler onEnd_;
    CancellationSource source_;
};

}  // namespace detail

/// The producing side of an event stream. Copies share one stream.
template <class Event>
class EventSink final {
  public:
    explicit EventSink(std::shared_ptr<detail::StreamState<Event>> state)
        : state_(std::move(state)) {}

    void yield(Event event) const { state_->yield(std::move(event)); }
    /// Ends the stream, normally or with an error; later events are dropped.
    void finish(std::optional<Error> error = std::nullopt) const {
        state_->finish(std::move(error));
    }
    /// Cancelled once the consumer stops listening, or asks the work to stop.
    [[nodiscard]] CancellationToken token() const { return state_->token(); }
    /// Whether the consumer stopped listening: nothing yielded is delivered any more.
    [[nodiscard]] bool isAbandoned() const { return state_->isAbandoned(); }

  private:
    std::shared_ptr<detail::StreamState<Event>> state_;
};

/// The consuming side of an event stream: events, then one end that may carry an error. The
/// stream buffers without limit. Dropping it, or calling cancel, stops listening and cancels
/// the producer's work.
template <class Event>
class EventStream final {
  public:
    using EventHandler = typename detail::StreamState<Event>::EventHandler;
    using EndHandler = typename detail::StreamState<Event>::EndHandler;

    explicit EventStream(std::shared_ptr<detail::StreamState<Event>> state)
        : state_(std::move(state)) {}
    EventStream(EventStream&&) noexcept = default;
    EventStream& operator=(EventStream&& other) noexcept {
        if (this != &other) {
            cancel();
            state_ = std::move(other.state_);
        }
        return *this;
    }
    EventStream(const EventStream&) = delete;
    EventStream& operator=(const EventStream&) = delete;
    ~EventStream() { cancel(); }

    /// Delivers buffered and later events, then the end, on `executor`. Only the first call
    /// takes effect.
    void listen(ExecutorRef executor, EventHandler onEvent, EndHandler onEnd) {
        if (state_) {
            state_->listen(std::move(executor), std::move(onEvent), std::move(onEnd));
        }
    }

    void cancel() {
        if (state_) {
            state_->stop();
            state_.reset();
        }
    }

    /// Cancels the producer's work but goes on delivering: what it did until it stopped, then
    /// its end.
    void requestStop() {
        if (state_) {
            state_->requestStop();
        }
    }

  private:
    std::shared_ptr<detail::StreamState<Event>> state_;
};

/// Creates a stream and starts its work at once: `start` receives the sink and returns without
/// waiting (it posts its work somewhere); the work watches the sink's token.
template <class Event, class Start>
EventStream<Event> makeEventStream(Start&& start) {
    auto state = std::make_shared<detail::StreamState<Event>>();
    std::forward<Start>(start)(EventSink<Event>(state));
    return EventStream<Event>(std::move(state));
}

}  // namespace quillo::support
