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
#include "platform/SafeFileOperations.h"
#include "platform/SecureRandom.h"
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
    void clearGiven() { given_.clear(); }

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
        const auto result = overwriteFileOnce(file, fill.fill());
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

TEST_F(FileOverwriteTest, EachPassWritesNewDataWithoutChangingTheSize) {
    const fs::path file = temp / "three-pass";
    makeFile(file, kOverwriteChunkSize + 1);
    std::string previous = contents(file);
    for (int pass = 0; pass < 3; ++pass) {
        recorder.clearGiven();
        ASSERT_TRUE(overwriteFileOnce(file, recorder.fill()).ok());
        const std::string now = contents(file);
        EXPECT_EQ(now, recorder.given());
        EXPECT_NE(now, previous);
        EXPECT_EQ(now.size(), kOverwriteChunkSize + 1);
        previous = now;
    }
    EXPECT_THAT(recorder.chunkSizes(), ElementsAre(kOverwriteChunkSize, 1, kOverwriteChunkSize, 1,
                                                   kOverwriteChunkSize, 1));
}

TEST_F(FileOverwriteTest, SecureRandomDataDiffersBetweenChunks) {
    const fs::path file = temp / "random";
    makeFile(file, 2 * kOverwriteChunkSize);
    const std::string before = contents(file);
    ASSERT_TRUE(overwriteFileOnce(file, secureRandomFill).ok());
    const std::string after = contents(file);
    EXPECT_NE(after, before);
    EXPECT_NE(after.substr(0, kOverwriteChunkSize), after.substr(kOverwriteChunkSize));
}

TEST_F(FileOverwriteTest, NothingToWriteIsNoError) {
    makeFile(temp / "empty", 0);
    fs::create_directory(temp / "folder");
    EXPECT_EQ(overwriteFileOnce(temp / "empty", recorder.fill()).value(), OverwriteOutcome::empty);
    EXPECT_EQ(overwriteFileOnce(temp / "absent", recorder.fill()).value(),
              OverwriteOutcome::missing);
    EXPECT_EQ(overwriteFileOnce(temp / "folder", recorder.fill()).value(),
              OverwriteOutcome::notRegularFile);
    EXPECT_THAT(recorder.chunkSizes(), IsEmpty());
}

TEST_F(FileOverwriteTest, NeverWritesThroughASymbolicLink) {
    makeFile(temp / "outside" / "target", 100);
    const std::string before = contents(temp / "outside" / "target");
    makeSymlink(temp / "outside" / "target", temp / "link");
    makeSymlink(temp / "outside", temp / "folder-link");
    for (const fs::path& path :
         {temp / "link", fs::path((temp / "link").string() + "/"), temp / "folder-link"}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(overwriteFileOnce(path, recorder.fill()).value(),
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

    EXPECT_EQ(overwriteFileOnce(fifo, recorder.fill()).value(), OverwriteOutcome::notRegularFile);

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
    EXPECT_EQ(overwriteFileOnce(temp / "item", recorder.fill()).value(),
              OverwriteOutcome::sharedHardLink);
    EXPECT_EQ(contents(temp / "elsewhere"), before);
}

TEST_F(FileOverwriteTest, FailingGeneratorStopsThePass) {
    const fs::path file = temp / "file";
    makeFile(file, 2 * kOverwriteChunkSize);
    const std::string before = contents(file);

    recorder.failAtCall(1);
    const auto first = overwriteFileOnce(file, recorder.fill());
    ASSERT_NE(deletionError(first), nullptr);
    EXPECT_EQ(deletionError(first)->kind(), DeletionError::Kind::randomBytesFailed);
    EXPECT_EQ(first.error().description(), "Sichere Zufallsdaten konnten nicht erzeugt werden.");
    EXPECT_EQ(contents(file), before);

    RecordingFill second;
    second.failAtCall(2);
    const auto failedLater = overwriteFileOnce(file, second.fill());
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
        const auto result = overwriteFileOnce(file, secureRandomFill);
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
        const auto result = overwriteFileOnce(file, secureRandomFill);
        const DeletionError* error = deletionError(result);
        if (error == nullptr || error->kind() != DeletionError::Kind::overwriteFailed) {
            return 1;
        }
        return result.error().description() == expected ? 0 : 2;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(fs::file_size(file), 2 * kOverwriteChunkSize);
}

class FileBelowTest : public FileOverwriteTest {
  protected:
    void SetUp() override {
        makeFile(item / "sub" / "file", 100);
        makeFile(temp / "outside" / "file", 100);
    }
    fs::path item = temp / "item";
};

TEST_F(FileBelowTest, WritesAFileListedBelowTheItem) {
    EXPECT_EQ(overwriteFileBelow(item, item / "sub" / "file", recorder.fill()).value(),
              OverwriteOutcome::overwritten);
    EXPECT_EQ(contents(item / "sub" / "file"), recorder.given());
}

TEST_F(FileBelowTest, FolderSwappedForALinkAfterListingLeadsNowhere) {
    const std::vector<fs::path> listed = regularFilesBelow(item);
    ASSERT_THAT(listed, ElementsAre(item / "sub" / "file"));
    fs::rename(item / "sub", temp / "moved");
    makeSymlink(temp / "outside", item / "sub");
    EXPECT_EQ(overwriteFileBelow(item, listed.front(), recorder.fill()).value(),
              OverwriteOutcome::notRegularFile);
    EXPECT_EQ(contents(temp / "outside" / "file"), std::string(100, 'q'));
    EXPECT_THAT(recorder.chunkSizes(), IsEmpty());
}

TEST_F(FileBelowTest, ItemThatIsALinkIsNotEntered) {
    makeSymlink(temp / "outside", temp / "link");
    EXPECT_EQ(overwriteFileBelow(temp / "link", temp / "link" / "file", recorder.fill()).value(),
              OverwriteOutcome::notRegularFile);
    EXPECT_EQ(contents(temp / "outside" / "file"), std::string(100, 'q'));
}

TEST_F(FileBelowTest, PathsThatLeaveTheItemAreNotWritten) {
    for (const fs::path& file : {temp / "outside" / "file", item / ".." / "outside" / "file",
                                 item / "sub" / "." / "file", item}) {
        SCOPED_TRACE(file);
        EXPECT_EQ(overwriteFileBelow(item, file, recorder.fill()).value(),
                  OverwriteOutcome::missing);
    }
    EXPECT_THAT(recorder.chunkSizes(), IsEmpty());
}

TEST_F(FileBelowTest, ReachesFilesWhosePathIsLongerThanTheSystemAllows) {
    constexpr std::size_t kDepth = 3000;  // "d/" each: twice PATH_MAX and more
    testing::makeDeepTree(temp / "deep", kDepth, 10);
    const std::vector<fs::path> listed = regularFilesBelow(temp / "deep");
    ASSERT_EQ(listed.size(), 1U);
    EXPECT_GT(listed.front().native().size(), std::size_t{PATH_MAX});
    EXPECT_EQ(overwriteFileBelow(temp / "deep", listed.front(), recorder.fill()).value(),
              OverwriteOutcome::overwritten);
    EXPECT_THAT(recorder.chunkSizes(), ElementsAre(10));
    testing::removeDeepTree(temp / "deep");
}

}  // namespace
}  // namespace quillo::platform
