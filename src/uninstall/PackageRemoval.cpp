#include "uninstall/PackageRemoval.h"

#include <thread>

#include "platform/PackageError.h"
#include "platform/ProcessRunner.h"

namespace quillo {

namespace {

constexpr std::size_t kMaxMessageBytes = 2000;

support::Error removalFailure(std::string message) {
    return support::Error::make(platform::PackageError(std::move(message)));
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, std::min(last + 1 - first, kMaxMessageBytes));
}

void removeFlatpak(const PackageTools& tools, const platform::PackagedApplication& app,
                   const std::function<void(support::Status)>& done) {
    auto finish = [done](support::Result<ProcessRunResult> ran) {
        if (!ran) {
            done(ran.error());
            return;
        }
        const auto& result = ran.value();
        if (result.exitCode == 0) {
            done(support::Unit{});
            return;
        }
        auto message = trimmed(result.standardError);
        done(removalFailure(message.empty() ? "flatpak uninstall endete mit Status " +
                                                  std::to_string(result.exitCode) + "."
                                            : "flatpak: " + message));
    };
    try {
        runProcess(tools.flatpak.string(), flatpakUninstallArguments(app), finish);
    } catch (const std::system_error&) {
        done(removalFailure("flatpak konnte nicht gestartet werden."));
    }
}

void removeSnap(const PackageTools& tools, const platform::PackagedApplication& app,
                const std::function<void(support::Status)>& done) {
    // Waiting for snapd (and the user at polkit's dialog) must not hold up a pool thread.
    try {
        std::thread([snapd = tools.snapd, name = app.id, done] {
            done(snapd.remove(name));
        }).detach();
    } catch (const std::system_error&) {
        done(removalFailure("snapd konnte nicht gefragt werden."));
    }
}

}  // namespace

std::vector<std::string> flatpakUninstallArguments(const platform::PackagedApplication& app) {
    std::string scope = app.installation == platform::kUserInstallation ? "--user"
                        : app.installation == platform::kSystemInstallation
                            ? "--system"
                            : "--installation=" + app.installation;
    return {"uninstall", "-y", std::move(scope), app.id};
}

PackageRemoval packageRemoval(PackageTools tools) {
    return [tools = std::move(tools)](const platform::PackagedApplication& app,
                                      const std::function<void(support::Status)>& done) {
        if (tools.effectiveUser() == 0) {
            done(removalFailure(
                "Quillo entfernt Flatpak- und Snap-Apps nur als gewöhnlicher Benutzer, nicht "
                "als root."));
        } else if (app.kind == platform::PackageKind::flatpak) {
            removeFlatpak(tools, app, done);
        } else {
            removeSnap(tools, app, done);
        }
    };
}

}  // namespace quillo
