#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/RunningApplications.h"
#include "platform/SmallTextFile.h"
#include "support/TemporaryDirectory.h"
#include "support/TextFiles.h"

namespace quillo::platform {
namespace {

using testing::TemporaryDirectory;
using testing::writeTextFile;
using Identifiers = std::set<std::string>;
using namespace std::string_view_literals;

constexpr uid_t kUser = 1000;

class RunningApplicationsTest : public ::testing::Test {
  protected:
    std::filesystem::path process(const std::string& pid, uid_t owner = kUser) {
        const auto folder = proc / pid;
        std::filesystem::create_directories(folder);
        ownedBy(folder, owner);
        return folder;
    }

    static void ownedBy(const std::filesystem::path& path, uid_t owner) {
        ASSERT_EQ(::lchown(path.c_str(), owner, static_cast<gid_t>(-1)), 0)
            << "the test must be able to hand files to another user";
    }

    void SetUp() override {
        if (::geteuid() != 0) {
            GTEST_SKIP() << "building a /proc tree owned by several users needs root";
        }
    }

    TemporaryDirectory folder;
    std::filesystem::path proc = folder / "proc";
};

TEST_F(RunningApplicationsTest, NamesTheCommandAndExecutableOfTheUsersProcesses) {
    const auto browser = process("1412");
    writeTextFile(browser / "comm", "Web Content\n");
    std::filesystem::create_symlink("/usr/lib/firefox/firefox-bin", browser / "exe");
    const auto editor = process("77");
    writeTextFile(editor / "comm", "a-very-long-edi\n");
    std::filesystem::create_symlink("/opt/editor/a-very-long-editor-name", editor / "exe");

    EXPECT_EQ(
        readRunningApplicationIdentifiers(proc, kUser),
        (Identifiers{"Web Content", "a-very-long-edi", "a-very-long-editor-name", "firefox-bin"}));
}

TEST_F(RunningApplicationsTest, ADeletedExecutableStillCountsByItsName) {
    const auto updated = process("9");
    std::filesystem::create_symlink("/usr/bin/thunderbird (deleted)", updated / "exe");
    EXPECT_EQ(readRunningApplicationIdentifiers(proc, kUser), Identifiers{"thunderbird"});
}

TEST_F(RunningApplicationsTest, AddsTheApplicationIDsOfFlatpakSandboxes) {
    const auto byEnvironment = process("300");
    writeTextFile(byEnvironment / "comm", "bwrap\n");
    writeTextFile(byEnvironment / "environ",
                  "LANG=de_DE.UTF-8\0FLATPAK_ID=org.gimp.GIMP\0HOME=/home/a\0"sv);
    const auto byInfoFile = process("301");
    const auto sandboxRoot = folder / "sandbox";
    writeTextFile(sandboxRoot / ".flatpak-info",
                  "[Runtime]\nname=org.gnome.Platform\n\n[Application]\nname=org.gnome."
                  "Calculator\nruntime=runtime/org.gnome.Platform/x86_64/46\n[Instance]\n"
                  "name=other\n");
    std::filesystem::create_symlink(sandboxRoot, byInfoFile / "root");

    EXPECT_EQ(readRunningApplicationIdentifiers(proc, kUser),
              (Identifiers{"bwrap", "org.gimp.GIMP", "org.gnome.Calculator"}));
}

TEST_F(RunningApplicationsTest, PassesOverOtherUsersAndWhatIsNotAProcess) {
    writeTextFile(process("500", 0) / "comm", "systemd\n");
    writeTextFile(process("501", 65534) / "comm", "nobody-daemon\n");
    writeTextFile(process("self") / "comm", "not-a-pid\n");
    writeTextFile(process("12a") / "comm", "not-a-pid-either\n");
    writeTextFile(proc / "7", "a file, not a process folder");
    ownedBy(proc / "7", kUser);
    writeTextFile(process("502") / "comm", "mine\n");

    EXPECT_EQ(readRunningApplicationIdentifiers(proc, kUser), Identifiers{"mine"});
    EXPECT_EQ(readRunningApplicationIdentifiers(proc, 0), Identifiers{"systemd"});
}

TEST_F(RunningApplicationsTest, AProcessWithNothingReadableAddsNothing) {
    process("600");
    writeTextFile(process("601") / "comm", "");
    writeTextFile(process("602") / "environ", "FLATPAK_ID=\0"sv);
    EXPECT_TRUE(readRunningApplicationIdentifiers(proc, kUser).empty());
    EXPECT_TRUE(readRunningApplicationIdentifiers(folder / "missing", kUser).empty());
}

TEST(RunningApplicationsDefaultsTest, IncludesThisVeryProcess) {
    const auto ownName = readSmallTextFile("/proc/self/comm");
    ASSERT_TRUE(ownName.has_value());
    int answers = 0;
    std::set<std::string> identifiers;
    runningApplicationIdentifiers([&](std::set<std::string> answered) {
        ++answers;
        identifiers = std::move(answered);
    });
    EXPECT_EQ(answers, 1);
    EXPECT_TRUE(identifiers.contains(ownName->substr(0, ownName->find('\n'))));
    const auto executable = std::filesystem::read_symlink("/proc/self/exe").filename().string();
    EXPECT_TRUE(identifiers.contains(executable)) << executable;
}

TEST(SmallTextFileTest, ReadsAtMostTheLimit) {
    TemporaryDirectory folder;
    writeTextFile(folder / "f", "0123456789");
    EXPECT_EQ(readSmallTextFile(folder / "f"), "0123456789");
    EXPECT_EQ(readSmallTextFile(folder / "f", 4), "0123");
    EXPECT_EQ(readSmallTextFile(folder / "missing"), std::nullopt);
    EXPECT_EQ(readSmallTextFile(folder.path()), std::nullopt);
}

TEST(SmallTextFileTest, APipeWithoutWriterDoesNotBlock) {
    TemporaryDirectory folder;
    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);
    EXPECT_EQ(readSmallTextFile(folder / "fifo"), "");
}

}  // namespace
}  // namespace quillo::platform
