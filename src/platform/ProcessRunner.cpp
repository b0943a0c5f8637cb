#include "platform/ProcessRunner.h"

#include <system_error>
#include <thread>
#include <utility>
#include <variant>

#include "platform/ChildProcess.h"
#include "support/Utf8.h"

namespace quillo {

namespace {

std::string textOrEmpty(std::string bytes) {
    return support::isValidUtf8(bytes) ? std::move(bytes) : std::string();
}

support::Result<ProcessRunResult> runToCompletion(const std::string& executablePath,
                                                  const std::vector<std::string>& arguments) {
    auto outcome = platform::runChildToCompletion(executablePath, arguments);
    if (const auto* failure = std::get_if<platform::LaunchFailure>(&outcome)) {
        return support::Error::make(ProcessLaunchError(executablePath, failure->errorNumber));
    }
    auto& finished = std::get<platform::ChildOutcome>(outcome);
    return ProcessRunResult{finished.status, textOrEmpty(std::move(finished.standardOutput)),
                            textOrEmpty(std::move(finished.standardError))};
}

}  // namespace

ProcessRunnerError::ProcessRunnerError(std::int32_t code, std::string standardError)
    : code_(code), standardError_(std::move(standardError)) {}

ProcessRunnerError ProcessRunnerError::nonZeroExit(std::int32_t code, std::string standardError) {
    return {code, std::move(standardError)};
}

std::string ProcessRunnerError::description() const {
    return "Prozess endete mit Code " + std::to_string(code_) + ".";
}

ProcessLaunchError::ProcessLaunchError(std::string executablePath, int errorNumber)
    : executablePath_(std::move(executablePath)), errorNumber_(errorNumber) {}

std::string ProcessLaunchError::description() const {
    return "Programm konnte nicht gestartet werden: " + executablePath_ + ": " +
           std::generic_category().message(errorNumber_);
}

void runProcess(std::string executablePath, std::vector<std::string> arguments,
                support::Completion<ProcessRunResult> done) {
    // One thread per call that blocks in poll and waitpid: calls are rare and short, and a
    // blocked tool must never hold up a pool thread. The thread owns everything it uses, so it
    // can be detached.
    std::thread([path = std::move(executablePath), arguments = std::move(arguments),
                 done = std::move(done)] {
        done(runToCompletion(path, arguments));
    }).detach();
}

void run(std::string executablePath, std::vector<std::string> arguments,
         support::Completion<std::string> done) {
    runProcess(std::move(executablePath), std::move(arguments),
               [done = std::move(done)](support::Result<ProcessRunResult> result) {
                   if (!result) {
                       done(result.error());
                       return;
                   }
                   ProcessRunResult& finished = result.value();
                   if (finished.exitCode != 0) {
                       done(support::Error::make(ProcessRunnerError::nonZeroExit(
                           finished.exitCode, std::move(finished.standardError))));
                       return;
                   }
                   done(std::move(finished.standardOutput));
               });
}

}  // namespace quillo
