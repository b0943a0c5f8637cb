#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

#include "modules/FilesystemEnumeration.h"
#include "support/TemporaryDirectory.h"
#include "support/TreeBuilders.h"

namespace quillo {
namespace {

using ::quillo::testing::allocatedSize;
using ::quillo::testing::makeFile;
using ::quillo::testing::TemporaryDirectory;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
namespace fs = std::filesystem;

class FilesystemEnumerationTest : public ::testing::Test {
  protected:
    TemporaryDirectory temp;
};

// makeEntry ------------------------------------------------------------------------------------

TEST_F(FilesystemEnumerationTest, MissingPathsHoldNothingAndAFileHasNoContents) {
    makeFile(temp / "file", 10'000);
    EXPECT_FALSE(makeEntry(temp / "missing").has_value());
    EXPECT_FALSE(makeEntry("").has_value());
    EXPECT_EQ(directorySize(temp / "missing"), 0);
    EXPECT_EQ(directorySize(temp / "file"), 0);
    EXPECT_THAT(sortedChildren(temp / "missing"), IsEmpty());
}

TEST_F(FilesystemEnumerationTest, MakeEntryDescribesAFileByItsAllocatedSizeAndClampsItsTime) {
    const auto file = temp / "report.log";
    makeFile(file, 5000);
    testing::setModificationTime(file, 1'700'000'000, 123'456'789);
    // A time beyond the clock's range is clamped.
    makeFile(temp / "future.txt", 1);
    testing::setModificationTime(temp / "future.txt", 13'569'465'600, 0);  // in the year 2400

    const auto entry = makeEntry(file);
    const auto future = makeEntry(temp / "future.txt");

    ASSERT_TRUE(entry.has_value() && future.has_value());
    EXPECT_EQ(future->lastModified, TimePoint::max());
    EXPECT_EQ(entry->url, file);
    EXPECT_EQ(entry->sizeInBytes, allocatedSize(file));
    EXPECT_GE(entry->sizeInBytes, 5000);
    EXPECT_FALSE(entry->isDirectory);
    EXPECT_EQ(entry->name, "report.log");
    const auto expected =
        TimePoint(std::chrono::seconds(1'700'000'000)) +
        std::chrono::duration_cast<TimePoint::duration>(std::chrono::nanoseconds(123'456'789));
    EXPECT_EQ(entry->lastModified, expected);
}

TEST_F(FilesystemEnumerationTest, MakeEntryOfAFolderTotalsItsContentsAndKeepsTheUrlAsGiven) {
    fs::create_directory(temp / "Empty");
    makeFile(temp / "App" / "a.bin", 10'000);
    makeFile(temp / "App" / "sub" / "b.bin", 70'000);
    const auto withSeparator = fs::path(temp.path().string() + "/App/");

    const auto empty = makeEntry(temp / "Empty");
    const auto entry = makeEntry(withSeparator);

    ASSERT_TRUE(empty.has_value() && entry.has_value());
    EXPECT_TRUE(empty->isDirectory);
    EXPECT_EQ(empty->sizeInBytes, 0);
    EXPECT_TRUE(entry->isDirectory);
    EXPECT_EQ(entry->url, withSeparator);
    EXPECT_EQ(entry->name, "App");
    EXPECT_EQ(entry->sizeInBytes, allocatedSize(temp / "App" / "a.bin") +
                                      allocatedSize(temp / "App" / "sub" / "b.bin"));
}

TEST_F(FilesystemEnumerationTest, MakeEntrySizesSparseFilesAndLinksByWhatTheyOccupy) {
    const auto sparse = temp / "sparse.img";
    testing::makeSparseFile(sparse, std::int64_t{64} * 1024 * 1024);
    makeFile(temp / "outside" / "big.bin", 200'000);
    testing::makeSymlink(temp / "outside", temp / "link");

    const auto sparseEntry = makeEntry(sparse);
    const auto link = makeEntry(temp / "link");

    ASSERT_TRUE(sparseEntry.has_value() && link.has_value());
    EXPECT_EQ(sparseEntry->sizeInBytes, allocatedSize(sparse));
    EXPECT_LT(sparseEntry->sizeInBytes, 1024 * 1024);
    // The link is described as itself, never followed.
    EXPECT_FALSE(link->isDirectory);
    EXPECT_EQ(link->sizeInBytes, allocatedSize(temp / "link"));
    EXPECT_EQ(link->name, "link");
}

TEST_F(FilesystemEnumerationTest, ACancelledWalkStopsAtOnce) {
    makeFile(temp / "App" / "a.bin", 10'000);
    support::CancellationSource source;
    source.cancel();

    const auto entry = makeEntry(temp / "App", source.token());

    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(entry->sizeInBytes, 0);
    EXPECT_EQ(directorySize(temp / "App", source.token()), 0);
    EXPECT_THAT(recursiveContents(temp / "App", source.token()), IsEmpty());
}

// directorySize --------------------------------------------------------------------------------

TEST_F(FilesystemEnumerationTest, DirectorySizeCountsNeitherFoldersNorHiddenEntries) {
    fs::create_directories(temp / "root" / "a" / "b" / "c");
    ASSERT_GT(allocatedSize(temp / "root" / "a"), 0);
    makeFile(temp / "root" / ".DS_Store", 10'000);
    makeFile(temp / "root" / ".hidden" / "inside.bin", 50'000);

    EXPECT_EQ(directorySize(temp / "root"), 0);

    makeFile(temp / "root" / "visible.bin", 3000);
    EXPECT_EQ(directorySize(temp / "root"), allocatedSize(temp / "root" / "visible.bin"));
}

TEST_F(FilesystemEnumerationTest, DirectorySizeCountsAHardLinkedFileOnce) {
    const auto original = temp / "root" / "original.bin";
    makeFile(original, 40'000);
    testing::makeHardLinks(original,
                           {temp / "root" / "second.bin", temp / "root" / "sub" / "third"});
    makeFile(temp / "root" / "single.bin", 1000);

    EXPECT_EQ(directorySize(temp / "root"),
              allocatedSize(original) + allocatedSize(temp / "root" / "single.bin"));
}

TEST_F(FilesystemEnumerationTest, DirectorySizeNeverFollowsLinks) {
    makeFile(temp / "outside" / "big.bin", 300'000);
    makeFile(temp / "root" / "own.bin", 1000);
    testing::makeSymlink(temp / "outside", temp / "root" / "to-outside");
    testing::makeSymlink(temp / "outside" / "big.bin", temp / "root" / "to-file");
    testing::makeSymlinkLoop(temp / "root");

    const auto expected =
        allocatedSize(temp / "root" / "own.bin") + allocatedSize(temp / "root" / "to-outside") +
        allocatedSize(temp / "root" / "to-file") + allocatedSize(temp / "root" / "self") +
        allocatedSize(temp / "root" / "sub" / "up");
    EXPECT_EQ(directorySize(temp / "root"), expected);
}

TEST_F(FilesystemEnumerationTest, DirectorySizeDoesNotWalkARootThatIsALink) {
    makeFile(temp / "real" / "big.bin", 300'000);
    testing::makeSymlink(temp / "real", temp / "alias");

    EXPECT_EQ(directorySize(temp / "alias"), 0);
    EXPECT_THAT(recursiveContents(temp / "alias"), IsEmpty());
    EXPECT_THAT(sortedChildren(temp / "alias"), IsEmpty());
}

TEST_F(FilesystemEnumerationTest, DirectorySizeCountsFilesWithAwkwardNames) {
    const auto names = testing::makeWeirdNames(temp / "root", 2000);
    std::int64_t expected = 0;
    for (const auto& name : names) {
        expected += allocatedSize(temp / "root" / name);
    }

    EXPECT_EQ(directorySize(temp / "root"), expected);
}

TEST_F(FilesystemEnumerationTest, DeepTreesAreWalkedWithoutExhaustingStackOrDescriptors) {
    constexpr std::size_t depth = 5000;
    const auto root = temp / "deep";
    testing::makeDeepTree(root, depth, 3000);

    const auto size = directorySize(root);
    const auto contents = recursiveContents(root);
    testing::removeDeepTree(root);

    EXPECT_GE(size, 3000);
    ASSERT_EQ(contents.size(), depth + 1);
    EXPECT_EQ(contents.back().filename(), "leaf");
    EXPECT_EQ(contents.back().native().size(), root.native().size() + 2 * depth + 5);
}

// Unreadable folders: root would read them anyway, so these run as nobody.

class UnreadableFolderTest : public FilesystemEnumerationTest {
  protected:
    void SetUp() override {
        makeFile(temp / "root" / "ok" / "file.bin", 20'000);
        makeFile(temp / "root" / "locked" / "secret.bin", 90'000);
        testing::makeReadableByAll(temp.path());
        testing::makeReadableByAll(temp / "root");
        testing::makeInaccessible(temp / "root" / "locked");
    }
};

TEST_F(UnreadableFolderTest, TheWalksPassOverItAndDescribeNothingInIt) {
    const auto root = temp / "root";
    const auto locked = root / "locked";
    const auto expectedSize = allocatedSize(root / "ok" / "file.bin");
    const auto held = testing::runUnprivileged([&]() -> std::int64_t {
        return directorySize(root) == expectedSize &&
               recursiveContents(root).size() == 3 &&  // ok, ok/file.bin, locked
               directorySize(locked) == 0 && recursiveContents(locked).empty() &&
               sortedChildren(locked).empty() && !makeEntry(locked / "secret.bin");
    });
    ASSERT_TRUE(held.has_value());
    EXPECT_EQ(*held, 1);
}

// recursiveContents ----------------------------------------------------------------------------

TEST_F(FilesystemEnumerationTest, RecursiveContentsPutsAFolderBeforeItsContents) {
    makeFile(temp / "root" / "sub" / "one.log", 10);
    makeFile(temp / "root" / "sub" / "two.log", 10);
    makeFile(temp / "root" / "sub" / ".hidden", 10);
    makeFile(temp / "root" / ".cache" / "x", 10);

    const auto contents = recursiveContents(temp / "root");

    ASSERT_EQ(contents.size(), 3U);
    EXPECT_EQ(contents[0], temp / "root" / "sub");
    std::vector<fs::path> files(contents.begin() + 1, contents.end());
    std::sort(files.begin(), files.end());
    EXPECT_THAT(files,
                ElementsAre(temp / "root" / "sub" / "one.log", temp / "root" / "sub" / "two.log"));
}

TEST_F(FilesystemEnumerationTest, RecursiveContentsGivesUsablePathsForAwkwardNames) {
    const auto names = testing::makeWeirdNames(temp / "root" / "odd folder\n", 1);

    const auto contents = recursiveContents(temp / "root");

    ASSERT_EQ(contents.size(), names.size() + 1);
    for (const auto& path : contents) {
        EXPECT_TRUE(fs::exists(fs::symlink_status(path))) << path;
    }
}

TEST_F(FilesystemEnumerationTest, RecursiveContentsListsLinksWithoutEnteringThem) {
    makeFile(temp / "outside" / "big.bin", 10);
    testing::makeSymlink(temp / "outside", temp / "root" / "to-outside");
    testing::makeSymlinkLoop(temp / "root");

    auto contents = recursiveContents(temp / "root");
    std::sort(contents.begin(), contents.end());

    EXPECT_THAT(contents, ElementsAre(temp / "root" / "self", temp / "root" / "sub",
                                      temp / "root" / "sub" / "up", temp / "root" / "to-outside"));
}

// sortedChildren -------------------------------------------------------------------------------

TEST_F(FilesystemEnumerationTest, SortedChildrenSkipsHiddenEntriesAndDoesNotDescend) {
    makeFile(temp / "root" / ".hidden", 1);
    makeFile(temp / "root" / "folder" / "inner", 1);
    makeFile(temp / "root" / "file", 1);

    EXPECT_THAT(sortedChildren(temp / "root"),
                ElementsAre(temp / "root" / "file", temp / "root" / "folder"));
}

TEST_F(FilesystemEnumerationTest, SortedChildrenComparesNormalisedNamesAndSurvivesBadBytes) {
    const std::string decomposedE = "e\xcc\x81";  // é as e + combining acute
    for (const auto& name :
         {std::string("f"), decomposedE, std::string("\xff"), std::string("Z")}) {
        makeFile(temp / "root" / name, 1);
    }

    EXPECT_THAT(sortedChildren(temp / "root"),
                ElementsAre(temp / "root" / "Z", temp / "root" / "f", temp / "root" / decomposedE,
                            temp / "root" / "\xff"));
}

// FilesystemEntry ------------------------------------------------------------------------------

TEST(FilesystemEntryTest, EqualityAndHashCoverEveryField) {
    const FilesystemEntry base{"/a/b", 10, TimePoint(std::chrono::seconds(5)), false, "b"};
    const std::hash<FilesystemEntry> hash;
    EXPECT_EQ(base, FilesystemEntry(base));
    EXPECT_EQ(hash(base), hash(FilesystemEntry(base)));
    for (const auto& change : std::vector<std::function<void(FilesystemEntry&)>>{
             [](auto& entry) { entry.url = "/a/c"; }, [](auto& entry) { ++entry.sizeInBytes; },
             [](auto& entry) { entry.lastModified += std::chrono::seconds(1); },
             [](auto& entry) { entry.isDirectory = true; },
             [](auto& entry) { entry.name = "c"; }}) {
        auto changed = base;
        change(changed);
        EXPECT_NE(base, changed);
        EXPECT_NE(hash(base), hash(changed));
    }
}

}  // namespace
}  // namespace quillo
