#pragma once

#include <string>

#include "support/Error.h"

namespace quillo {

/// What can go wrong inside a secure deletion.
class DeletionError final : public support::ErrorDetail {
  public:
    enum class Kind { overwriteFailed, verificationFailed, randomBytesFailed };

    static support::Error overwriteFailed(std::string reason);
    static support::Error verificationFailed();
    static support::Error randomBytesFailed();

    [[nodiscard]] Kind kind() const { return kind_; }
    /// The platform's reason, for `overwriteFailed`; empty otherwise.
    [[nodiscard]] const std::string& reason() const { return reason_; }
    [[nodiscard]] std::string description() const override;

  private:
    DeletionError(Kind kind, std::string reason) : kind_(kind), reason_(std::move(reason)) {}

    Kind kind_;
    std::string reason_;
};

}  // namespace quillo
