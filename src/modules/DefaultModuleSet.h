#pragma once

#include <functional>
#include <memory>

#include "deletion/ReceiptStore.h"
#include "deletion/SecureDeletionService.h"
#include "helper/HelperExchange.h"
#include "modules/CleaningEngine.h"
#include "modules/FontCacheActor.h"
#include "modules/LocalSnapshot.h"
#include "modules/ModuleLocations.h"
#include "modules/RootAccess.h"
#include "modules/SleepImageActor.h"
#include "modules/SystemCachesActor.h"
#include "modules/SystemLogsActor.h"
#include "modules/TempFilesActor.h"
#include "platform/InstalledApplications.h"

namespace quillo {

/// The administrator helper the engine hands the system folders to.
struct ElevatedHelperServices {
    HelperLaunch launch;
    /// The session's choice to take in the system folders, asked afresh for each scan.
    support::Provider<bool> includeSystemFolders;
};

/// Everything the default modules reach the system through, and where they run.
struct DefaultModuleServices {
    /// Makes a fresh serialised context: one for the engine, each module, the service and the
    /// store.
    std::function<support::ExecutorRef()> makeContext;
    /// Where folders are sized in parallel.
    support::ExecutorRef pool;
    ModuleLocations locations;
    ReceiptStore::Persistence receipts;
    RunningIdentifiersProvider runningApplicationBundleIDs;
    HibernateModeProvider hibernateMode;
    platform::InstalledApplicationCheck isInstalled;
    SnapshotLister snapshotLister;
    SnapshotDeleter snapshotDeleter;
    PostDeleteHook fontCachePostDeleteHook;
    OpenFilesReader openFiles;
    /// Without it, items that need administrator rights go to their modules like all others.
    std::optional<ElevatedHelperServices> helper{};
    /// Which roots of `locations` a scan of this process leaves out.
    FolderTest isRootOutOfReach;
    /// The logs' retention, for the scan's cutoff and the journals' vacuum (also the helper's).
    LogRetentionProvider logRetentionDays = fixedLogRetention(kDefaultLogRetentionDays);
    /// Without it the archived journals are not offered.
    JournalVacuum journalVacuum{};
};

/// The services of this machine: its locations, the receipts file at its default place, the
/// platform's readers and tools, contexts made on `pool`.
DefaultModuleServices platformModuleServices(const std::shared_ptr<support::ThreadPool>& pool);

/// The engine the application runs with: one receipt store, one deletion service and the eight
/// modules in identifier order. `modeProvider` and `depthProvider` are asked afresh for every
/// deletion run and every scan.
std::shared_ptr<CleaningEngine> makeDefault(SecureDeletionService::ModeProvider modeProvider,
                                            const DepthProvider& depthProvider,
                                            DefaultModuleServices services);

/// The same with a receipt store of the caller's, who reads the receipts back (the
/// administrator helper); `services.receipts` is not used.
std::shared_ptr<CleaningEngine> makeDefault(SecureDeletionService::ModeProvider modeProvider,
                                            const DepthProvider& depthProvider,
                                            DefaultModuleServices services,
                                            std::shared_ptr<ReceiptStore> store);

}  // namespace quillo
