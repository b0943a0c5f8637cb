#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "modules/LocalSnapshot.h"

// Readers of the Linux snapshot tools' listings. Whatever a tool prints is untrusted: a name or
// number that could reach a command line as anything but itself is dropped with its line.
namespace quillo {

/// The configuration names of `snapper list-configs`, a table whose first column is the name.
std::vector<std::string> parseSnapperConfigs(std::string_view text);

/// The deletable snapshots of `snapper --jsonout -c CONFIG list`: never snapshot 0 (the running
/// system) nor the default or active one, which snapper refuses to delete. Nothing for output
/// that is not the tool's JSON.
std::vector<LocalSnapshot> parseSnapperList(const std::string& configuration,
                                            std::string_view text);

/// The snapshots of `timeshift --list`: the rows of the table below its line of dashes whose
/// name is a Timeshift date name; other rows are skipped.
std::vector<LocalSnapshot> parseTimeshiftList(std::string_view text);

/// Whether a snapper configuration name can be passed on as itself: letters, digits and
/// "_-.@:+" only, not starting with "-".
bool isPlainConfigurationName(std::string_view name);

/// Whether `name` has the form yyyy-MM-dd_HH-mm-ss that Timeshift names its snapshots by.
bool isTimeshiftName(std::string_view name);

}  // namespace quillo
