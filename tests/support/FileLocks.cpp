#include "support/FileLocks.h"

#include <fcntl.h>
#include <gtest/gtest.h>

namespace quillo::testing {

platform::FileDescriptor holdLock(const std::filesystem::path& path, int operation) {
    platform::FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    EXPECT_TRUE(file.valid()) << path;
    EXPECT_EQ(::flock(file.get(), operation | LOCK_NB), 0) << path;
    return file;
}

}  // namespace quillo::testing
