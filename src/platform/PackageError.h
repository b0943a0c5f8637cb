#pragma once

#include <string>
#include <utility>

#include "support/Error.h"

namespace quillo::platform {

/// A package system (the flatpak tool, snapd, the portals' store) refused or failed a request;
/// the description is its own message, in German where it has none.
class PackageError final : public support::ErrorDetail {
  public:
    explicit PackageError(std::string message) : message_(std::move(message)) {}
    [[nodiscard]] std::string description() const override { return message_; }

  private:
    std::string message_;
};

}  // namespace quillo::platform
