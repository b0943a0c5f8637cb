#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/AtomicFile.h"
#include "support/TemporaryDirectory.h"
#include "support/TextFiles.h"
#include "support/TreeBuilders.h"

namespace quillo::platform {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> entryNames(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename());
    }
    return names;
}

class AtomicFileTest : public ::testing::Test {
  protected:
    testing::TemporaryDirectory folder_;
    fs::path file_ = folder_.path() / "data.json";
};

TEST_F(AtomicFileTest, ReplacesTheWholeFileAndLeavesNoTemporaryFile) {
    testing::writeTextFile(file_, "an older and much longer content");
    ASSERT_TRUE(writeFileAtomically(file_, "new").ok());
    EXPECT_EQ(testing::readTextFile(file_), "new");
    EXPECT_EQ(entryNames(folder_.path()), std::vector<std::string>{"data.json"});
    EXPECT_EQ(fs::status(file_).permissions(), fs::perms(0644));
}

TEST_F(AtomicFileTest, FailedReplaceRemovesTheTemporaryFile) {
    // A folder with an entry in the file's place cannot be renamed over.
    testing::makeFile(file_ / "inside", 1);
    const auto written = writeFileAtomically(file_, "new");
    ASSERT_FALSE(written.ok());
    ASSERT_NE(written.error().as<FileWriteError>(), nullptr);
    EXPECT_NE(written.error().description().find("Datei konnte nicht ersetzt werden"),
              std::string::npos);
    EXPECT_EQ(entryNames(folder_.path()), std::vector<std::string>{"data.json"});
    EXPECT_TRUE(fs::is_directory(file_));
}

TEST_F(AtomicFileTest, FailedWriteRemovesTheTemporaryFileAndKeepsTheOldOne) {
    testing::writeTextFile(file_, "old");
    // A file size limit makes the write fail in a child, whatever the privileges.
    testing::makeReadableByAll(folder_.path());
    fs::permissions(folder_.path(), fs::perms::all);
    const auto outcome = testing::runUnprivileged([&]() -> std::int64_t {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{16, 16};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
            return 2;
        }
        return writeFileAtomically(file_, std::string(4096, 'x')).ok() ? 1 : 0;
    });
    EXPECT_EQ(outcome, std::optional<std::int64_t>(0));
    EXPECT_EQ(testing::readTextFile(file_), "old");
    EXPECT_EQ(entryNames(folder_.path()), std::vector<std::string>{"data.json"});
}

TEST_F(AtomicFileTest, MissingFolderFailsWithoutCreatingAnything) {
    EXPECT_FALSE(writeFileAtomically(folder_.path() / "missing" / "data.json", "x").ok());
    EXPECT_TRUE(fs::is_empty(folder_.path()));
}

TEST_F(AtomicFileTest, CreatesMissingFoldersAndAcceptsExistingOnes) {
    const auto nested = folder_.path() / "a" / "b" / "c";
    ASSERT_TRUE(createFolders(nested).ok());
    EXPECT_TRUE(fs::is_directory(nested));
    EXPECT_TRUE(createFolders(nested).ok());

    testing::makeFile(folder_.path() / "plain", 1);
    const auto blocked = createFolders(folder_.path() / "plain" / "below");
    ASSERT_FALSE(blocked.ok());
    EXPECT_NE(blocked.error().description().find("Ordner konnte nicht angelegt werden"),
              std::string::npos);
}

}  // namespace
}  // namespace quillo::platform
