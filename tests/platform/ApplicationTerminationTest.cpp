#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/ApplicationTermination.h"
#include "support/FakeBundles.h"
#include "support/TemporaryDirectory.h"
#include "support/TreeBuilders.h"

namespace quillo::platform {
namespace {

namespace fs = std::filesystem;
using Signals = std::vector<std::pair<pid_t, int>>;

constexpr pid_t kOwnPid = 500;

/// A fake /proc whose process folders belong to this process's user, so that the uid filter is
/// exercised by asking for another user instead.
class ApplicationTerminationTest : public ::testing::Test {
  protected:
    ApplicationTerminationTest() {
        termination.procRoot = folder / "proc";
        termination.ownPid = kOwnPid;
        termination.sendSignal = [this](pid_t pid, int signal) {
            sent.emplace_back(pid, signal);
            return 0;
        };
    }

    fs::path bundle(const std::string& name, const std::string& identifier) {
        return testing::makeFakeBundle(folder / "Apps" / name,
                                       {{"CFBundleIdentifier", identifier}});
    }

    void process(pid_t pid, const fs::path& executable) {
        const auto processFolder = termination.procRoot / std::to_string(pid);
        fs::create_directories(processFolder);
        testing::makeSymlink(executable, processFolder / "exe");
    }

    testing::TemporaryDirectory folder;
    ProcessTermination termination;
    Signals sent;
};

TEST_F(ApplicationTerminationTest,
       OnlyProcessesOfABundleWithExactlyThatIdentifierAreAskedPolitely) {
    const auto notes = bundle("Notes.app", "com.example.Notes");
    process(11, notes);
    process(12, notes);
    process(13, bundle("NotesHelper.app", "com.example.NotesHelper"));
    process(14, bundle("Other.app", "com.example"));
    process(15, "/usr/bin/com.example.Notes");

    EXPECT_EQ(terminateApplications("com.example.Notes", termination),
              (std::vector<pid_t>{11, 12}));
    std::sort(sent.begin(), sent.end());
    EXPECT_EQ(sent, (Signals{{11, SIGTERM}, {12, SIGTERM}}));
}

TEST_F(ApplicationTerminationTest, AHelperBundleInsideTheApplicationCountsAsItself) {
    const auto outer = folder / "Apps" / "Mail.APP";
    testing::makeFakeBundle(outer, {{"CFBundleIdentifier", "com.example.Mail"}});
    const auto helper = testing::makeFakeBundle(outer / "Contents" / "Helpers" / "Sync.app",
                                                {{"CFBundleIdentifier", "com.example.Mail.Sync"}});
    process(21, outer / "Contents" / "MacOS" / "main");
    process(22, helper);

    EXPECT_EQ(terminateApplications("com.example.Mail", termination), std::vector<pid_t>{21});
}

TEST_F(ApplicationTerminationTest, NeverThisProcessNorAnotherUsersNorAnyoneForAnEmptyIdentifier) {
    const auto notes = bundle("Notes.app", "com.example.Notes");
    process(kOwnPid, notes);
    EXPECT_TRUE(terminateApplications("com.example.Notes", termination).empty());

    process(31, notes);
    termination.uid = ::getuid() + 1;
    EXPECT_TRUE(terminateApplications("com.example.Notes", termination).empty());

    termination.uid = ::getuid();
    process(32, bundle("Empty.app", ""));
    EXPECT_TRUE(terminateApplications("", termination).empty());
    EXPECT_TRUE(sent.empty());
}

TEST_F(ApplicationTerminationTest, AProcessThatRefusesTheSignalIsNotCountedAsAsked) {
    process(41, bundle("Notes.app", "com.example.Notes"));
    termination.sendSignal = [](pid_t, int) { return -1; };
    EXPECT_TRUE(terminateApplications("com.example.Notes", termination).empty());
}

}  // namespace
}  // namespace quillo::platform
