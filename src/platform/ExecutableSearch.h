#pragma once

#include <filesystem>
#include <string_view>

#include "platform/StandardDirectories.h"

namespace quillo::platform {

/// The absolute path of the program `name` as a shell would find it through $PATH (the C
/// library's default search path when $PATH is unset): the first regular file of that name
/// that this process may execute. Empty and relative entries of $PATH are skipped, as they would
/// make the answer depend on the working folder; a name holding "/" is found nowhere. Empty when
/// there is none.
std::filesystem::path findExecutable(std::string_view name,
                                     const EnvironmentLookup& environment = processEnvironment());

}  // namespace quillo::platform
