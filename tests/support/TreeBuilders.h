#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// Named builders for the file trees the enumeration tests walk. Everything is made at run time
// inside the test's own temporary folder.
namespace quillo::testing {

/// A file of `bytes` bytes, its parent folders made as needed.
void makeFile(const std::filesystem::path& path, std::size_t bytes);

/// A file `logicalSize` bytes long of which only the first 4096 bytes are written.
void makeSparseFile(const std::filesystem::path& path, std::int64_t logicalSize);

/// Nests `depth` folders named "d" below `root` and puts a file "leaf" of `leafBytes` at the
/// bottom. Made relative to open folders, as the whole path exceeds PATH_MAX for deep trees.
void makeDeepTree(const std::filesystem::path& root, std::size_t depth, std::size_t leafBytes);

/// Removes a tree made by `makeDeepTree` one level at a time, never by its full path.
void removeDeepTree(const std::filesystem::path& root);

/// Links that lead back into `folder`: "self" → "." and "sub/up" → "..".
void makeSymlinkLoop(const std::filesystem::path& folder);

/// A symbolic link at `link` pointing to `target`.
void makeSymlink(const std::filesystem::path& target, const std::filesystem::path& link);

/// Files with awkward names in `folder` (spaces, a newline, a tab, bytes that are not UTF-8,
/// a decomposed accent), `bytes` bytes each; returns their names.
std::vector<std::string> makeWeirdNames(const std::filesystem::path& folder, std::size_t bytes);

/// Makes every path in `links` a hard link of `original`.
void makeHardLinks(const std::filesystem::path& original,
                   const std::vector<std::filesystem::path>& links);

/// Takes all permissions away from `path`. As root this only bites in `runUnprivileged`.
void makeInaccessible(const std::filesystem::path& path);

/// Lets everyone read and enter `path`, so that an unprivileged child can walk below it.
void makeReadableByAll(const std::filesystem::path& path);

/// Makes `path` (not what lies below it) the property of the user `runUnprivileged` runs as.
void giveToUnprivilegedUser(const std::filesystem::path& path);

/// Runs `work` without root's privileges (in a child process that drops to nobody when this
/// process is root) and returns its result; nothing if the child could not run or failed.
std::optional<std::int64_t> runUnprivileged(const std::function<std::int64_t()>& work);

/// Runs `work` in a child process with a private mount namespace, so that the mounts it makes
/// vanish with it; nothing when the namespace cannot be made (no privileges) or the child failed.
std::optional<std::int64_t> runInPrivateMountNamespace(const std::function<std::int64_t()>& work);

/// Whether this process may make private mount namespaces (root, usually).
bool mountsCanBeMade();

/// The allocated size of `path` (blocks × 512) without following a link, as the walker counts.
std::int64_t allocatedSize(const std::filesystem::path& path);

/// Sets the modification time of `path`.
void setModificationTime(const std::filesystem::path& path, std::int64_t seconds, long nanoseconds);

/// Sets the modification time of `path` to `seconds` before the system clock's present, for code
/// that reads the real clock.
void setAgeByTheClock(const std::filesystem::path& path, std::int64_t seconds);

}  // namespace quillo::testing
