#pragma once

#include <memory>
#include <string>
#include <typeinfo>

namespace quillo::support {

/// The typed cause of a failure; each kind of error derives from it.
class ErrorDetail {
  public:
    virtual ~ErrorDetail() = default;
    /// The user-facing text shown for the failure.
    [[nodiscard]] virtual std::string description() const = 0;
};

/// A failure passed between components as a value. It carries a typed detail, so callers can
/// inspect the payload of the kinds they know and show the description of any other.
class Error final {
  public:
    template <class Detail>
    static Error make(Detail detail) {
        return Error(std::make_shared<const Detail>(std::move(detail)));
    }
    static Error cancelled();

    [[nodiscard]] std::string description() const { return detail_->description(); }
    [[nodiscard]] bool isCancellation() const;

    template <class Detail>
    [[nodiscard]] const Detail* as() const {
        return dynamic_cast<const Detail*>(detail_.get());
    }

  private:
    explicit Error(std::shared_ptr<const ErrorDetail> detail) : detail_(std::move(detail)) {}
    std::shared_ptr<const ErrorDetail> detail_;
};

/// Work stopped because its task was cancelled. Never shown to the user as a failure.
class CancellationError final : public ErrorDetail {
  public:
    [[nodiscard]] std::string description() const override;
};

}  // namespace quillo::support
