#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <random>

#include "modules/CleaningModule.h"
#include "support/Sleeper.h"

namespace quillo {

/// Closed range of byte counts, both ends included.
struct ByteRange {
    std::int64_t lowerBound;
    std::int64_t upperBound;
};

/// A module that invents items without touching the disk, to build and exercise
/// the engine and the views with. Its waits and clock are injected so that
/// tests can drive them.
class MockCleaningModule final : public CleaningModule {
  public:
    struct Environment {
        support::ExecutorRef context;
        std::shared_ptr<support::Sleeper> sleeper;
        std::function<TimePoint()> now = [] { return std::chrono::system_clock::now(); };
    };

    MockCleaningModule(CleaningModuleDescriptor properties, std::int64_t syntheticItemCount,
                       ByteRange byteRange, Environment environment);

    [[nodiscard]] std::int64_t syntheticItemCount() const { return syntheticItemCount_; }
    [[nodiscard]] ByteRange byteRange() const { return byteRange_; }

    void scan(support::CancellationToken token, support::Completion<CleanableItems> done) override;
    support::EventStream<DeletionEvent> deleteItems(CleanableItems items) override;

  private:
    CleanableItems makeItems();
    void deleteAfterWait(const CleanableItems& items, const support::CancellationToken& token,
                         const support::Completion<DeletionReport>& done);

    std::int64_t syntheticItemCount_;
    ByteRange byteRange_;
    std::shared_ptr<support::Sleeper> sleeper_;
    std::function<TimePoint()> now_;
    std::mt19937_64 random_;  // used on the module's context only
};

}  // namespace quillo
