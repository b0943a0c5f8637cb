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
    using Scope = probe::AccessScope;
    const struct {
        bool requiresAccess, availableInSandbox;
        Status status;
        bool sandboxed;
        Scope scope;
        bool available;
    } cases[] = {
        {false, false, Status::denied, false, Scope::modules, true},
        {true, false, Status::undetermined, false, Scope::modules, false},
        {true, false, Status::denied, false, Scope::modules, false},
        {true, false, Status::granted, false, Scope::modules, true},
        {true, true, Status::denied, true, Scope::modules, true},
        {false, false, Status::granted, true, Scope::modules, false},
        // Per root folder, access never withholds a module; the sandbox still does.
        {true, false, Status::undetermined, false, Scope::rootFolders, true},
        {true, false, Status::denied, false, Scope::rootFolders, true},
        {true, false, Status::granted, true, Scope::rootFolders, false},
    };
    for (const auto& example : cases) {
        EXPECT_EQ(
            probe::isModuleAvailable(module(example.requiresAccess, example.availableInSandbox),
                                     example.status, example.sandboxed, example.scope),
            example.available)
            << static_cast<int>(example.status) << " sandboxed " << example.sandboxed;
    }
}

TEST(FullDiskAccessProbeTest, AdministratorRightsGrantedToRootObtainableThroughAnInstalledHelper) {
    const struct {
        bool root, helper;
        Status status;
    } cases[] = {
        {true, false, Status::granted},
        {true, true, Status::granted},
        {false, true, Status::denied},
        {false, false, Status::undetermined},
    };
    for (const auto& example : cases) {
        const platform::AdministratorFacts facts{
            .isAdministrator = [&] { return example.root; },
            .isHelperInstalled = [&] { return example.helper; },
        };
        EXPECT_EQ(probe::administratorStatus(facts), example.status)
            << example.root << example.helper;
    }
}

TEST(FullDiskAccessProbeTest, TheHelperCountsAsInstalledOnlyWithItsPolicy) {
    testing::TemporaryDirectory folder;
    const platform::AdministratorHelper helper{.program = folder.path() / "quillo-helper",
                                               .policy = folder.path() / "action.policy"};
    const auto installed = [&] {
        return platform::AdministratorFacts::current(helper).isHelperInstalled();
    };
    EXPECT_FALSE(installed());
    std::ofstream(helper.program) << "#!/bin/sh\n";
    EXPECT_FALSE(installed()) << "no policy, so pkexec could not start it";
    std::filesystem::create_directory(helper.policy);
    EXPECT_FALSE(installed()) << "a folder is no policy";
    std::filesystem::remove(helper.policy);
    std::ofstream(helper.policy) << "<policyconfig/>";
    EXPECT_TRUE(installed());
}

TEST(FullDiskAccessProbeTest, StatusLabels) {
    EXPECT_EQ(probe::label(Status::granted).key, "settings.fda.status.granted");
    EXPECT_EQ(probe::label(Status::denied).defaultValue, "Nicht erteilt");
    EXPECT_EQ(probe::label(Status::undetermined).defaultValue, "Unbekannt");
}

}  // namespace
}  // namespace quillo
