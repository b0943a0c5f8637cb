#include "modules/SystemLogsActor.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <string_view>
#include <utility>

#include "modules/FilesystemEnumeration.h"
#include "support/TextPieces.h"

namespace quillo {

namespace {

constexpr std::int64_t kLargeLogBytes = 100'000'000;
constexpr std::array<std::string_view, 3> kLogExtensions{".log", ".gz", ".asl"};
constexpr std::array<std::string_view, 2> kLogNameEndings{".log", ".tracev3"};

CleaningModuleDescriptor systemLogsProperties() {
    return CleaningModuleDescriptor{
        .id = CleaningModuleID::systemLogs,
        .displayName = displayName(CleaningModuleID::systemLogs),
        .explanation = LocalizableText::ownKey(
            "Protokolldateien des Systems und einzelner Apps. Aktuelle Logs werden geschont."),
        .symbolName = "doc.text.magnifyingglass",
        .isDestructive = false,
        .estimatedScanDuration = 1.5,
        .isAvailableInSandbox = false,
        .requiresFullDiskAccess = true,
    };
}

}  // namespace

bool looksLikeLog(const std::filesystem::path& url) {
    const auto extension = support::asciiLowercased(url.extension().string());
    const auto name = support::asciiLowercased(url.filename().string());
    return std::ranges::find(kLogExtensions, extension) != kLogExtensions.end() ||
           std::ranges::any_of(kLogNameEndings,
                               [&](std::string_view ending) { return name.ends_with(ending); });
}

SystemLogsActor::SystemLogsActor(std::vector<std::filesystem::path> roots,
                                 int recencyThresholdInDays, DepthProvider depthProvider,
                                 std::shared_ptr<SecureDeletionService> deletionService,
                                 ModuleEnvironment environment)
    : FileCleaningModule(systemLogsProperties(), std::move(deletionService),
                         std::move(environment)),
      roots_(std::move(roots)),
      recencyThresholdInDays_(recencyThresholdInDays),
      depthProvider_(std::move(depthProvider)) {}

void SystemLogsActor::scan(support::CancellationToken token,
                           support::Completion<CleanableItems> done) {
    scanAtDepth(depthProvider_, token, std::move(done),
                [this, token](ScanDepth depth) { return collect(depth, token); });
}

support::Result<CleanableItems> SystemLogsActor::collect(ScanDepth depth,
                                                         const support::CancellationToken& token) {
    const auto cutoff = depth == ScanDepth::deep
                            ? TimePoint::max()
                            : environment().now() - std::chrono::days(recencyThresholdInDays_);
    CleanableItems items;
    for (const auto& root : roots_) {
        if (token.isCancelled()) {
            return support::Error::cancelled();
        }
        for (const auto& url : recursiveContents(root, token)) {
            if (token.isCancelled()) {
                return support::Error::cancelled();
            }
            // Folders are passed over before `makeEntry` would size them by walking them again.
            if (isFolder(url) || !looksLikeLog(url)) {
                continue;
            }
            const auto entry = makeEntry(url, token);
            if (!entry || entry->isDirectory || entry->lastModified > cutoff ||
                entry->sizeInBytes <= 0) {
                continue;
            }
            const bool isKernelPanic =
                support::asciiLowercased(url.filename().string()).find("panic") !=
                std::string::npos;
            std::vector<CleanableItemWarning> warnings;
            if (isKernelPanic) {
                warnings.push_back(CleanableItemWarning::kernelPanic);
            }
            if (entry->sizeInBytes > kLargeLogBytes) {
                warnings.push_back(CleanableItemWarning::largeFile);
            }
            items.push_back(offeredItem(*entry, id(), url.filename().string(), std::move(warnings),
                                        !isKernelPanic));
        }
    }
    return items;
}

}  // namespace quillo
