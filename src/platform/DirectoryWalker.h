#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string_view>

#include "support/CancellationToken.h"

namespace quillo::platform {

/// One entry met by `walkDirectory`. The views are valid only during the visit.
struct WalkedEntry {
    /// The entry's name, bytes as the file system reports them.
    std::string_view name;
    /// The path of the folder holding the entry, relative to the walked root ("" for the root's
    /// own children).
    std::string_view parentPath;
    bool isDirectory = false;
    /// Allocated size (logical size where the file system reports no blocks); 0 for folders and
    /// whenever sizes were not asked for.
    std::int64_t sizeInBytes = 0;
};

struct WalkOptions {
    /// Read the size of every non-folder entry (one status call each).
    bool readSizes = false;
    /// Report a file with several hard links inside the walk once only (sizes only).
    bool countHardLinksOnce = true;
};

using WalkVisitor = std::function<void(const WalkedEntry&)>;

/// Walks everything below `root`, relative to open folder descriptors, without recursion.
/// - Each folder's entries are visited before anything inside its sub-folders, so a folder always
///   comes before its contents.
/// - Hidden entries (names beginning with ".") are neither visited nor entered.
/// - Symbolic links are visited as themselves and never entered; a `root` that is a link is not
///   walked either, so nothing outside the tree is reached.
/// - Folders that cannot be opened and entries that vanish mid-walk are skipped; the walk goes
///   on.
/// - At most a fixed number of descriptors stay open however deep the tree is.
/// - Cancellation is checked before each entry; a cancelled walk stops where it is.
/// Returns false when `root` cannot be opened as a folder (nothing is visited then).
bool walkDirectory(const std::filesystem::path& root, const WalkOptions& options,
                   const support::CancellationToken& token, const WalkVisitor& visit);

/// Calls `visit` with the name of every non-hidden entry directly in `folder`, in listing order.
/// A `folder` that is a link is not listed. Returns false when `folder` cannot be opened.
bool listDirectory(const std::filesystem::path& folder,
                   const std::function<void(std::string_view name)>& visit);

}  // namespace quillo::platform
