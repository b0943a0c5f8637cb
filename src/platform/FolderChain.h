#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileDescriptor.h"
#include "platform/FileStatus.h"
#include "platform/SafeFileOperations.h"

namespace quillo::platform {

/// The chain of folders from a root down to the folder being worked on, each opened relative to
/// its parent without following links and never on another file system. At most a fixed number
/// of descriptors stay open: deeper chains close their upper folders and reopen them through
/// ".." on the way back, checking that each reopened folder is the one that was left.
class FolderChain final {
  public:
    struct Folder {
        FileDescriptor descriptor;
        FileIdentity identity;
        /// The folder's name in its parent ("" for the root).
        std::string name;
        bool listed = false;

        [[nodiscard]] bool hasPending() const { return nextPending_ < pendingFolders_.size(); }
        /// Queues a sub-folder to enter later, in the order given.
        void addPending(std::string_view folderName);
        std::string takePending();

      private:
        // Each name followed by NUL: one allocation for all the sub-folders of a folder.
        std::string pendingFolders_;
        std::size_t nextPending_ = 0;
    };

    /// Opens `root`, a folder and not a link, expected to be `expected` when given. Returns 0,
    /// EAGAIN when it is another folder, or the errno of the failure.
    int openRoot(const std::string& root, const std::optional<FileIdentity>& expected);

    /// Starts the chain at the folder open as `root` (for reading). Returns 0 or the errno of
    /// examining it.
    int adoptRoot(FileDescriptor root);

    [[nodiscard]] bool empty() const { return folders_.empty(); }
    [[nodiscard]] std::size_t depth() const { return folders_.size(); }
    [[nodiscard]] Folder& current() { return folders_.back(); }

    /// Enters the sub-folder `name` of the current folder, calling `beforeDescent` (if set)
    /// between examining and opening it. Returns 0, or
    /// - ENOTDIR or ELOOP when the entry is (or just became) no folder, a link included;
    /// - EXDEV when it is on another file system or another mount, a bind mount included;
    /// - EAGAIN when the folder opened is not the one examined (it was replaced meanwhile);
    /// - the errno of a failed examination or opening.
    int enter(std::string name, const BeforeDescent& beforeDescent);

    /// Leaves the current folder. Returns 0, or ESTALE (or the errno of reopening) when its
    /// parent cannot be reopened as the same folder; the chain is empty then, as the walk
    /// cannot go on safely.
    int leave();

    /// Whether an entry of this status lies on the root's own mount and is no mount point.
    [[nodiscard]] bool isOnRootMount(const FileStatus& status) const;

  private:
    void limitOpenDescriptors();

    std::vector<Folder> folders_;
    FileStatus rootStatus_;
    std::size_t openDescriptors_ = 0;
    // No folder below this index (other than the root) holds a descriptor.
    std::size_t shallowestOpen_ = 1;
};

}  // namespace quillo::platform
