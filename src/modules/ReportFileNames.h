#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace quillo {

/// The application a report file is about: for a crash report of the Linux crash handler
/// ("_usr_bin_gedit.1000.crash") the program's path ("/usr/bin/gedit"); otherwise its name
/// without the last extension, up to the first "_" (possibly empty); none when that name holds
/// no "_".
std::optional<std::string> reportName(const std::filesystem::path& url);

/// The program a systemd coredump file is of ("core.<program>.<uid>.<boot id>.<pid>.<time>",
/// uncompressed or with ".zst", ".lz4" or ".xz"), its escapes undone; none for any other name.
std::optional<std::string> coredumpProgram(const std::filesystem::path& url);

}  // namespace quillo
