#include "viewmodels/PrivacyAuditViewModel.h"

#include <algorithm>
#include <utility>

#include "text/SearchText.h"
#include "text/Text.h"

namespace quillo {

namespace {

bool matches(const InstalledApp& app, const std::string& foldedQuery) {
    return SearchText::folded(app.displayName).find(foldedQuery) != std::string::npos ||
           SearchText::folded(app.bundleID).find(foldedQuery) != std::string::npos;
}

}  // namespace

PrivacyAuditViewModel::PrivacyAuditViewModel(std::shared_ptr<PrivacyAuditService> service,
                                             std::shared_ptr<support::MainExecutor> mainExecutor)
    : service_(std::move(service)),
      mainExecutor_(std::move(mainExecutor)),
      phase_(notifier_, "phase", Idle{}),
      selectedFilter_(notifier_, "selectedFilter"),
      searchQuery_(notifier_, "searchQuery"),
      scanTask_(notifier_, "scanTask") {}

PrivacyAuditViewModel::~PrivacyAuditViewModel() {
    if (const auto& task = scanTask_.get()) {
        task->cancellation.cancel();
    }
}

support::ChangeNotifier::Subscription PrivacyAuditViewModel::observe(
    support::ChangeNotifier::Observer observer) {
    return notifier_.observe(std::move(observer));
}

const std::vector<InstalledApp>& PrivacyAuditViewModel::allApps() const {
    static const std::vector<InstalledApp> none;
    const auto* ready = std::get_if<Ready>(&phase());
    return ready != nullptr ? ready->apps : none;
}

std::vector<InstalledApp> PrivacyAuditViewModel::filteredApps() const {
    const auto filter = selectedFilter();
    const std::string query = SearchText::folded(SearchText::trimmed(searchQuery()));
    std::vector<InstalledApp> shown;
    std::ranges::copy_if(allApps(), std::back_inserter(shown), [&](const InstalledApp& app) {
        return (!filter || app.declares(*filter)) && (query.empty() || matches(app, query));
    });
    return shown;
}

std::size_t PrivacyAuditViewModel::count(PrivacyPermission permission) const {
    return static_cast<std::size_t>(std::ranges::count_if(
        allApps(), [permission](const InstalledApp& app) { return app.declares(permission); }));
}

std::string PrivacyAuditViewModel::footerText() const {
    // Appended one by one: g++ 12 at -O3 takes a list of integer arguments for uninitialised
    // strings (maybe-uninitialized).
    std::vector<text::FormatArgument> counts;
    counts.reserve(2);
    counts.emplace_back(static_cast<std::int64_t>(filteredApps().size()));
    counts.emplace_back(static_cast<std::int64_t>(allApps().size()));
    // "von 1 Programm": the noun follows the total.
    return text::countFormat("privacy.audit.footer.format",
                             static_cast<std::int64_t>(allApps().size()), counts);
}

void PrivacyAuditViewModel::startAudit() {
    const support::ChangeNotifier::Batch batch(notifier_);
    cancelTask();
    phase_.set(Scanning{});
    const TaskHandle task{.cancellation = {}, .serial = ++lastTaskSerial_};
    scanTask_.set(task);
    // A task stops being current only by being cancelled (a newer audit or the destructor), so
    // a cancelled task's answer is dropped before it touches this object, which may be gone.
    service_->auditWithFindings(
        task.cancellation.token(),
        [this, task, mainExecutor = mainExecutor_](AuditFindings findings) {
            mainExecutor->post([this, task, findings = std::move(findings)]() mutable {
                if (!task.cancellation.isCancelled()) {
                    finishAudit(std::move(findings));
                }
            });
        });
}

void PrivacyAuditViewModel::toggleFilter(PrivacyPermission permission) {
    if (selectedFilter() == permission) {
        selectedFilter_.set(std::nullopt);
    } else {
        selectedFilter_.set(permission);
    }
}

void PrivacyAuditViewModel::clearFilter() {
    selectedFilter_.set(std::nullopt);
}

void PrivacyAuditViewModel::setSearchQuery(const std::string& query) {
    searchQuery_.set(query);
}

void PrivacyAuditViewModel::cancelTask() {
    if (const auto& task = scanTask_.get()) {
        task->cancellation.cancel();
    }
    scanTask_.set(std::nullopt);
}

void PrivacyAuditViewModel::finishAudit(AuditFindings findings) {
    const support::ChangeNotifier::Batch batch(notifier_);
    scanTask_.set(std::nullopt);
    phase_.set(Ready{std::move(findings.apps), findings.examined});
}

}  // namespace quillo
