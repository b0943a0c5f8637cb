#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "model/CleaningModuleDescriptor.h"
#include "model/LocalizableText.h"

// Whether the application may read the protected parts of the disk, and whether it runs
// sandboxed; together they decide which modules are offered.
namespace quillo::FullDiskAccessProbe {

enum class Status { granted, denied, undetermined };

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

/// Whether a module can be offered: in the sandbox exactly when it works there; otherwise when
/// it needs no full disk access or that access is granted.
bool isModuleAvailable(const CleaningModuleDescriptor& module, Status fullDiskAccess,
                       bool sandboxed);

}  // namespace quillo::FullDiskAccessProbe
