#include "platform/ApplicationTermination.h"

#include <charconv>
#include <map>
#include <optional>

#include "platform/ApplicationBundle.h"
#include "platform/ProcessFolders.h"
#include "platform/RunningApplications.h"
#include "platform/SmallTextFile.h"

namespace quillo::platform {

std::optional<pid_t> processID(const std::filesystem::path& processFolder) {
    const std::string name = processFolder.filename().string();
    pid_t pid = 0;
    const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), pid);
    if (error != std::errc() || end != name.data() + name.size()) {
        return std::nullopt;
    }
    return pid;
}

std::optional<std::filesystem::path> enclosingBundle(const std::filesystem::path& executable) {
    for (auto folder = executable.parent_path(); folder != folder.parent_path();
         folder = folder.parent_path()) {
        if (hasApplicationExtension(folder)) {
            return folder;
        }
    }
    return std::nullopt;
}

namespace {

std::optional<std::string> identifierOf(const std::filesystem::path& bundle) {
    const auto info = readInfoDictionary(bundle);
    return info ? bundleIdentifier(*info) : std::nullopt;
}

}  // namespace

std::vector<pid_t> terminateApplications(const std::string& bundleID,
                                         const ProcessTermination& termination) {
    std::vector<pid_t> asked;
    if (bundleID.empty()) {
        return asked;
    }
    // Helpers and windows of one application share its bundle: read each bundle once.
    std::map<std::filesystem::path, std::optional<std::string>> identifiers;
    forEachProcessFolder(termination.procRoot, [&](const std::filesystem::path& processFolder) {
        const auto pid = processID(processFolder);
        if (!pid || *pid == termination.ownPid ||
            !isProcessOwnedBy(processFolder, termination.uid)) {
            return;
        }
        const auto executable = processLinkTarget(processFolder / "exe");
        const auto bundle = executable ? enclosingBundle(*executable) : std::nullopt;
        if (!bundle) {
            return;
        }
        auto known = identifiers.find(*bundle);
        if (known == identifiers.end()) {
            known = identifiers.emplace(*bundle, identifierOf(*bundle)).first;
        }
        if (known->second == bundleID && termination.sendSignal(*pid, SIGTERM) == 0) {
            asked.push_back(*pid);
        }
    });
    return asked;
}

namespace {

bool belongsTo(const std::filesystem::path& processFolder, const PackagedApplication& app) {
    if (app.kind == PackageKind::flatpak) {
        const auto info = readSmallTextFile(processFolder / "root" / ".flatpak-info");
        return info && flatpakIdInInfo(*info) == app.id;
    }
    const auto executable = processLinkTarget(processFolder / "exe");
    return executable && executable->native().starts_with("/snap/" + app.id + "/");
}

}  // namespace

std::vector<pid_t> terminatePackagedApplication(const PackagedApplication& app,
                                                const ProcessTermination& termination) {
    std::vector<pid_t> asked;
    if (app.id.empty()) {
        return asked;
    }
    forEachProcessFolder(termination.procRoot, [&](const std::filesystem::path& processFolder) {
        const auto pid = processID(processFolder);
        if (pid && *pid != termination.ownPid && isProcessOwnedBy(processFolder, termination.uid) &&
            belongsTo(processFolder, app) && termination.sendSignal(*pid, SIGTERM) == 0) {
            asked.push_back(*pid);
        }
    });
    return asked;
}

void quitPackagedApplication(const PackagedApplication& app, const std::function<void()>& done) {
    terminatePackagedApplication(app);
    done();
}

void quitRunningApplications(const std::string& bundleID, const std::function<void()>& done) {
    terminateApplications(bundleID);
    done();
}

}  // namespace quillo::platform
