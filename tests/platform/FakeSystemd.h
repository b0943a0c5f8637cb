#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/SystemdReminderService.h"
#include "support/TemporaryDirectory.h"
#include "support/WaitingExecutor.h"

namespace quillo::testing {

/// A fake user systemd in a temporary folder: a `systemctl` script that logs its arguments,
/// exits with the code the test chose for a subcommand (0 otherwise) and, when it succeeds,
/// links and unlinks enabled timers as the real one does; a fake notify-send; and the unit
/// folder under a fake home. The service under test works on the test's own thread, so only
/// the script runs elsewhere.
class FakeSystemd {
  public:
    FakeSystemd();
    /// Runs what the service left queued, which would otherwise keep it and the executor alive.
    ~FakeSystemd();
    FakeSystemd(const FakeSystemd&) = delete;
    FakeSystemd& operator=(const FakeSystemd&) = delete;

    [[nodiscard]] const std::filesystem::path& root() const { return root_.path(); }
    [[nodiscard]] std::filesystem::path unitFolder() const;
    [[nodiscard]] std::filesystem::path systemctl() const;
    [[nodiscard]] std::filesystem::path notifier() const;

    /// The setup of a service on this fake, with the test's thread as main and work context.
    [[nodiscard]] platform::SystemdReminderService::Setup setup() const;

    /// Makes "systemctl --user <subcommand>" exit with `code` from now on.
    void failWith(const std::string& subcommand, int code) const;
    /// The arguments of every systemctl run, one text per run, without "--user".
    [[nodiscard]] std::vector<std::string> calls() const;
    void forgetCalls() const;
    /// The names in the unit folder at each daemon-reload, sorted and joined by spaces.
    [[nodiscard]] std::vector<std::string> unitsAtReloads() const;
    /// Every path below the root, relative to it, besides the fake's own tools and logs.
    [[nodiscard]] std::set<std::string> everythingWritten() const;

    /// Runs the executor until `slot` holds an answer; throws when none comes in time.
    template <class T>
    T await(const std::optional<T>& slot) const {
        if (!main_->runUntil([&slot] { return slot.has_value(); })) {
            throw std::runtime_error("the service never answered");
        }
        return *slot;
    }

    [[nodiscard]] const std::shared_ptr<WaitingExecutor>& main() const { return main_; }

  private:
    TemporaryDirectory root_;
    std::shared_ptr<WaitingExecutor> main_ = std::make_shared<WaitingExecutor>();
};

}  // namespace quillo::testing
