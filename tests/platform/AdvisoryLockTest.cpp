#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/AdvisoryLock.h"
#include "platform/FileDescriptor.h"
#include "support/FileLocks.h"
#include "support/TemporaryDirectory.h"
#include "support/TreeBuilders.h"

namespace quillo::platform {
namespace {

using testing::TemporaryDirectory;

bool canLockExclusively(const std::filesystem::path& path) {
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    return file.valid() && ::flock(file.get(), LOCK_EX | LOCK_NB) == 0;
}

class AdvisoryLockTest : public ::testing::Test {
  protected:
    TemporaryDirectory folder;
    std::filesystem::path file = folder / "session.lock";

    void SetUp() override { testing::makeFile(file, 100); }
};

TEST_F(AdvisoryLockTest, AFileNobodyLocksIsFreeAndStaysFree) {
    EXPECT_FALSE(isLockedByAnotherHolder(file));
    // The lock the check took is gone again.
    EXPECT_TRUE(canLockExclusively(file));
}

TEST_F(AdvisoryLockTest, ExclusiveAndSharedLocksOfAnotherHolderBothCount) {
    for (const int operation : {LOCK_EX, LOCK_SH}) {
        auto holder = testing::holdLock(file, operation);
        EXPECT_TRUE(isLockedByAnotherHolder(file)) << operation;
        holder.reset();
        EXPECT_FALSE(isLockedByAnotherHolder(file)) << operation;
    }
}

TEST_F(AdvisoryLockTest, TheCheckLeavesTheHoldersLockInPlace) {
    const auto holder = testing::holdLock(file, LOCK_SH);
    ASSERT_TRUE(isLockedByAnotherHolder(file));
    EXPECT_FALSE(canLockExclusively(file));
}

TEST_F(AdvisoryLockTest, WhatIsNoRegularFileIsNeverLocked) {
    EXPECT_FALSE(isLockedByAnotherHolder(folder / "missing"));

    // A locked folder is still no file in use.
    const FileDescriptor lockedFolder(::open(folder.path().c_str(), O_RDONLY | O_DIRECTORY));
    ASSERT_TRUE(lockedFolder.valid());
    ASSERT_EQ(::flock(lockedFolder.get(), LOCK_EX | LOCK_NB), 0);
    EXPECT_FALSE(isLockedByAnotherHolder(folder.path()));

    // A link is not followed to the locked file behind it.
    const auto holder = testing::holdLock(file, LOCK_EX);
    testing::makeSymlink(file, folder / "link");
    EXPECT_FALSE(isLockedByAnotherHolder(folder / "link"));

    // Opening a pipe for reading would wait for a writer; it is not opened at all.
    const auto pipe = folder / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_FALSE(isLockedByAnotherHolder(pipe));
}

TEST_F(AdvisoryLockTest, AFileThatCannotBeOpenedCountsAsFree) {
    const auto holder = testing::holdLock(file, LOCK_EX);
    testing::makeReadableByAll(folder.path());
    const auto lockedSeenBy = [&](std::filesystem::perms permissions) {
        std::filesystem::permissions(file, permissions);
        return testing::runUnprivileged(
            [&] { return std::int64_t{isLockedByAnotherHolder(file)}; });
    };
    // Readable, the lock is seen: the unprivileged check reaches the file at all.
    EXPECT_EQ(
        lockedSeenBy(std::filesystem::perms::owner_read | std::filesystem::perms::others_read), 1);
    EXPECT_EQ(lockedSeenBy(std::filesystem::perms::none), 0);
}

}  // namespace
}  // namespace quillo::platform
