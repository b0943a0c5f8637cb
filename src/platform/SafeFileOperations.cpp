#include "platform/SafeFileOperations.h"

#include <cstring>

namespace quillo::platform {

FileOperationError::FileOperationError(int code) : code_(code), reason_(reasonFor(code)) {}

std::string FileOperationError::reasonFor(int code) {
    // strerror itself may share one buffer between threads.
    char buffer[256];
    return ::strerror_r(code, buffer, sizeof buffer);
}

}  // namespace quillo::platform
