#pragma once

#include <sys/types.h>

namespace quillo::platform {

/// Asks the system to start writing the dirty pages of the open file `fd` between `offset` and
/// `offset + length` to the device, without waiting for them, so that a later sync has less
/// left to wait for. Does nothing where the system has no such request; errors change nothing.
void startWriteback(int fd, off_t offset, off_t length);

/// Starts the device writes behind a sequence of writes to one file each time another
/// `kStep` bytes were written, so that the writes to the device overlap the writing.
class WritebackPacer final {
  public:
    static constexpr off_t kStep = off_t{32} << 20;

    explicit WritebackPacer(int fd) : fd_(fd) {}

    /// Bytes up to `end` were written.
    void wroteUpTo(off_t end) {
        if (end - started_ >= kStep) {
            startWriteback(fd_, started_, end - started_);
            started_ = end;
        }
    }

  private:
    int fd_;
    off_t started_ = 0;
};

}  // namespace quillo::platform
