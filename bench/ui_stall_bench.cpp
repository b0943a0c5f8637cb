// The longest time the window's thread goes without handling events, measured by a 1 ms timer,
// against one frame at 60 Hz, for each thing a user does in turn once the window is shown: the
// real modules scan a fake home, the largest module's list is shown, scrolled page by page to its
// end, searched letter by letter and emptied again, and every item is selected. Usage:
// quillo-ui-stall-bench HOME (a folder whose .cache holds the files to scan).
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QScrollBar>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string_view>

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

constexpr double kFrameMs = 1000.0 / 60;
// Ticks to wait after a step, so that its painting is measured too.
constexpr int kSettleTicks = 20;
constexpr std::string_view kQuery = "file-77";

// One thing the user does, stepped once per tick until it says it is done.
struct Phase {
    const char* name;
    std::function<bool()> step;
    qint64 longestGapNs = 0;
};

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
    ScanViewModel scan(
        engine, settings, main, [] { return false; }, FullDiskAccessProbe::platformAccessScope(),
        pool);
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

    const auto list = window.findChild<QTreeView*>(QStringLiteral("itemList"));
    const auto search = window.findChild<QLineEdit*>(QStringLiteral("searchField"));
    int settling = 0;
    const auto settled = [&settling] {
        if (++settling <= kSettleTicks) {
            return false;
        }
        settling = 0;
        return true;
    };
    std::size_t typed = 0;
    // The window's first showing is timed apart: its first layout and paint are no stall that
    // the scan causes.
    std::array<Phase, 6> phases{{
        {"the window's first showing", settled},
        {"scan",
         [&, started = false]() mutable {
             if (!std::exchange(started, true)) {
                 scan.startScan();
             }
             return std::holds_alternative<ScanViewModel::Completed>(scan.phase()) ||
                    std::holds_alternative<ScanViewModel::Failed>(scan.phase());
         }},
        {"showing the largest list",
         [&] {
             const auto& bytes = scan.bytesPerModule();
             const auto largest = std::max_element(
                 bytes.begin(), bytes.end(),
                 [](const auto& left, const auto& right) { return left.second < right.second; });
             if (largest != bytes.end() && window.selectedModuleID() != largest->first) {
                 window.selectModule(largest->first);
             }
             return settled();
         }},
        {"scrolling page by page to the end",
         [&] {
             QScrollBar* bar = list->verticalScrollBar();
             if (bar->value() < bar->maximum()) {
                 bar->setValue(bar->value() + bar->pageStep());
                 return false;
             }
             return settled();
         }},
        {"typing a search and erasing it",
         [&] {
             if (typed < kQuery.size()) {
                 search->setText(search->text() + QChar(kQuery[typed++]));
                 return false;
             }
             if (!search->text().isEmpty()) {
                 search->setText(search->text().chopped(1));
                 return false;
             }
             return settled();
         }},
        {"selecting all",
         [&, selected = false]() mutable {
             if (!std::exchange(selected, true)) {
                 scan.selectAll();
             }
             return settled();
         }},
    }};
    std::size_t current = 0;

    QElapsedTimer sinceTick;
    QElapsedTimer total;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        Phase& phase = phases[current];
        // From one tick to the next, so that the step's own work counts.
        phase.longestGapNs = std::max(phase.longestGapNs, sinceTick.nsecsElapsed());
        sinceTick.start();
        if (phase.step() && ++current == phases.size()) {
            QApplication::quit();
        }
    });
    total.start();
    sinceTick.start();
    ticker.start(1);
    QApplication::exec();

    std::printf("%zu items, %d rows in the list shown, %.0f ms in all\n",
                scan.cachedAllItems().size(), list->model()->rowCount(),
                static_cast<double>(total.elapsed()));
    std::printf("longest stall of the window's thread (goal under %.1f ms, one frame at 60 Hz):\n",
                kFrameMs);
    for (const Phase& phase : phases) {
        const double stallMs = static_cast<double>(phase.longestGapNs) / 1e6;
        std::printf("  %-36s %7.1f ms  ratio %.2f\n", phase.name, stallMs, stallMs / kFrameMs);
    }
    return 0;
}
