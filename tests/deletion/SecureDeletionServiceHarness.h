#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "deletion/ReceiptStore.h"
#include "deletion/SecureDeletionService.h"
#include "support/ManualExecutor.h"

// A deletion service wired to executors, a clock, a random source and a log that the test
// drives and watches; the file operations are the real ones unless a test replaces them.
namespace quillo::testing {

struct LoggedLine {
    platform::LogLevel level = platform::LogLevel::info;
    std::string category;
    std::string line;

    friend bool operator==(const LoggedLine&, const LoggedLine&) = default;
};

/// What a stream delivered: its events and how it ended.
struct StreamOutcome {
    std::vector<DeletionEvent> events;
    bool ended = false;
    std::optional<support::Error> error;

    [[nodiscard]] std::optional<DeletionReport> report() const;
};

/// The case names of `events` ("started 3", "itemStarted a", "itemCompleted", "itemFailed",
/// "finished"), so that a whole sequence compares at once.
std::vector<std::string> eventKinds(const std::vector<DeletionEvent>& events);

class SecureDeletionServiceHarness final {
  public:
    explicit SecureDeletionServiceHarness(
        DeletionMode mode = DeletionMode::standard,
        ReceiptStore::Persistence persistence = ReceiptStore::InMemory{});
    SecureDeletionServiceHarness(const SecureDeletionServiceHarness&) = delete;
    SecureDeletionServiceHarness& operator=(const SecureDeletionServiceHarness&) = delete;

    /// Made on first use from `environment` as it is then.
    SecureDeletionService& service();
    /// Gives up the harness's reference to the service.
    void releaseService() { service_.reset(); }

    /// Starts a run and listens to it; `drain` runs it.
    std::shared_ptr<StreamOutcome> start(std::vector<CleanableItem> items,
                                         CleaningModuleID moduleID = CleaningModuleID::tempFiles);
    /// `start` and `drain`, keeping the stream until it has ended.
    StreamOutcome run(std::vector<CleanableItem> items,
                      CleaningModuleID moduleID = CleaningModuleID::tempFiles);
    /// Runs the service's and the store's executors until both are idle.
    void drain();
    std::vector<DeletionReceipt> storedReceipts();

    /// The time of the `index`-th clock reading (from 0): whole seconds from 2025-03-14
    /// 09:26:53 UTC plus a fraction finer than a microsecond, which readings must drop.
    static TimePoint clockReading(int index);

    std::shared_ptr<support::ManualExecutor> executor = std::make_shared<support::ManualExecutor>();
    std::shared_ptr<support::ManualExecutor> storeExecutor =
        std::make_shared<support::ManualExecutor>();
    std::shared_ptr<ReceiptStore> store;
    DeletionMode mode;
    int modeRequests = 0;
    int clockReadings = 0;
    /// The size of every chunk the random source filled, in order.
    std::vector<std::size_t> filledChunks;
    bool randomSourceFails = false;
    std::vector<LoggedLine> lines;
    std::vector<support::EventStream<DeletionEvent>> streams;
    DeletionEnvironment environment;

  private:
    std::shared_ptr<SecureDeletionService> service_;
};

/// An item of `sizeInBytes` at `path` of the temp files module.
CleanableItem itemAt(const std::filesystem::path& path, std::int64_t sizeInBytes = 0);

/// Files of one byte at `names` below `folder`, as items in that order.
std::vector<CleanableItem> filesNamed(const std::filesystem::path& folder,
                                      std::initializer_list<std::string> names);

}  // namespace quillo::testing
