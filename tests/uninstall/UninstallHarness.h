#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/FakeBundles.h"
#include "support/ManualExecutor.h"
#include "support/ManualSleeper.h"
#include "support/TemporaryDirectory.h"
#include "uninstall/AppUninstallService.h"

namespace quillo::testing {

inline const TimePoint kUninstallStart(std::chrono::seconds(1'741'944'413));

/// An uninstall service that lists `installed` as the packaged applications, its work on
/// `context`, its quit requests on `main`.
std::shared_ptr<AppUninstallService> packageListingService(
    const std::vector<platform::PackagedApplication>& installed,
    const std::shared_ptr<support::ManualExecutor>& context,
    const std::shared_ptr<support::ManualExecutor>& main);

/// An uninstall service over a fake home and system Library in a temporary folder, driven by
/// hand: its context and the main thread are manual executors, the pause a manual sleeper, the
/// clock advances a second per reading, and the quit request and the trash are recorded.
class UninstallHarness {
  public:
    UninstallHarness();

    [[nodiscard]] std::filesystem::path library() const { return home / "Library"; }
    /// A bundle in the fake "Applications" folder with an executable of 4096 bytes.
    std::filesystem::path makeBundle(const std::string& name, const InfoStrings& strings,
                                     PlistEncoding encoding = PlistEncoding::xml) const;

    /// Runs both executors until neither has anything left.
    void drain() const;
    /// `makePlan` of the service, driven to its answer.
    std::optional<UninstallPlan> plan(const std::filesystem::path& bundleURL) const;

    TemporaryDirectory folder;
    std::filesystem::path home = folder / "home";
    std::filesystem::path systemLibrary = folder / "Library";
    std::shared_ptr<support::ManualExecutor> context = std::make_shared<support::ManualExecutor>();
    std::shared_ptr<support::ManualExecutor> main = std::make_shared<support::ManualExecutor>();
    std::shared_ptr<ManualSleeper> sleeper = std::make_shared<ManualSleeper>();
    std::vector<std::string> quitRequests;
    /// Every path handed to the trash, in order.
    std::vector<std::filesystem::path> trashed;
    /// What the trash does with a path after recording it; succeeds without touching it unless
    /// a test says otherwise.
    std::function<support::Status(const std::filesystem::path&)> trashOutcome =
        [](const std::filesystem::path&) { return support::Status(support::Unit{}); };
    /// The keep-list the service is given, read on the main executor.
    KeepList kept;
    int clockReadings = 0;
    std::shared_ptr<AppUninstallService> service;
};

}  // namespace quillo::testing
