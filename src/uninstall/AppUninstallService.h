#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "model/DeletionReport.h"
#include "model/KeepList.h"
#include "model/TimePoint.h"
#include "platform/PackagedApplication.h"
#include "platform/PermissionStore.h"
#include "support/CancellationToken.h"
#include "support/Executor.h"
#include "support/Provider.h"
#include "support/Result.h"
#include "support/Sleeper.h"
#include "uninstall/PackageRemoval.h"
#include "uninstall/PlanBuilding.h"
#include "uninstall/UninstallPlan.h"

namespace quillo {

/// Builds the plan that removes an application bundle with its residues, and carries it out by
/// moving the items to the Trash: nothing is deleted for good, nothing overwritten, no receipt
/// written. A serialised object: its work runs on its own context, one step at a time; it keeps
/// no state between calls.
class AppUninstallService final : public std::enable_shared_from_this<AppUninstallService> {
  public:
    /// Asks the running instances of the application `bundleID` to quit and calls `done` once
    /// it has asked. Called on the main executor.
    using QuitRunningApp =
        std::function<void(const std::string& bundleID, std::function<void()> done)>;
    /// Moves one item to the user's Trash.
    using TrashOperation = std::function<support::Status(const std::filesystem::path&)>;
    using ItemIDs = std::set<Uuid>;

    /// How long the application is given to quit before its files are moved.
    static constexpr std::chrono::milliseconds kQuitPause{250};

    /// How packaged applications (Flatpaks, snaps) are found, quit and removed. Unset members
    /// leave them out: no list, and a removal that fails.
    struct PackageServices {
        /// The installed packaged applications as they are now.
        std::function<std::vector<platform::PackagedApplication>(const support::CancellationToken&)>
            list;
        PackageRemoval remove;
        std::function<std::vector<platform::PermissionStoreRow>(const std::string& id)>
            permissionRows;
        std::function<support::Status(const std::string& id)> removePermissionRows;
        /// Asks the app's running instances to quit, then calls `done`; on the main executor.
        std::function<void(const platform::PackagedApplication&, std::function<void()> done)> quit;
    };

    struct Dependencies {
        UninstallLocations locations;
        QuitRunningApp quitRunningApp;
        TrashOperation moveToTrash;
        /// The pause after the quit request.
        std::shared_ptr<support::Sleeper> sleeper;
        /// The report's start and end.
        std::function<TimePoint()> clock;
        /// The service's own serial context.
        support::ExecutorRef context;
        std::shared_ptr<support::MainExecutor> mainExecutor;
        PackageServices packages{};
        /// The user's keep-list as it stands, answered on the main executor; unset keeps nothing.
        support::Provider<KeepList> keptPaths{};
    };

    static std::shared_ptr<AppUninstallService> create(Dependencies dependencies);

    /// The plan for the bundle at `bundleURL`, or nothing when it is no application bundle with
    /// an identifier. Fails only by cancellation. `done` runs on the service's context.
    void makePlan(std::filesystem::path bundleURL, support::CancellationToken token,
                  support::Completion<std::optional<UninstallPlan>> done);

    /// The installed packaged applications, by name. `done` runs on the service's context.
    void listApplications(support::CancellationToken token,
                          support::Completion<std::vector<platform::PackagedApplication>> done);

    /// The plan for a packaged application: itself, its residues and its portal permissions.
    void makePlan(platform::PackagedApplication app, support::CancellationToken token,
                  support::Completion<std::optional<UninstallPlan>> done);

    /// Quits the application, pauses, and moves the plan's items to the Trash in plan order:
    /// all of them without `ids`, else those whose id is in `ids`. Answers with one report of
    /// the module `applicationResidual`, an item that cannot be moved becoming a failed record;
    /// fails only by cancellation, checked before every item. A packaged application is removed
    /// by its package system first; while it is still installed afterwards (the removal failed
    /// or was not chosen) its data rows are kept and fail as records. A row the keep-list
    /// touches, read when the run starts, is never moved and fails as a record. `done` runs on
    /// the service's context.
    void uninstall(UninstallPlan plan, std::optional<ItemIDs> ids, support::CancellationToken token,
                   support::Completion<DeletionReport> done);

    /// The label an uninstall record carries instead of a receipt hash: "uninstall-" and the
    /// first eight characters of the item's id in upper case.
    static std::string recordLabel(const Uuid& itemID);

    explicit AppUninstallService(Dependencies dependencies);

  private:
    struct Run;
    /// Asks the application to quit (on the main executor), then pauses.
    void quit(const std::shared_ptr<Run>& run);
    void pause(const std::shared_ptr<Run>& run);
    void moveItems(Run& run);
    void removePackaged(const std::shared_ptr<Run>& run);
    /// Reports `verdict` for each chosen item in plan order; a cancellation between two items
    /// ends the run with the cancellation instead.
    void reportOnChosenItems(Run& run,
                             const std::function<support::Status(const CleanableItem&)>& verdict);
    void finishPackaged(Run& run, const std::optional<platform::PackagedApplication>& installed,
                        const std::optional<support::Status>& removal);
    [[nodiscard]] std::optional<platform::PackagedApplication> installedNow(
        const platform::PackagedApplication& app, const support::CancellationToken& token) const;

    Dependencies dependencies_;
};

}  // namespace quillo
