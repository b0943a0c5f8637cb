#include <fcntl.h>
#include <sys/stat.h>

#include <optional>
#include <string>

#include "platform/DirectoryListing.h"
#include "platform/FolderChain.h"
#include "platform/PathText.h"
#include "platform/SafeFileOperations.h"

namespace quillo::platform {

namespace {

// The entry's type from the listing, or from a status call where the file system gives none.
unsigned char entryType(int folderFd, const char* name, unsigned char listedType) {
    if (listedType != DT_UNKNOWN) {
        return listedType;
    }
    struct stat status {};
    if (::fstatat(folderFd, name, &status, AT_SYMLINK_NOFOLLOW) != 0) {
        return DT_UNKNOWN;
    }
    if (S_ISREG(status.st_mode)) {
        return DT_REG;
    }
    return S_ISDIR(status.st_mode) ? DT_DIR : DT_UNKNOWN;
}

// Adds the folder's regular files to `files` (`folderPath` ends in "/") and queues its
// sub-folders.
void list(FolderChain::Folder& folder, const std::string& folderPath, const ListingBuffer& buffer,
          std::vector<std::filesystem::path>& files) {
    folder.listed = true;
    const int fd = folder.descriptor.get();
    forEachListedEntry(fd, buffer, [&](const char* name, unsigned char listedType) {
        if (name[0] == '.') {
            return true;  // hidden
        }
        const unsigned char type = entryType(fd, name, listedType);
        if (type == DT_REG) {
            files.emplace_back(folderPath + name);
        } else if (type == DT_DIR) {
            folder.addPending(name);
        }
        return true;
    });
}

}  // namespace

std::vector<std::filesystem::path> regularFilesBelow(const std::filesystem::path& directory) {
    std::vector<std::filesystem::path> files;
    std::string folderPath = withoutTrailingSlashes(directory.native());
    FolderChain chain;
    if (endsInDotComponent(folderPath) || chain.openRoot(folderPath, std::nullopt) != 0) {
        return files;
    }
    if (folderPath.back() != '/') {
        folderPath.push_back('/');
    }
    // The length of `folderPath` for each folder of the chain.
    std::vector<std::size_t> pathLengths{folderPath.size()};
    const ListingBuffer buffer;
    while (!chain.empty()) {
        FolderChain::Folder& folder = chain.current();
        folderPath.resize(pathLengths.back());
        if (!folder.listed) {
            list(folder, folderPath, buffer, files);
        } else if (folder.hasPending()) {
            std::string name = folder.takePending();
            folderPath += name;
            folderPath += '/';
            if (chain.enter(std::move(name), {}) == 0) {
                pathLengths.push_back(folderPath.size());
            }
        } else {
            chain.leave();
            pathLengths.pop_back();
        }
    }
    return files;
}

}  // namespace quillo::platform
