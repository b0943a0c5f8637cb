#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/TimePoint.h"
#include "modules/LocalSnapshot.h"

namespace quillo {

/// The date token of a snapshot name such as com.apple.TimeMachine.2025-03-14-092653.local;
/// nothing for any other name, and for a name whose token would be empty, since no snapshot
/// can be deleted by an empty token.
std::optional<std::string> snapshotDateToken(std::string_view name);

/// Reads a token of the form yyyy-MM-dd-HHmmss as a UTC time; nothing unless every field is
/// present, numeric and within its calendar range.
std::optional<TimePoint> snapshotDate(std::string_view token);

/// The snapshots named in the snapshot tool's listing, in its order, each with a new id and no
/// volume identifier. Lines that name no snapshot are skipped.
std::vector<LocalSnapshot> parseSnapshotList(std::string_view text);

/// The disk tool's snapshot listing as a map from date token to the volume's snapshot
/// identifier. An identifier counts only after the name line of its snapshot.
std::map<std::string, std::string> parseSnapshotIdentifiers(std::string_view text);

}  // namespace quillo
