#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "deletion/SecureDeletionService.h"
#include "modules/CleaningEngine.h"
#include "modules/DefaultModuleSet.h"
#include "modules/FileCleaningModule.h"
#include "modules/RootAccess.h"
#include "system/AppSettings.h"

namespace quillo::cli {

/// What the command line reaches: the engine it builds, the settings, the terminal and the
/// main thread's loop. A test puts fakes in every place.
struct CommandLineEnvironment {
    /// The services of one run's engine; the run adds the settings' keep-list and retention.
    std::function<DefaultModuleServices()> makeServices;
    /// Read on `main` only, like every use of the settings.
    AppSettings& settings;
    /// The thread the tool runs on; answers of the engine are brought back here.
    support::ExecutorRef main;
    /// Runs the work posted to `main` until `finished` answers true.
    std::function<void(const std::function<bool()>& finished)> runUntil;
    /// Shows the question on the terminal and gives the line typed; none when standard input
    /// is no terminal.
    std::function<std::optional<std::string>(const std::string& question)> askTerminal;
    /// The roots this process leaves out, named under a scan report.
    std::function<std::vector<LeftOutRoot>()> leftOutRoots;
    std::function<std::chrono::steady_clock::time_point()> now;
    std::ostream& out;
    std::ostream& err;
};

/// Exit codes: everything went (or there was nothing to do), something did not, bad usage.
enum ExitCode : int { exitSuccess = 0, exitFailure = 1, exitUsage = 2 };

/// Carries out the arguments after the program's name and returns the exit code.
int runCommandLine(const std::vector<std::string>& arguments,
                   const CommandLineEnvironment& environment);

}  // namespace quillo::cli
