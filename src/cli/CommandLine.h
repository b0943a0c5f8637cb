#pragma once

#include <optional>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include "model/CleaningModuleID.h"
#include "model/DeletionMode.h"

namespace quillo::cli {

/// What a scan covers and how its outcome is shown; `scan` and `clean` share it.
struct ScanChoice {
    bool deep = false;
    bool json = false;
    /// The modules named with "--module"; empty means those the settings enable.
    std::set<CleaningModuleID> modules;
};

struct ScanRequest {
    ScanChoice choice;
};

struct CleanRequest {
    ScanChoice choice;
    /// The deletion mode instead of the settings' one.
    std::optional<DeletionMode> mode;
    bool dryRun = false;
    bool assumeYes = false;
};

struct HelpRequest {};

/// A command line that cannot be carried out, with the German reason.
struct UsageError {
    std::string message;
};

using ParsedCommandLine = std::variant<ScanRequest, CleanRequest, HelpRequest, UsageError>;

/// Reads the arguments after the program's name. Without a command the report's own options
/// mean `scan`, so `quillo-scan --deep` keeps working.
ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments);

/// The German usage text of "--help".
std::string helpText();

}  // namespace quillo::cli
