#include "modules/DiagnosticReportsActor.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

#include "modules/FilesystemEnumeration.h"
#include "support/TextPieces.h"

namespace quillo {

namespace {

constexpr std::array<std::string_view, 4> kReportExtensions{".crash", ".ips", ".diag", ".hang"};

CleaningModuleDescriptor diagnosticReportsProperties() {
    return CleaningModuleDescriptor{
        .id = CleaningModuleID::diagnosticReports,
        .displayName = displayName(CleaningModuleID::diagnosticReports),
        .explanation = LocalizableText::ownKey("Crash- und Hang-Reports vergangener App-Abstürze."),
        .symbolName = "stethoscope",
        .isDestructive = false,
        .estimatedScanDuration = 0.6,
        .isAvailableInSandbox = false,
        .requiresFullDiskAccess = true,
    };
}

// The title a file is offered under; none when it is neither a report nor a coredump.
std::optional<std::string> reportTitle(const std::filesystem::path& url) {
    if (std::ranges::find(kReportExtensions, support::asciiLowercased(url.extension().string())) !=
        kReportExtensions.end()) {
        return reportName(url).value_or(url.filename().string());
    }
    return coredumpProgram(url);
}

}  // namespace

DiagnosticReportsActor::DiagnosticReportsActor(
    std::vector<std::filesystem::path> roots, std::vector<std::filesystem::path> deepRoots,
    DepthProvider depthProvider, std::shared_ptr<SecureDeletionService> deletionService,
    ModuleEnvironment environment)
    : FileCleaningModule(diagnosticReportsProperties(), std::move(deletionService),
                         std::move(environment)),
      roots_(std::move(roots)),
      deepRoots_(std::move(deepRoots)),
      depthProvider_(std::move(depthProvider)) {}

void DiagnosticReportsActor::scan(support::CancellationToken token,
                                  support::Completion<CleanableItems> done) {
    scanAtDepth(depthProvider_, token, std::move(done),
                [this, token](ScanDepth depth) { return collect(depth, token); });
}

support::Result<CleanableItems> DiagnosticReportsActor::collect(
    ScanDepth depth, const support::CancellationToken& token) {
    auto folders = roots_;
    if (depth == ScanDepth::deep) {
        folders.insert(folders.end(), deepRoots_.begin(), deepRoots_.end());
    }
    CleanableItems items;
    for (const auto& folder : folders) {
        if (token.isCancelled()) {
            return support::Error::cancelled();
        }
        for (const auto& child : sortedChildren(folder)) {
            if (token.isCancelled()) {
                return support::Error::cancelled();
            }
            const auto title = reportTitle(child);
            if (!title || isFolder(child)) {
                continue;
            }
            const auto entry = makeEntry(child, token);
            if (!entry || entry->isDirectory || entry->sizeInBytes <= 0) {
                continue;
            }
            items.push_back(offeredItem(*entry, id(), *title, {}, true));
        }
    }
    return items;
}

}  // namespace quillo
