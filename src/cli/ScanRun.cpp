#include "cli/ScanRun.h"

#include <map>
#include <set>
#include <string>
#include <utility>

#include "system/FullDiskAccessProbe.h"
#include "text/Text.h"
#include "viewmodels/LeftOutRootsText.h"

namespace quillo::cli {

namespace {

/// The modules the scan covers, as the scan view chooses them: enabled in the settings (or
/// named on the command line) and available under the current access rights.
std::set<CleaningModuleID> selectModules(const ScanChoice& choice, const CleaningEngine& engine,
                                         const AppSettings& settings,
                                         std::map<CleaningModuleID, std::string>& leftOut) {
    const bool sandboxed = FullDiskAccessProbe::isSandboxed();
    const auto enabled = choice.modules.empty() ? settings.enabledModuleIDs() : choice.modules;
    std::set<CleaningModuleID> selected;
    for (const auto& module : engine.descriptors()) {
        if (!enabled.contains(module.id)) {
            if (choice.modules.empty()) {
                leftOut[module.id] = text::text("cli.leftOut.disabled");
            }
        } else if (!FullDiskAccessProbe::isModuleAvailable(
                       module, settings.fullDiskAccessStatus(), sandboxed,
                       FullDiskAccessProbe::platformAccessScope())) {
            leftOut[module.id] =
                text::text(sandboxed ? "cli.leftOut.sandbox" : "cli.leftOut.access");
        } else {
            selected.insert(module.id);
        }
    }
    return selected;
}

}  // namespace

ScanDepth chosenDepth(const ScanChoice& choice, const AppSettings& settings) {
    return choice.deep || settings.deepScanEnabled() ? ScanDepth::deep : ScanDepth::standard;
}

std::shared_ptr<CleaningEngine> makeRunEngine(SecureDeletionService::ModeProvider mode,
                                              ScanDepth depth,
                                              const CommandLineEnvironment& environment) {
    auto services = environment.makeServices();
    services.keptPaths = keptPathsProvider(environment.settings, environment.main);
    services.logRetentionDays = fixedLogRetention(environment.settings.logRetentionDays());
    return makeDefault(
        std::move(mode),
        [main = environment.main, depth](const std::function<void(ScanDepth)>& answer) {
            main->post([depth, answer] { answer(depth); });
        },
        std::move(services));
}

std::optional<ScanSummary> scanChosenModules(const ScanChoice& choice, const CleaningEngine& engine,
                                             const CommandLineEnvironment& environment) {
    ScanSummary summary{.depth = chosenDepth(choice, environment.settings),
                        .modules = engine.descriptors(),
                        .results = {},
                        .leftOut = {},
                        .elapsed = {}};
    const auto selected = selectModules(choice, engine, environment.settings, summary.leftOut);
    std::optional<support::Result<ScanResults>> outcome;
    const auto start = environment.now();
    engine.scan(selected, {},
                [main = environment.main, &outcome](support::Result<ScanResults> results) {
                    main->post([&outcome, results = std::move(results)] { outcome = results; });
                });
    environment.runUntil([&outcome] { return outcome.has_value(); });
    summary.elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(environment.now() - start);
    if (!outcome->ok()) {
        environment.err << text::format("cli.scan.failed.format", {outcome->error().description()})
                        << '\n';
        return std::nullopt;
    }
    summary.results = outcome->value();
    return summary;
}

int runScan(const ScanRequest& request, const CommandLineEnvironment& environment) {
    const auto depth = chosenDepth(request.choice, environment.settings);
    // A scan deletes nothing: the mode is never asked.
    const auto engine = makeRunEngine(
        [](const support::Completion<DeletionMode>& answer) { answer(DeletionMode::standard); },
        depth, environment);
    const auto summary = scanChosenModules(request.choice, *engine, environment);
    if (!summary) {
        return exitFailure;
    }
    if (request.choice.json) {
        environment.out << scanReportJSON(*summary);
        return exitSuccess;
    }
    environment.out << scanReportText(*summary);
    if (const auto leftOutRoots = environment.leftOutRoots(); !leftOutRoots.empty()) {
        environment.out << '\n'
                        << text::text("scanEmpty.systemFolders.title") << ": "
                        << leftOutRootsExplanation(leftOutRoots, summary->modules) << '\n';
    }
    return exitSuccess;
}

}  // namespace quillo::cli
