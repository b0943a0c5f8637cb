// The longest time the window's thread goes without handling events while the real modules scan
// a fake home, measured by a 1 ms timer, against the 50 ms a user notices.
// Usage: quillo-ui-stall-bench HOME (a folder whose .cache holds the files to scan).
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "DetachedSettings.h"
#include "modules/DefaultModuleSet.h"
#include "modules/ModuleLocations.h"
#include "support/Sleeper.h"
#include "support/ThreadPool.h"
#include "system/AppSettings.h"
#include "ui/ContentView.h"
#include "ui/QtMainExecutor.h"

namespace {

using namespace quillo;

constexpr double kNoticeableStallMs = 50;

std::shared_ptr<CleaningEngine> engineOver(const std::filesystem::path& home, AppSettings& settings,
                                           const std::shared_ptr<support::MainExecutor>& main,
                                           const std::shared_ptr<support::ThreadPool>& pool) {
    auto services = platformModuleServices(pool);
    services.locations = linuxLocations(
        LocationFacts{.systemRoot = home / "system",
                      .environment = [home = home.string()](const char* name) -> const char* {
                          return std::string(name) == "HOME" ? home.c_str() : nullptr;
                      }});
    services.receipts = ReceiptStore::InMemory{};
    return makeDefault(
        [main, &settings](const support::Completion<DeletionMode>& answer) {
            main->post([&settings, answer] { answer(settings.deletionMode()); });
        },
        [main](const std::function<void(ScanDepth)>& answer) {
            main->post([answer] { answer(ScanDepth::standard); });
        },
        std::move(services));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Aufruf: quillo-ui-stall-bench HOME\n");
        return 2;
    }
    QApplication application(argc, argv);
    const std::filesystem::path home = argv[1];
    auto main = std::make_shared<ui::QtMainExecutor>(&application);
    auto pool = support::ThreadPool::create();
    const auto detached = bench::detachedSettings();
    AppSettings& settings = *detached;
    auto engine = engineOver(home, settings, main, pool);
    ScanViewModel scan(engine, settings, main, [] { return false; });
    DeleteViewModel deletion(engine, main);
    UninstallViewModel uninstall(
        AppUninstallService::create({.locations = {.home = home},
                                     .quitRunningApp = {},
                                     .moveToTrash = {},
                                     .sleeper = support::makeSteadySleeper(pool),
                                     .clock = {},
                                     .context = pool->makeStrand(),
                                     .mainExecutor = main}),
        main);
    PrivacyAuditViewModel privacyAudit(
        PrivacyAuditService::create({home / "Applications"}, pool->makeStrand()), main);
    ui::ContentView window(scan, deletion, uninstall, privacyAudit, settings,
                           {.isSandboxed = [] { return false; },
                            .leftOutRoots = {},
                            .openLocation = [](const std::string&) {},
                            .exportActions = {},
                            .chooseApplication = {}});
    window.show();

    QElapsedTimer sinceTick;
    QElapsedTimer total;
    qint64 longestGapNs = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestGapNs = std::max(longestGapNs, sinceTick.nsecsElapsed());
        sinceTick.restart();
        if (std::holds_alternative<ScanViewModel::Completed>(scan.phase()) ||
            std::holds_alternative<ScanViewModel::Failed>(scan.phase())) {
            // Also show the largest module's list, as a user would next.
            const auto& bytes = scan.bytesPerModule();
            const auto largest = std::max_element(
                bytes.begin(), bytes.end(),
                [](const auto& left, const auto& right) { return left.second < right.second; });
            if (largest != bytes.end() && window.selectedModuleID() != largest->first) {
                window.selectModule(largest->first);
                return;
            }
            QApplication::quit();
        }
    });
    total.start();
    sinceTick.start();
    ticker.start(1);
    scan.startScan();
    QApplication::exec();

    std::size_t items = scan.cachedAllItems().size();
    const double stallMs = static_cast<double>(longestGapNs) / 1e6;
    std::printf("scan and list of %zu items: %.0f ms in all\n", items,
                static_cast<double>(total.elapsed()));
    std::printf("longest stall of the window's thread: %.1f ms (goal under %.0f ms, ratio %.2f)\n",
                stallMs, kNoticeableStallMs, stallMs / kNoticeableStallMs);
    return 0;
}
