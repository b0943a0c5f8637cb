#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "helper/HelperProtocol.h"
#include "helper/InstalledHelper.h"
#include "support/Error.h"
#include "support/Executor.h"

namespace quillo {

/// How the application starts the administrator helper.
struct HelperLaunch {
    std::string pkexecPath = "/usr/bin/pkexec";
    std::filesystem::path helperPath = installedHelperPath();
    /// Without this file pkexec knows no action for the helper.
    std::filesystem::path policyPath = installedPolicyPath();
};

/// Why the helper could not answer; the description is German and says what the user can do.
class HelperUnavailableError final : public support::ErrorDetail {
  public:
    explicit HelperUnavailableError(std::string reason) : reason_(std::move(reason)) {}

    /// For a launch that failed with `errorNumber` or a pkexec that ended with `status`.
    static HelperUnavailableError launchFailed(int errorNumber);
    static HelperUnavailableError exited(int status);
    static HelperUnavailableError notInstalled();

    [[nodiscard]] std::string description() const override { return reason_; }

  private:
    std::string reason_;
};

/// Hands `request` to `pkexec <helper>` on a thread of its own and calls `onMessage` for every
/// answer line it can read, then `onEnd` once, nothing when the helper ran to its end, else why
/// it did not; both on `context`. Lines that cannot be read are skipped.
void exchangeWithHelper(const HelperLaunch& launch, const HelperRequest& request,
                        support::ExecutorRef context, std::function<void(HelperMessage)> onMessage,
                        std::function<void(std::optional<support::Error>)> onEnd);

}  // namespace quillo
