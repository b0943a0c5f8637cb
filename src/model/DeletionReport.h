#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/CleaningModuleID.h"
#include "model/ReceiptsSavedElsewhere.h"
#include "model/TimePoint.h"
#include "model/Uuid.h"

namespace quillo {

/// One removed item.
struct DeletedFileRecord {
    /// The removed item's id.
    Uuid id;
    std::int64_t sizeInBytes = 0;
    /// The hash of the item's receipt, or the uninstaller's own label.
    std::string receiptHash;

    friend bool operator==(const DeletedFileRecord&, const DeletedFileRecord&) = default;
};

/// One item that was not removed.
struct FailedFileRecord {
    Uuid id;
    /// The user-facing description of what went wrong.
    std::string reason;

    friend bool operator==(const FailedFileRecord&, const FailedFileRecord&) = default;
};

/// The outcome of deleting one module's items.
struct DeletionReport {
    CleaningModuleID moduleID = CleaningModuleID::systemCaches;
    std::vector<DeletedFileRecord> succeeded;
    std::vector<FailedFileRecord> failed;
    TimePoint startedAt;
    TimePoint completedAt;
    /// Set when the run's receipts could not go into the receipts file.
    std::optional<ReceiptsSavedElsewhere> receiptsSavedElsewhere{};

    friend bool operator==(const DeletionReport&, const DeletionReport&) = default;
};

}  // namespace quillo

template <>
struct std::hash<quillo::DeletedFileRecord> {
    std::size_t operator()(const quillo::DeletedFileRecord& record) const noexcept;
};

template <>
struct std::hash<quillo::FailedFileRecord> {
    std::size_t operator()(const quillo::FailedFileRecord& record) const noexcept;
};

template <>
struct std::hash<quillo::DeletionReport> {
    std::size_t operator()(const quillo::DeletionReport& report) const noexcept;
};
