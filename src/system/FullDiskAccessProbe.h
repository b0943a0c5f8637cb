#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "model/CleaningModuleDescriptor.h"
#include "model/LocalizableText.h"
#include "platform/AdministratorHelper.h"

// Whether the application may read the protected parts of the disk, and whether it runs
// sandboxed; together they decide which modules are offered.
namespace quillo::FullDiskAccessProbe {

enum class Status { granted, denied, undetermined };

/// What access decides: whole modules where the system gates protected folders per
/// application (macOS), single root folders where the process's own rights do (Linux).
enum class AccessScope { modules, rootFolders };

/// The scope of the platform this build runs on.
AccessScope platformAccessScope();

/// This machine's status: on Linux whether administrator rights for the system folders are
/// held (`granted`: root), can be asked for (`denied`: the helper is installed) or not at all
/// (`undetermined`).
Status currentStatus();

/// The Linux meaning of the status, from `facts`.
Status administratorStatus(const platform::AdministratorFacts& facts);

LocalizableText label(Status status);

/// A file that only a process with full access to the disk can open: the privacy-consent
/// database where it exists, on Linux the shadow password file, which only root may read.
const std::filesystem::path& probePath();

/// The system settings page where the user grants access; nothing where the platform has none.
const std::optional<std::string>& settingsURL();

/// `undetermined` when nothing is at `path`, `denied` when it cannot be opened for reading,
/// `granted` otherwise. Reads nothing from the file and never blocks on it.
Status check(const std::filesystem::path& path);

/// What the sandbox test looks at; the defaults read the process environment and file system.
struct SandboxEnvironment {
    std::function<bool(const char* name)> hasVariable;
    std::function<bool(const std::filesystem::path&)> fileExists;

    static SandboxEnvironment current();
};

/// True when the platform's sandbox variable is set (to anything, even ""), or inside a Flatpak
/// sandbox ("FLATPAK_ID" set or "/.flatpak-info" present).
bool isSandboxed(const SandboxEnvironment& environment = SandboxEnvironment::current());

/// Whether a module can be offered: in the sandbox exactly when it works there; otherwise, where
/// access is decided per root folder, always; else when it needs no full disk access or that
/// access is granted.
bool isModuleAvailable(const CleaningModuleDescriptor& module, Status fullDiskAccess,
                       bool sandboxed, AccessScope scope);

}  // namespace quillo::FullDiskAccessProbe
