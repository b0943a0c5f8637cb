#include "modules/FakeLinuxSystem.h"

#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "platform/Removability.h"

namespace quillo::testing {

FakeLinuxSystem::FakeLinuxSystem(ReceiptStore::Persistence receipts,
                                 const std::optional<std::filesystem::path>& base)
    : system(base.value_or(folder.path()) / "system"),
      home(base.value_or(folder.path()) / "home/anna"),
      settings(std::make_unique<InMemoryDefaultsStore>(),
               SettingsEnvironment{
                   .checkFullDiskAccess = [] { return FullDiskAccessProbe::Status::granted; },
                   .reportStoreFailure = [](const support::Error&) {}}) {
    auto moduleServices = services(std::move(receipts));
    moduleServices.keptPaths = keptPathsProvider(settings, main);
    engine = makeDefault(
        [this](const support::Completion<DeletionMode>& answer) {
            main->post([this, answer] { answer(settings.deletionMode()); });
        },
        [this](const std::function<void(ScanDepth)>& answer) {
            main->post([this, answer] {
                answer(settings.deepScanEnabled() ? ScanDepth::deep : ScanDepth::standard);
            });
        },
        std::move(moduleServices));
}

void FakeLinuxSystem::runBoth() {
    while (work->runAll() + main->runAll() > 0) {
    }
}

DefaultModuleServices FakeLinuxSystem::services(ReceiptStore::Persistence receipts) {
    return fakeModuleServices(
        work,
        linuxLocations(
            LocationFacts{.systemRoot = system,
                          .environment = [home = home.string()](const char* name) -> const char* {
                              return std::string(name) == "HOME" ? home.c_str() : nullptr;
                          }}),
        std::move(receipts));
}

DefaultModuleServices fakeModuleServices(const support::ExecutorRef& work,
                                         ModuleLocations locations,
                                         ReceiptStore::Persistence receipts) {
    return DefaultModuleServices{
        .makeContext = [work] { return work; },
        .pool = work,
        .locations = std::move(locations),
        .receipts = std::move(receipts),
        .runningApplicationBundleIDs =
            [](const std::function<void(std::set<std::string>)>& answer) { answer({}); },
        .hibernateMode =
            [](const std::function<void(std::optional<std::int32_t>)>& answer) {
                answer(std::nullopt);
            },
        .isInstalled = [](const std::string&,
                          const std::function<void(bool)>& answer) { answer(false); },
        .snapshotLister =
            [](support::Completion<std::vector<LocalSnapshot>> done) {
                done(std::vector<LocalSnapshot>{});
            },
        .snapshotDeleter = [](const LocalSnapshot&,
                              support::Completion<support::Unit> done) { done(support::Unit{}); },
        .fontCachePostDeleteHook =
            [](support::Completion<support::Unit> done) { done(support::Unit{}); },
        .openFiles = [] { return platform::OpenFiles(); },
        .isRootOutOfReach = platform::isOutOfReach,
    };
}

}  // namespace quillo::testing
