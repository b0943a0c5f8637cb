#pragma once

#include <string>

#include "support/Error.h"

namespace quillo::platform {

/// Why the deletion guard stopped working on an item it had opened; the description is German.
class ItemSafetyError final : public support::ErrorDetail {
  public:
    enum class Kind {
        /// A folder on the way to the item is a symbolic link (or was swapped for one).
        linkInPath,
        /// The item's folder lies on another mount than the area it belongs to.
        otherMount,
        /// The item itself is a mount point.
        mountPoint,
        /// The item holds a mount point: what lies outside it is gone, what is inside stays.
        containsMountPoint,
        /// The entry at the item's path is no longer the one that was opened.
        replaced,
    };

    static support::Error make(Kind kind);

    [[nodiscard]] Kind kind() const { return kind_; }
    [[nodiscard]] std::string description() const override;

  private:
    explicit ItemSafetyError(Kind kind) : kind_(kind) {}

    Kind kind_;
};

}  // namespace quillo::platform
