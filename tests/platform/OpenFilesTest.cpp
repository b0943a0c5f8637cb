#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "platform/FileDescriptor.h"
#include "platform/OpenFiles.h"
#include "support/TemporaryDirectory.h"
#include "support/TreeBuilders.h"

namespace quillo::platform {
namespace {

namespace fs = std::filesystem;
using testing::TemporaryDirectory;

class OpenFilesTest : public ::testing::Test {
  protected:
    /// A fake process whose descriptors lead to `targets` and which works in `workingFolder`.
    void process(const std::string& pid, const std::vector<std::string>& targets,
                 const std::string& workingFolder) {
        const auto folder = proc / pid;
        fs::create_directories(folder / "fd");
        fs::create_symlink(workingFolder, folder / "cwd");
        int descriptor = 0;
        for (const auto& target : targets) {
            fs::create_symlink(target, folder / "fd" / std::to_string(descriptor++));
        }
    }

    TemporaryDirectory folder;
    fs::path proc = folder / "proc";
};

TEST_F(OpenFilesTest, HoldsDescriptorTargetsWorkingFoldersAndWhatIsBelowThem) {
    process("17", {"/tmp/cache/held.db", "socket:[4242]", "pipe:[77]", "/tmp/gone (deleted)"}, "/");
    process("230", {"/dev/null"}, "/tmp/build");
    fs::create_directories(proc / "self-status");
    const auto open = OpenFiles::read(proc);

    EXPECT_TRUE(open.holdsAtOrBelow("/tmp/cache/held.db"));
    EXPECT_TRUE(open.holdsAtOrBelow("/tmp/cache"));
    EXPECT_TRUE(open.holdsAtOrBelow("/tmp/cache/"));
    EXPECT_TRUE(open.holdsAtOrBelow("/tmp/build"));
    EXPECT_TRUE(open.holdsAtOrBelow("/tmp/gone"));
    EXPECT_FALSE(open.holdsAtOrBelow("/tmp/cache/held.db-journal"));
    EXPECT_FALSE(open.holdsAtOrBelow("/tmp/cach"));
    EXPECT_FALSE(open.holdsAtOrBelow("/tmp/build/output.o"))
        << "a working folder holds itself, not every file below it";
    EXPECT_FALSE(open.holdsAtOrBelow("/tmp/other"));
    EXPECT_FALSE(open.holdsAtOrBelow("socket:[4242]"));
}

TEST_F(OpenFilesTest, AMissingProcTreeHoldsNothing) {
    EXPECT_FALSE(OpenFiles::read(folder / "no-proc").holdsAtOrBelow("/"));
}

TEST_F(OpenFilesTest, SeesAFileThisProcessHoldsOpen) {
    const auto held = folder / "work" / "held.bin";
    testing::makeFile(held, 10);
    const FileDescriptor descriptor(::open(held.c_str(), O_RDONLY | O_CLOEXEC));
    ASSERT_TRUE(descriptor.valid());
    const auto open = currentOpenFiles();
    EXPECT_TRUE(open.holdsAtOrBelow(held));
    EXPECT_TRUE(open.holdsAtOrBelow(folder / "work"));
    EXPECT_FALSE(open.holdsAtOrBelow(folder / "elsewhere"));
}

}  // namespace
}  // namespace quillo::platform
