#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "support/Error.h"
#include "support/Result.h"

// The one place through which Quillo writes into and removes the user's files. Every operation
// looks at a path's last component without following a symbolic link (trailing slashes are
// ignored, so "link/" means the link, not its target).
namespace quillo::platform {

/// What one overwrite pass did; only `overwritten` wrote anything.
enum class OverwriteOutcome {
    overwritten,
    /// A regular file of size 0: nothing to write.
    empty,
    /// A link, folder, FIFO, socket or device; such files are never opened for writing.
    notRegularFile,
    /// A file with further hard links, whose data is shared with names outside the item.
    sharedHardLink,
    /// Nothing at the path, or nothing that could be examined: there is nothing to write.
    missing,
};

/// Fills a buffer with secure random bytes; false when the generator failed.
using RandomFill = std::function<bool(std::span<unsigned char>)>;

/// The size of one overwrite chunk; the last chunk of a file is the remainder.
inline constexpr std::size_t kOverwriteChunkSize = 65'536;

/// One overwrite pass over `file`: exactly the size it had when opened is written from offset 0
/// in `kOverwriteChunkSize` chunks, each freshly filled by `fill`, then flushed to storage once.
/// The file is never truncated or extended. Only a regular file with one link is written, and
/// nothing else is ever opened for writing; anything else is reported by the outcome, without
/// error. Fails with `DeletionError::overwriteFailed` (the platform's reason) when the file
/// cannot be opened or written and with `DeletionError::randomBytesFailed` when `fill` fails.
support::Result<OverwriteOutcome> overwriteFileOnce(const std::filesystem::path& file,
                                                    const RandomFill& fill);

/// `overwriteFileOnce` for a file listed below the directory item `root`: no component of `file`
/// after `root` is followed if it is a symbolic link (reached through one, the file counts as
/// `notRegularFile`), so a folder swapped for a link after listing never leads outside the item.
/// A `file` whose components do not continue those of `root` (or that has a "." or ".."
/// component) is not written and counts as `missing`. Works for paths of any length.
support::Result<OverwriteOutcome> overwriteFileBelow(const std::filesystem::path& root,
                                                     const std::filesystem::path& file,
                                                     const RandomFill& fill);

/// Every non-hidden regular file below the folder `directory`, recursively, in listing order.
/// Links are never followed (nor is `directory` itself if it is one); hidden entries (names
/// beginning with ".") are skipped and not entered; unreadable folders count as empty.
std::vector<std::filesystem::path> regularFilesBelow(const std::filesystem::path& directory);

enum class PathKind { missing, directory, regularFile, other };

/// The kind of what is at `path` itself: a symbolic link is `other`, never followed. A path that
/// cannot be examined for a reason other than its absence is `other` too.
PathKind pathKind(const std::filesystem::path& path);

/// Whether anything, a dangling link included, is at `path`. Only a path that is known to be
/// absent gives false, so that a check after removal never passes by mistake.
bool pathExists(const std::filesystem::path& path);

/// A failed file-system operation. The description is the platform's reason and never contains
/// the path, because failure reasons are logged in public.
class FileOperationError final : public support::ErrorDetail {
  public:
    explicit FileOperationError(int code);

    /// The platform's text for the errno value `code`.
    static std::string reasonFor(int code);

    [[nodiscard]] int code() const { return code_; }
    [[nodiscard]] std::string description() const override { return reason_; }

  private:
    int code_;
    std::string reason_;
};

/// Removes a file, a link (never its target) or a whole folder tree permanently. Folders are
/// walked relative to open descriptors without following links, iteratively and with a bounded
/// number of descriptors, so depth is no limit and a sub-folder swapped for a link during the
/// walk is removed as a link. Other file systems mounted inside the tree are not entered, and
/// the root folder is never removed. What can be removed is removed; the first failure is
/// returned as a `FileOperationError`.
support::Status removePermanently(const std::filesystem::path& path);

/// Called with a sub-folder's name after it was examined and before it is opened.
using BeforeDescent = std::function<void(std::string_view name)>;

/// `removePermanently`, calling `beforeDescent` before entering each sub-folder. Exists so that
/// tests can change the tree at the one moment a race would; production code uses the above.
support::Status removePermanentlyObserved(const std::filesystem::path& path,
                                          const BeforeDescent& beforeDescent);

/// A German reason why `item` must never be deleted, or nothing. Refused: an empty or relative
/// path, a path with a NUL byte or a "." or ".." component, the root folder, a system folder,
/// the home folder `home` itself and every folder that contains it. Repeated and trailing
/// slashes make no difference, and the home folder is also recognised under another name.
std::optional<std::string> refusalReason(const std::filesystem::path& item,
                                         const std::filesystem::path& home);

}  // namespace quillo::platform
