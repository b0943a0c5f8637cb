#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/Error.h"
#include "support/Result.h"

namespace quillo {

/// The outcome of one finished process. The output fields are not called `stdout` and `stderr`
/// because glibc defines those names as macros.
struct ProcessRunResult {
    /// The termination status; 128 + the signal number for a process ended by a signal.
    std::int32_t exitCode = 0;
    /// Everything written to standard output; empty when it was not valid UTF-8.
    std::string standardOutput;
    /// Everything written to standard error; empty when it was not valid UTF-8.
    std::string standardError;
    friend bool operator==(const ProcessRunResult&, const ProcessRunResult&) = default;
};

/// The runner's own failure. Its one case is `nonZeroExit`: the process ended with a status
/// other than 0. Its standard error is carried along but is not part of the description.
class ProcessRunnerError final : public support::ErrorDetail {
  public:
    static ProcessRunnerError nonZeroExit(std::int32_t code, std::string standardError);

    [[nodiscard]] std::int32_t code() const { return code_; }
    [[nodiscard]] const std::string& standardError() const { return standardError_; }
    [[nodiscard]] std::string description() const override;

  private:
    ProcessRunnerError(std::int32_t code, std::string standardError);
    std::int32_t code_;
    std::string standardError_;
};

/// The executable could not be started; no process runs. The description names the path and
/// the operating system's reason.
class ProcessLaunchError final : public support::ErrorDetail {
  public:
    ProcessLaunchError(std::string executablePath, int errorNumber);

    [[nodiscard]] const std::string& executablePath() const { return executablePath_; }
    /// The errno value of the reason.
    [[nodiscard]] int errorNumber() const { return errorNumber_; }
    [[nodiscard]] std::string description() const override;

  private:
    std::string executablePath_;
    int errorNumber_;
};

// Both operations start the executable at the absolute `executablePath` directly, with exactly
// `arguments` (no shell, no word splitting), and return at once. `done` is called exactly once,
// from a thread of the runner's own, after the process has ended and both of its outputs have
// been read to the end; cancelling the caller does not stop the process. `done` must not throw
// and must keep alive whatever it touches. Should no thread be available, std::system_error
// leaves the call, nothing is started and `done` is never called.

/// The process's standard output on exit status 0; otherwise `ProcessRunnerError` (nonZeroExit)
/// or `ProcessLaunchError`.
void run(std::string executablePath, std::vector<std::string> arguments,
         support::Completion<std::string> done);

/// The finished process whatever its status, or `ProcessLaunchError`.
void runProcess(std::string executablePath, std::vector<std::string> arguments,
                support::Completion<ProcessRunResult> done);

}  // namespace quillo
