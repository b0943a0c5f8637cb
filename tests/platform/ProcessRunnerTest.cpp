#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "platform/ProcessRunner.h"
#include "support/Outcomes.h"
#include "support/TemporaryDirectory.h"

namespace quillo {
namespace {

using namespace std::chrono_literals;
using support::Result;
using testing::TemporaryDirectory;

// Only guards against a hang; a correct run finishes long before.
constexpr auto kHangGuard = 30s;

// A run that has been started; the completion fills the shared promise, so a timed-out test
// leaves nothing dangling behind.
template <class T>
class PendingRun final {
  public:
    PendingRun() : promise_(std::make_shared<std::promise<Result<T>>>()) {
        future_ = promise_->get_future();
    }

    support::Completion<T> completion() {
        return [promise = promise_](Result<T> result) { promise->set_value(std::move(result)); };
    }
    [[nodiscard]] bool isFinished() const {
        return future_.wait_for(0s) == std::future_status::ready;
    }
    /// The outcome, or nothing when none arrived within the guard time.
    std::optional<Result<T>> await() {
        if (future_.wait_for(kHangGuard) != std::future_status::ready) {
            return std::nullopt;
        }
        return future_.get();
    }

  private:
    std::shared_ptr<std::promise<Result<T>>> promise_;
    std::future<Result<T>> future_;
};

std::optional<Result<std::string>> runAndAwait(const std::string& path,
                                               std::vector<std::string> arguments) {
    PendingRun<std::string> pending;
    run(path, std::move(arguments), pending.completion());
    return pending.await();
}

std::optional<Result<ProcessRunResult>> runProcessAndAwait(const std::string& path,
                                                           std::vector<std::string> arguments) {
    PendingRun<ProcessRunResult> pending;
    runProcess(path, std::move(arguments), pending.completion());
    return pending.await();
}

std::optional<Result<std::string>> shell(const std::string& script) {
    return runAndAwait("/bin/sh", {"-c", script});
}

std::filesystem::path writeFile(const std::filesystem::path& path, const std::string& contents,
                                std::filesystem::perms permissions) {
    std::ofstream(path, std::ios::binary) << contents;
    std::filesystem::permissions(path, permissions);
    return path;
}

constexpr auto kExecutable = std::filesystem::perms::owner_all |
                             std::filesystem::perms::group_read |
                             std::filesystem::perms::group_exec;
constexpr auto kReadWrite =
    std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;

// The failure's detail of type `Detail`; none when no answer arrived or the run succeeded.
template <class Detail>
const Detail* failureOf(const std::optional<Result<std::string>>& result) {
    return result && !*result ? result->error().as<Detail>() : nullptr;
}

// "1\n2\n…\n<last>\n", as seq prints it.
std::string numberedLines(int last) {
    std::string lines;
    for (int number = 1; number <= last; ++number) {
        lines += std::to_string(number);
        lines += '\n';
    }
    return lines;
}

// ---- success and failure ------------------------------------------------------------------

TEST(ProcessRunnerTest, ReturnsStandardOutputUntrimmedAndTheToolSeesItsPathAsProgramName) {
    const TemporaryDirectory folder;
    const auto script =
        writeFile(folder / "tool", "#!/bin/sh\nprintf '  %s\\t\\n\\n' \"$0\"\n", kExecutable);
    const auto result = runAndAwait(script.string(), {});
    ASSERT_TRUE(testing::succeeded(result));
    EXPECT_EQ(result->value(), "  " + script.string() + "\t\n\n");
}

TEST(ProcessRunnerTest, NonZeroExitCarriesCodeAndStandardErrorButNamesOnlyTheCode) {
    const auto result = shell("echo dropped; echo bad >&2; exit 3");
    const ProcessRunnerError* error = failureOf<ProcessRunnerError>(result);
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->code(), 3);
    EXPECT_EQ(error->standardError(), "bad\n");
    EXPECT_EQ(result->error().description(), "Prozess endete mit Code 3.");
    EXPECT_EQ(result->error().as<ProcessLaunchError>(), nullptr);
}

TEST(ProcessRunnerTest, RunProcessReportsEveryStatusWithBothOutputs) {
    const auto result = runProcessAndAwait("/bin/sh", {"-c", "printf out; printf err >&2; exit 7"});
    ASSERT_TRUE(testing::succeeded(result));
    EXPECT_EQ(result->value(), (ProcessRunResult{7, "out", "err"}));
}

TEST(ProcessRunnerTest, ChildKilledBySignalIsANonZeroExit) {
    for (const auto& [signalName, expectedCode] : std::vector<std::pair<std::string, int>>{
             {"KILL", 128 + SIGKILL}, {"TERM", 128 + SIGTERM}}) {
        const auto result = shell("echo before >&2; kill -" + signalName + " $$");
        const ProcessRunnerError* error = failureOf<ProcessRunnerError>(result);
        ASSERT_NE(error, nullptr) << signalName;
        EXPECT_EQ(error->code(), expectedCode) << signalName;
        EXPECT_EQ(error->standardError(), "before\n") << signalName;
    }
}

// ---- launch failures --------------------------------------------------------------------

struct LaunchFailureCase {
    const char* name;
    std::function<std::string(const TemporaryDirectory&)> makeExecutable;
    int expectedErrorNumber;
    std::vector<std::string> arguments{"argument"};
};

void PrintTo(const LaunchFailureCase& launchCase, std::ostream* out) {
    *out << launchCase.name;
}

class ProcessLaunchFailureTest : public ::testing::TestWithParam<LaunchFailureCase> {};

TEST_P(ProcessLaunchFailureTest, FailsWithLaunchErrorAndLeavesNoProcess) {
    const TemporaryDirectory folder;
    const std::string path = GetParam().makeExecutable(folder);
    const auto result = runAndAwait(path, GetParam().arguments);
    const ProcessLaunchError* error = failureOf<ProcessLaunchError>(result);
    ASSERT_NE(error, nullptr) << "a launch failure must fail, never hang";
    EXPECT_EQ(failureOf<ProcessRunnerError>(result), nullptr);
    EXPECT_EQ(error->errorNumber(), GetParam().expectedErrorNumber);
    EXPECT_EQ(error->executablePath(), path);
    EXPECT_EQ(result->error().description(),
              "Programm konnte nicht gestartet werden: " + path + ": " +
                  std::generic_category().message(GetParam().expectedErrorNumber));
    errno = 0;
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1) << "no child may be left";
    EXPECT_EQ(errno, ECHILD);
}

INSTANTIATE_TEST_SUITE_P(
    ProcessRunnerTest, ProcessLaunchFailureTest,
    ::testing::Values(
        LaunchFailureCase{
            "MissingPath",
            [](const TemporaryDirectory& folder) { return (folder / "missing" / "tool").string(); },
            ENOENT},
        LaunchFailureCase{
            "NotExecutable",
            [](const TemporaryDirectory& folder) {
                return writeFile(folder / "tool", "#!/bin/sh\necho ran\n", kReadWrite).string();
            },
            EACCES},
        LaunchFailureCase{"Folder",
                          [](const TemporaryDirectory& folder) { return folder.path().string(); },
                          EACCES},
        // No shell steps in for a file the kernel cannot execute.
        LaunchFailureCase{"ScriptWithoutInterpreterLine",
                          [](const TemporaryDirectory& folder) {
                              return writeFile(folder / "tool", "echo ran\n", kExecutable).string();
                          },
                          ENOEXEC},
        // A relative path would depend on the working directory of the moment.
        LaunchFailureCase{"RelativePath",
                          [](const TemporaryDirectory&) { return std::string("bin/sh"); }, EINVAL},
        // An argument cut at its NUL byte would be another argument.
        LaunchFailureCase{"ArgumentWithNulByte",
                          [](const TemporaryDirectory&) { return std::string("/bin/printf"); },
                          EINVAL,
                          {std::string("cut\0off", 7)}}),
    [](const ::testing::TestParamInfo<LaunchFailureCase>& info) { return info.param.name; });

// ---- output ----------------------------------------------------------------------------

TEST(ProcessRunnerTest, DrainsBothOutputsWhileTheChildWritesToBoth) {
    // Both writers run at once and each writes far more than a pipe holds, so reading one
    // pipe to its end before the other would block the child forever.
    constexpr int kLines = 600000;  // about 4.2 MB per output
    const std::string count = std::to_string(kLines);
    const auto result = runProcessAndAwait(
        "/bin/sh", {"-c", "seq 1 " + count + " & seq 1 " + count + " >&2 & wait; exit 5"});
    ASSERT_TRUE(testing::succeeded(result));
    const std::string expected = numberedLines(kLines);
    EXPECT_EQ(result->value().exitCode, 5);
    EXPECT_EQ(result->value().standardOutput.size(), expected.size());
    EXPECT_TRUE(result->value().standardOutput == expected);
    EXPECT_EQ(result->value().standardError.size(), expected.size());
    EXPECT_TRUE(result->value().standardError == expected);
}

TEST(ProcessRunnerTest, OutputThatIsNotUtf8BecomesEmptyText) {
    const auto ok = shell("printf 'ok\\377\\376'");
    ASSERT_TRUE(testing::succeeded(ok));
    EXPECT_EQ(ok->value(), "");

    const auto failed = shell("printf 'ok'; printf '\\355\\240\\200' >&2; exit 1");
    const ProcessRunnerError* error = failureOf<ProcessRunnerError>(failed);
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->standardError(), "");

    const auto mixed =
        runProcessAndAwait("/bin/sh", {"-c", "printf 'Grüße'; printf '\\300\\200' >&2"});
    ASSERT_TRUE(testing::succeeded(mixed));
    EXPECT_EQ(mixed->value(), (ProcessRunResult{0, "Grüße", ""}));
}

// ---- what the child gets ----------------------------------------------------------------

TEST(ProcessRunnerTest, ArgumentsReachTheToolUnchanged) {
    const std::vector<std::string> arguments{"two words",   "",      "'single'",  "\"double\"",
                                             "line\nbreak", "$HOME", "*",         "back\\slash",
                                             " ",           "-n",    "tab\there", "ümlaut"};
    std::vector<std::string> shellArguments{"-c", "printf '[%s]' \"$@\"", "sh"};
    shellArguments.insert(shellArguments.end(), arguments.begin(), arguments.end());
    std::string expected;
    for (const std::string& argument : arguments) {
        expected += "[" + argument + "]";
    }
    const auto result = runAndAwait("/bin/sh", shellArguments);
    ASSERT_TRUE(testing::succeeded(result));
    EXPECT_EQ(result->value(), expected);
}

TEST(ProcessRunnerTest, ChildGetsNoStrayDescriptorsAndReadsFromNull) {
    const TemporaryDirectory folder;
    // Opened without O_CLOEXEC on purpose, as careless code elsewhere might.
    const int inheritable = ::open((folder / "open-file").c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(inheritable, 0);
    const auto descriptors = runAndAwait("/bin/ls", {"/proc/self/fd"});
    const auto input = runAndAwait("/bin/readlink", {"/proc/self/fd/0"});
    ::close(inheritable);

    ASSERT_TRUE(testing::succeeded(descriptors));
    EXPECT_EQ(descriptors->value(), "0\n1\n2\n3\n") << "3 is the folder ls itself reads";
    ASSERT_TRUE(testing::succeeded(input));
    EXPECT_EQ(input->value(), "/dev/null\n");
}

// glibc keeps the real-time signals below SIGRTMIN for itself and sets them to ignored in every
// child it spawns; no application can see or change them, so they are left out of the check.
unsigned long long glibcReservedSignals() {
    unsigned long long mask = 0;
    for (int signal = 32; signal < SIGRTMIN; ++signal) {
        mask |= 1ULL << (signal - 1);
    }
    return mask;
}

TEST(ProcessRunnerTest, ChildStartsWithDefaultSignalsWhateverTheCallerBlocksOrIgnores) {
    struct sigaction previousPipeAction {};
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    ASSERT_EQ(::sigaction(SIGPIPE, &ignore, &previousPipeAction), 0);
    sigset_t blocked;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGUSR1);
    sigset_t previousMask;
    ASSERT_EQ(::pthread_sigmask(SIG_BLOCK, &blocked, &previousMask), 0);

    const auto result = runAndAwait("/bin/grep", {"-E", "^Sig(Blk|Ign):", "/proc/self/status"});

    ::pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
    ::sigaction(SIGPIPE, &previousPipeAction, nullptr);
    ASSERT_TRUE(testing::succeeded(result));
    const std::string& lines = result->value();
    ASSERT_TRUE(lines.starts_with("SigBlk:\t")) << lines;
    const auto ignoredAt = lines.find("\nSigIgn:\t");
    ASSERT_NE(ignoredAt, std::string::npos) << lines;
    EXPECT_EQ(std::stoull(lines.substr(8), nullptr, 16), 0U) << "blocked: " << lines;
    EXPECT_EQ(std::stoull(lines.substr(ignoredAt + 9), nullptr, 16) & ~glibcReservedSignals(), 0U)
        << "ignored: " << lines;
}

// ---- threads and resources ---------------------------------------------------------------

std::size_t openDescriptorCount() {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator("/proc/self/fd")) {
        ++count;
    }
    return count;
}

TEST(ProcessRunnerTest, LeavesNoDescriptorOpenAfterAnyOutcome) {
    const TemporaryDirectory folder;
    const std::size_t before = openDescriptorCount();
    ASSERT_TRUE(shell("printf ok").has_value());
    ASSERT_TRUE(shell("exit 4").has_value());
    ASSERT_TRUE(runAndAwait((folder / "missing").string(), {}).has_value());
    EXPECT_EQ(openDescriptorCount(), before);
}

TEST(ProcessRunnerTest, ReturnsAtOnceAndCompletesOnTheRunnerThread) {
    const TemporaryDirectory folder;
    const auto fifo = folder / "gate";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);

    // The reader cannot end before the writer below has run, so `run` must have returned while
    // it was still running, and the two runs must proceed side by side.
    PendingRun<std::string> reader;
    const auto completionThread = std::make_shared<std::thread::id>();
    run("/bin/cat", {fifo.string()},
        [completionThread, done = reader.completion()](Result<std::string> result) {
            *completionThread = std::this_thread::get_id();
            done(std::move(result));
        });
    EXPECT_FALSE(reader.isFinished());

    const auto writer =
        runAndAwait("/bin/sh", {"-c", "printf opened > \"$1\"", "sh", fifo.string()});
    ASSERT_TRUE(testing::succeeded(writer));
    const auto read = reader.await();
    ASSERT_TRUE(testing::succeeded(read));
    EXPECT_EQ(read->value(), "opened");
    EXPECT_NE(*completionThread, std::this_thread::get_id());
}

TEST(ProcessRunnerTest, SeveralRunsAtOnceEachGetTheirOwnOutput) {
    constexpr int kRuns = 12;
    std::vector<PendingRun<ProcessRunResult>> pending(kRuns);
    for (int index = 0; index < kRuns; ++index) {
        runProcess("/bin/sh",
                   {"-c", "seq 1 20000 | sed \"s/^/$1-/\"; printf '%s' \"$1\" >&2; exit $1", "sh",
                    std::to_string(index)},
                   pending[index].completion());
    }
    for (int index = 0; index < kRuns; ++index) {
        const auto result = pending[index].await();
        ASSERT_TRUE(testing::succeeded(result)) << index;
        const std::string prefix = std::to_string(index) + "-";
        EXPECT_EQ(result->value().exitCode, index);
        EXPECT_EQ(result->value().standardError, std::to_string(index));
        EXPECT_TRUE(result->value().standardOutput.starts_with(prefix + "1\n" + (prefix + "2\n")));
        EXPECT_TRUE(result->value().standardOutput.ends_with(prefix + "20000\n"));
    }
}

}  // namespace
}  // namespace quillo
