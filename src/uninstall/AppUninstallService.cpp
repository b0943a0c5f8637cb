#include "uninstall/AppUninstallService.h"

#include <algorithm>
#include <utility>

#include "platform/KeptPaths.h"
#include "platform/PackageError.h"
#include "uninstall/PackagedPlan.h"

namespace quillo {

namespace {

constexpr std::string_view kNotInPlan =
    "Verschieben verweigert: Das Objekt gehört nicht zu dieser App oder ihren Resten.";
constexpr std::string_view kStillInstalled =
    "Behalten: Die App ist noch installiert, ihre Daten bleiben unangetastet.";
constexpr std::string_view kNotInstalled = "Die App ist nicht mehr installiert.";
constexpr std::string_view kKept = "Behalten: Der Pfad steht in den Ausnahmen.";
constexpr std::string_view kNoRemoval = "Für diese App ist keine Paketverwaltung eingerichtet.";

support::Status refused(std::string_view reason) {
    return support::Error::make(platform::PackageError(std::string(reason)));
}

bool isSameApplication(const platform::PackagedApplication& left,
                       const platform::PackagedApplication& right) {
    return left.kind == right.kind && left.id == right.id &&
           left.installation == right.installation;
}

}  // namespace

struct AppUninstallService::Run {
    UninstallPlan plan;
    std::optional<ItemIDs> ids;
    support::CancellationToken token;
    support::Completion<DeletionReport> done;
    TimePoint startedAt;
    KeepList kept{};
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
        Run{std::move(plan), std::move(ids), std::move(token), std::move(done), {}, {}});
    auto self = shared_from_this();
    dependencies_.context->post([self, run] {
        run->startedAt = self->dependencies_.clock();
        // The service's context is free while the main thread asks the application to quit.
        self->dependencies_.mainExecutor->post([self, run] {
            const auto& keptPaths = self->dependencies_.keptPaths;
            if (!keptPaths) {
                self->quit(run);
                return;
            }
            keptPaths([self, run](KeepList kept) {
                run->kept = std::move(kept);
                self->quit(run);
            });
        });
    });
}

void AppUninstallService::listApplications(
    support::CancellationToken token,
    support::Completion<std::vector<platform::PackagedApplication>> done) {
    auto self = shared_from_this();
    dependencies_.context->post([self, token = std::move(token), done = std::move(done)] {
        const auto& list = self->dependencies_.packages.list;
        auto applications = list ? list(token) : std::vector<platform::PackagedApplication>{};
        if (token.isCancelled()) {
            done(support::Error::cancelled());
            return;
        }
        done(std::move(applications));
    });
}

void AppUninstallService::makePlan(platform::PackagedApplication app,
                                   support::CancellationToken token,
                                   support::Completion<std::optional<UninstallPlan>> done) {
    auto self = shared_from_this();
    dependencies_.context->post(
        [self, app = std::move(app), token = std::move(token), done = std::move(done)] {
            const auto& packages = self->dependencies_.packages;
            const auto rows = packages.permissionRows ? packages.permissionRows(app.id)
                                                      : std::vector<platform::PermissionStoreRow>{};
            auto plan = buildPackagedPlan(app, self->dependencies_.locations, rows, token);
            if (token.isCancelled()) {
                done(support::Error::cancelled());
                return;
            }
            done(std::optional(std::move(plan)));
        });
}

void AppUninstallService::reportOnChosenItems(
    Run& run, const std::function<support::Status(const CleanableItem&)>& verdict) {
    DeletionReport report{
        .moduleID = CleaningModuleID::applicationResidual,
        .succeeded = {},
        .failed = {},
        .startedAt = run.startedAt,
        .completedAt = {},
    };
    const platform::KeptPaths kept(run.kept);
    for (const auto& item : run.plan.items) {
        if (run.ids && !run.ids->contains(item.id)) {
            continue;
        }
        if (run.token.isCancelled()) {
            run.done(support::Error::cancelled());
            return;
        }
        if (const support::Status outcome =
                kept.touches(item.url.native()) ? refused(kKept) : verdict(item)) {
            report.succeeded.push_back({item.id, item.sizeInBytes, recordLabel(item.id)});
        } else {
            report.failed.push_back({item.id, outcome.error().description()});
        }
    }
    report.completedAt = dependencies_.clock();
    run.done(std::move(report));
}

std::string AppUninstallService::recordLabel(const Uuid& itemID) {
    return "uninstall-" + itemID.uppercaseString().substr(0, 8);
}

void AppUninstallService::quit(const std::shared_ptr<Run>& run) {
    auto quitted = [self = shared_from_this(), run] {
        self->dependencies_.context->post([self, run] { self->pause(run); });
    };
    const auto& quitPackage = dependencies_.packages.quit;
    if (run->plan.package && quitPackage) {
        quitPackage(*run->plan.package, quitted);
    } else if (run->plan.package) {
        quitted();
    } else {
        dependencies_.quitRunningApp(run->plan.bundleID, quitted);
    }
}

void AppUninstallService::pause(const std::shared_ptr<Run>& run) {
    auto self = shared_from_this();
    // A pause cut short by cancellation ends like a finished one: the item loop then stops
    // before its first item.
    dependencies_.sleeper->sleep(kQuitPause, run->token, [self, run](const support::Status&) {
        self->dependencies_.context->post([self, run] {
            if (run->plan.package) {
                self->removePackaged(run);
            } else {
                self->moveItems(*run);
            }
        });
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
    reportOnChosenItems(run, [&](const CleanableItem& item) -> support::Status {
        return ownRows.contains(item.url) ? dependencies_.moveToTrash(item.url)
                                          : refused(kNotInPlan);
    });
}

}  // namespace quillo

namespace quillo {

std::optional<platform::PackagedApplication> AppUninstallService::installedNow(
    const platform::PackagedApplication& app, const support::CancellationToken& token) const {
    const auto& list = dependencies_.packages.list;
    if (!list) {
        return std::nullopt;
    }
    for (auto& installed : list(token)) {
        if (isSameApplication(installed, app)) {
            return installed;
        }
    }
    return std::nullopt;
}

void AppUninstallService::removePackaged(const std::shared_ptr<Run>& run) {
    // The plan came back from the caller: what is removed is what is installed now under the
    // plan's name, and the rows found for it now.
    auto installed = installedNow(*run->plan.package, run->token);
    const auto location = packageLocation(*run->plan.package);
    const bool removalChosen = std::ranges::any_of(run->plan.items, [&](const CleanableItem& item) {
        return item.url == location && (!run->ids || run->ids->contains(item.id));
    });
    if (run->token.isCancelled()) {
        run->done(support::Error::cancelled());
        return;
    }
    if (!installed || !removalChosen) {
        finishPackaged(*run, installed, std::nullopt);
        return;
    }
    if (!dependencies_.packages.remove) {
        finishPackaged(*run, installed,
                       support::Error::make(platform::PackageError(std::string(kNoRemoval))));
        return;
    }
    auto self = shared_from_this();
    dependencies_.packages.remove(*installed, [self, run, installed](support::Status removal) {
        self->dependencies_.context->post([self, run, installed, removal = std::move(removal)] {
            self->finishPackaged(*run, installed, removal);
        });
    });
}

void AppUninstallService::finishPackaged(
    Run& run, const std::optional<platform::PackagedApplication>& installed,
    const std::optional<support::Status>& removal) {
    const auto& app = installed ? *installed : *run.plan.package;
    const auto& packages = dependencies_.packages;
    const auto rows = packages.permissionRows ? packages.permissionRows(app.id)
                                              : std::vector<platform::PermissionStoreRow>{};
    std::set<std::filesystem::path> ownRows;
    for (const auto& item :
         buildPackagedPlan(app, dependencies_.locations, rows, run.token).items) {
        ownRows.insert(item.url);
    }
    const bool stillInstalled = installed && !(removal && removal->ok());
    reportOnChosenItems(run, [&](const CleanableItem& item) -> support::Status {
        if (item.url == packageLocation(app)) {
            return removal ? *removal : refused(kNotInstalled);
        }
        if (!ownRows.contains(item.url)) {
            return refused(kNotInPlan);
        }
        if (stillInstalled) {
            return refused(kStillInstalled);
        }
        if (item.url == kPermissionStoreRow) {
            return packages.removePermissionRows ? packages.removePermissionRows(app.id)
                                                 : refused(kNoRemoval);
        }
        return dependencies_.moveToTrash(item.url);
    });
}

}  // namespace quillo
