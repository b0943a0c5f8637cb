// Receipt store benchmark: one batch of 10,000 receipts appended to a file that holds 100,000.
//   quillo-receipt-store-bench [FOLDER]   works in a fresh folder below FOLDER (default /tmp)
// The first append of a store reads and decodes the whole file, so it is timed on a store that
// has just been created; a second append to the same store shows the cost of the write alone.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "deletion/ReceiptStore.h"
#include "support/ManualExecutor.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kStoredReceipts = 100'000;
constexpr int kBatchReceipts = 10'000;

std::vector<quillo::DeletionReceipt> makeReceipts(int count) {
    std::vector<quillo::DeletionReceipt> receipts;
    receipts.reserve(static_cast<std::size_t>(count));
    const auto now = std::chrono::floor<std::chrono::microseconds>(Clock::now().time_since_epoch());
    for (int index = 0; index < count; ++index) {
        receipts.push_back({quillo::Uuid::random(), std::string(64, 'a' + index % 6), 4096 + index,
                            quillo::TimePoint(now + std::chrono::microseconds(index)),
                            quillo::CleaningModuleID::tempFiles});
    }
    return receipts;
}

// Appends on a manual executor and returns the milliseconds until the completion ran.
double timedAppend(quillo::ReceiptStore& store, quillo::support::ManualExecutor& executor,
                   std::vector<quillo::DeletionReceipt> receipts) {
    bool saved = false;
    const auto start = Clock::now();
    store.append(std::move(receipts), [&saved](const auto& status) {
        saved = status.ok();
        if (!saved) {
            std::fprintf(stderr, "append failed: %s\n", status.error().description().c_str());
        }
    });
    executor.runAll();
    const std::chrono::duration<double, std::milli> elapsed = Clock::now() - start;
    if (!saved) {
        std::exit(1);
    }
    return elapsed.count();
}

}  // namespace

int main(int argc, char** argv) {
    std::string pattern = std::string(argc > 1 ? argv[1] : "/tmp") + "/receipt-bench-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path folder = pattern;
    const fs::path file = folder / "Quillo" / "receipts.json";
    auto executor = std::make_shared<quillo::support::ManualExecutor>();

    auto writer = quillo::ReceiptStore::create(quillo::ReceiptStore::OnDisk{file}, executor);
    const double fill = timedAppend(*writer, *executor, makeReceipts(kStoredReceipts));
    writer.reset();

    auto store = quillo::ReceiptStore::create(quillo::ReceiptStore::OnDisk{file}, executor);
    const double first = timedAppend(*store, *executor, makeReceipts(kBatchReceipts));
    const double second = timedAppend(*store, *executor, makeReceipts(kBatchReceipts));
    const auto bytes = fs::file_size(file);

    std::printf("filling the file with %d receipts: %.1f ms\n", kStoredReceipts, fill);
    std::printf("append of %d to %d on a new store (read, decode, write): %.1f ms\n",
                kBatchReceipts, kStoredReceipts, first);
    std::printf("append of %d to %d on a loaded store (write only): %.1f ms\n", kBatchReceipts,
                kStoredReceipts + kBatchReceipts, second);
    std::printf("file size: %.1f MB\n", static_cast<double>(bytes) / 1e6);
    fs::remove_all(folder);
    return 0;
}
