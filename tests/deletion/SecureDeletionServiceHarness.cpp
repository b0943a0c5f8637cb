#include "deletion/SecureDeletionServiceHarness.h"

#include <chrono>
#include <type_traits>
#include <variant>

#include "support/TreeBuilders.h"

namespace quillo::testing {

std::optional<DeletionReport> StreamOutcome::report() const {
    for (const auto& event : events) {
        if (const auto* finished = std::get_if<DeletionFinished>(&event)) {
            return finished->report;
        }
    }
    return std::nullopt;
}

SecureDeletionServiceHarness::SecureDeletionServiceHarness(DeletionMode mode,
                                                           ReceiptStore::Persistence persistence)
    : store(ReceiptStore::create(std::move(persistence), storeExecutor)), mode(mode) {
    environment.clock = [this] { return clockReading(clockReadings++); };
    environment.randomFill = [this](std::span<unsigned char> bytes) {
        if (randomSourceFails) {
            return false;
        }
        filledChunks.push_back(bytes.size());
        for (std::size_t index = 0; index < bytes.size(); ++index) {
            bytes[index] = static_cast<unsigned char>(filledChunks.size() + index * 13);
        }
        return true;
    };
    environment.log.sink = [this](platform::LogLevel level, std::string_view category,
                                  std::string_view line) {
        lines.push_back({level, std::string(category), std::string(line)});
    };
    environment.log.isEnabled = [](platform::LogLevel) { return true; };
    // Every test's temporary folder lies below the system's one.
    for (const CleaningModuleID module : allCleaningModuleIDs) {
        environment.moduleAreas[module] = {{.path = std::filesystem::temp_directory_path()}};
    }
}

TimePoint SecureDeletionServiceHarness::clockReading(int index) {
    using namespace std::chrono;
    return sys_days{year{2025} / March / 14} + 9h + 26min + 53s + seconds(index) +
           duration_cast<system_clock::duration>(nanoseconds(123'456'789));
}

SecureDeletionService& SecureDeletionServiceHarness::service() {
    if (!service_) {
        auto provider = [this](support::Completion<DeletionMode> answer) {
            ++modeRequests;
            // Answers from elsewhere later, as the settings do from the main thread.
            storeExecutor->post([answer = std::move(answer), chosen = mode] { answer(chosen); });
        };
        service_ = SecureDeletionService::create(provider, store, executor, environment);
    }
    return *service_;
}

std::shared_ptr<StreamOutcome> SecureDeletionServiceHarness::start(std::vector<CleanableItem> items,
                                                                   CleaningModuleID moduleID) {
    auto outcome = std::make_shared<StreamOutcome>();
    streams.push_back(service().deletionEvents(std::move(items), moduleID));
    streams.back().listen(
        executor, [outcome](DeletionEvent event) { outcome->events.push_back(std::move(event)); },
        [outcome](std::optional<support::Error> error) {
            outcome->ended = true;
            outcome->error = std::move(error);
        });
    return outcome;
}

StreamOutcome SecureDeletionServiceHarness::run(std::vector<CleanableItem> items,
                                                CleaningModuleID moduleID) {
    const auto outcome = start(std::move(items), moduleID);
    drain();
    return *outcome;
}

void SecureDeletionServiceHarness::drain() {
    while (executor->runAll() + storeExecutor->runAll() > 0) {
    }
}

std::vector<DeletionReceipt> SecureDeletionServiceHarness::storedReceipts() {
    std::vector<DeletionReceipt> receipts;
    store->cachedReceipts([&](support::Result<std::vector<DeletionReceipt>> cached) {
        receipts = std::move(cached).value();
    });
    drain();
    return receipts;
}

std::vector<std::string> eventKinds(const std::vector<DeletionEvent>& events) {
    std::vector<std::string> names;
    for (const auto& event : events) {
        names.push_back(std::visit(
            [](const auto& value) -> std::string {
                using Event = std::decay_t<decltype(value)>;
                if constexpr (std::is_same_v<Event, DeletionStarted>) {
                    return "started " + std::to_string(value.totalCount);
                } else if constexpr (std::is_same_v<Event, DeletionItemStarted>) {
                    return "itemStarted " + value.item.displayName;
                } else if constexpr (std::is_same_v<Event, DeletionItemCompleted>) {
                    return "itemCompleted";
                } else if constexpr (std::is_same_v<Event, DeletionItemFailed>) {
                    return "itemFailed";
                } else {
                    return "finished";
                }
            },
            event));
    }
    return names;
}

CleanableItem itemAt(const std::filesystem::path& path, std::int64_t sizeInBytes) {
    CleanableItem item;
    item.url = path;
    item.displayName = path.filename().string();
    item.sizeInBytes = sizeInBytes;
    item.moduleID = CleaningModuleID::tempFiles;
    return item;
}

std::vector<CleanableItem> filesNamed(const std::filesystem::path& folder,
                                      std::initializer_list<std::string> names) {
    std::vector<CleanableItem> items;
    for (const std::string& name : names) {
        makeFile(folder / name, 1);
        items.push_back(itemAt(folder / name, 1));
    }
    return items;
}

}  // namespace quillo::testing
