// Headless scan report: one scan with the application's own modules and settings, printed per
// module; "--json" prints every item instead. It never deletes anything.
#include <chrono>
#include <iostream>
#include <optional>
#include <string_view>
#include <vector>

#include "AppListReport.h"
#include "modules/DefaultModuleSet.h"
#include "modules/ScanReport.h"
#include "support/RunLoop.h"
#include "support/ThreadPool.h"
#include "system/AppSettings.h"
#include "system/FileDefaultsStore.h"
#include "text/Text.h"
#include "viewmodels/LeftOutRootsText.h"

namespace {

using namespace quillo;

struct Options {
    bool deep = false;
    bool json = false;
};

constexpr std::string_view kUsage =
    "Aufruf: quillo-scan [--deep] [--json] | --apps [--json] | --audit [--json]\n"
    "  --deep  Tiefenscan, unabhängig von der Einstellung\n"
    "  --json  jedes gefundene Objekt als JSON statt der Zusammenfassung\n";

std::optional<Options> parseOptions(int argc, char** argv) {
    Options options;
    for (int index = 1; index < argc; ++index) {
        const std::string_view argument = argv[index];
        if (argument == "--deep") {
            options.deep = true;
        } else if (argument == "--json") {
            options.json = true;
        } else {
            return std::nullopt;
        }
    }
    return options;
}

/// The modules a scan covers, as the scan view does: enabled in the settings and available
/// under the current access rights; the others with the reason they are left out.
std::set<CleaningModuleID> selectModules(const CleaningEngine& engine, const AppSettings& settings,
                                         std::map<CleaningModuleID, std::string>& leftOut) {
    const bool sandboxed = FullDiskAccessProbe::isSandboxed();
    const auto enabled = settings.enabledModuleIDs();
    std::set<CleaningModuleID> selected;
    for (const auto& module : engine.descriptors()) {
        if (!enabled.contains(module.id)) {
            leftOut[module.id] = "in den Einstellungen ausgeschaltet";
        } else if (!FullDiskAccessProbe::isModuleAvailable(
                       module, settings.fullDiskAccessStatus(), sandboxed,
                       FullDiskAccessProbe::platformAccessScope())) {
            leftOut[module.id] =
                sandboxed ? "in der Sandbox nicht verfügbar" : "Festplattenvollzugriff fehlt";
        } else {
            selected.insert(module.id);
        }
    }
    return selected;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    if (const auto status = runAppListReport(arguments)) {
        return *status;
    }
    const auto options = parseOptions(argc, argv);
    if (!options) {
        std::cerr << kUsage;
        return 2;
    }
    auto main = std::make_shared<support::RunLoop>();
    auto pool = support::ThreadPool::create();
    AppSettings settings(std::make_unique<FileDefaultsStore>(FileDefaultsStore::defaultURL()));
    const auto depth =
        options->deep || settings.deepScanEnabled() ? ScanDepth::deep : ScanDepth::standard;
    auto services = platformModuleServices(pool);
    services.keptPaths = keptPathsProvider(settings, main);
    services.logRetentionDays = fixedLogRetention(settings.logRetentionDays());
    // Read on the main thread, like every use of the settings.
    auto engine = makeDefault(
        [main, &settings](const support::Completion<DeletionMode>& answer) {
            main->post([&settings, answer] { answer(settings.deletionMode()); });
        },
        [main, depth](const std::function<void(ScanDepth)>& answer) {
            main->post([depth, answer] { answer(depth); });
        },
        std::move(services));

    ScanSummary summary{.depth = depth,
                        .modules = engine->descriptors(),
                        .results = {},
                        .leftOut = {},
                        .elapsed = {}};
    const auto selected = selectModules(*engine, settings, summary.leftOut);
    std::optional<support::Result<ScanResults>> outcome;
    const auto start = std::chrono::steady_clock::now();
    engine->scan(selected, {}, [main, &outcome](support::Result<ScanResults> results) {
        main->post([&outcome, results = std::move(results)] { outcome = results; });
    });
    main->runUntil([&outcome] { return outcome.has_value(); });
    summary.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    if (!outcome->ok()) {
        std::cerr << "Scan fehlgeschlagen: " << outcome->error().description() << "\n";
        return 1;
    }
    summary.results = outcome->value();
    if (options->json) {
        std::cout << scanReportJSON(summary);
        return 0;
    }
    std::cout << scanReportText(summary);
    if (const auto leftOutRoots = platformLeftOutRoots(); !leftOutRoots.empty()) {
        std::cout << '\n'
                  << text::text("scanEmpty.systemFolders.title") << ": "
                  << leftOutRootsExplanation(leftOutRoots, summary.modules) << '\n';
    }
    return 0;
}
