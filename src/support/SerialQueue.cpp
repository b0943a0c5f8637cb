#include "support/SerialQueue.h"

#include <utility>

namespace quillo::support {

std::shared_ptr<SerialQueue> SerialQueue::create(ExecutorRef context) {
    return std::shared_ptr<SerialQueue>(new SerialQueue(std::move(context)));
}

void SerialQueue::enqueue(Operation operation) {
    context_->post([self = shared_from_this(), operation = std::move(operation)]() mutable {
        self->waiting_.push_back(std::move(operation));
        if (!self->running_) {
            self->startNext();
        }
    });
}

void SerialQueue::startNext() {
    if (waiting_.empty()) {
        running_ = false;
        return;
    }
    running_ = true;
    auto operation = std::move(waiting_.front());
    waiting_.pop_front();
    operation([self = shared_from_this()] { self->context_->post([self] { self->startNext(); }); });
}

}  // namespace quillo::support
