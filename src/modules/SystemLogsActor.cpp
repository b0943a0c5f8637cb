#include "modules/SystemLogsActor.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <string_view>
#include <utility>

#include "deletion/SecureDeletionService.h"
#include "modules/ArchivedJournals.h"
#include "modules/FilesystemEnumeration.h"
#include "modules/LogsDeletion.h"
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

/// A rotation suffix: ".1", ".12", ".old" (".2.gz" is caught as ".gz").
bool isRotationSuffix(std::string_view extension) {
    return extension == ".old" ||
           (extension.size() > 1 &&
            std::ranges::all_of(extension.substr(1), [](char c) { return c >= '0' && c <= '9'; }));
}

}  // namespace

bool looksLikeLog(const std::filesystem::path& url) {
    const auto extension = support::asciiLowercased(url.extension().string());
    const auto name = support::asciiLowercased(url.filename().string());
    return std::ranges::find(kLogExtensions, extension) != kLogExtensions.end() ||
           std::ranges::any_of(kLogNameEndings,
                               [&](std::string_view ending) { return name.ends_with(ending); }) ||
           isRotationSuffix(extension);
}

LogRetentionProvider fixedLogRetention(int days) {
    return [days](const std::function<void(int)>& answer) { answer(days); };
}

SystemLogsActor::SystemLogsActor(std::vector<std::filesystem::path> roots,
                                 LogRetentionProvider retention, DepthProvider depthProvider,
                                 std::shared_ptr<SecureDeletionService> deletionService,
                                 ModuleEnvironment environment, JournalService journal)
    : FileCleaningModule(systemLogsProperties(), std::move(deletionService),
                         std::move(environment)),
      roots_(std::move(roots)),
      retention_(std::move(retention)),
      depthProvider_(std::move(depthProvider)),
      journal_(std::move(journal)) {}

void SystemLogsActor::scan(support::CancellationToken token,
                           support::Completion<CleanableItems> done) {
    auto self = std::static_pointer_cast<SystemLogsActor>(shared_from_this());
    retention_([self, token = std::move(token), done = std::move(done)](int days) mutable {
        self->scanAtDepth(
            self->depthProvider_, token, std::move(done),
            [self, token, days](ScanDepth depth) { return self->collect(depth, days, token); });
    });
}

bool SystemLogsActor::isInJournal(const std::filesystem::path& url) const {
    return std::ranges::any_of(journal_.folders, [&](const std::filesystem::path& folder) {
        return url == folder || url.native().starts_with(folder.native() + "/");
    });
}

support::EventStream<DeletionEvent> SystemLogsActor::deleteItems(CleanableItems items) {
    CleanableItems journalItems;
    CleanableItems fileItems;
    for (auto& item : items) {
        const bool isJournal =
            std::ranges::find(journal_.folders, item.url) != journal_.folders.end();
        (isJournal ? journalItems : fileItems).push_back(std::move(item));
    }
    if (journalItems.empty()) {
        return FileCleaningModule::deleteItems(std::move(fileItems));
    }
    auto service = deletionService();
    return deleteLogsWithJournals(LogsDeletion{.context = context(),
                                               .retentionDays = retention_,
                                               .vacuum = journal_.vacuum,
                                               .deleteFiles =
                                                   [service](CleanableItems files) {
                                                       return service->deletionEvents(
                                                           std::move(files),
                                                           CleaningModuleID::systemLogs);
                                                   },
                                               .now = environment().now},
                                  std::move(journalItems), std::move(fileItems));
}

support::Result<CleanableItems> SystemLogsActor::collect(ScanDepth depth, int retentionDays,
                                                         const support::CancellationToken& token) {
    const auto retentionCutoff =
        environment().now() - std::chrono::days(std::clamp(retentionDays, 0, kMaxLogRetentionDays));
    const auto cutoff = depth == ScanDepth::deep ? TimePoint::max() : retentionCutoff;
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
            if (isFolder(url) || !looksLikeLog(url) || isInJournal(url)) {
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
    // What the vacuum removes is decided by the retention alone, a deep scan or not.
    auto journals = archivedJournalsItem(journal_.folders, retentionCutoff, token);
    if (!journals) {
        return journals.error();
    }
    if (journals.value()) {
        items.push_back(std::move(*journals.value()));
    }
    return items;
}

}  // namespace quillo
