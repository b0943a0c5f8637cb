#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>

#include "platform/ApplicationTermination.h"
#include "support/TemporaryDirectory.h"
#include "support/TextFiles.h"
#include "support/TreeBuilders.h"

namespace quillo::platform {
namespace {

namespace fs = std::filesystem;

TEST(PackagedTerminationTest, AsksTheSandboxesOfTheFlatpakAndTheProcessesOfTheSnap) {
    testing::TemporaryDirectory folder;
    std::vector<pid_t> signalled;
    ProcessTermination termination{.procRoot = folder / "proc",
                                   .uid = ::getuid(),
                                   .ownPid = 1,
                                   .sendSignal = [&](pid_t pid, int signal) {
                                       EXPECT_EQ(signal, SIGTERM);
                                       signalled.push_back(pid);
                                       return 0;
                                   }};
    const auto sandbox = [&](pid_t pid, const std::string& name) {
        const auto root = folder / ("root" + std::to_string(pid));
        testing::writeTextFile(root / ".flatpak-info", "[Application]\nname=" + name + "\n");
        fs::create_directories(termination.procRoot / std::to_string(pid));
        testing::makeSymlink(root, termination.procRoot / std::to_string(pid) / "root");
        testing::makeSymlink("/usr/bin/true", termination.procRoot / std::to_string(pid) / "exe");
    };
    sandbox(10, "org.example.Tool");
    sandbox(11, "org.example.Tool");
    sandbox(12, "org.example.ToolHelper");
    sandbox(1, "org.example.Tool");
    fs::create_directories(termination.procRoot / "20");
    testing::makeSymlink("/snap/vlc/3/usr/bin/vlc", termination.procRoot / "20/exe");
    fs::create_directories(termination.procRoot / "21");
    testing::makeSymlink("/snap/vlcx/3/bin/vlcx", termination.procRoot / "21/exe");

    auto asked = terminatePackagedApplication({.kind = PackageKind::flatpak,
                                               .id = "org.example.Tool",
                                               .name = "Tool",
                                               .installation = "user"},
                                              termination);
    std::ranges::sort(asked);
    EXPECT_EQ(asked, (std::vector<pid_t>{10, 11}));
    EXPECT_EQ(terminatePackagedApplication(
                  {.kind = PackageKind::snap, .id = "vlc", .name = "VLC", .installation = "snap"},
                  termination),
              std::vector<pid_t>{20});
    termination.uid = ::getuid() + 1;
    EXPECT_TRUE(terminatePackagedApplication(
                    {.kind = PackageKind::snap, .id = "vlc", .name = "VLC", .installation = "snap"},
                    termination)
                    .empty());
}

}  // namespace
}  // namespace quillo::platform
