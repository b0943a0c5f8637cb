#pragma once

#include <filesystem>

namespace quillo {

/// Where `cmake --install` put the administrator helper: the path its polkit action names.
std::filesystem::path installedHelperPath();

/// The installed polkit action of the helper; without it pkexec refuses the helper.
std::filesystem::path installedPolicyPath();

/// Whether this process reaches the system folders only through the helper: every user but
/// root.
bool needsAdministratorHelper();

}  // namespace quillo
