#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "model/DeletionReport.h"
#include "support/Executor.h"
#include "support/Observation.h"
#include "uninstall/AppUninstallService.h"
#include "viewmodels/PhaseCases.h"
#include "viewmodels/TaskHandle.h"

namespace quillo {

/// The state of the uninstall sheet: the chosen bundle, its plan, which items stay selected, the
/// running removal and its outcome. Main thread only. Observers hear "phase", "selectedItemIDs"
/// and "currentTask" when they change.
class UninstallViewModel final {
  public:
    struct Preparing {
        std::filesystem::path url;
        friend bool operator==(const Preparing&, const Preparing&) = default;
    };
    struct Ready {
        UninstallPlan plan;
        /// A plan is never changed once made, so its identity stands for it.
        friend bool operator==(const Ready& left, const Ready& right) {
            return left.plan.id == right.plan.id;
        }
    };
    struct Uninstalling {
        std::size_t completed = 0;
        std::size_t total = 0;
        friend bool operator==(const Uninstalling&, const Uninstalling&) = default;
    };
    struct Summary {
        DeletionReport report;
        friend bool operator==(const Summary&, const Summary&) = default;
    };
    using Failed = phase::Failed;
    using Idle = phase::Idle;
    /// The installed packaged applications to choose from; `loading` while they are listed.
    struct Choosing {
        std::vector<platform::PackagedApplication> apps;
        bool loading = false;
        friend bool operator==(const Choosing&, const Choosing&) = default;
    };
    using Phase = std::variant<Preparing, Ready, Uninstalling, Summary, Failed, Idle, Choosing>;
    using ItemIDs = AppUninstallService::ItemIDs;

    /// The service's answers are taken on `mainExecutor`, the executor of the thread this object
    /// lives on.
    UninstallViewModel(std::shared_ptr<AppUninstallService> service,
                       std::shared_ptr<support::MainExecutor> mainExecutor);
    UninstallViewModel(const UninstallViewModel&) = delete;
    UninstallViewModel& operator=(const UninstallViewModel&) = delete;
    /// Cancels the current task; its answer is then dropped, also when already queued.
    ~UninstallViewModel();

    [[nodiscard]] support::ChangeNotifier::Subscription observe(
        support::ChangeNotifier::Observer observer);

    [[nodiscard]] const Phase& phase() const { return phase_.get(); }
    [[nodiscard]] const ItemIDs& selectedItemIDs() const { return selectedItemIDs_.get(); }
    [[nodiscard]] const std::optional<TaskHandle>& currentTask() const {
        return currentTask_.get();
    }
    /// The text the list of installed applications is narrowed by ("applicationQuery").
    [[nodiscard]] const std::string& applicationQuery() const { return applicationQuery_.get(); }
    /// The listed applications whose name, ID or installation contains the query, in order;
    /// empty outside `Choosing`.
    [[nodiscard]] std::vector<platform::PackagedApplication> shownApplications() const;

    /// A plan is shown and something is selected.
    [[nodiscard]] bool canUninstall() const;
    /// The sizes of the shown plan's selected items; 0 when no plan is shown.
    [[nodiscard]] std::int64_t selectedBytes() const;

    /// Builds the plan for the bundle at `url`, replacing whatever was going on.
    void prepare(const std::filesystem::path& url);
    /// Lists the installed packaged applications to choose from, replacing whatever was going on.
    void showApplications();
    void setApplicationQuery(const std::string& query);
    /// Builds the plan for a listed application.
    void prepare(const platform::PackagedApplication& app);
    void toggleSelection(const Uuid& id);
    /// Selects every item of the shown plan; nothing happens when no plan is shown.
    void selectAll();
    void selectNone();
    /// Moves the selected items of the shown plan to the Trash; only when canUninstall holds.
    void uninstall();
    /// Cancels the current task and closes the sheet with nothing selected.
    void reset();

  private:
    TaskHandle startTask();
    void cancelTask();
    void finishPlan(support::Result<std::optional<UninstallPlan>> outcome);
    void finishListing(support::Result<std::vector<platform::PackagedApplication>> outcome);
    void finishUninstall(support::Result<DeletionReport> outcome);
    /// Runs `apply` with the outcome on the main thread unless `task` was cancelled meanwhile.
    template <class T, class Apply>
    support::Completion<T> onMainThread(const TaskHandle& task, Apply apply);

    std::shared_ptr<AppUninstallService> service_;
    std::shared_ptr<support::MainExecutor> mainExecutor_;
    support::ChangeNotifier notifier_;
    support::ObservedField<Phase> phase_;
    support::ObservedField<ItemIDs> selectedItemIDs_;
    support::ObservedField<std::optional<TaskHandle>> currentTask_;
    support::ObservedField<std::string> applicationQuery_;
    std::uint64_t lastTaskSerial_ = 0;
};

}  // namespace quillo
