#pragma once

#include <functional>
#include <memory>

#include "deletion/ReceiptStore.h"
#include "deletion/SecureDeletionService.h"
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

/// What a route to the administrator helper is made with: the deletion mode and scan depth,
/// asked afresh for each run, the store the helper's receipts join, and a context of its own.
struct ElevatedRouteParts {
    SecureDeletionService::ModeProvider modeProvider;
    DepthProvider depthProvider;
    /// What the helper must never touch; nothing is kept without it.
    support::Provider<KeepList> keptPaths;
    /// The logs' retention, sent along for the journals' vacuum.
    LogRetentionProvider logRetentionDays;
    std::shared_ptr<ReceiptStore> store;
    support::ExecutorRef context;
};

/// Makes the route the engine hands the system folders to.
using ElevatedRouteMaker = std::function<ElevatedRoute(ElevatedRouteParts)>;

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
    ElevatedRouteMaker makeElevatedRoute{};
    /// Which roots of `locations` a scan of this process leaves out.
    FolderTest isRootOutOfReach;
    /// The user's keep-list, asked afresh for every scan and deletion run; without it nothing
    /// is kept.
    support::Provider<KeepList> keptPaths{};
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
                                            const std::shared_ptr<ReceiptStore>& store);

}  // namespace quillo
