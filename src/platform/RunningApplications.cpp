#include "platform/RunningApplications.h"

#include <unistd.h>

#include <optional>
#include <string_view>

#include "platform/ProcessFolders.h"
#include "platform/SmallTextFile.h"
#include "support/TextPieces.h"

namespace quillo::platform {

namespace {

constexpr std::string_view kFlatpakVariable = "FLATPAK_ID=";
constexpr std::string_view kFlatpakNameKey = "name=";

void insertNonEmpty(std::set<std::string>& identifiers, std::string_view identifier) {
    if (!identifier.empty()) {
        identifiers.emplace(identifier);
    }
}

std::optional<std::string> commandName(const std::filesystem::path& processFolder) {
    const auto comm = readSmallTextFile(processFolder / "comm");
    if (!comm) {
        return std::nullopt;
    }
    return commandNameInComm(*comm);
}

std::optional<std::string> executableName(const std::filesystem::path& processFolder) {
    const auto target = processLinkTarget(processFolder / "exe");
    if (!target) {
        return std::nullopt;
    }
    return target->filename().string();
}

std::optional<std::string> flatpakIdFromEnvironment(const std::filesystem::path& processFolder) {
    const auto environment = readSmallTextFile(processFolder / "environ", std::size_t{1024} * 1024);
    if (!environment) {
        return std::nullopt;
    }
    return flatpakIdInEnvironment(*environment);
}

std::optional<std::string> flatpakIdFromInfo(const std::filesystem::path& processFolder) {
    const auto info = readSmallTextFile(processFolder / "root" / ".flatpak-info");
    if (!info) {
        return std::nullopt;
    }
    return flatpakIdInInfo(*info);
}

}  // namespace

std::string commandNameInComm(std::string_view comm) {
    if (comm.ends_with('\n')) {
        comm.remove_suffix(1);
    }
    return std::string(comm);
}

std::optional<std::string> flatpakIdInEnvironment(std::string_view environment) {
    for (const auto variable : support::nonEmptyPieces(environment, '\0')) {
        if (variable.starts_with(kFlatpakVariable)) {
            return std::string(variable.substr(kFlatpakVariable.size()));
        }
    }
    return std::nullopt;
}

std::optional<std::string> flatpakIdInInfo(std::string_view info) {
    bool inApplicationGroup = false;
    for (const auto line : support::nonEmptyPieces(info, '\n')) {
        if (line.starts_with('[')) {
            inApplicationGroup = line == "[Application]";
        } else if (inApplicationGroup && line.starts_with(kFlatpakNameKey)) {
            return std::string(line.substr(kFlatpakNameKey.size()));
        }
    }
    return std::nullopt;
}

std::set<std::string> readRunningApplicationIdentifiers(const std::filesystem::path& procRoot,
                                                        uid_t uid) {
    std::set<std::string> identifiers;
    forEachProcessFolder(procRoot, [&](const std::filesystem::path& processFolder) {
        if (!isProcessOwnedBy(processFolder, uid)) {
            return;
        }
        for (const auto& identifier :
             {commandName(processFolder), executableName(processFolder),
              flatpakIdFromEnvironment(processFolder), flatpakIdFromInfo(processFolder)}) {
            insertNonEmpty(identifiers, identifier.value_or(std::string()));
        }
    });
    return identifiers;
}

void runningApplicationIdentifiers(const std::function<void(std::set<std::string>)>& answer) {
    answer(readRunningApplicationIdentifiers("/proc", ::getuid()));
}

}  // namespace quillo::platform
