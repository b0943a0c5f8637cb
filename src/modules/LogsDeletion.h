#pragma once

#include <functional>

#include "modules/CleaningModule.h"
#include "modules/JournalVacuum.h"
#include "support/Provider.h"

namespace quillo {

/// What a deletion of log items that include the archived journals needs.
struct LogsDeletion {
    support::ExecutorRef context;
    support::Provider<int> retentionDays;
    JournalVacuum vacuum;
    /// The deletion service's stream for the log files among the items.
    std::function<support::EventStream<DeletionEvent>(CleanableItems)> deleteFiles;
    std::function<TimePoint()> now;
};

/// One started … finished sequence for `journalItems` and `fileItems` of the logs module: each
/// journal item is vacuumed with the retention asked now (never unlinked), then the files go to
/// the deletion service, whose report is merged with the vacuum's records. Cancellation is
/// looked for before each vacuum.
support::EventStream<DeletionEvent> deleteLogsWithJournals(LogsDeletion deletion,
                                                           CleanableItems journalItems,
                                                           CleanableItems fileItems);

}  // namespace quillo
