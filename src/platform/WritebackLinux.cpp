#include <fcntl.h>

#include "platform/Writeback.h"

namespace quillo::platform {

void startWriteback(int fd, off_t offset, off_t length) {
    (void)::sync_file_range(fd, offset, length, SYNC_FILE_RANGE_WRITE);
}

}  // namespace quillo::platform
