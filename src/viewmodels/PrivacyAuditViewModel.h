#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "audit/PrivacyAuditService.h"
#include "support/Executor.h"
#include "support/Observation.h"
#include "viewmodels/PhaseCases.h"
#include "viewmodels/TaskHandle.h"

namespace quillo {

/// The state of the privacy audit sheet: the audited applications, the chosen permission chip
/// and the search text. Main thread only; it outlives the sheet, so reopening shows the last
/// result. Observers hear "phase", "selectedFilter", "searchQuery" and "scanTask".
class PrivacyAuditViewModel final {
  public:
    struct Ready {
        std::vector<InstalledApp> apps;
        /// How many applications the audit looked at; none means an empty list proves nothing.
        std::size_t examined = 0;
        friend bool operator==(const Ready&, const Ready&) = default;
    };
    using Failed = phase::Failed;
    using Idle = phase::Idle;
    using Scanning = phase::Scanning;
    using Phase = std::variant<Ready, Failed, Idle, Scanning>;

    /// The audit's answer is taken on `mainExecutor`, the executor of the thread this object
    /// lives on.
    PrivacyAuditViewModel(std::shared_ptr<PrivacyAuditService> service,
                          std::shared_ptr<support::MainExecutor> mainExecutor);
    PrivacyAuditViewModel(const PrivacyAuditViewModel&) = delete;
    PrivacyAuditViewModel& operator=(const PrivacyAuditViewModel&) = delete;
    /// Cancels a running audit; its answer is then dropped, also when already queued.
    ~PrivacyAuditViewModel();

    [[nodiscard]] support::ChangeNotifier::Subscription observe(
        support::ChangeNotifier::Observer observer);

    [[nodiscard]] const Phase& phase() const { return phase_.get(); }
    [[nodiscard]] const std::optional<PrivacyPermission>& selectedFilter() const {
        return selectedFilter_.get();
    }
    [[nodiscard]] const std::string& searchQuery() const { return searchQuery_.get(); }
    [[nodiscard]] const std::optional<TaskHandle>& scanTask() const { return scanTask_.get(); }

    /// The applications of a finished audit; empty in every other phase.
    [[nodiscard]] const std::vector<InstalledApp>& allApps() const;
    /// `allApps` narrowed to the chosen permission and to the search text, in order.
    [[nodiscard]] std::vector<InstalledApp> filteredApps() const;
    /// How many of `allApps` declare `permission`, however often each does.
    [[nodiscard]] std::size_t count(PrivacyPermission permission) const;
    /// "n of m applications" for the shown and the audited applications.
    [[nodiscard]] std::string footerText() const;

    /// Audits anew, replacing a running audit.
    void startAudit();
    /// Chooses `permission`'s chip, or clears the filter when it is already chosen.
    void toggleFilter(PrivacyPermission permission);
    void clearFilter();
    void setSearchQuery(const std::string& query);

  private:
    void cancelTask();
    void finishAudit(AuditFindings findings);

    std::shared_ptr<PrivacyAuditService> service_;
    std::shared_ptr<support::MainExecutor> mainExecutor_;
    support::ChangeNotifier notifier_;
    support::ObservedField<Phase> phase_;
    support::ObservedField<std::optional<PrivacyPermission>> selectedFilter_;
    support::ObservedField<std::string> searchQuery_;
    support::ObservedField<std::optional<TaskHandle>> scanTask_;
    std::uint64_t lastTaskSerial_ = 0;
};

}  // namespace quillo
