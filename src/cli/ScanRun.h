#pragma once

#include <memory>
#include <optional>

#include "cli/CommandLine.h"
#include "cli/CommandLineTool.h"
#include "modules/ScanReport.h"

namespace quillo::cli {

/// The scan depth the choice asks for: deep when told so or when the settings say so.
ScanDepth chosenDepth(const ScanChoice& choice, const AppSettings& settings);

/// Scans the chosen modules (those the settings enable when none are named) that are available
/// under the current access rights; the others are listed with their reason. A failed scan is
/// reported on `err` and gives nothing.
std::optional<ScanSummary> scanChosenModules(const ScanChoice& choice, const CleaningEngine& engine,
                                             const CommandLineEnvironment& environment);

/// `scan`: the report per module, or every item as JSON.
int runScan(const ScanRequest& request, const CommandLineEnvironment& environment);

/// The engine of one run at `depth`, with the settings' keep-list and log retention.
std::shared_ptr<CleaningEngine> makeRunEngine(SecureDeletionService::ModeProvider mode,
                                              ScanDepth depth,
                                              const CommandLineEnvironment& environment);

}  // namespace quillo::cli
