#pragma once

#include <sys/types.h>

#include <cstddef>
#include <optional>

namespace quillo::platform {

/// A stretch of a file to write: `length` bytes at `offset`.
struct FileChunk {
    off_t offset = 0;
    std::size_t length = 0;
};

/// The chunks, in file order, that cover the data extents of the open file `fd` up to `size`,
/// each at most `chunkSize` bytes, so that writing them never fills a hole. A file system that
/// cannot tell holes reports the whole file as data. Moves the descriptor's file offset.
class DataChunks final {
  public:
    DataChunks(int fd, off_t size, std::size_t chunkSize);

    /// The next chunk, or nothing after the last.
    std::optional<FileChunk> next();

  private:
    int fd_;
    off_t size_;
    std::size_t chunkSize_;
    off_t offset_ = 0;
    off_t extentEnd_ = 0;
};

}  // namespace quillo::platform
