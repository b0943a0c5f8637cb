#pragma once

#include <string>

#include "modules/LocalSnapshot.h"
#include "support/Error.h"

namespace quillo {

/// A snapshot deleter refused a token before running anything.
class UnusableSnapshotNameError final : public support::ErrorDetail {
  public:
    explicit UnusableSnapshotNameError(std::string token) : token_(std::move(token)) {}
    [[nodiscard]] std::string description() const override;

  private:
    std::string token_;
};

// The snapshot functions the application installs. Both run their tools through the process
// runner; on a system without the tools (Linux) a run fails at once with a launch error naming
// the missing program.

/// Lists the snapshots with "/usr/bin/tmutil" and adds the identifiers "/usr/sbin/diskutil"
/// reports. Never fails: a tool that cannot run or that fails counts as listing nothing.
void defaultSnapshotLister(support::Completion<std::vector<LocalSnapshot>> done);

/// Deletes one snapshot with "/usr/bin/tmutil deletelocalsnapshots <date token>". A token that
/// could be taken for an option (or is empty) is refused without running the tool.
void defaultSnapshotDeleter(const LocalSnapshot& snapshot, support::Completion<support::Unit> done);

/// The snapshot functions of the platform this build runs on.
SnapshotLister platformSnapshotLister();
SnapshotDeleter platformSnapshotDeleter();

}  // namespace quillo
