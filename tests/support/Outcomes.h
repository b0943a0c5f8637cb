#pragma once

#include <gtest/gtest.h>

#include <optional>

#include "support/Result.h"

namespace quillo::testing {

/// Whether an answer arrived and was a success; a failure is told by its description.
template <class T>
::testing::AssertionResult succeeded(const std::optional<support::Result<T>>& outcome) {
    if (!outcome) {
        return ::testing::AssertionFailure() << "no answer arrived";
    }
    if (!*outcome) {
        return ::testing::AssertionFailure() << "failed: " << outcome->error().description();
    }
    return ::testing::AssertionSuccess();
}

/// Whether an answer arrived and was the cancellation error.
template <class T>
::testing::AssertionResult cancelled(const std::optional<support::Result<T>>& outcome) {
    if (!outcome) {
        return ::testing::AssertionFailure() << "no answer arrived";
    }
    if (*outcome) {
        return ::testing::AssertionFailure() << "succeeded";
    }
    if (!outcome->error().isCancellation()) {
        return ::testing::AssertionFailure() << "failed: " << outcome->error().description();
    }
    return ::testing::AssertionSuccess();
}

}  // namespace quillo::testing
