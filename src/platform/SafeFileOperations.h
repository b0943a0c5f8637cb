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

// The vocabulary of the deletion guard (`OpenedItem`), the one place through which Quillo writes
// into and removes the user's files, and the refusal rules it applies.
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
inline constexpr std::size_t kOverwriteChunkSize = 1'048'576;

enum class PathKind { missing, directory, regularFile, other };

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

/// Called with a sub-folder's name after it was examined and before it is opened.
using BeforeDescent = std::function<void(std::string_view name)>;

/// A German reason why `item` must never be deleted, or nothing. Refused: an empty or relative
/// path, a path with a NUL byte or a "." or ".." component, the root folder, a system folder,
/// the home folder `home` itself and every folder that contains it, and everything in another
/// person's home (a folder directly in "/home" or "/Users", or the account database's home of
/// root or an ordinary user). Repeated and trailing slashes make no difference, and the home
/// folder is also recognised under another name.
std::optional<std::string> refusalReason(const std::filesystem::path& item,
                                         const std::filesystem::path& home);

}  // namespace quillo::platform
