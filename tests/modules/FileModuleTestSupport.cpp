#include "modules/FileModuleTestSupport.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <utility>
#include <variant>

#include "support/TreeBuilders.h"

namespace quillo::testing {

TimePoint secondsSinceEpoch(std::int64_t seconds) {
    return TimePoint{std::chrono::seconds(seconds)};
}

void setAge(const std::filesystem::path& path, std::int64_t secondsBeforeNow) {
    setModificationTime(path, kFixedNowSeconds - secondsBeforeNow, 0);
}

void makeAllocatedFile(const std::filesystem::path& path, std::int64_t bytes) {
    std::filesystem::create_directories(path.parent_path());
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0) << path;
    const int allocated = ::fallocate(fd, 0, 0, bytes);
    ::close(fd);
    ASSERT_EQ(allocated, 0) << "fallocate is needed for files of a real allocated size";
}

std::int64_t makeFileAllocatingAtMost(const std::filesystem::path& path, std::int64_t limit) {
    constexpr std::int64_t kBlock = 4096;
    std::int64_t bytes = limit / kBlock * kBlock;
    // A fragmented large file needs mapping blocks of its own; each round gives back what the
    // previous one added.
    for (int round = 0; round < 8 && bytes > 0; ++round) {
        makeAllocatedFile(path, bytes);
        if (::testing::Test::HasFatalFailure()) {
            return 0;
        }
        const auto allocated = allocatedSize(path);
        if (allocated <= limit) {
            return allocated;
        }
        bytes -= (allocated - limit + kBlock - 1) / kBlock * kBlock;
    }
    ADD_FAILURE() << "no file of at most " << limit << " allocated bytes at " << path;
    return 0;
}

ModuleEnvironment FileModuleFixture::environment() const {
    return ModuleEnvironment{.context = executor, .pool = pool, .now = [now = now] { return now; }};
}

DepthProvider FileModuleFixture::depthProvider() {
    return [this](std::function<void(ScanDepth)> answer) {
        ++depthQuestions;
        executor->post([this, answer = std::move(answer)] { answer(depth); });
    };
}

void FileModuleFixture::runUntilIdle() {
    while (executor->runAll() + pool->runAll() > 0) {
    }
}

std::optional<support::Result<CleanableItems>> FileModuleFixture::scanToEnd(
    CleaningModule& module, const support::CancellationToken& token) {
    std::optional<support::Result<CleanableItems>> outcome;
    module.scan(token,
                [&outcome](support::Result<CleanableItems> items) { outcome = std::move(items); });
    runUntilIdle();
    return outcome;
}

CleanableItems FileModuleFixture::scannedItems(CleaningModule& module) {
    auto outcome = scanToEnd(module);
    EXPECT_TRUE(outcome.has_value()) << "the scan never finished";
    if (!outcome) {
        return {};
    }
    EXPECT_TRUE(outcome->ok()) << "the scan failed";
    return outcome->ok() ? std::move(*outcome).value() : CleanableItems{};
}

std::vector<std::string> displayNamesOf(const CleanableItems& items) {
    std::vector<std::string> names;
    for (const auto& item : items) {
        names.push_back(item.displayName);
    }
    return names;
}

std::vector<std::filesystem::path> urlsOf(const CleanableItems& items) {
    std::vector<std::filesystem::path> urls;
    for (const auto& item : items) {
        urls.push_back(item.url);
    }
    return urls;
}

const CleanableItem* itemNamed(const CleanableItems& items, const std::string& name) {
    const auto found = std::ranges::find(items, name, &CleanableItem::displayName);
    if (found == items.end()) {
        ADD_FAILURE() << "nothing offered as " << name;
        return nullptr;
    }
    return &*found;
}

StreamRecording deleteThroughModule(CleaningModule& module, CleanableItems items,
                                    SecureDeletionServiceHarness& harness) {
    StreamRecording recording;
    auto stream = module.deleteItems(std::move(items));
    record(stream, harness.executor, recording);
    harness.drain();
    return recording;
}

void expectEveryItemRemoved(const StreamRecording& recording, CleaningModuleID moduleID,
                            const CleanableItems& items, SecureDeletionServiceHarness& harness) {
    ASSERT_TRUE(recording.endedNormally());
    ASSERT_EQ(recording.events.size(), 2 * items.size() + 2);
    const auto& started = std::get<DeletionStarted>(recording.events.front());
    EXPECT_EQ(started.moduleID, moduleID);
    EXPECT_EQ(started.totalCount, items.size());
    const auto& report = std::get<DeletionFinished>(recording.events.back()).report;
    EXPECT_EQ(report.moduleID, moduleID);
    EXPECT_TRUE(report.failed.empty());
    ASSERT_EQ(report.succeeded.size(), items.size());
    const auto receipts = harness.storedReceipts();
    ASSERT_EQ(receipts.size(), items.size());
    for (std::size_t index = 0; index < items.size(); ++index) {
        const auto& itemStarted = std::get<DeletionItemStarted>(recording.events[1 + 2 * index]);
        EXPECT_EQ(itemStarted.moduleID, moduleID);
        EXPECT_EQ(itemStarted.item, items[index]);
        const auto& completed = std::get<DeletionItemCompleted>(recording.events[2 + 2 * index]);
        EXPECT_EQ(completed.moduleID, moduleID);
        EXPECT_EQ(completed.record, report.succeeded[index]);
        EXPECT_EQ(completed.record.id, items[index].id);
        EXPECT_EQ(completed.record.sizeInBytes, items[index].sizeInBytes);
        EXPECT_EQ(receipts[index].hash, completed.record.receiptHash);
        EXPECT_EQ(receipts[index].moduleID, moduleID);
        EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(items[index].url)))
            << items[index].url;
    }
}

}  // namespace quillo::testing
