#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <set>
#include <string>

#include "support/TemporaryDirectory.h"
#include "system/FullDiskAccessProbe.h"

namespace quillo {
namespace {

namespace probe = FullDiskAccessProbe;
using probe::Status;

probe::SandboxEnvironment fakeEnvironment(std::set<std::string> variables,
                                          bool flatpakInfo = false) {
    return {
        .hasVariable = [variables](const char* name) { return variables.contains(name); },
        .fileExists =
            [flatpakInfo](const std::filesystem::path& path) {
                return flatpakInfo && path == "/.flatpak-info";
            },
    };
}

CleaningModuleDescriptor module(bool requiresFullDiskAccess, bool availableInSandbox) {
    CleaningModuleDescriptor descriptor;
    descriptor.requiresFullDiskAccess = requiresFullDiskAccess;
    descriptor.isAvailableInSandbox = availableInSandbox;
    return descriptor;
}

TEST(FullDiskAccessProbeTest, MissingFileIsUndeterminedReadableFileGranted) {
    testing::TemporaryDirectory folder;
    const auto file = folder.path() / "consent.db";
    EXPECT_EQ(probe::check(file), Status::undetermined);
    std::ofstream(file) << "x";
    EXPECT_EQ(probe::check(file), Status::granted);
}

// Root opens every file, so the check runs in a child that has given up root.
TEST(FullDiskAccessProbeTest, FileWithoutReadPermissionIsDenied) {
    testing::TemporaryDirectory folder;
    const auto file = folder.path() / "consent.db";
    std::ofstream(file) << "x";
    ::chmod(folder.path().c_str(), 0755);
    ::chmod(file.c_str(), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 &&
            (::setresgid(65534, 65534, 65534) != 0 || ::setresuid(65534, 65534, 65534) != 0)) {
            ::_exit(2);
        }
        ::_exit(probe::check(file) == Status::denied ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(FullDiskAccessProbeTest, AFifoInThePlaceOfTheProbeDoesNotBlock) {
    testing::TemporaryDirectory folder;
    const auto fifo = folder.path() / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(probe::check(fifo), Status::granted);
}

TEST(FullDiskAccessProbeTest, SandboxVariableCountsEvenWhenEmpty) {
    EXPECT_TRUE(probe::isSandboxed(fakeEnvironment({"APP_SANDBOX_CONTAINER_ID"})));
    EXPECT_TRUE(probe::isSandboxed(fakeEnvironment({"FLATPAK_ID"})));
    EXPECT_TRUE(probe::isSandboxed(fakeEnvironment({}, true)));
    EXPECT_FALSE(probe::isSandboxed(fakeEnvironment({"HOME"})));

    ::setenv("APP_SANDBOX_CONTAINER_ID", "", 1);
    EXPECT_TRUE(probe::isSandboxed());
    ::unsetenv("APP_SANDBOX_CONTAINER_ID");
}

TEST(FullDiskAccessProbeTest, ModuleAvailabilityRules) {
    EXPECT_TRUE(probe::isModuleAvailable(module(false, false), Status::denied, false));
    EXPECT_FALSE(probe::isModuleAvailable(module(true, false), Status::undetermined, false));
    EXPECT_FALSE(probe::isModuleAvailable(module(true, false), Status::denied, false));
    EXPECT_TRUE(probe::isModuleAvailable(module(true, false), Status::granted, false));
    EXPECT_TRUE(probe::isModuleAvailable(module(true, true), Status::denied, true));
    EXPECT_FALSE(probe::isModuleAvailable(module(false, false), Status::granted, true));
}

TEST(FullDiskAccessProbeTest, StatusLabels) {
    EXPECT_EQ(probe::label(Status::granted).key, "settings.fda.status.granted");
    EXPECT_EQ(probe::label(Status::denied).defaultValue, "Nicht erteilt");
    EXPECT_EQ(probe::label(Status::undetermined).defaultValue, "Unbekannt");
}

}  // namespace
}  // namespace quillo
