#include "modules/MockCleaningModule.h"

#include <cmath>
#include <limits>
#include <string>

#include "modules/ReportEventStream.h"

namespace quillo {

namespace {

constexpr int kShortestScanMilliseconds = 300;
constexpr int kLongestScanMilliseconds = 1400;
constexpr auto kDeletionTimePerItem = std::chrono::milliseconds(80);
constexpr double kOldestAgeDays = 180.0;
constexpr double kRecentDays = 7.0;
constexpr std::int64_t kLargeFileBytes = 500'000'000;
constexpr double kSecondsPerDay = 86'400.0;

std::string receiptLabel(const Uuid& id) {
    return "mock-" + id.uppercaseString().substr(0, 8);
}

}  // namespace

MockCleaningModule::MockCleaningModule(CleaningModuleDescriptor properties,
                                       std::int64_t syntheticItemCount, ByteRange byteRange,
                                       Environment environment)
    : CleaningModule(std::move(properties), std::move(environment.context)),
      syntheticItemCount_(syntheticItemCount),
      byteRange_(byteRange),
      sleeper_(std::move(environment.sleeper)),
      now_(std::move(environment.now)),
      random_(std::random_device{}()) {}

void MockCleaningModule::scan(support::CancellationToken token,
                              support::Completion<CleanableItems> done) {
    auto self = std::static_pointer_cast<MockCleaningModule>(shared_from_this());
    context()->post([self, token, done = std::move(done)]() mutable {
        std::uniform_int_distribution<int> milliseconds(kShortestScanMilliseconds,
                                                        kLongestScanMilliseconds);
        const auto wait = std::chrono::milliseconds(milliseconds(self->random_));
        self->sleeper_->sleep(wait, token, [self, token, done](const support::Status& waited) {
            self->context()->post([self, token, waited, done] {
                if (!waited) {
                    done(waited.error());
                } else if (token.isCancelled()) {
                    done(support::Error::cancelled());
                } else {
                    done(self->makeItems());
                }
            });
        });
    });
}

CleanableItems MockCleaningModule::makeItems() {
    const TimePoint now = now_();
    std::uniform_int_distribution<std::int64_t> sizes(byteRange_.lowerBound, byteRange_.upperBound);
    // Both ends of the age interval are included.
    std::uniform_real_distribution<double> ages(
        0.0, std::nextafter(kOldestAgeDays, std::numeric_limits<double>::infinity()));
    const std::string raw(rawValue(id()));

    CleanableItems items;
    items.reserve(static_cast<std::size_t>(std::max<std::int64_t>(syntheticItemCount_, 0)));
    for (std::int64_t index = 0; index < syntheticItemCount_; ++index) {
        const std::int64_t size = sizes(random_);
        const double ageDays = ages(random_);
        std::vector<CleanableItemWarning> warnings;
        if (isDestructive()) {
            warnings.push_back(CleanableItemWarning::irreversible);
        }
        if (ageDays < kRecentDays) {
            warnings.push_back(CleanableItemWarning::recentlyModified);
        }
        if (size > kLargeFileBytes) {
            warnings.push_back(CleanableItemWarning::largeFile);
        }
        const auto age = std::chrono::duration_cast<TimePoint::duration>(
            std::chrono::duration<double>(ageDays * kSecondsPerDay));
        items.push_back(CleanableItem{
            .id = Uuid::random(),
            .url = "/mock/" + raw + "/item-" + std::to_string(index),
            .displayName = raw + "-item-" + std::to_string(index),
            .sizeInBytes = size,
            .lastModified = now - age,
            .moduleID = id(),
            .warnings = std::move(warnings),
            .isSafeToDeleteByDefault = ageDays >= kRecentDays && !isDestructive(),
        });
    }
    return items;
}

support::EventStream<DeletionEvent> MockCleaningModule::deleteItems(CleanableItems items) {
    // Held weakly, like the stream holds the module: a module that is gone deletes nothing.
    std::weak_ptr<MockCleaningModule> weakSelf =
        std::static_pointer_cast<MockCleaningModule>(shared_from_this());
    const auto count = items.size();
    return reportEventStream(
        weak_from_this(), context(), count,
        [weakSelf, items = std::move(items)](const support::CancellationToken& token,
                                             const support::Completion<DeletionReport>& done) {
            if (auto self = weakSelf.lock()) {
                self->deleteAfterWait(items, token, done);
            }
        });
}

void MockCleaningModule::deleteAfterWait(const CleanableItems& items,
                                         const support::CancellationToken& token,
                                         const support::Completion<DeletionReport>& done) {
    const TimePoint startedAt = now_();
    auto self = std::static_pointer_cast<MockCleaningModule>(shared_from_this());
    const auto wait = kDeletionTimePerItem * static_cast<std::int64_t>(items.size());
    sleeper_->sleep(
        wait, token, [self, items, token, startedAt, done](const support::Status& waited) {
            self->context()->post([self, items, token, startedAt, waited, done] {
                if (!waited) {
                    done(waited.error());
                    return;
                }
                if (token.isCancelled()) {
                    done(support::Error::cancelled());
                    return;
                }
                DeletionReport report{.moduleID = self->id(),
                                      .succeeded = {},
                                      .failed = {},
                                      .startedAt = startedAt,
                                      .completedAt = self->now_()};
                for (const auto& item : items) {
                    report.succeeded.push_back(
                        DeletedFileRecord{item.id, item.sizeInBytes, receiptLabel(item.id)});
                }
                done(std::move(report));
            });
        });
}

}  // namespace quillo
