#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace quillo {

/// Whether `name` can stand as one path component below a folder without naming the folder
/// itself or a place outside it: not empty, no "/" or NUL byte, neither "." nor "..".
bool isSinglePathComponent(std::string_view name);

/// Where an application with identifier `bundleID`, shown as `displayName`, may have left
/// files below `home`'s "Library" and `systemLibrary`, in the order they are offered. The
/// folders "Preferences/ByHost" (names beginning with the identifier) and "Group Containers"
/// (names ending with it) are listed once, without hidden entries. Every place built from a
/// value that is no single path component is left out, so a hostile identifier or name never
/// denotes a whole Library folder or a place outside it.
std::vector<std::filesystem::path> residueCandidates(const std::filesystem::path& home,
                                                     const std::filesystem::path& systemLibrary,
                                                     const std::string& bundleID,
                                                     const std::string& displayName);

}  // namespace quillo
