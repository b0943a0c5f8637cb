#pragma once

#include <string>

#include "deletion/DeletionEnvironment.h"
#include "model/CleanableItem.h"
#include "model/DeletionMode.h"
#include "support/Error.h"
#include "support/Result.h"

namespace quillo {

/// How many random-overwrite passes precede the removal in `mode`: 0, 1 or 3.
int overwritePassCount(DeletionMode mode);

/// An item the service will not touch, with the reason why.
class RefusedItemError final : public support::ErrorDetail {
  public:
    explicit RefusedItemError(std::string reason) : reason_(std::move(reason)) {}
    [[nodiscard]] std::string description() const override { return reason_; }

  private:
    std::string reason_;
};

/// Deletes one item: refuses a dangerous path, overwrites the item `passCount` times, removes
/// it and checks that nothing is left at its path. A file inside a folder item that cannot be
/// overwritten is removed with the folder all the same; a single-file item that cannot be
/// overwritten is left in place. Links are removed, never written through.
support::Status deleteItem(const CleanableItem& item, int passCount,
                           const DeletionEnvironment& environment);

}  // namespace quillo
