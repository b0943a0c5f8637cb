#include "platform/FolderChain.h"

#include <fcntl.h>

#include <algorithm>
#include <cerrno>

namespace quillo::platform {

namespace {

constexpr int kFolderOpenFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// Enough for every ordinary tree; deeper chains reopen their upper folders on the way back.
constexpr std::size_t kMaxOpenDescriptors = 32;

}  // namespace

void FolderChain::Folder::addPending(std::string_view folderName) {
    pendingFolders_.append(folderName);
    pendingFolders_.push_back('\0');
}

std::string FolderChain::Folder::takePending() {
    std::string folderName(pendingFolders_.c_str() + nextPending_);
    nextPending_ += folderName.size() + 1;
    if (nextPending_ == pendingFolders_.size()) {
        pendingFolders_.clear();
        nextPending_ = 0;
    }
    return folderName;
}

int FolderChain::openRoot(const std::string& root, const std::optional<FileIdentity>& expected) {
    FileDescriptor descriptor(::open(root.c_str(), kFolderOpenFlags));
    if (!descriptor.valid()) {
        return errno;
    }
    if (expected && identityOf(descriptor.get()) != expected) {
        return EAGAIN;
    }
    return adoptRoot(std::move(descriptor));
}

int FolderChain::adoptRoot(FileDescriptor root) {
    const std::optional<FileStatus> status = readDescriptorStatus(root.get());
    if (!status) {
        return errno;
    }
    folders_.clear();
    Folder& folder = folders_.emplace_back();
    folder.descriptor = std::move(root);
    folder.identity = status->identity;
    rootStatus_ = *status;
    openDescriptors_ = 1;
    shallowestOpen_ = 1;
    return 0;
}

bool FolderChain::isOnRootMount(const FileStatus& status) const {
    return isOnMountOf(status, rootStatus_);
}

int FolderChain::enter(std::string name, const BeforeDescent& beforeDescent) {
    const int parentFd = folders_.back().descriptor.get();
    const std::optional<FileStatus> examined = readFileStatus(parentFd, name.c_str());
    if (!examined) {
        return errno;
    }
    if (!examined->isDirectory.value_or(false)) {
        return ENOTDIR;
    }
    if (!isOnRootMount(*examined)) {
        return EXDEV;
    }
    if (beforeDescent) {
        beforeDescent(name);
    }
    FileDescriptor descriptor(::openat(parentFd, name.c_str(), kFolderOpenFlags));
    if (!descriptor.valid()) {
        return errno;
    }
    const std::optional<FileIdentity> opened = identityOf(descriptor.get());
    if (!opened) {
        return errno;
    }
    if (*opened != examined->identity) {
        return EAGAIN;
    }
    Folder& folder = folders_.emplace_back();
    folder.descriptor = std::move(descriptor);
    folder.identity = *opened;
    folder.name = std::move(name);
    ++openDescriptors_;
    limitOpenDescriptors();
    return 0;
}

int FolderChain::leave() {
    const std::size_t index = folders_.size() - 1;
    if (index > 0 && !folders_[index - 1].descriptor.valid()) {
        Folder& parent = folders_[index - 1];
        FileDescriptor reopened(::openat(folders_[index].descriptor.get(), "..", kFolderOpenFlags));
        const int openError = errno;
        if (!reopened.valid() || identityOf(reopened.get()) != parent.identity) {
            // The folder was moved while we were below it: where ".." leads now is not ours.
            folders_.clear();
            openDescriptors_ = 0;
            return reopened.valid() ? ESTALE : openError;
        }
        parent.descriptor = std::move(reopened);
        ++openDescriptors_;
        shallowestOpen_ = std::min(shallowestOpen_, index - 1);
    }
    folders_.pop_back();
    --openDescriptors_;
    return 0;
}

void FolderChain::limitOpenDescriptors() {
    while (openDescriptors_ > kMaxOpenDescriptors) {
        while (!folders_[shallowestOpen_].descriptor.valid()) {
            ++shallowestOpen_;
        }
        folders_[shallowestOpen_].descriptor.reset();
        --openDescriptors_;
    }
}

}  // namespace quillo::platform
