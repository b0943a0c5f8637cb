#pragma once

#include <cstddef>
#include <variant>

#include "model/CleanableItem.h"
#include "model/CleaningModuleID.h"
#include "model/DeletionReport.h"

namespace quillo {

/// A module's part of a run begins with this many items.
struct DeletionStarted {
    CleaningModuleID moduleID = CleaningModuleID::systemCaches;
    std::size_t totalCount = 0;
};

struct DeletionItemStarted {
    CleaningModuleID moduleID = CleaningModuleID::systemCaches;
    CleanableItem item;
};

struct DeletionItemCompleted {
    CleaningModuleID moduleID = CleaningModuleID::systemCaches;
    DeletedFileRecord record;
};

struct DeletionItemFailed {
    CleaningModuleID moduleID = CleaningModuleID::systemCaches;
    FailedFileRecord record;
};

/// A module's part of a run ends with its report.
struct DeletionFinished {
    DeletionReport report;
};

/// One progress event of a deletion run.
using DeletionEvent = std::variant<DeletionStarted, DeletionItemStarted, DeletionItemCompleted,
                                   DeletionItemFailed, DeletionFinished>;

}  // namespace quillo
