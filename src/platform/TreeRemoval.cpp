#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/DirectoryListing.h"
#include "platform/FolderChain.h"
#include "platform/OpenedItemParts.h"

namespace quillo::platform {

namespace {

// Removing entries while a folder is being listed may make a file system skip others, so a
// folder is listed again after a listing that removed something. The bound keeps a folder that
// is filled as fast as it is emptied from holding the walk forever.
constexpr int kMaxListings = 3;

// Empties a folder tree, depth first, relative to open folders; the caller removes the top.
class TreeRemoval final {
  public:
    explicit TreeRemoval(const BeforeDescent& beforeDescent) : beforeDescent_(beforeDescent) {}

    // Returns 0 when everything below `top` was removed, else the first errno met.
    int empty(FileDescriptor top) {
        if (const int error = chain_.adoptRoot(std::move(top)); error != 0) {
            return error;
        }
        levels_.push_back({});
        while (!chain_.empty()) {
            FolderChain::Folder& folder = chain_.current();
            if (folder.hasPending()) {
                descend(folder.takePending());
            } else if (shouldList(levels_.back())) {
                list(folder, levels_.back());
            } else {
                ascend();
            }
        }
        return firstError_;
    }

  private:
    // What the removal knows of each folder of the chain.
    struct Level {
        int listings = 0;
        bool changedSinceListing = false;
        std::size_t failuresAtEntry = 0;
    };

    [[nodiscard]] bool shouldList(const Level& level) const {
        if (level.listings == 0) {
            return true;
        }
        // After a failure below, what is left is explained; listing again would only repeat
        // the failing part of the tree.
        return level.changedSinceListing && level.listings < kMaxListings &&
               failures_ == level.failuresAtEntry;
    }

    void note(int error) {
        if (error == ENOENT) {
            return;  // an entry that vanished on its own is no failure
        }
        ++failures_;
        if (firstError_ == 0) {
            firstError_ = error;
        }
    }

    // Removes every non-folder entry at once, by the type the listing reports (no status call),
    // and queues the sub-folders.
    void list(FolderChain::Folder& folder, Level& level) {
        const int fd = folder.descriptor.get();
        if (level.listings > 0 && ::lseek(fd, 0, SEEK_SET) != 0) {
            note(errno);
            level.listings = kMaxListings;
            return;
        }
        ++level.listings;
        level.changedSinceListing = false;
        note(forEachListedEntry(fd, buffer_, [&](const char* name, unsigned char type) {
            if (type != DT_DIR && ::unlinkat(fd, name, 0) == 0) {
                level.changedSinceListing = true;
            } else if (type == DT_DIR || errno == EISDIR) {  // EISDIR: the listing gave no type
                folder.addPending(name);
            } else {
                note(errno);
            }
            return true;
        }));
    }

    void descend(const std::string& name) {
        const int error = chain_.enter(name, beforeDescent_);
        if (error == 0) {
            levels_.push_back(Level{0, false, failures_});
            return;
        }
        const int fd = chain_.current().descriptor.get();
        if (error != ENOTDIR && error != ELOOP) {
            note(error);
        } else if (::unlinkat(fd, name.c_str(), 0) == 0) {
            // No folder any more (a link, perhaps): removed as what it is now.
            levels_.back().changedSinceListing = true;
        } else {
            note(errno);
        }
    }

    void ascend() {
        const std::string name = chain_.current().name;
        const bool leavingTop = chain_.depth() == 1;
        levels_.pop_back();
        if (const int error = chain_.leave(); error != 0) {
            note(error);
            return;
        }
        if (leavingTop) {
            return;
        }
        if (::unlinkat(chain_.current().descriptor.get(), name.c_str(), AT_REMOVEDIR) == 0) {
            levels_.back().changedSinceListing = true;
        } else {
            note(errno);
        }
    }

    const BeforeDescent& beforeDescent_;
    FolderChain chain_;
    std::vector<Level> levels_;
    const ListingBuffer buffer_;
    std::size_t failures_ = 0;
    int firstError_ = 0;
};

}  // namespace

int emptyFolder(FileDescriptor folder, const BeforeDescent& beforeDescent) {
    return TreeRemoval(beforeDescent).empty(std::move(folder));
}

}  // namespace quillo::platform
