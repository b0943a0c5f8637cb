#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/TimePoint.h"
#include "model/Uuid.h"
#include "support/Result.h"

namespace quillo {

/// The date of a snapshot whose name holds no valid date: the earliest time the clock can hold.
/// (Year 1, the usual stand-in, lies outside the range of the clock's nanosecond count.)
inline constexpr TimePoint kUnreadableSnapshotDate = TimePoint::min();

/// One local backup snapshot of the start-up volume, as the snapshot tool lists it.
struct LocalSnapshot {
    /// Made when the snapshot is listed; becomes the offered item's id.
    Uuid id = Uuid::random();
    /// The date part of the snapshot's name, e.g. 2025-03-14-092653; what the deletion tool takes.
    std::string dateToken;
    /// `dateToken` read as a UTC time; `kUnreadableSnapshotDate` when it is not a valid date.
    TimePoint date = kUnreadableSnapshotDate;
    /// The volume's own identifier of the snapshot, where the disk tool reports one.
    std::optional<std::string> apfsUUID;

    friend bool operator==(const LocalSnapshot&, const LocalSnapshot&) = default;
};

/// Lists the snapshots; the completion may come from any thread.
using SnapshotLister = std::function<void(support::Completion<std::vector<LocalSnapshot>>)>;

/// Deletes one snapshot; the completion may come from any thread.
using SnapshotDeleter =
    std::function<void(const LocalSnapshot&, support::Completion<support::Unit>)>;

}  // namespace quillo

template <>
struct std::hash<quillo::LocalSnapshot> {
    std::size_t operator()(const quillo::LocalSnapshot& snapshot) const noexcept;
};
