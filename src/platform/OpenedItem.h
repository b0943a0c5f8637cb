#pragma once

#include <filesystem>
#include <string>

#include "platform/DeletionScope.h"
#include "platform/FileDescriptor.h"
#include "platform/FileStatus.h"
#include "platform/SafeFileOperations.h"
#include "support/Result.h"

namespace quillo::platform {

/// An item opened for deletion: the one way Quillo overwrites or removes user data. Opening
/// applies the refusal rules and the scope's areas, then resolves the item's folder once, below
/// its area and without following a link or leaving the area's mount, and takes the item's
/// identity. Every later step works relative to that folder and first checks that the entry is
/// still the one that was opened; no step follows a link or enters another mount.
class OpenedItem final {
  public:
    /// Fails with a `RefusedPathError` for a refused path, an `ItemSafetyError` for a link or a
    /// mount on the way or an item that is a mount point, else a `FileOperationError`.
    static support::Result<OpenedItem> open(const std::filesystem::path& item,
                                            const DeletionScope& scope);

    [[nodiscard]] const std::filesystem::path& path() const { return path_; }
    [[nodiscard]] PathKind kind() const;

    /// One overwrite pass: a regular file as itself (its allocated extents only), a folder as
    /// every non-hidden regular file inside, on the item's mount; anything else is not written.
    /// A folder's files that cannot be written are passed over. Fails with an
    /// `ItemSafetyError` when the entry was replaced, with a `DeletionError` when a file item
    /// cannot be written.
    [[nodiscard]] support::Result<OverwriteOutcome> overwriteOnce(const RandomFill& fill) const;

    /// Removes the entry: a folder with all it holds, a link as the link. A mount point inside
    /// stays with what it holds and fails the removal with `ItemSafetyError::containsMountPoint`
    /// once everything else is gone. `beforeDescent` lets tests act at the moment a race would.
    [[nodiscard]] support::Status remove(const BeforeDescent& beforeDescent = {}) const;

    /// Whether nothing is left at the item's place; any doubt counts as something left.
    [[nodiscard]] bool isGone() const;

  private:
    OpenedItem(std::filesystem::path path, FileDescriptor folder, std::string name,
               FileStatus status);

    [[nodiscard]] support::Status checkUnchanged() const;
    [[nodiscard]] support::Result<FileDescriptor> openAsFolder() const;

    std::filesystem::path path_;
    FileDescriptor folder_;
    std::string name_;
    FileStatus status_;
};

}  // namespace quillo::platform
