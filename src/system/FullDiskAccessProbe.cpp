#include "system/FullDiskAccessProbe.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace quillo::FullDiskAccessProbe {

LocalizableText label(Status status) {
    switch (status) {
        case Status::granted:
            return {"settings.fda.status.granted", "Erteilt"};
        case Status::denied:
            return {"settings.fda.status.denied", "Nicht erteilt"};
        case Status::undetermined:
            return {"settings.fda.status.undetermined", "Unbekannt"};
    }
    return {};
}

Status check(const std::filesystem::path& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return Status::undetermined;
    }
    // Non-blocking, so that a FIFO in the probe's place cannot hold the main thread.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return Status::denied;
    }
    ::close(fd);
    return Status::granted;
}

SandboxEnvironment SandboxEnvironment::current() {
    return {
        .hasVariable = [](const char* name) { return std::getenv(name) != nullptr; },
        .fileExists =
            [](const std::filesystem::path& path) {
                struct stat status {};
                return ::lstat(path.c_str(), &status) == 0;
            },
    };
}

bool isSandboxed(const SandboxEnvironment& environment) {
    return environment.hasVariable("APP_SANDBOX_CONTAINER_ID") ||
           environment.hasVariable("FLATPAK_ID") || environment.fileExists("/.flatpak-info");
}

Status administratorStatus(const platform::AdministratorFacts& facts) {
    if (facts.isAdministrator()) {
        return Status::granted;
    }
    return facts.isHelperInstalled() ? Status::denied : Status::undetermined;
}

bool isModuleAvailable(const CleaningModuleDescriptor& module, Status fullDiskAccess,
                       bool sandboxed, AccessScope scope) {
    if (sandboxed) {
        return module.isAvailableInSandbox;
    }
    return scope == AccessScope::rootFolders || !module.requiresFullDiskAccess ||
           fullDiskAccess == Status::granted;
}

}  // namespace quillo::FullDiskAccessProbe
