#pragma once

#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "model/CleanableItem.h"
#include "model/TimePoint.h"
#include "support/CancellationToken.h"
#include "support/Result.h"

namespace quillo {

/// The display name of the one item that stands for the archived journals.
inline constexpr std::string_view kArchivedJournalsName = "Archivierte Systemjournale";

/// Whether journald has closed the file: a dirty "*.journal~" or a rotated "NAME@….journal".
/// The active journals ("system.journal", "user-1000.journal") are not.
bool isArchivedJournalName(std::string_view name);

/// One item for the archived journal files in `folders` (at any depth) modified at or before
/// `cutoff`: their total size, the latest of their times, the path of the first folder holding
/// any. Nothing when there are none. Fails only by cancellation.
support::Result<std::optional<CleanableItem>> archivedJournalsItem(
    const std::vector<std::filesystem::path>& folders, TimePoint cutoff,
    const support::CancellationToken& token);

}  // namespace quillo
