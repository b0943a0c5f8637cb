#include "uninstall/AppUninstallService.h"

#include <utility>

namespace quillo {

namespace {

constexpr std::string_view kNotInPlan =
    "Verschieben verweigert: Das Objekt gehört nicht zu dieser App oder ihren Resten.";

}  // namespace

struct AppUninstallService::Run {
    UninstallPlan plan;
    std::optional<ItemIDs> ids;
    support::CancellationToken token;
    support::Completion<DeletionReport> done;
    TimePoint startedAt;
};

std::shared_ptr<AppUninstallService> AppUninstallService::create(Dependencies dependencies) {
    return std::make_shared<AppUninstallService>(std::move(dependencies));
}

AppUninstallService::AppUninstallService(Dependencies dependencies)
    : dependencies_(std::move(dependencies)) {}

void AppUninstallService::makePlan(std::filesystem::path bundleURL,
                                   support::CancellationToken token,
                                   support::Completion<std::optional<UninstallPlan>> done) {
    auto self = shared_from_this();
    dependencies_.context->post(
        [self, bundleURL = std::move(bundleURL), token = std::move(token), done = std::move(done)] {
            auto plan = buildUninstallPlan(bundleURL, self->dependencies_.locations, token);
            if (token.isCancelled()) {
                done(support::Error::cancelled());
                return;
            }
            done(std::move(plan));
        });
}

void AppUninstallService::uninstall(UninstallPlan plan, std::optional<ItemIDs> ids,
                                    support::CancellationToken token,
                                    support::Completion<DeletionReport> done) {
    auto run = std::make_shared<Run>(
        Run{std::move(plan), std::move(ids), std::move(token), std::move(done), {}});
    auto self = shared_from_this();
    dependencies_.context->post([self, run] {
        run->startedAt = self->dependencies_.clock();
        // The service's context is free while the main thread asks the application to quit.
        self->dependencies_.mainExecutor->post([self, run] {
            self->dependencies_.quitRunningApp(run->plan.bundleID, [self, run] {
                self->dependencies_.context->post([self, run] { self->pause(run); });
            });
        });
    });
}

std::string AppUninstallService::recordLabel(const Uuid& itemID) {
    return "uninstall-" + itemID.uppercaseString().substr(0, 8);
}

void AppUninstallService::pause(const std::shared_ptr<Run>& run) {
    auto self = shared_from_this();
    // A pause cut short by cancellation ends like a finished one: the item loop then stops
    // before its first item.
    dependencies_.sleeper->sleep(kQuitPause, run->token, [self, run](const support::Status&) {
        self->dependencies_.context->post([self, run] { self->moveItems(*run); });
    });
}

void AppUninstallService::moveItems(Run& run) {
    // The plan came back from the caller: only what this service itself finds for the bundle
    // now is moved, the bundle and its residues, nothing the plan was given besides.
    std::set<std::filesystem::path> ownRows;
    if (auto own = buildUninstallPlan(run.plan.appURL, dependencies_.locations, run.token)) {
        for (const auto& item : own->items) {
            ownRows.insert(item.url);
        }
    }
    DeletionReport report{
        .moduleID = CleaningModuleID::applicationResidual,
        .succeeded = {},
        .failed = {},
        .startedAt = run.startedAt,
        .completedAt = {},
    };
    for (const auto& item : run.plan.items) {
        if (run.ids && !run.ids->contains(item.id)) {
            continue;
        }
        if (run.token.isCancelled()) {
            run.done(support::Error::cancelled());
            return;
        }
        if (!ownRows.contains(item.url)) {
            report.failed.push_back({item.id, std::string(kNotInPlan)});
            continue;
        }
        const support::Status moved = dependencies_.moveToTrash(item.url);
        if (moved) {
            report.succeeded.push_back({item.id, item.sizeInBytes, recordLabel(item.id)});
        } else {
            report.failed.push_back({item.id, moved.error().description()});
        }
    }
    report.completedAt = dependencies_.clock();
    run.done(std::move(report));
}

}  // namespace quillo
