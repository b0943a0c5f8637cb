#include "platform/DirectoryWalker.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "platform/DirectoryListing.h"
#include "platform/FileDescriptor.h"
#include "platform/FileStatus.h"

namespace quillo::platform {

namespace {

// Folders below the root that keep their descriptor; deeper trees reopen ancestors on the way up.
constexpr std::size_t kMaxOpenFolders = 48;

constexpr int kFolderOpenFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

FileDescriptor openFolder(int parentFd, const char* name) {
    return FileDescriptor(::openat(parentFd, name, kFolderOpenFlags));
}

bool isHidden(std::string_view name) {
    return name.empty() || name.front() == '.';
}

// Calls `visit(name, type)` for each non-hidden entry of the folder open as `fd` until it
// returns false.
template <class Visit>
void readListing(int fd, const ListingBuffer& buffer, Visit&& visit) {
    forEachListedEntry(fd, buffer, [&](const char* name, unsigned char type) {
        return isHidden(name) || visit(name, type);
    });
}

// A folder on the path from the root to the folder being walked.
struct Frame {
    FileDescriptor descriptor;
    // Recorded when the descriptor is closed, to check that a reopened folder is the same one.
    std::optional<FileIdentity> identity;
    // Names of the sub-folders still to enter, each ending in NUL, in listing order.
    std::string pendingFolders;
    std::size_t nextPending = 0;
    // This folder's own name is `path[nameOffset, pathLength)` of the walk's current path.
    std::size_t nameOffset = 0;
    std::size_t pathLength = 0;

    [[nodiscard]] bool hasPending() const { return nextPending < pendingFolders.size(); }
    void abandon() { nextPending = pendingFolders.size(); }
};

class Walk final {
  public:
    Walk(const WalkOptions& options, const support::CancellationToken& token,
         const WalkVisitor& visit)
        : options_(options), token_(token), visit_(visit) {}

    bool run(const std::filesystem::path& root) {
        FileDescriptor rootDescriptor(::open(root.c_str(), kFolderOpenFlags));
        if (!rootDescriptor.valid()) {
            return false;
        }
        const std::optional<FileStatus> rootStatus = readDescriptorStatus(rootDescriptor.get());
        if (!rootStatus) {
            return false;
        }
        rootStatus_ = *rootStatus;
        stack_.emplace_back().descriptor = std::move(rootDescriptor);
        listTop();
        while (!stack_.empty() && !stopped_) {
            if (stack_.back().hasPending()) {
                enterNextPending();
            } else {
                leaveTop();
            }
        }
        return true;
    }

  private:
    void enterNextPending() {
        Frame& parent = stack_.back();
        const char* name = parent.pendingFolders.c_str() + parent.nextPending;
        parent.nextPending += std::char_traits<char>::length(name) + 1;
        FileDescriptor child = openFolder(parent.descriptor.get(), name);
        if (!child.valid() || !isOnRootMount(child)) {
            return;  // unreadable, gone since it was listed, or another mount (bind mounts too)
        }
        path_.resize(parent.pathLength);
        if (!path_.empty()) {
            path_ += '/';
        }
        Frame frame;
        frame.nameOffset = path_.size();
        path_ += name;
        frame.pathLength = path_.size();
        frame.descriptor = std::move(child);
        stack_.push_back(std::move(frame));
        ++openFolders_;
        shallowestOpen_ = std::min(shallowestOpen_, stack_.size() - 1);
        limitOpenFolders();
        listTop();
    }

    void leaveTop() {
        const std::size_t index = stack_.size() - 1;
        if (index > 0 && !stack_[index - 1].descriptor.valid()) {
            reopen(index - 1, stack_[index].descriptor.get());
        }
        if (index > 0 && stack_[index].descriptor.valid()) {
            --openFolders_;
        }
        stack_.pop_back();
        if (!stack_.empty()) {
            path_.resize(stack_.back().pathLength);
        }
    }

    void limitOpenFolders() {
        while (openFolders_ > kMaxOpenFolders) {
            while (!stack_[shallowestOpen_].descriptor.valid()) {
                ++shallowestOpen_;
            }
            Frame& frame = stack_[shallowestOpen_];
            frame.identity = identityOf(frame.descriptor.get());
            frame.descriptor.reset();
            --openFolders_;
        }
    }

    // Reopens the closed folder at `index` on the way back up: through ".." of its child when
    // that is still the same folder, else by its names from the nearest open ancestor. A folder
    // that was moved or removed meanwhile is given up.
    void reopen(std::size_t index, int childFd) {
        Frame& frame = stack_[index];
        FileDescriptor reopened;
        if (childFd >= 0) {
            reopened = openFolder(childFd, "..");
        }
        if (!isFolder(reopened, frame)) {
            reopened = reopenByNames(index);
        }
        if (!isFolder(reopened, frame)) {
            frame.abandon();
            return;
        }
        frame.descriptor = std::move(reopened);
        ++openFolders_;
        shallowestOpen_ = std::min(shallowestOpen_, index);
    }

    FileDescriptor reopenByNames(std::size_t index) {
        std::size_t ancestor = index;
        while (!stack_[ancestor].descriptor.valid()) {
            --ancestor;  // stops at the root, which stays open
        }
        FileDescriptor current;
        int currentFd = stack_[ancestor].descriptor.get();
        for (std::size_t step = ancestor + 1; step <= index; ++step) {
            const Frame& frame = stack_[step];
            const std::string name =
                path_.substr(frame.nameOffset, frame.pathLength - frame.nameOffset);
            FileDescriptor next = openFolder(currentFd, name.c_str());
            if (!isFolder(next, frame)) {
                return {};
            }
            current = std::move(next);
            currentFd = current.get();
        }
        return current;
    }

    [[nodiscard]] bool isOnRootMount(const FileDescriptor& folder) const {
        const std::optional<FileStatus> status = readDescriptorStatus(folder.get());
        return status && isOnMountOf(*status, rootStatus_);
    }

    static bool isFolder(const FileDescriptor& descriptor, const Frame& frame) {
        return descriptor.valid() && frame.identity &&
               identityOf(descriptor.get()) == frame.identity;
    }

    // Visits every entry of the deepest folder and remembers its sub-folders for later.
    void listTop() {
        Frame& frame = stack_.back();
        const int fd = frame.descriptor.get();
        readListing(fd, buffer_, [&](const char* name, unsigned char type) {
            if (token_.isCancelled()) {
                stopped_ = true;
                return false;
            }
            visitListed(frame, fd, name, type);
            return true;
        });
    }

    void visitListed(Frame& frame, int fd, const char* rawName, unsigned char type) {
        const std::string_view name(rawName);
        WalkedEntry entry{name, std::string_view(path_).substr(0, frame.pathLength)};
        entry.isDirectory = type == DT_DIR;
        const bool needsStatus = type == DT_UNKNOWN || (options_.readSizes && type != DT_DIR);
        if (needsStatus) {
            const auto status = readFileStatus(fd, rawName);
            if (!status) {
                return;  // vanished or unreadable
            }
            entry.isDirectory = status->isDirectory.value_or(false);
            if (options_.readSizes && !entry.isDirectory && countsSize(*status)) {
                entry.sizeInBytes = status->preferredSize();
            }
        }
        if (entry.isDirectory) {
            frame.pendingFolders.append(name);
            frame.pendingFolders.push_back('\0');
        }
        visit_(entry);
    }

    bool countsSize(const FileStatus& status) {
        if (!options_.countHardLinksOnce || status.linkCount <= 1) {
            return true;
        }
        return seenLinkedFiles_.insert(status.identity).second;
    }

    const WalkOptions& options_;
    const support::CancellationToken& token_;
    const WalkVisitor& visit_;
    ListingBuffer buffer_;
    std::vector<Frame> stack_;
    FileStatus rootStatus_;
    // The path of the deepest folder relative to the root; ancestors' names are prefixes of it.
    std::string path_;
    std::unordered_set<FileIdentity> seenLinkedFiles_;
    std::size_t openFolders_ = 0;
    // No folder below this index (other than the root) holds an open descriptor.
    std::size_t shallowestOpen_ = 1;
    bool stopped_ = false;
};

}  // namespace

bool walkDirectory(const std::filesystem::path& root, const WalkOptions& options,
                   const support::CancellationToken& token, const WalkVisitor& visit) {
    return Walk(options, token, visit).run(root);
}

bool listDirectory(const std::filesystem::path& folder,
                   const std::function<void(std::string_view name)>& visit) {
    const FileDescriptor descriptor(::open(folder.c_str(), kFolderOpenFlags));
    if (!descriptor.valid()) {
        return false;
    }
    readListing(descriptor.get(), ListingBuffer(), [&](const char* name, unsigned char) {
        visit(name);
        return true;
    });
    return true;
}

}  // namespace quillo::platform
