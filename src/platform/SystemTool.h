#pragma once

#include <string>
#include <vector>

#include "support/Result.h"

namespace quillo::platform {

/// Runs a system tool through the process runner: its standard output on exit status 0, else
/// the runner's error. Unlike `run` it always completes: when no thread can be started for the
/// tool, `done` receives a launch error at once instead of an exception leaving the call.
void runTool(std::string executablePath, std::vector<std::string> arguments,
             const support::Completion<std::string>& done);

/// Like `runTool`, for tools whose output is of no interest.
void runToolIgnoringOutput(std::string executablePath, std::vector<std::string> arguments,
                           support::Completion<support::Unit> done);

}  // namespace quillo::platform
