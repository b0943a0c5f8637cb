#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <regex>
#include <string>

#include "platform/Trash.h"
#include "platform/TrashFolders.h"
#include "platform/TrashInfo.h"
#include "support/FakeBundles.h"
#include "support/Formatting.h"
#include "support/ScopedTimeZone.h"
#include "support/TemporaryDirectory.h"
#include "support/TextFiles.h"
#include "support/TreeBuilders.h"

namespace quillo::platform {
namespace {

namespace fs = std::filesystem;
using testing::readTextFile;
using testing::TemporaryDirectory;
using testing::writeTextFile;

const TimePoint kDeletedAt(std::chrono::seconds(1'741'944'413));

/// The key-value lines of an info file below its group line, which must come first.
std::map<std::string, std::string> parsedInfo(const fs::path& infoFile) {
    const std::string text = readTextFile(infoFile);
    std::map<std::string, std::string> values;
    std::size_t start = 0;
    bool first = true;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        const std::string line = text.substr(start, end - start);
        start = end == std::string::npos ? text.size() : end + 1;
        if (first) {
            EXPECT_EQ(line, "[Trash Info]");
            first = false;
            continue;
        }
        const std::size_t equals = line.find('=');
        values[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return values;
}

mode_t permissions(const fs::path& path) {
    struct stat status {};
    ::lstat(path.c_str(), &status);
    return status.st_mode & 07777;
}

std::size_t entryCount(const fs::path& folder) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

class TrashTest : public ::testing::Test {
  protected:
    TrashTest() {
        environment.dataHome = home / ".local" / "share";
        environment.home = home;
        environment.clock = [] { return kDeletedAt; };
    }

    [[nodiscard]] fs::path trash() const { return environment.dataHome / "Trash"; }

    TemporaryDirectory folder;
    fs::path home = folder / "home";
    TrashEnvironment environment;
    testing::ScopedTimeZone zone{"Europe/Berlin"};
};

TEST_F(TrashTest, ABundleMovesWholeIntoTheHomeTrashWithAValidInfoFile) {
    const auto bundle = home / "Programme" / "Alte Notizen.app";
    testing::makeFakeBundle(bundle, {{"CFBundleIdentifier", "com.example.Notes"}});

    ASSERT_TRUE(moveToTrash(bundle, environment));

    EXPECT_FALSE(fs::exists(bundle));
    const auto moved = trash() / "files" / "Alte Notizen.app";
    EXPECT_EQ(fs::file_size(moved / "Contents" / "MacOS" / "main"), 4096U);
    const auto info = parsedInfo(trash() / "info" / "Alte Notizen.app.trashinfo");
    EXPECT_EQ(percentDecodedPath(info.at("Path")), bundle.native());
    EXPECT_EQ(info.at("Path").find(' '), std::string::npos);
    EXPECT_TRUE(std::regex_match(info.at("DeletionDate"),
                                 std::regex(R"(\d{4}-\d{2}-\d{2}T\d{2}:\d{2}:\d{2})")));
    EXPECT_EQ(info.at("DeletionDate"), "2025-03-14T10:26:53");
    EXPECT_EQ(permissions(trash()), 0700U);
    EXPECT_EQ(permissions(trash() / "files"), 0700U);
    EXPECT_EQ(permissions(trash() / "info"), 0700U);
}

TEST_F(TrashTest, ASameNameGetsTheNextFreeNameAndLeavesTheFirstAlone) {
    writeTextFile(home / "a" / "com.example.Notes.plist", "first");
    writeTextFile(home / "b" / "com.example.Notes.plist", "second");
    ASSERT_TRUE(moveToTrash(home / "a" / "com.example.Notes.plist", environment));
    ASSERT_TRUE(moveToTrash(home / "b" / "com.example.Notes.plist", environment));

    EXPECT_EQ(readTextFile(trash() / "files" / "com.example.Notes.plist"), "first");
    EXPECT_EQ(readTextFile(trash() / "files" / "com.example.Notes.plist.2"), "second");
    EXPECT_EQ(percentDecodedPath(
                  parsedInfo(trash() / "info" / "com.example.Notes.plist.2.trashinfo").at("Path")),
              (home / "b" / "com.example.Notes.plist").native());
}

TEST_F(TrashTest, AFileInTheTrashWithoutInfoIsNeverReplaced) {
    writeTextFile(trash() / "files" / "Notes.app", "left behind");
    testing::makeFile(home / "Notes.app", 10);
    ASSERT_TRUE(moveToTrash(home / "Notes.app", environment));

    EXPECT_EQ(readTextFile(trash() / "files" / "Notes.app"), "left behind");
    EXPECT_TRUE(fs::exists(trash() / "files" / "Notes.app.2"));
    EXPECT_FALSE(fs::exists(trash() / "info" / "Notes.app.trashinfo"));
    EXPECT_TRUE(fs::exists(trash() / "info" / "Notes.app.2.trashinfo"));
}

TEST_F(TrashTest, ALinkMovesAsItselfAndTheRealFolderIsRecorded) {
    writeTextFile(home / "real" / "target.txt", "kept");
    testing::makeSymlink(home / "real", home / "via");
    testing::makeSymlink(home / "real" / "target.txt", home / "real" / "pointer");

    ASSERT_TRUE(moveToTrash(home / "via" / "pointer", environment));

    EXPECT_TRUE(fs::is_symlink(trash() / "files" / "pointer"));
    EXPECT_EQ(readTextFile(home / "real" / "target.txt"), "kept");
    EXPECT_EQ(percentDecodedPath(parsedInfo(trash() / "info" / "pointer.trashinfo").at("Path")),
              (fs::canonical(home / "real") / "pointer").native());
}

TEST_F(TrashTest, DangerousPathsAreRefusedAndStay) {
    fs::create_directories(home / "Documents");
    for (const fs::path& path : {home, home / "", fs::path("/"), fs::path("relative/Notes.app"),
                                 home / "Documents" / ".." / "Documents"}) {
        const auto moved = moveToTrash(path, environment);
        ASSERT_FALSE(moved) << path;
        EXPECT_NE(moved.error().description().find("verweigert"), std::string::npos);
    }
    EXPECT_TRUE(fs::is_directory(home / "Documents"));
}

TEST_F(TrashTest, AMissingItemFailsAndLeavesNoInfoFile) {
    const auto moved = moveToTrash(home / "gone.txt", environment);
    ASSERT_FALSE(moved);
    EXPECT_TRUE(
        moved.error().description().starts_with("In den Papierkorb verschieben fehlgeschlagen: "));
    EXPECT_TRUE(!fs::exists(trash() / "info") || entryCount(trash() / "info") == 0);
}

TEST_F(TrashTest, AnItemThatCannotBeRenamedKeepsEverythingAndItsInfoFileIsRemoved) {
    // A folder cannot be moved into itself: here the trash lies inside the item.
    const auto item = home / "Data";
    environment.dataHome = item / "share";
    writeTextFile(item / "notes.txt", "precious");

    const auto moved = moveToTrash(item, environment);

    ASSERT_FALSE(moved);
    EXPECT_EQ(readTextFile(item / "notes.txt"), "precious");
    EXPECT_EQ(entryCount(environment.dataHome / "Trash" / "info"), 0U);
    EXPECT_EQ(entryCount(environment.dataHome / "Trash" / "files"), 0U);
}

TEST_F(TrashTest, AnUnusableHomeTrashFailsWithoutTouchingTheItem) {
    writeTextFile(trash(), "a file where the trash belongs");
    writeTextFile(home / "Notes.app", "app");
    ASSERT_FALSE(moveToTrash(home / "Notes.app", environment));
    EXPECT_EQ(readTextFile(home / "Notes.app"), "app");
}

class TopDirectoryTrashTest : public ::testing::Test {
  protected:
    TemporaryDirectory topdir;
    uid_t uid = ::getuid();
    std::string uidName = std::to_string(uid);
};

TEST_F(TopDirectoryTrashTest, WithoutASharedTrashTheUsersOwnFolderIsMadePrivateAndUsed) {
    const auto trash = openTopDirectoryTrash(topdir.path(), uid);
    ASSERT_TRUE(trash);
    const auto own = topdir / (".Trash-" + uidName);
    EXPECT_EQ(trash.value().location, own);
    EXPECT_EQ(permissions(own), 0700U);
    EXPECT_EQ(permissions(own / "files"), 0700U);
    EXPECT_EQ(permissions(own / "info"), 0700U);

    // Its info files record the path relative to the mount point.
    writeTextFile(topdir / "Apps" / "Notes.app", "app");
    ASSERT_TRUE(moveIntoTrash(topdir / "Apps" / "Notes.app", "Notes.app", trash.value(),
                              "Apps/Notes.app", kDeletedAt));
    EXPECT_EQ(readTextFile(own / "files" / "Notes.app"), "app");
    EXPECT_EQ(parsedInfo(own / "info" / "Notes.app.trashinfo").at("Path"), "Apps/Notes.app");
}

TEST_F(TopDirectoryTrashTest, AStickySharedTrashHoldsTheUsersFolder) {
    fs::create_directory(topdir / ".Trash");
    ::chmod((topdir / ".Trash").c_str(), 01777);
    const auto trash = openTopDirectoryTrash(topdir.path(), uid);
    ASSERT_TRUE(trash);
    EXPECT_EQ(trash.value().location, topdir / ".Trash" / uidName);
    EXPECT_TRUE(fs::is_directory(topdir / ".Trash" / uidName / "files"));
}

TEST_F(TopDirectoryTrashTest, ASharedTrashWithoutStickyBitOrAsALinkIsPassedOver) {
    const TemporaryDirectory elsewhere;
    ::chmod(elsewhere.path().c_str(), 01777);
    testing::makeSymlink(elsewhere.path(), topdir / ".Trash");
    auto trash = openTopDirectoryTrash(topdir.path(), uid);
    ASSERT_TRUE(trash);
    EXPECT_EQ(trash.value().location, topdir / (".Trash-" + uidName));
    EXPECT_FALSE(fs::exists(elsewhere / uidName));

    const TemporaryDirectory plain;
    fs::create_directory(plain / ".Trash");
    ::chmod((plain / ".Trash").c_str(), 0777);
    trash = openTopDirectoryTrash(plain.path(), uid);
    ASSERT_TRUE(trash);
    EXPECT_EQ(trash.value().location, plain / (".Trash-" + uidName));
}

TEST_F(TopDirectoryTrashTest, ALinkOrSomeoneElsesFolderInPlaceOfTheUsersIsNotUsed) {
    const TemporaryDirectory elsewhere;
    testing::makeSymlink(elsewhere.path(), topdir / (".Trash-" + uidName));
    EXPECT_FALSE(openTopDirectoryTrash(topdir.path(), uid));
    EXPECT_FALSE(fs::exists(elsewhere / "files"));

    // A folder made by this process belongs to `uid`, never to the next user.
    const uid_t other = uid + 1;
    fs::create_directory(topdir / (".Trash-" + std::to_string(other)));
    const auto foreign = openTopDirectoryTrash(topdir.path(), other);
    ASSERT_FALSE(foreign);
    EXPECT_NE(foreign.error().description().find("anderen Benutzer"), std::string::npos);
}

}  // namespace
}  // namespace quillo::platform
