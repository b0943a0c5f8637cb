#include "uninstall/UninstallHarness.h"

#include <gtest/gtest.h>

namespace quillo::testing {

std::shared_ptr<AppUninstallService> packageListingService(
    const std::vector<platform::PackagedApplication>& installed,
    const std::shared_ptr<support::ManualExecutor>& context,
    const std::shared_ptr<support::ManualExecutor>& main) {
    AppUninstallService::Dependencies dependencies;
    dependencies.sleeper = std::make_shared<ManualSleeper>();
    dependencies.clock = [] { return TimePoint{}; };
    dependencies.context = context;
    dependencies.mainExecutor = main;
    dependencies.packages.list = [installed](const support::CancellationToken&) {
        return installed;
    };
    return AppUninstallService::create(std::move(dependencies));
}

UninstallHarness::UninstallHarness() {
    AppUninstallService::Dependencies dependencies;
    dependencies.locations = {home, systemLibrary};
    dependencies.quitRunningApp = [this](const std::string& bundleID, std::function<void()> done) {
        quitRequests.push_back(bundleID);
        done();
    };
    dependencies.moveToTrash = [this](const std::filesystem::path& path) {
        trashed.push_back(path);
        return trashOutcome(path);
    };
    dependencies.sleeper = sleeper;
    dependencies.clock = [this] { return kUninstallStart + std::chrono::seconds(clockReadings++); };
    dependencies.context = context;
    dependencies.mainExecutor = main;
    dependencies.keptPaths = [this](const std::function<void(KeepList)>& answer) {
        main->post([this, answer] { answer(kept); });
    };
    service = AppUninstallService::create(std::move(dependencies));
}

std::filesystem::path UninstallHarness::makeBundle(const std::string& name,
                                                   const InfoStrings& strings,
                                                   PlistEncoding encoding) const {
    const auto bundle = folder / "Applications" / name;
    makeFakeBundle(bundle, strings, encoding);
    return bundle;
}

void UninstallHarness::drain() const {
    while (context->runAll() + main->runAll() > 0) {
    }
}

std::optional<UninstallPlan> UninstallHarness::plan(const std::filesystem::path& bundleURL) const {
    std::optional<support::Result<std::optional<UninstallPlan>>> outcome;
    service->makePlan(bundleURL, {}, [&](auto answer) { outcome.emplace(std::move(answer)); });
    drain();
    if (!outcome || !*outcome) {
        ADD_FAILURE() << "makePlan gave no answer or failed";
        return std::nullopt;
    }
    return std::move(*outcome).value();
}

}  // namespace quillo::testing
