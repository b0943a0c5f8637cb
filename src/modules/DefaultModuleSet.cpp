#include "modules/DefaultModuleSet.h"

#include <utility>

#include "modules/ApplicationResidualActor.h"
#include "modules/DiagnosticReportsActor.h"
#include "modules/LinuxSnapshotTools.h"
#include "modules/LocalSnapshotsActor.h"
#include "modules/SnapshotTools.h"
#include "modules/SystemLogsActor.h"
#include "platform/FontDatabaseReset.h"
#include "platform/Hibernation.h"
#include "platform/Removability.h"
#include "platform/RunningApplications.h"
#include "support/Sleeper.h"
#include "support/ThreadPool.h"

namespace quillo {

namespace {}  // namespace

DefaultModuleServices platformModuleServices(const std::shared_ptr<support::ThreadPool>& pool) {
    auto locations = platformLocations();
    return DefaultModuleServices{
        .makeContext = [pool] { return pool->makeStrand(); },
        .pool = pool,
        .locations = std::move(locations),
        .receipts =
            ReceiptStore::OnDisk{ReceiptStore::defaultURL(), ReceiptStore::defaultFallbackFolder()},
        .runningApplicationBundleIDs = platform::runningApplicationIdentifiers,
        .hibernateMode = platform::hibernateMode,
        .isInstalled = platform::installedApplicationCheck(
            platform::defaultInstalledApplicationSources(), support::makeSteadySleeper(pool)),
        .snapshotLister = platformSnapshotLister(),
        .snapshotDeleter = platformSnapshotDeleter(),
        .fontCachePostDeleteHook = platform::fontCachesDeleted,
        .openFiles = platform::currentOpenFiles,
        .isRootOutOfReach = platform::isOutOfReach,
        .journalVacuum = journalctlVacuum(),
    };
}

std::shared_ptr<CleaningEngine> makeDefault(SecureDeletionService::ModeProvider modeProvider,
                                            const DepthProvider& depthProvider,
                                            DefaultModuleServices services) {
    auto store = ReceiptStore::create(std::move(services.receipts), services.makeContext());
    return makeDefault(std::move(modeProvider), depthProvider, std::move(services), store);
}

std::shared_ptr<CleaningEngine> makeDefault(SecureDeletionService::ModeProvider modeProvider,
                                            const DepthProvider& depthProvider,
                                            DefaultModuleServices services,
                                            const std::shared_ptr<ReceiptStore>& store) {
    std::optional<ElevatedRoute> elevated;
    if (services.makeElevatedRoute) {
        elevated = services.makeElevatedRoute(
            ElevatedRouteParts{.modeProvider = modeProvider,
                               .depthProvider = depthProvider,
                               .keptPaths = services.keptPaths,
                               .logRetentionDays = services.logRetentionDays,
                               .store = store,
                               .context = services.makeContext()});
    }
    auto& locations = services.locations;
    // What this process could not clean is not walked; the start screen names it instead.
    leaveOutRootsOutOfReach(locations, services.isRootOutOfReach);
    DeletionEnvironment deletionEnvironment;
    deletionEnvironment.moduleAreas = deletionAreas(locations);
    deletionEnvironment.removalWorkers = services.pool;
    if (services.keptPaths) {
        deletionEnvironment.keptPaths = services.keptPaths;
    }
    auto service = SecureDeletionService::create(
        std::move(modeProvider), store, services.makeContext(), std::move(deletionEnvironment));
    const auto environment = [&services] {
        return ModuleEnvironment{.context = services.makeContext(), .pool = services.pool};
    };
    std::vector<std::shared_ptr<CleaningModule>> modules{
        std::make_shared<SystemCachesActor>(
            std::move(locations.cacheRoots), std::move(services.runningApplicationBundleIDs),
            depthProvider, service, environment(), std::move(locations.excludedCacheEntries)),
        std::make_shared<SystemLogsActor>(
            std::move(locations.logRoots), services.logRetentionDays, depthProvider, service,
            environment(),
            services.journalVacuum ? JournalService{.folders = std::move(locations.journalFolders),
                                                    .vacuum = std::move(services.journalVacuum)}
                                   : JournalService{}),
        std::make_shared<TempFilesActor>(std::move(locations.tempRoots), depthProvider, service,
                                         environment(), std::move(services.openFiles),
                                         locations.tempRecentWindow),
        std::make_shared<SleepImageActor>(std::move(locations.sleepImage),
                                          std::move(services.hibernateMode), service,
                                          environment()),
        std::make_shared<DiagnosticReportsActor>(std::move(locations.reportRoots),
                                                 std::move(locations.deepReportRoots),
                                                 depthProvider, service, environment()),
        std::make_shared<ApplicationResidualActor>(std::move(locations.residualRoots),
                                                   std::move(services.isInstalled), service,
                                                   environment()),
        std::make_shared<LocalSnapshotsActor>(
            std::move(services.snapshotLister), std::move(services.snapshotDeleter),
            LocalSnapshotsActor::Environment{.context = services.makeContext()}),
        std::make_shared<FontCacheActor>(std::move(locations.fontRoots),
                                         std::move(services.fontCachePostDeleteHook), service,
                                         environment()),
    };
    return std::make_shared<CleaningEngine>(std::move(modules), services.makeContext(),
                                            std::move(elevated), std::move(services.keptPaths));
}

}  // namespace quillo
