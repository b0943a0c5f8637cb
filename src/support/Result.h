#pragma once

#include <cassert>
#include <functional>
#include <utility>
#include <variant>

#include "support/Error.h"

namespace quillo::support {

/// The value of an operation that succeeds without producing anything.
struct Unit {
    friend bool operator==(Unit, Unit) = default;
};

/// Either a value or the Error that prevented it.
template <class T>
class Result final {
  public:
    Result(T value) : state_(std::move(value)) {}      // NOLINT(google-explicit-constructor)
    Result(Error error) : state_(std::move(error)) {}  // NOLINT(google-explicit-constructor)

    [[nodiscard]] bool ok() const { return std::holds_alternative<T>(state_); }
    explicit operator bool() const { return ok(); }

    [[nodiscard]] const T& value() const& {
        assert(ok());
        return std::get<T>(state_);
    }
    [[nodiscard]] T& value() & {
        assert(ok());
        return std::get<T>(state_);
    }
    [[nodiscard]] T&& value() && {
        assert(ok());
        return std::get<T>(std::move(state_));
    }
    [[nodiscard]] const Error& error() const {
        assert(!ok());
        return std::get<Error>(state_);
    }

  private:
    std::variant<T, Error> state_;
};

using Status = Result<Unit>;

/// Receives the outcome of an asynchronous operation, once, on the callee's context unless the
/// operation says otherwise.
template <class T>
using Completion = std::function<void(Result<T>)>;

}  // namespace quillo::support
