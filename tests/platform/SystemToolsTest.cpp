#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <future>
#include <memory>
#include <thread>

#include "modules/LocalSnapshotsActor.h"
#include "modules/SnapshotTools.h"
#include "platform/FontDatabaseReset.h"
#include "platform/ProcessRunner.h"
#include "platform/SystemTool.h"
#include "support/ThreadPool.h"

namespace quillo::platform {
namespace {

using namespace std::chrono_literals;

// A missing tool fails at its launch, in milliseconds; the guard only catches a hang.
constexpr auto kQuickly = 5s;

template <class T>
struct Answer {
    std::shared_ptr<std::promise<support::Result<T>>> promise =
        std::make_shared<std::promise<support::Result<T>>>();
    std::future<support::Result<T>> future = promise->get_future();

    support::Completion<T> completion() const {
        return [promise = promise](support::Result<T> result) {
            promise->set_value(std::move(result));
        };
    }
    /// The answer, or nothing when none arrived in time.
    std::optional<support::Result<T>> await() {
        if (future.wait_for(kQuickly) != std::future_status::ready) {
            return std::nullopt;
        }
        return future.get();
    }
};

/// Checks that `outcome` arrived and is the launch failure of `tool`.
template <class T>
void expectLaunchFailure(const std::optional<support::Result<T>>& outcome, const char* tool) {
    ASSERT_TRUE(outcome.has_value()) << tool << " hung";
    ASSERT_FALSE(outcome->ok());
    const auto* launch = outcome->error().template as<ProcessLaunchError>();
    ASSERT_NE(launch, nullptr) << outcome->error().description();
    EXPECT_EQ(launch->executablePath(), tool);
    EXPECT_EQ(launch->errorNumber(), ENOENT);
    EXPECT_NE(outcome->error().description().find(tool), std::string::npos);
}

bool toolsArePresent() {
    return std::filesystem::exists("/usr/bin/tmutil") ||
           std::filesystem::exists("/usr/sbin/diskutil");
}

TEST(SnapshotToolsTest, TheListerFindsNothingQuicklyWhereTheToolsAreMissing) {
    if (toolsArePresent()) {
        GTEST_SKIP() << "the snapshot tools exist here; their listing would be real";
    }
    Answer<std::vector<LocalSnapshot>> answer;
    defaultSnapshotLister(answer.completion());
    const auto listed = answer.await();
    ASSERT_TRUE(listed.has_value()) << "the lister hung";
    ASSERT_TRUE(listed->ok()) << listed->error().description();
    EXPECT_TRUE(listed->value().empty());
}

TEST(SnapshotToolsTest, AScanWithTheDefaultListerSucceedsWithNothingWhereTheToolsAreMissing) {
    if (toolsArePresent()) {
        GTEST_SKIP() << "the snapshot tools exist here; their listing would be real";
    }
    const auto pool = support::ThreadPool::create(2);
    const auto module =
        std::make_shared<LocalSnapshotsActor>(defaultSnapshotLister, defaultSnapshotDeleter,
                                              LocalSnapshotsActor::Environment{pool->makeStrand()});
    Answer<CleanableItems> answer;
    module->scan({}, answer.completion());
    const auto scanned = answer.await();
    ASSERT_TRUE(scanned.has_value()) << "the scan hung";
    ASSERT_TRUE(scanned->ok()) << scanned->error().description();
    EXPECT_TRUE(scanned->value().empty());
    // The tool runner's thread lets go of the module's last callback just after answering; the
    // module's strand must not outlive the pool it belongs to.
    const auto deadline = std::chrono::steady_clock::now() + kQuickly;
    while (module.use_count() > 1 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::yield();
    }
    EXPECT_EQ(module.use_count(), 1) << "the tool runner still holds the module";
}

TEST(SnapshotToolsTest, TheDeleterFailsQuicklyWithALaunchErrorWhereTheToolIsMissing) {
    if (toolsArePresent()) {
        GTEST_SKIP() << "the snapshot tool exists here; a deletion would be real";
    }
    Answer<support::Unit> answer;
    defaultSnapshotDeleter(
        LocalSnapshot{Uuid::random(), "2025-03-14-092653", kUnreadableSnapshotDate, {}},
        answer.completion());
    expectLaunchFailure(answer.await(), "/usr/bin/tmutil");
}

TEST(SnapshotToolsTest, TheDeleterRefusesTokensThatCouldBeTakenForOptions) {
    for (const std::string token : {"", "-h", "--help"}) {
        std::optional<support::Status> outcome;
        defaultSnapshotDeleter(LocalSnapshot{Uuid::random(), token, kUnreadableSnapshotDate, {}},
                               [&](support::Status deleted) { outcome = std::move(deleted); });
        // Refused at once: no tool was started.
        ASSERT_TRUE(outcome.has_value()) << token;
        ASSERT_FALSE(outcome->ok());
        EXPECT_EQ(outcome->error().description(), "Ungültiger Snapshot-Name: \"" + token + "\"");
    }
}

TEST(FontDatabaseResetTest, FailsQuicklyWithALaunchErrorWhereTheToolIsMissing) {
    if (std::filesystem::exists("/usr/bin/atsutil")) {
        GTEST_SKIP() << "the font service tool exists here; the reset would be real";
    }
    Answer<support::Unit> answer;
    defaultPostDeleteHook(answer.completion());
    expectLaunchFailure(answer.await(), "/usr/bin/atsutil");
}

TEST(SystemToolTest, ReportsTheOutputOrTheToolsError) {
    Answer<std::string> echoed;
    runTool("/bin/echo", {"-n", "hallo"}, echoed.completion());
    const auto output = echoed.await();
    ASSERT_TRUE(output && output->ok());
    EXPECT_EQ(output->value(), "hallo");

    Answer<support::Unit> failed;
    runToolIgnoringOutput("/bin/sh", {"-c", "echo out; exit 3"}, failed.completion());
    const auto status = failed.await();
    ASSERT_TRUE(status.has_value());
    ASSERT_FALSE(status->ok());
    const auto* exit = status->error().as<ProcessRunnerError>();
    ASSERT_NE(exit, nullptr);
    EXPECT_EQ(exit->code(), 3);
}

}  // namespace
}  // namespace quillo::platform
