#pragma once

#include "deletion/DeletionEnvironment.h"
#include "model/CleanableItem.h"
#include "model/DeletionMode.h"
#include "support/Error.h"
#include "support/Result.h"

namespace quillo {

/// How many random-overwrite passes precede the removal in `mode`: 0, 1 or 3.
int overwritePassCount(DeletionMode mode);

/// Deletes one item within `scope`: opens it under the deletion guard (which refuses dangerous
/// paths and paths outside the scope's areas), overwrites it `passCount` times, removes it and
/// checks that nothing is left at its place. A file inside a folder item that cannot be
/// overwritten is removed with the folder all the same; a single-file item that cannot be
/// overwritten is left in place. Links are removed, never written through.
support::Status deleteItem(const CleanableItem& item, int passCount,
                           const platform::DeletionScope& scope,
                           const DeletionEnvironment& environment);

}  // namespace quillo
