#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "modules/FilesystemEntry.h"
#include "support/CancellationToken.h"
#include "support/Executor.h"
#include "support/Result.h"

namespace quillo {

// How the file system is looked at by every module. None of these fails: what cannot be read is
// left out. Hidden entries (names beginning with ".") are skipped and never entered; symbolic
// links count as themselves and are never followed, not even as the folder asked for.

/// Describes `url` without following a final link; nothing if it cannot be examined. A folder's
/// size is its `directorySize`, so this walks the whole folder.
std::optional<FilesystemEntry> makeEntry(const std::filesystem::path& url,
                                         const support::CancellationToken& token = {});

/// Whether `url` itself is a folder (a link to one is not); cheap, unlike `makeEntry` of a folder.
bool isFolder(const std::filesystem::path& url);

/// The allocated bytes of every non-hidden file below `url`, hard-linked files counted once and
/// folders themselves counted as 0. 0 if `url` is not a readable folder. A cancelled walk returns
/// the total reached so far.
std::int64_t directorySize(const std::filesystem::path& url,
                           const support::CancellationToken& token = {});

/// Every non-hidden file and folder below `url`, a folder before its contents; empty if `url`
/// is not a readable folder. A cancelled walk returns what it has found so far.
std::vector<std::filesystem::path> recursiveContents(const std::filesystem::path& url,
                                                     const support::CancellationToken& token = {});

/// The non-hidden immediate children of `url`, sorted by name (see `sortByName`); empty if `url`
/// is not a readable folder.
std::vector<std::filesystem::path> sortedChildren(const std::filesystem::path& url);

/// Describes every URL with `makeEntry`, one child task per URL on `pool`, and calls `done` once,
/// from the thread of the child that finishes last, with the entries in input order and the
/// URLs that could not be examined left out. If `token` is cancelled before the last child ends,
/// the children still running stop early and `done` receives the cancellation error instead of
/// the partial sizes. An empty list completes on `pool` too.
void concurrentEntries(std::vector<std::filesystem::path> urls, support::Executor& pool,
                       support::CancellationToken token,
                       support::Completion<std::vector<FilesystemEntry>> done);

}  // namespace quillo
