#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "model/CleaningModuleID.h"
#include "model/KeepList.h"
#include "model/TimePoint.h"
#include "platform/DeletionScope.h"
#include "platform/OpenedItem.h"
#include "platform/SafeFileOperations.h"
#include "platform/SecureRandom.h"
#include "platform/StandardDirectories.h"
#include "platform/SystemLog.h"
#include "support/Executor.h"
#include "support/Provider.h"
#include "support/Result.h"

namespace quillo {

/// The steps of a deletion on an item opened under the guard, as fields so that tests can watch
/// or fail them; opening itself, where the safety rules are applied, cannot be replaced.
struct DeletionFileOperations {
    std::function<support::Result<platform::OverwriteOutcome>(const platform::OpenedItem&,
                                                              const platform::RandomFill&)>
        overwrite = [](const platform::OpenedItem& item, const platform::RandomFill& fill) {
            return item.overwriteOnce(fill);
        };
    std::function<support::Status(const platform::OpenedItem&)> remove =
        [](const platform::OpenedItem& item) { return item.remove(); };
    std::function<bool(const platform::OpenedItem&)> isGone = [](const platform::OpenedItem& item) {
        return item.isGone();
    };
};

/// Everything through which the deletion service reaches the system.
struct DeletionEnvironment {
    // Out of line: g++ 12 takes the inlined defaults for uninitialised function objects.
    DeletionEnvironment();

    std::function<TimePoint()> clock = [] { return std::chrono::system_clock::now(); };
    platform::RandomFill randomFill = platform::secureRandomFill;
    DeletionFileOperations files;
    platform::SystemLogOptions log;
    /// Never deleted, nor any folder that holds it.
    std::filesystem::path homeFolder = platform::homeFolder();
    /// Where each module's items may lie; a module without areas may delete nothing.
    std::map<CleaningModuleID, std::vector<platform::DeletionArea>> moduleAreas;
    /// The user's keep-list, asked afresh for every run; nothing it touches is deleted.
    support::Provider<KeepList> keptPaths = keepingNothing();
    /// Where plain removals run side by side, so that one item's wait on the disk overlaps the
    /// next item's work; without it every item is deleted on the service's context.
    support::ExecutorRef removalWorkers;
    /// How many plain removals may be on the workers at once: removals mostly wait for the disk,
    /// and several in flight hide those waits.
    std::size_t removalsInFlight = 16;
};

}  // namespace quillo
