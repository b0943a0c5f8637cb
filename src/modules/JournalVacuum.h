#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "support/Result.h"

namespace quillo {

/// Removes the archived journal files older than the retention (days, 0 to 365); the
/// completion may come from any thread.
using JournalVacuum = std::function<void(int retentionDays, support::Completion<support::Unit>)>;

/// The longest retention a vacuum is asked for; what the settings allow.
inline constexpr int kMaxLogRetentionDays = 365;

/// "--vacuum-time=<days>d" for the retention clamped to 0 … 365 days; for 0, which means every
/// archived file, one second (journalctl reads a time of 0 as no limit and removes nothing).
std::vector<std::string> journalVacuumArguments(int retentionDays);

/// Runs "journalctl" at `journalctl` with those arguments. journalctl removes archived files
/// only; the active journals stay.
JournalVacuum journalctlVacuum(std::filesystem::path journalctl = "/usr/bin/journalctl");

}  // namespace quillo
