#include "viewmodels/UninstallViewModel.h"

#include <utility>

#include "text/SearchText.h"
#include "text/Text.h"
#include "uninstall/PackagedPlan.h"

namespace quillo {

namespace {

/// A cancellation is never shown as a failure.
UninstallViewModel::Phase phaseAfter(const support::Error& error) {
    if (error.isCancellation()) {
        return UninstallViewModel::Idle{};
    }
    return UninstallViewModel::Failed{error.description()};
}

}  // namespace

UninstallViewModel::UninstallViewModel(std::shared_ptr<AppUninstallService> service,
                                       std::shared_ptr<support::MainExecutor> mainExecutor)
    : service_(std::move(service)),
      mainExecutor_(std::move(mainExecutor)),
      phase_(notifier_, "phase", Idle{}),
      selectedItemIDs_(notifier_, "selectedItemIDs"),
      currentTask_(notifier_, "currentTask"),
      applicationQuery_(notifier_, "applicationQuery") {}

UninstallViewModel::~UninstallViewModel() {
    if (const auto& task = currentTask_.get()) {
        task->cancellation.cancel();
    }
}

support::ChangeNotifier::Subscription UninstallViewModel::observe(
    support::ChangeNotifier::Observer observer) {
    return notifier_.observe(std::move(observer));
}

bool UninstallViewModel::canUninstall() const {
    return std::holds_alternative<Ready>(phase()) && !selectedItemIDs().empty();
}

std::int64_t UninstallViewModel::selectedBytes() const {
    const auto* ready = std::get_if<Ready>(&phase());
    if (ready == nullptr) {
        return 0;
    }
    std::int64_t total = 0;
    for (const auto& item : ready->plan.items) {
        if (selectedItemIDs().contains(item.id)) {
            total += item.sizeInBytes;
        }
    }
    return total;
}

void UninstallViewModel::prepare(const std::filesystem::path& url) {
    const support::ChangeNotifier::Batch batch(notifier_);
    cancelTask();
    phase_.set(Preparing{url});
    const TaskHandle task = startTask();
    service_->makePlan(url, task.cancellation.token(),
                       onMainThread<std::optional<UninstallPlan>>(
                           task, [this](auto outcome) { finishPlan(std::move(outcome)); }));
}

void UninstallViewModel::prepare(const platform::PackagedApplication& app) {
    const support::ChangeNotifier::Batch batch(notifier_);
    cancelTask();
    phase_.set(Preparing{packageLocation(app)});
    const TaskHandle task = startTask();
    service_->makePlan(app, task.cancellation.token(),
                       onMainThread<std::optional<UninstallPlan>>(
                           task, [this](auto outcome) { finishPlan(std::move(outcome)); }));
}

void UninstallViewModel::showApplications() {
    const support::ChangeNotifier::Batch batch(notifier_);
    cancelTask();
    selectedItemIDs_.set({});
    phase_.set(Choosing{{}, true});
    const TaskHandle task = startTask();
    service_->listApplications(
        task.cancellation.token(),
        onMainThread<std::vector<platform::PackagedApplication>>(
            task, [this](auto outcome) { finishListing(std::move(outcome)); }));
}

void UninstallViewModel::setApplicationQuery(const std::string& query) {
    applicationQuery_.set(query);
}

std::vector<platform::PackagedApplication> UninstallViewModel::shownApplications() const {
    std::vector<platform::PackagedApplication> shown;
    const auto* choosing = std::get_if<Choosing>(&phase());
    if (choosing == nullptr) {
        return shown;
    }
    const auto query = SearchText::folded(SearchText::trimmed(applicationQuery()));
    for (const auto& app : choosing->apps) {
        const auto haystack =
            SearchText::folded(app.name + "\n" + app.id + "\n" + app.installationLabel);
        if (query.empty() || haystack.find(query) != std::string::npos) {
            shown.push_back(app);
        }
    }
    return shown;
}

void UninstallViewModel::toggleSelection(const Uuid& id) {
    ItemIDs ids = selectedItemIDs();
    if (ids.erase(id) == 0) {
        ids.insert(id);
    }
    selectedItemIDs_.set(std::move(ids));
}

void UninstallViewModel::selectAll() {
    const auto* ready = std::get_if<Ready>(&phase());
    if (ready == nullptr) {
        return;
    }
    ItemIDs ids;
    for (const auto& item : ready->plan.items) {
        ids.insert(item.id);
    }
    selectedItemIDs_.set(std::move(ids));
}

void UninstallViewModel::selectNone() {
    selectedItemIDs_.set({});
}

void UninstallViewModel::uninstall() {
    if (!canUninstall()) {
        return;
    }
    const support::ChangeNotifier::Batch batch(notifier_);
    UninstallPlan plan = std::get<Ready>(phase()).plan;
    ItemIDs ids = selectedItemIDs();
    phase_.set(Uninstalling{0, ids.size()});
    cancelTask();
    const TaskHandle task = startTask();
    service_->uninstall(std::move(plan), std::move(ids), task.cancellation.token(),
                        onMainThread<DeletionReport>(
                            task, [this](auto outcome) { finishUninstall(std::move(outcome)); }));
}

void UninstallViewModel::reset() {
    const support::ChangeNotifier::Batch batch(notifier_);
    cancelTask();
    selectedItemIDs_.set({});
    phase_.set(Idle{});
}

TaskHandle UninstallViewModel::startTask() {
    TaskHandle task{.cancellation = {}, .serial = ++lastTaskSerial_};
    currentTask_.set(task);
    return task;
}

void UninstallViewModel::cancelTask() {
    if (const auto& task = currentTask_.get()) {
        task->cancellation.cancel();
    }
    currentTask_.set(std::nullopt);
}

template <class T, class Apply>
support::Completion<T> UninstallViewModel::onMainThread(const TaskHandle& task, Apply apply) {
    // A task stops being current only by being cancelled (a newer task, reset or the
    // destructor), so the answer of a cancelled task is dropped before it touches this object,
    // which may be gone by then.
    return
        [task, apply = std::move(apply), mainExecutor = mainExecutor_](support::Result<T> outcome) {
            mainExecutor->post([task, apply, outcome = std::move(outcome)]() mutable {
                if (!task.cancellation.isCancelled()) {
                    apply(std::move(outcome));
                }
            });
        };
}

void UninstallViewModel::finishPlan(support::Result<std::optional<UninstallPlan>> outcome) {
    const support::ChangeNotifier::Batch batch(notifier_);
    currentTask_.set(std::nullopt);
    if (!outcome) {
        phase_.set(phaseAfter(outcome.error()));
        return;
    }
    auto& plan = outcome.value();
    if (!plan) {
        phase_.set(Failed{text::text("uninstall.invalidApp")});
        return;
    }
    ItemIDs ids;
    for (const auto& item : plan->items) {
        ids.insert(item.id);
    }
    selectedItemIDs_.set(std::move(ids));
    phase_.set(Ready{std::move(*plan)});
}

void UninstallViewModel::finishListing(
    support::Result<std::vector<platform::PackagedApplication>> outcome) {
    const support::ChangeNotifier::Batch batch(notifier_);
    currentTask_.set(std::nullopt);
    if (outcome) {
        phase_.set(Choosing{std::move(outcome).value(), false});
    } else {
        phase_.set(phaseAfter(outcome.error()));
    }
}

void UninstallViewModel::finishUninstall(support::Result<DeletionReport> outcome) {
    const support::ChangeNotifier::Batch batch(notifier_);
    currentTask_.set(std::nullopt);
    if (outcome) {
        phase_.set(Summary{std::move(outcome).value()});
    } else {
        phase_.set(phaseAfter(outcome.error()));
    }
}

}  // namespace quillo
