#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/BeneathOpening.h"
#include "platform/ItemSafetyError.h"
#include "platform/OpenedItem.h"
#include "support/OpenedItems.h"
#include "support/TemporaryDirectory.h"
#include "support/TreeBuilders.h"

namespace quillo::platform {
namespace {

using ::quillo::testing::makeFile;
using ::quillo::testing::makeSymlink;
using ::quillo::testing::openBelow;
namespace fs = std::filesystem;

std::optional<ItemSafetyError::Kind> safetyKind(const support::Error& error) {
    const auto* detail = error.as<ItemSafetyError>();
    return detail != nullptr ? std::optional(detail->kind()) : std::nullopt;
}

class OpenedItemTest : public ::testing::Test {
  protected:
    testing::TemporaryDirectory temp;
};

TEST_F(OpenedItemTest, TellsTheKindOfTheEntryItself) {
    makeFile(temp / "file", 1);
    fs::create_directory(temp / "folder");
    makeSymlink(temp / "folder", temp / "folder-link");
    makeSymlink(temp / "absent", temp / "dangling");
    ASSERT_EQ(::mkfifo((temp / "fifo").c_str(), 0644), 0);
    const std::pair<fs::path, PathKind> cases[] = {
        {temp / "file", PathKind::regularFile},   {temp / "folder", PathKind::directory},
        {temp / "folder/", PathKind::directory},  {temp / "folder-link", PathKind::other},
        {temp / "folder-link/", PathKind::other}, {temp / "dangling", PathKind::other},
        {temp / "fifo", PathKind::other},
    };
    for (const auto& [path, kind] : cases) {
        SCOPED_TRACE(path);
        const auto opened = openBelow(temp.path(), path);
        ASSERT_TRUE(opened.ok());
        EXPECT_EQ(opened.value().kind(), kind);
    }
}

TEST_F(OpenedItemTest, OnlyAKnownAbsenceCountsAsGone) {
    makeFile(temp / "file", 1);
    const auto opened = openBelow(temp.path(), temp / "file");
    ASSERT_TRUE(opened.ok());
    EXPECT_FALSE(opened.value().isGone());
    fs::remove(temp / "file");
    EXPECT_TRUE(opened.value().isGone());
    testing::makeSymlink(temp / "absent", temp / "file");
    EXPECT_FALSE(opened.value().isGone()) << "a dangling link is something left";
}

TEST_F(OpenedItemTest, ALinkOnTheWayBelowTheAreaIsNeverFollowed) {
    makeFile(temp / "elsewhere" / "item", 5);
    fs::create_directory(temp / "area");
    makeSymlink(temp / "elsewhere", temp / "area" / "parent");
    const auto opened = openBelow(temp / "area", temp / "area" / "parent" / "item");
    ASSERT_FALSE(opened.ok());
    EXPECT_EQ(safetyKind(opened.error()), ItemSafetyError::Kind::linkInPath);
    EXPECT_TRUE(fs::exists(temp / "elsewhere" / "item"));
}

TEST_F(OpenedItemTest, TheAreaItselfMayBeReachedThroughALink) {
    makeFile(temp / "real-area" / "item", 5);
    makeSymlink(temp / "real-area", temp / "area");
    ASSERT_TRUE(testing::removeBelow(temp / "area", temp / "area" / "item").ok());
    EXPECT_FALSE(fs::exists(temp / "real-area" / "item"));
}

TEST_F(OpenedItemTest, PathsOutsideTheAreaAreRefused) {
    makeFile(temp / "area" / "inside", 1);
    makeFile(temp / "outside", 1);
    for (const fs::path& path :
         {temp / "outside", temp / "area", temp / "area" / ".." / "outside", temp / "areax"}) {
        SCOPED_TRACE(path);
        const auto opened = openBelow(temp / "area", path);
        ASSERT_FALSE(opened.ok());
        EXPECT_NE(opened.error().as<RefusedPathError>(), nullptr);
    }
    EXPECT_TRUE(fs::exists(temp / "outside"));
}

TEST_F(OpenedItemTest, BothWaysOfOpeningBelowAFolderAgree) {
    fs::create_directories(temp / "a" / "b");
    makeSymlink(temp / "a", temp / "link");
    makeFile(temp / "file", 1);
    const FileDescriptor root(::open(temp.path().c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    const std::pair<std::vector<std::string_view>, int> cases[] = {
        {{"a", "b"}, 0}, {{}, 0}, {{"link", "b"}, ELOOP}, {{"file"}, ENOTDIR}, {{"absent"}, ENOENT},
    };
    for (const auto& [components, error] : cases) {
        for (const auto open : {openFolderBeneath, openFolderBeneathStepwise}) {
            errno = 0;
            const FileDescriptor folder = open(root.get(), components);
            EXPECT_EQ(folder.valid() ? 0 : errno, error) << components.size();
        }
    }
}

}  // namespace
}  // namespace quillo::platform
