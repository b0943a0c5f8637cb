#pragma once

#include <filesystem>
#include <optional>

#include "modules/LocalSnapshot.h"

// A snapshot item's path names the snapshot (tool, configuration, token); nothing is ever read
// there. The path is how a snapshot is asked for again, by the deletion and by the helper.
namespace quillo {

/// "/.snapshots/<token>" for Time Machine, "/.snapshots/snapper/<configuration>/<number>",
/// "/.snapshots/timeshift/<name>".
std::filesystem::path snapshotItemPath(const LocalSnapshot& snapshot);

/// The snapper or Timeshift snapshot a path of `snapshotItemPath` names, with a plain
/// configuration, a decimal number or a Timeshift date name; nothing for any other path.
std::optional<LocalSnapshot> linuxSnapshotAt(const std::filesystem::path& path);

/// Whether the path lies in the snapshots' own name space, "/.snapshots/".
bool isSnapshotItemPath(const std::filesystem::path& path);

}  // namespace quillo
