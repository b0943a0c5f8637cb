#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "platform/ExecutableSearch.h"
#include "support/TemporaryDirectory.h"
#include "support/TextFiles.h"

namespace quillo::platform {
namespace {

namespace fs = std::filesystem;

class ExecutableSearchTest : public ::testing::Test {
  protected:
    /// A file at `relative` with the given mode.
    fs::path file(const std::string& relative, mode_t mode) const {
        auto path = root_ / relative;
        testing::writeTextFile(path, "#!/bin/sh\n");
        ::chmod(path.c_str(), mode);
        return path;
    }

    fs::path find(const std::string& name, const std::string& path) const {
        return findExecutable(name, [&path](const char* variable) {
            return std::string(variable) == "PATH" ? path.c_str() : nullptr;
        });
    }

    const testing::TemporaryDirectory root_;
};

TEST_F(ExecutableSearchTest, TheFirstExecutableFileOnThePathWins) {
    const auto a = root_ / "a";
    const auto b = root_ / "b";
    const auto c = root_ / "c";
    file("a/tool", 0644);                // not executable
    fs::create_directories(b / "tool");  // a folder
    const auto found = file("c/tool", 0755);
    file("d/tool", 0755);
    EXPECT_EQ(find("tool",
                   a.string() + ":" + b.string() + ":" + c.string() + ":" + (root_ / "d").string()),
              found);
}

TEST_F(ExecutableSearchTest, EmptyAndRelativeEntriesAreSkippedAndAnswersAreNormal) {
    const auto found = file("bin/tool", 0755);
    const auto cwd = fs::current_path();
    fs::current_path(root_.path());
    // Relative to the working folder "bin/tool" would be found; it must not be.
    EXPECT_TRUE(find("tool", "bin::.").empty());
    fs::current_path(cwd);
    EXPECT_EQ(find("tool", "::" + (root_ / "bin/").string() + "/"), found);
    EXPECT_EQ(find("tool", (root_ / "x/../bin").string()), found);
}

TEST_F(ExecutableSearchTest, NamesWithASlashOrNothingOnThePathFindNothing) {
    file("bin/tool", 0755);
    const auto bin = (root_ / "bin").string();
    EXPECT_TRUE(find("../bin/tool", bin).empty());
    EXPECT_TRUE(find("", bin).empty());
    EXPECT_TRUE(find("missing", bin).empty());
    EXPECT_TRUE(find("tool", "").empty());
}

}  // namespace
}  // namespace quillo::platform
