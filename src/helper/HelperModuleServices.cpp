#include "helper/HelperModuleServices.h"

#include "modules/LinuxSnapshotTools.h"
#include "platform/FontDatabaseReset.h"
#include "platform/Hibernation.h"
#include "platform/OpenFiles.h"
#include "platform/RunningApplications.h"

namespace quillo {

DefaultModuleServices helperModuleServices(const support::ExecutorRef& executor) {
    return DefaultModuleServices{
        .makeContext = [executor] { return executor; },
        .pool = executor,
        .locations = linuxSystemLocations("/"),
        .receipts = ReceiptStore::InMemory{},
        .runningApplicationBundleIDs = platform::runningApplicationIdentifiers,
        .hibernateMode = platform::hibernateMode,
        .isInstalled = [](const std::string&,
                          const std::function<void(bool)>& answer) { answer(true); },
        .snapshotLister = linuxSnapshotLister({}),
        .snapshotDeleter = linuxSnapshotDeleter({}),
        .fontCachePostDeleteHook = platform::fontCachesDeleted,
        .openFiles = platform::currentOpenFiles,
        // As root every system folder is in reach.
        .isRootOutOfReach = [](const std::filesystem::path&) { return false; },
        .logRetentionDays = fixedLogRetention(kDefaultLogRetentionDays),
        .journalVacuum = journalctlVacuum(),
    };
}

}  // namespace quillo
