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

/// The tool that keeps a snapshot and deletes it.
enum class SnapshotSource { timeMachine, snapper, timeshift };

/// One local backup snapshot, as its tool lists it.
struct LocalSnapshot {
    /// Made when the snapshot is listed; becomes the offered item's id.
    Uuid id = Uuid::random();
    /// What the deletion tool takes: the date part of a Time Machine name (2025-03-14-092653), a
    /// snapper number, a Timeshift name (2026-11-01_10-00-01).
    std::string dateToken;
    /// `dateToken` read as a UTC time; `kUnreadableSnapshotDate` when it is not a valid date.
    TimePoint date = kUnreadableSnapshotDate;
    /// The volume's own identifier of the snapshot, where the disk tool reports one.
    std::optional<std::string> apfsUUID;
    SnapshotSource source = SnapshotSource::timeMachine;
    /// The snapper configuration holding the snapshot; empty for the other tools.
    std::string configuration{};
    /// What the user sees: the listed date and description, and the tool's own marks.
    std::string label{};

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
