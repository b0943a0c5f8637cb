#include "platform/ItemIdentity.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <string>

#include "platform/FileDescriptor.h"
#include "platform/PathText.h"

namespace quillo::platform {

namespace {

constexpr int kFolderStepFlags = O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

std::optional<struct stat> statusOf(int folderFd, const char* name) {
    struct stat status {};
    if (::fstatat(folderFd, name, &status, AT_SYMLINK_NOFOLLOW | AT_EMPTY_PATH) != 0) {
        return std::nullopt;
    }
    return status;
}

}  // namespace

std::optional<ItemIdentity> identityBelow(const std::filesystem::path& root,
                                          const std::filesystem::path& item) {
    const auto below = componentsBelow(root.native(), item.native());
    if (!below) {
        return std::nullopt;
    }
    FileDescriptor folder(::open(withoutTrailingSlashes(root.native()).c_str(), kFolderStepFlags));
    const auto rootStatus = folder.valid() ? statusOf(folder.get(), "") : std::nullopt;
    if (!rootStatus) {
        return std::nullopt;
    }
    for (std::size_t index = 0; index + 1 < below->size(); ++index) {
        FileDescriptor next(
            ::openat(folder.get(), std::string((*below)[index]).c_str(), kFolderStepFlags));
        const auto status = next.valid() ? statusOf(next.get(), "") : std::nullopt;
        if (!status || status->st_dev != rootStatus->st_dev) {
            return std::nullopt;
        }
        folder = std::move(next);
    }
    const auto status = statusOf(folder.get(), std::string(below->back()).c_str());
    if (!status || status->st_dev != rootStatus->st_dev) {
        return std::nullopt;
    }
    return ItemIdentity{
        .file = {static_cast<std::uint64_t>(status->st_dev),
                 static_cast<std::uint64_t>(status->st_ino)},
        .type = static_cast<std::uint32_t>(status->st_mode & S_IFMT),
        .changeSeconds = status->st_ctim.tv_sec,
        .changeNanoseconds = status->st_ctim.tv_nsec,
    };
}

}  // namespace quillo::platform
