#include "platform/DataChunks.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace quillo::platform {

DataChunks::DataChunks(int fd, off_t size, std::size_t chunkSize)
    : fd_(fd), size_(size), chunkSize_(chunkSize) {}

std::optional<FileChunk> DataChunks::next() {
    if (offset_ >= extentEnd_) {
        if (offset_ >= size_) {
            return std::nullopt;
        }
        const off_t start = ::lseek(fd_, offset_, SEEK_DATA);
        if (start < 0 && errno == ENXIO) {
            return std::nullopt;  // only a hole is left
        }
        offset_ = start < 0 ? offset_ : start;
        if (offset_ >= size_) {
            return std::nullopt;
        }
        const off_t end = start < 0 ? -1 : ::lseek(fd_, offset_, SEEK_HOLE);
        extentEnd_ = end < 0 ? size_ : std::min(end, size_);
        if (extentEnd_ <= offset_) {
            return std::nullopt;
        }
    }
    const FileChunk chunk{.offset = offset_,
                          .length = static_cast<std::size_t>(
                              std::min(extentEnd_ - offset_, static_cast<off_t>(chunkSize_)))};
    offset_ += static_cast<off_t>(chunk.length);
    return chunk;
}

}  // namespace quillo::platform
