#pragma once

#include <cstdint>

#include "support/CancellationToken.h"

namespace quillo {

/// A view model's hold on the long task it started. Cancelling only marks the task; its serial
/// number tells an outcome of a replaced task from one of its successor, so that a late outcome
/// is dropped.
struct TaskHandle {
    support::CancellationSource cancellation;
    std::uint64_t serial = 0;

    friend bool operator==(const TaskHandle& left, const TaskHandle& right) {
        return left.serial == right.serial;
    }
};

}  // namespace quillo
