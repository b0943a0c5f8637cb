#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <pthread.h>
#include <sys/stat.h>

#include <cerrno>
#include <functional>
#include <string>

#include "platform/DeletionScope.h"
#include "platform/SafeFileOperations.h"
#include "support/OpenedItems.h"
#include "support/TemporaryDirectory.h"
#include "support/TreeBuilders.h"

namespace quillo::platform {
namespace {

using ::quillo::testing::makeFile;
using ::quillo::testing::makeSymlink;
using ::quillo::testing::removeBelow;
using ::testing::HasSubstr;
using ::testing::Not;
namespace fs = std::filesystem;

int errorCode(const support::Status& status) {
    if (status.ok()) {
        return 0;
    }
    const auto* detail = status.error().as<FileOperationError>();
    return detail == nullptr ? -1 : detail->code();
}

// Runs `work` on a thread with a small stack, which a removal recursing per level would overflow.
void runOnSmallStack(const std::function<void()>& work) {
    constexpr std::size_t kStackSize = std::size_t{512} * 1024;
    pthread_attr_t attributes;
    ASSERT_EQ(::pthread_attr_init(&attributes), 0);
    ASSERT_EQ(::pthread_attr_setstacksize(&attributes, kStackSize), 0);
    pthread_t thread;
    auto* const argument = const_cast<std::function<void()>*>(&work);
    ASSERT_EQ(::pthread_create(
                  &thread, &attributes,
                  [](void* context) -> void* {
                      (*static_cast<std::function<void()>*>(context))();
                      return nullptr;
                  },
                  argument),
              0);
    ::pthread_join(thread, nullptr);
    ::pthread_attr_destroy(&attributes);
}

class TreeRemovalTest : public ::testing::Test {
  protected:
    void SetUp() override { makeFile(outside / "precious", 10); }

    void expectOutsideIntact() const {
        EXPECT_TRUE(fs::exists(outside / "precious"));
        EXPECT_EQ(fs::file_size(outside / "precious"), 10U);
    }

    testing::TemporaryDirectory temp;
    fs::path item = temp / "item";
    fs::path outside = temp / "outside";
};

TEST_F(TreeRemovalTest, RemovesAFile) {
    makeFile(item, 5);
    EXPECT_TRUE(removeBelow(temp.path(), item).ok());
    EXPECT_FALSE(fs::exists(fs::symlink_status(item)));
}

TEST_F(TreeRemovalTest, RemovesLinksNeverTheirTargets) {
    makeSymlink(outside / "precious", temp / "file-link");
    makeSymlink(outside, temp / "folder-link");
    makeSymlink(temp / "absent", temp / "dangling");
    for (const std::string_view link : {"file-link", "folder-link/", "dangling"}) {
        SCOPED_TRACE(link);
        EXPECT_TRUE(removeBelow(temp.path(), temp.path().string() + "/" + std::string(link)).ok());
    }
    EXPECT_FALSE(fs::exists(fs::symlink_status(temp / "file-link")));
    EXPECT_FALSE(fs::exists(fs::symlink_status(temp / "folder-link")));
    EXPECT_FALSE(fs::exists(fs::symlink_status(temp / "dangling")));
    expectOutsideIntact();
}

TEST_F(TreeRemovalTest, RemovesAWholeTreeButNothingItLinksTo) {
    makeFile(item / "a", 1);
    makeFile(item / ".hidden", 1);
    makeFile(item / "sub" / "b", 70'000);
    makeFile(item / "sub" / ".hidden-folder" / "c", 1);
    fs::create_directories(item / "empty" / "empty");
    ASSERT_EQ(::mkfifo((item / "sub" / "fifo").c_str(), 0644), 0);
    makeSymlink(outside, item / "sub" / "to-outside");
    makeSymlink(outside / "precious", item / "to-precious");
    testing::makeSymlinkLoop(item / "loops");
    testing::makeWeirdNames(item / "weird", 1);
    EXPECT_TRUE(removeBelow(temp.path(), item.string() + "/").ok());
    EXPECT_FALSE(fs::exists(fs::symlink_status(item)));
    expectOutsideIntact();
}

TEST_F(TreeRemovalTest, RemovesLargeFolders) {
    for (int index = 0; index < 5000; ++index) {
        makeFile(item / ("file-" + std::to_string(index)), 0);
    }
    EXPECT_TRUE(removeBelow(temp.path(), item).ok());
    EXPECT_FALSE(fs::exists(item));
}

TEST_F(TreeRemovalTest, RemovesDeepTreesWithoutRecursion) {
    testing::makeDeepTree(item, 5000, 100);
    support::Status status = support::Unit{};
    runOnSmallStack([&] { status = removeBelow(temp.path(), item); });
    EXPECT_TRUE(status.ok()) << (status.ok() ? "" : status.error().description());
    EXPECT_FALSE(fs::exists(item));
}

TEST_F(TreeRemovalTest, FolderSwappedForALinkDuringTheWalkIsRemovedAsALink) {
    makeFile(item / "a" / "b" / "file", 1);
    makeFile(item / "z", 1);
    const auto swap = [&](std::string_view name) {
        if (name == "a") {
            fs::rename(item / "a", temp / "moved-away");
            makeSymlink(outside, item / "a");
        }
    };
    EXPECT_TRUE(removeBelow(temp.path(), item, swap).ok());
    EXPECT_FALSE(fs::exists(fs::symlink_status(item)));
    expectOutsideIntact();
    EXPECT_TRUE(fs::exists(temp / "moved-away" / "b" / "file")) << "moved out of the item";
}

TEST_F(TreeRemovalTest, FolderReplacedByAnotherDuringTheWalkIsNotEntered) {
    makeFile(item / "a" / "file", 1);
    const auto replace = [&](std::string_view name) {
        if (name == "a") {
            fs::rename(item / "a", temp / "moved-away");
            makeFile(item / "a" / "new", 1);
        }
    };
    const support::Status status = removeBelow(temp.path(), item, replace);
    EXPECT_EQ(errorCode(status), EAGAIN);
    EXPECT_TRUE(fs::exists(temp / "moved-away" / "file"));
    expectOutsideIntact();
}

TEST_F(TreeRemovalTest, AncestorMovedOutDuringADeepWalkStopsTheClimb) {
    // Deep enough that the upper folders' descriptors are closed and reopened through "..".
    testing::makeDeepTree(item, 60, 1);
    int descents = 0;
    const auto moveAncestor = [&](std::string_view) {
        if (++descents == 50) {
            fs::rename(item / "d" / "d", outside / "moved");
        }
    };
    const support::Status status = removeBelow(temp.path(), item, moveAncestor);
    EXPECT_EQ(errorCode(status), ESTALE);
    EXPECT_TRUE(fs::is_directory(outside / "moved")) << "the climb went on outside the item";
    expectOutsideIntact();
}

TEST_F(TreeRemovalTest, FailureNamesThePlatformReasonButNeverThePath) {
    makeFile(item / "other", 1);
    makeFile(item / "locked" / "kept", 1);
    testing::makeReadableByAll(temp.path());
    ASSERT_EQ(::chmod(item.c_str(), 0777), 0);
    ASSERT_EQ(::chmod((item / "locked").c_str(), 0555), 0);
    const std::string expected = FileOperationError::reasonFor(EACCES);
    const auto code = testing::runUnprivileged([&]() -> std::int64_t {
        const support::Status status = removeBelow(temp.path(), item);
        if (!status.ok() && status.error().description() != expected) {
            return -1;
        }
        return errorCode(status);
    });
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, EACCES);
    EXPECT_FALSE(fs::exists(item / "other")) << "what can be removed is removed";
    EXPECT_TRUE(fs::exists(item / "locked" / "kept"));
}

TEST_F(TreeRemovalTest, MissingPathFailsWithThePlatformReason) {
    const support::Status status = removeBelow(temp.path(), item);
    EXPECT_EQ(errorCode(status), ENOENT);
    EXPECT_EQ(status.error().description(), FileOperationError::reasonFor(ENOENT));
    EXPECT_THAT(status.error().description(), Not(HasSubstr(item.string())));
}

TEST_F(TreeRemovalTest, DotComponentsAtTheEndAreRefused) {
    makeFile(item / "sub" / "file", 1);
    for (const fs::path& path : {item / "sub" / ".", item / "sub" / "..", fs::path()}) {
        const support::Status status = removeBelow(temp.path(), path);
        ASSERT_FALSE(status.ok());
        EXPECT_NE(status.error().as<RefusedPathError>(), nullptr) << path;
    }
    EXPECT_TRUE(fs::exists(item / "sub" / "file"));
}

}  // namespace
}  // namespace quillo::platform
