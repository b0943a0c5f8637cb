#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "model/DeletionError.h"
#include "platform/FileStatus.h"
#include "platform/ItemSafetyError.h"
#include "platform/OpenedItem.h"
#include "platform/SafeFileOperations.h"
#include "platform/SecureRandom.h"
#include "support/OpenedItems.h"
#include "support/TemporaryDirectory.h"
#include "support/TreeBuilders.h"

namespace quillo::platform {
namespace {

using ::quillo::testing::makeFile;
using ::quillo::testing::makeSymlink;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
namespace fs = std::filesystem;

std::string contents(const fs::path& path) {
    std::ifstream stream(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

// A generator whose every chunk differs from all others, recording what it gave.
class RecordingFill final {
  public:
    [[nodiscard]] RandomFill fill() {
        return [this](std::span<unsigned char> bytes) {
            ++calls_;
            if (failAtCall_ == calls_) {
                return false;
            }
            chunkSizes_.push_back(bytes.size());
            for (std::size_t index = 0; index < bytes.size(); ++index) {
                bytes[index] = static_cast<unsigned char>(calls_ * 31 + index * 7 + 1);
            }
            given_.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
            return true;
        };
    }
    void failAtCall(int call) { failAtCall_ = call; }
    [[nodiscard]] const std::vector<std::size_t>& chunkSizes() const { return chunkSizes_; }
    [[nodiscard]] const std::string& given() const { return given_; }

  private:
    int calls_ = 0;
    int failAtCall_ = 0;
    std::vector<std::size_t> chunkSizes_;
    std::string given_;
};

// The exit status of `work` run in a child process, for changes a test must not make to itself.
int exitStatusInChild(const std::function<int()>& work) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(work());
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

// One pass over `item`, opened with the test's folder as its area.
support::Result<OverwriteOutcome> overwriteItem(const fs::path& area, const fs::path& item,
                                                const RandomFill& fill) {
    const auto opened = testing::openBelow(area, item);
    if (!opened) {
        return opened.error();
    }
    return opened.value().overwriteOnce(fill);
}

const DeletionError* deletionError(const support::Result<OverwriteOutcome>& result) {
    return result.ok() ? nullptr : result.error().as<DeletionError>();
}

class FileOverwriteTest : public ::testing::Test {
  protected:
    testing::TemporaryDirectory temp;
    RecordingFill recorder;
};

TEST_F(FileOverwriteTest, WritesExactlyTheSizeInChunksWithFreshDataEach) {
    for (const std::size_t size :
         {std::size_t{1}, std::size_t{10}, kOverwriteChunkSize, kOverwriteChunkSize + 1,
          2 * kOverwriteChunkSize, 3 * kOverwriteChunkSize + 5}) {
        SCOPED_TRACE(size);
        const fs::path file = temp / ("file-" + std::to_string(size));
        makeFile(file, size);
        RecordingFill fill;
        const auto result = overwriteItem(temp.path(), file, fill.fill());
        ASSERT_TRUE(result.ok());
        EXPECT_EQ(result.value(), OverwriteOutcome::overwritten);
        EXPECT_EQ(fs::file_size(file), size);
        EXPECT_EQ(contents(file), fill.given());
        std::size_t total = 0;
        for (std::size_t index = 0; index < fill.chunkSizes().size(); ++index) {
            const bool last = index + 1 == fill.chunkSizes().size();
            EXPECT_EQ(fill.chunkSizes()[index], last ? size - total : kOverwriteChunkSize);
            total += fill.chunkSizes()[index];
        }
        EXPECT_EQ(total, size);
    }
}

TEST_F(FileOverwriteTest, SecureRandomDataDiffersBetweenChunks) {
    const fs::path file = temp / "random";
    makeFile(file, 2 * kOverwriteChunkSize);
    const std::string before = contents(file);
    ASSERT_TRUE(overwriteItem(temp.path(), file, secureRandomFill).ok());
    const std::string after = contents(file);
    EXPECT_NE(after, before);
    EXPECT_NE(after.substr(0, kOverwriteChunkSize), after.substr(kOverwriteChunkSize));
}

TEST_F(FileOverwriteTest, NothingToWriteIsNoError) {
    makeFile(temp / "empty", 0);
    fs::create_directory(temp / "folder");
    EXPECT_EQ(overwriteItem(temp.path(), temp / "empty", recorder.fill()).value(),
              OverwriteOutcome::empty);
    EXPECT_EQ(overwriteItem(temp.path(), temp / "folder", recorder.fill()).value(),
              OverwriteOutcome::overwritten);
    EXPECT_THAT(recorder.chunkSizes(), IsEmpty());
    const auto absent = overwriteItem(temp.path(), temp / "absent", recorder.fill());
    ASSERT_FALSE(absent.ok());
    EXPECT_EQ(absent.error().description(), FileOperationError::reasonFor(ENOENT));
}

TEST_F(FileOverwriteTest, WritesTheDataOfASparseFileButNeverItsHoles) {
    constexpr off_t kBlock = 4096;
    constexpr off_t kSize = 256 * kBlock;
    const fs::path file = temp / "sparse";
    {
        const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        ASSERT_GE(fd, 0);
        const std::string data(kBlock, 'd');
        ASSERT_EQ(::pwrite(fd, data.data(), kBlock, 0), kBlock);
        ASSERT_EQ(::pwrite(fd, data.data(), kBlock, 100 * kBlock), kBlock);
        ASSERT_EQ(::ftruncate(fd, kSize), 0);
        ::fsync(fd);
        ::close(fd);
    }
    const auto blocksBefore = readFileStatus(AT_FDCWD, file.c_str())->allocatedSize;

    ASSERT_EQ(overwriteItem(temp.path(), file, recorder.fill()).value(),
              OverwriteOutcome::overwritten);

    EXPECT_THAT(recorder.chunkSizes(), ElementsAre(kBlock, kBlock));
    EXPECT_EQ(readFileStatus(AT_FDCWD, file.c_str())->allocatedSize, blocksBefore);
    EXPECT_EQ(fs::file_size(file), static_cast<std::uintmax_t>(kSize));
    const std::string after = contents(file);
    EXPECT_EQ(after.substr(0, kBlock), recorder.given().substr(0, kBlock));
    EXPECT_EQ(after.substr(kBlock, kBlock), std::string(kBlock, '\0'));
}

TEST_F(FileOverwriteTest, NeverWritesThroughASymbolicLink) {
    makeFile(temp / "outside" / "target", 100);
    const std::string before = contents(temp / "outside" / "target");
    makeSymlink(temp / "outside" / "target", temp / "link");
    makeSymlink(temp / "outside", temp / "folder-link");
    for (const fs::path& path :
         {temp / "link", fs::path((temp / "link").string() + "/"), temp / "folder-link"}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(overwriteItem(temp.path(), path, recorder.fill()).value(),
                  OverwriteOutcome::notRegularFile);
    }
    EXPECT_EQ(contents(temp / "outside" / "target"), before);
    EXPECT_THAT(recorder.chunkSizes(), IsEmpty());
}

TEST_F(FileOverwriteTest, NeverOpensAFifo) {
    const fs::path fifo = temp / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    // With a reader waiting, even a blocking open for writing would get through, and be seen.
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, fifo.c_str(), IN_OPEN), 0);

    EXPECT_EQ(overwriteItem(temp.path(), fifo, recorder.fill()).value(),
              OverwriteOutcome::notRegularFile);

    alignas(inotify_event) char events[sizeof(inotify_event) + NAME_MAX + 1];
    EXPECT_EQ(::read(watch, events, sizeof events), -1) << "the FIFO was opened";
    ::close(watch);
    ::close(reader);
    EXPECT_THAT(recorder.chunkSizes(), IsEmpty());
}

TEST_F(FileOverwriteTest, LeavesFilesWithFurtherHardLinksAlone) {
    makeFile(temp / "item", 100);
    testing::makeHardLinks(temp / "item", {temp / "elsewhere"});
    const std::string before = contents(temp / "item");
    EXPECT_EQ(overwriteItem(temp.path(), temp / "item", recorder.fill()).value(),
              OverwriteOutcome::sharedHardLink);
    EXPECT_EQ(contents(temp / "elsewhere"), before);
}

TEST_F(FileOverwriteTest, FailingGeneratorStopsThePass) {
    const fs::path file = temp / "file";
    makeFile(file, 2 * kOverwriteChunkSize);
    const std::string before = contents(file);

    recorder.failAtCall(1);
    const auto first = overwriteItem(temp.path(), file, recorder.fill());
    ASSERT_NE(deletionError(first), nullptr);
    EXPECT_EQ(deletionError(first)->kind(), DeletionError::Kind::randomBytesFailed);
    EXPECT_EQ(first.error().description(), "Sichere Zufallsdaten konnten nicht erzeugt werden.");
    EXPECT_EQ(contents(file), before);

    RecordingFill second;
    second.failAtCall(2);
    const auto failedLater = overwriteItem(temp.path(), file, second.fill());
    ASSERT_NE(deletionError(failedLater), nullptr);
    EXPECT_EQ(deletionError(failedLater)->kind(), DeletionError::Kind::randomBytesFailed);
    EXPECT_EQ(contents(file), second.given() + before.substr(kOverwriteChunkSize));
}

TEST_F(FileOverwriteTest, FileThatCannotBeOpenedFailsWithThePlatformReason) {
    const fs::path file = temp / "read-only";
    makeFile(file, 10);
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    testing::makeReadableByAll(temp.path());
    const std::string expected =
        "Überschreiben fehlgeschlagen: " + FileOperationError::reasonFor(EACCES);
    const auto matched = testing::runUnprivileged([&]() -> std::int64_t {
        const auto result = overwriteItem(temp.path(), file, secureRandomFill);
        const DeletionError* error = deletionError(result);
        if (error == nullptr || error->kind() != DeletionError::Kind::overwriteFailed) {
            return 1;
        }
        return result.error().description() == expected ? 0 : 2;
    });
    ASSERT_TRUE(matched.has_value());
    EXPECT_EQ(*matched, 0);
    EXPECT_EQ(contents(file), std::string(10, 'q'));
}

TEST_F(FileOverwriteTest, WriteFailureFailsWithThePlatformReason) {
    const fs::path file = temp / "file";
    makeFile(file, 2 * kOverwriteChunkSize);
    const std::string expected =
        "Überschreiben fehlgeschlagen: " + FileOperationError::reasonFor(EFBIG);
    // Writing beyond the file-size limit fails; the limit and the signal stay in the child.
    const int status = exitStatusInChild([&] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{kOverwriteChunkSize, kOverwriteChunkSize};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
            return 3;
        }
        const auto result = overwriteItem(temp.path(), file, secureRandomFill);
        const DeletionError* error = deletionError(result);
        if (error == nullptr || error->kind() != DeletionError::Kind::overwriteFailed) {
            return 1;
        }
        return result.error().description() == expected ? 0 : 2;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(fs::file_size(file), 2 * kOverwriteChunkSize);
}

class FolderItemTest : public FileOverwriteTest {
  protected:
    void SetUp() override {
        makeFile(item / "a", 1);
        makeFile(item / "sub" / "empty", 0);
        makeFile(item / "sub" / "deeper" / "c", 3);
        makeFile(item / "sub" / "x", 2);
        makeFile(temp / "outside" / "file", 100);
        for (const fs::path& hidden :
             {item / ".hidden", item / ".folder" / "d", item / "sub" / ".e"}) {
            makeFile(hidden, 5);
        }
    }
    fs::path item = temp / "item";
};

TEST_F(FolderItemTest, WritesEveryVisibleRegularFileBelowOnly) {
    makeSymlink(temp / "outside", item / "to-outside");
    makeSymlink(temp / "outside" / "file", item / "to-file");

    EXPECT_EQ(overwriteItem(temp.path(), item, recorder.fill()).value(),
              OverwriteOutcome::overwritten);

    EXPECT_THAT(recorder.chunkSizes(), ::testing::UnorderedElementsAre(1, 3, 2));
    for (const fs::path& hidden : {item / ".hidden", item / ".folder" / "d", item / "sub" / ".e"}) {
        EXPECT_EQ(contents(hidden), std::string(5, 'q')) << hidden;
    }
    EXPECT_EQ(contents(temp / "outside" / "file"), std::string(100, 'q'));
}

TEST_F(FolderItemTest, FolderSwappedForALinkAfterOpeningLeadsNowhere) {
    const auto opened = testing::openBelow(temp.path(), item);
    ASSERT_TRUE(opened.ok());
    fs::rename(item / "sub", temp / "moved");
    makeSymlink(temp / "outside", item / "sub");

    ASSERT_TRUE(opened.value().overwriteOnce(recorder.fill()).ok());

    EXPECT_THAT(recorder.chunkSizes(), ElementsAre(1));
    EXPECT_EQ(contents(temp / "outside" / "file"), std::string(100, 'q'));
}

TEST_F(FolderItemTest, ItemReplacedAfterOpeningIsLeftAlone) {
    const auto opened = testing::openBelow(temp.path(), item);
    ASSERT_TRUE(opened.ok());
    fs::rename(item, temp / "moved");
    makeSymlink(temp / "outside", item);

    const auto overwritten = opened.value().overwriteOnce(recorder.fill());
    const support::Status removed = opened.value().remove();
    for (const support::Error* error : {overwritten.ok() ? nullptr : &overwritten.error(),
                                        removed.ok() ? nullptr : &removed.error()}) {
        ASSERT_NE(error, nullptr);
        ASSERT_NE(error->as<ItemSafetyError>(), nullptr);
        EXPECT_EQ(error->as<ItemSafetyError>()->kind(), ItemSafetyError::Kind::replaced);
    }
    EXPECT_TRUE(fs::exists(temp / "outside" / "file"));
    EXPECT_THAT(recorder.chunkSizes(), IsEmpty());
}

TEST_F(FolderItemTest, ReachesFilesWhosePathIsLongerThanTheSystemAllows) {
    constexpr std::size_t kDepth = 3000;  // "d/" each: twice PATH_MAX and more
    testing::makeDeepTree(temp / "deep", kDepth, 10);
    EXPECT_EQ(overwriteItem(temp.path(), temp / "deep", recorder.fill()).value(),
              OverwriteOutcome::overwritten);
    EXPECT_THAT(recorder.chunkSizes(), ElementsAre(10));
    testing::removeDeepTree(temp / "deep");
}

}  // namespace
}  // namespace quillo::platform
