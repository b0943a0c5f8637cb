#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace quillo::platform {

/// What a finished child left behind: its status and every byte it wrote.
struct ChildOutcome {
    /// The exit status; 128 + the signal number for a child ended by a signal (as shells report
    /// it); -1 when the status could not be read.
    int status = 0;
    std::string standardOutput;
    std::string standardError;
    friend bool operator==(const ChildOutcome&, const ChildOutcome&) = default;
};

/// The child could not be started; no process was left running.
struct LaunchFailure {
    /// The errno value of the reason.
    int errorNumber = 0;
    friend bool operator==(const LaunchFailure&, const LaunchFailure&) = default;
};

/// Starts the executable at the absolute `executablePath` directly (no shell, no search path),
/// with exactly `arguments` after the path itself as argv[0], then blocks until the child has
/// ended and both of its outputs are read to the end.
///
/// The child gets the caller's environment and working directory, standard input from /dev/null,
/// default signal dispositions, an empty signal mask and no descriptor beyond 0, 1 and 2.
/// A relative path, or a NUL byte in the path or an argument, fails with EINVAL: neither could
/// reach the program as given.
std::variant<ChildOutcome, LaunchFailure> runChildToCompletion(
    const std::string& executablePath, const std::vector<std::string>& arguments);

/// Receives the child's standard output piece by piece as it arrives.
using OutputHandler = std::function<void(std::string_view bytes)>;

/// `runChildToCompletion`, but with `input` (when given) as the child's standard input, closed
/// once written (or once the child stops reading), and the standard output handed to
/// `onOutput` as it arrives instead of being collected; the outcome's standard output is empty.
std::variant<ChildOutcome, LaunchFailure> runChildStreaming(
    const std::string& executablePath, const std::vector<std::string>& arguments,
    std::optional<std::string_view> input, const OutputHandler& onOutput);

}  // namespace quillo::platform
