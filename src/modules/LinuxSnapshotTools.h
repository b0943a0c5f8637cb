#pragma once

#include <filesystem>
#include <functional>

#include "modules/LocalSnapshot.h"

namespace quillo {

/// The Linux snapshot tools, at fixed paths (the search path is never asked for a root tool).
struct LinuxSnapshotTools {
    std::filesystem::path snapper = "/usr/bin/snapper";
    std::filesystem::path timeshift = "/usr/bin/timeshift";
    /// Both tools need root; anyone else gets the snapshots through the administrator helper.
    std::function<bool()> mayRunTools = defaultMayRunTools;

    static bool defaultMayRunTools();
};

/// Lists the snapshots of every snapper configuration ("snapper list-configs", then
/// "snapper --jsonout -c CONFIG list") and Timeshift's ("timeshift --list"). Never fails: a tool
/// that is missing, fails or may not be run lists nothing.
SnapshotLister linuxSnapshotLister(LinuxSnapshotTools tools);

/// "snapper -c CONFIG delete N" or "timeshift --delete --snapshot NAME --scripted". A snapshot
/// whose configuration or token could be taken for an option, or of another tool, is refused
/// without running anything.
SnapshotDeleter linuxSnapshotDeleter(LinuxSnapshotTools tools);

}  // namespace quillo
