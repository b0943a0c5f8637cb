#include "modules/ArchivedJournals.h"

#include <algorithm>

#include "modules/FileCleaningModule.h"
#include "modules/FilesystemEnumeration.h"

namespace quillo {

bool isArchivedJournalName(std::string_view name) {
    constexpr std::string_view kJournal = ".journal";
    if (name.ends_with(".journal~")) {
        return name.size() > kJournal.size() + 1;
    }
    return name.ends_with(kJournal) &&
           name.substr(0, name.size() - kJournal.size()).find('@') != std::string_view::npos;
}

support::Result<std::optional<CleanableItem>> archivedJournalsItem(
    const std::vector<std::filesystem::path>& folders, TimePoint cutoff,
    const support::CancellationToken& token) {
    std::optional<FilesystemEntry> total;
    for (const auto& folder : folders) {
        for (const auto& url : recursiveContents(folder, token)) {
            if (token.isCancelled()) {
                return support::Error::cancelled();
            }
            if (isFolder(url) || !isArchivedJournalName(url.filename().native())) {
                continue;
            }
            const auto entry = makeEntry(url, token);
            if (!entry || entry->isDirectory || entry->lastModified > cutoff) {
                continue;
            }
            if (!total) {
                total = FilesystemEntry{.url = folder,
                                        .sizeInBytes = 0,
                                        .lastModified = entry->lastModified,
                                        .isDirectory = true,
                                        .name = folder.filename().string()};
            }
            total->sizeInBytes += entry->sizeInBytes;
            total->lastModified = std::max(total->lastModified, entry->lastModified);
        }
    }
    if (token.isCancelled()) {
        return support::Error::cancelled();
    }
    if (!total || total->sizeInBytes <= 0) {
        return std::optional<CleanableItem>{};
    }
    return std::optional<CleanableItem>{offeredItem(*total, CleaningModuleID::systemLogs,
                                                    std::string(kArchivedJournalsName), {}, true)};
}

}  // namespace quillo
