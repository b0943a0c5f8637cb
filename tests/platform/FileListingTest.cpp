#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/SafeFileOperations.h"
#include "support/TemporaryDirectory.h"
#include "support/TreeBuilders.h"

namespace quillo::platform {
namespace {

using ::quillo::testing::makeFile;
using ::quillo::testing::makeSymlink;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;
namespace fs = std::filesystem;

class FileListingTest : public ::testing::Test {
  protected:
    testing::TemporaryDirectory temp;
    fs::path item = temp / "item";
};

TEST_F(FileListingTest, ListsEveryVisibleRegularFileBelow) {
    makeFile(item / "a", 1);
    makeFile(item / "sub" / "b", 0);
    makeFile(item / "sub" / "deeper" / "c", 3);
    makeFile(item / ".hidden", 1);
    makeFile(item / ".hidden-folder" / "d", 1);
    makeFile(item / "sub" / ".e", 1);
    ASSERT_EQ(::mkfifo((item / "fifo").c_str(), 0644), 0);
    EXPECT_THAT(regularFilesBelow(item), UnorderedElementsAre(item / "a", item / "sub" / "b",
                                                              item / "sub" / "deeper" / "c"));
    EXPECT_THAT(
        regularFilesBelow(item.string() + "//"),
        UnorderedElementsAre(item / "a", item / "sub" / "b", item / "sub" / "deeper" / "c"));
}

TEST_F(FileListingTest, NeverFollowsLinks) {
    makeFile(temp / "outside" / "secret", 1);
    makeFile(item / "own", 1);
    makeSymlink(temp / "outside", item / "folder-link");
    makeSymlink(temp / "outside" / "secret", item / "file-link");
    testing::makeSymlinkLoop(item);
    makeSymlink(item, temp / "item-link");
    EXPECT_THAT(regularFilesBelow(item), UnorderedElementsAre(item / "own"));
    EXPECT_THAT(regularFilesBelow(temp / "item-link"), IsEmpty());
    EXPECT_THAT(regularFilesBelow(temp / "item-link/"), IsEmpty());
}

TEST_F(FileListingTest, NothingToListIsEmpty) {
    makeFile(temp / "file", 1);
    EXPECT_THAT(regularFilesBelow(temp / "absent"), IsEmpty());
    EXPECT_THAT(regularFilesBelow(temp / "file"), IsEmpty());
    makeFile(item / "sub" / "x", 1);
    EXPECT_THAT(regularFilesBelow(item / "sub" / ".."), IsEmpty());
}

TEST_F(FileListingTest, SkipsFoldersThatCannotBeRead) {
    makeFile(item / "open" / "a", 1);
    makeFile(item / "locked" / "b", 1);
    testing::makeReadableByAll(temp.path());
    testing::makeReadableByAll(item);
    testing::makeReadableByAll(item / "open");
    testing::makeInaccessible(item / "locked");
    const auto count = testing::runUnprivileged(
        [&] { return static_cast<std::int64_t>(regularFilesBelow(item).size()); });
    ASSERT_TRUE(count.has_value());
    EXPECT_EQ(*count, 1);
}

TEST_F(FileListingTest, ListsDeepTreesWholly) {
    testing::makeDeepTree(temp / "deep", 5000, 1);
    const auto files = regularFilesBelow(temp / "deep");
    ASSERT_EQ(files.size(), 1U);
    EXPECT_EQ(files.front().filename(), "leaf");
    testing::removeDeepTree(temp / "deep");
}

TEST(PathKindTest, LooksAtThePathItself) {
    const testing::TemporaryDirectory temp;
    makeFile(temp / "file", 1);
    fs::create_directory(temp / "folder");
    makeSymlink(temp / "folder", temp / "folder-link");
    makeSymlink(temp / "absent", temp / "dangling");
    ASSERT_EQ(::mkfifo((temp / "fifo").c_str(), 0644), 0);
    EXPECT_EQ(pathKind(temp / "file"), PathKind::regularFile);
    EXPECT_EQ(pathKind(temp / "folder"), PathKind::directory);
    EXPECT_EQ(pathKind(temp / "folder/"), PathKind::directory);
    EXPECT_EQ(pathKind(temp / "folder-link"), PathKind::other);
    EXPECT_EQ(pathKind(temp / "folder-link/"), PathKind::other);
    EXPECT_EQ(pathKind(temp / "dangling"), PathKind::other);
    EXPECT_EQ(pathKind(temp / "fifo"), PathKind::other);
    EXPECT_EQ(pathKind(temp / "absent"), PathKind::missing);
    EXPECT_EQ(pathKind(temp / "file" / "below"), PathKind::missing);
}

TEST(PathExistsTest, OnlyAKnownAbsenceIsFalse) {
    const testing::TemporaryDirectory temp;
    makeFile(temp / "file", 1);
    makeSymlink(temp / "absent", temp / "dangling");
    EXPECT_TRUE(pathExists(temp / "file"));
    EXPECT_TRUE(pathExists(temp / "dangling"));
    EXPECT_TRUE(pathExists(temp / "dangling/"));
    EXPECT_FALSE(pathExists(temp / "absent"));
    EXPECT_FALSE(pathExists(temp / "file" / "below"));

    makeFile(temp / "locked" / "inside", 1);
    testing::makeReadableByAll(temp.path());
    testing::makeInaccessible(temp / "locked");
    const auto seen = testing::runUnprivileged(
        [&] { return static_cast<std::int64_t>(pathExists(temp / "locked" / "inside")); });
    ASSERT_TRUE(seen.has_value());
    EXPECT_EQ(*seen, 1) << "a path that cannot be examined may still be there";
}

}  // namespace
}  // namespace quillo::platform
