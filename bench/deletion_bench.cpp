// Deletion benchmark, driven by run-deletion-bench.sh. Every command runs the real deletion
// service with its production environment (secure random source, safe file operations, system
// log, removals on the shared pool) and an on-disk receipt store.
//   quillo-deletion-bench files FOLDER COUNT BYTES     makes COUNT files of BYTES bytes
//   quillo-deletion-bench delete MODE STORE PATH...    deletes each PATH as one item
//   quillo-deletion-bench delete-below MODE STORE FOLDER
//                                                      deletes every file in FOLDER, one item each
// MODE is a deletion mode's raw value. Timing is left to the script, so that shred, dd, rm and
// these commands are measured the same way; the peak resident size goes to standard error.

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "deletion/ReceiptStore.h"
#include "deletion/SecureDeletionService.h"
#include "support/ThreadPool.h"

namespace {

namespace fs = std::filesystem;
using namespace quillo;

[[noreturn]] void fail(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    std::exit(1);
}

void makeFiles(const fs::path& folder, long count, std::size_t bytes) {
    fs::create_directories(folder);
    const std::string data(bytes, 'q');
    for (long index = 0; index < count; ++index) {
        const fs::path file = folder / ("file-" + std::to_string(index) + ".cache");
        const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0 || ::write(fd, data.data(), bytes) != static_cast<ssize_t>(bytes)) {
            fail("cannot write " + file.string());
        }
        ::close(fd);
    }
}

CleanableItem itemFor(const fs::path& path) {
    CleanableItem item;
    item.url = path;
    item.displayName = path.filename().string();
    item.sizeInBytes = static_cast<std::int64_t>(fs::file_size(path));
    item.moduleID = CleaningModuleID::systemCaches;
    return item;
}

// Runs one deletion of `items` to its end and checks that every item went.
void deleteAll(DeletionMode mode, const fs::path& store, std::vector<CleanableItem> items) {
    const auto pool = support::ThreadPool::create();
    const auto receipts = ReceiptStore::create(ReceiptStore::OnDisk{store}, pool->makeStrand());
    // The items' own folders stand for the caches module's roots, each once.
    DeletionEnvironment environment;
    environment.removalWorkers = pool;
    std::set<fs::path> folders;
    for (const CleanableItem& item : items) {
        if (folders.insert(item.url.parent_path()).second) {
            environment.moduleAreas[CleaningModuleID::systemCaches].push_back(
                {.path = item.url.parent_path()});
        }
    }
    const auto service = SecureDeletionService::create(
        [mode](support::Completion<DeletionMode> answer) { answer(mode); }, receipts,
        pool->makeStrand(), std::move(environment));
    const std::size_t count = items.size();
    std::promise<support::Result<DeletionReport>> ended;
    service->deleteItems(std::move(items), CleaningModuleID::systemCaches,
                         [&](support::Result<DeletionReport> report) { ended.set_value(report); });
    const support::Result<DeletionReport> result = ended.get_future().get();
    if (!result.ok()) {
        fail(result.error().description());
    }
    if (result.value().succeeded.size() != count) {
        fail(std::to_string(result.value().failed.size()) + " items failed, e.g. " +
             result.value().failed.front().reason);
    }
}

DeletionMode modeNamed(std::string_view name) {
    const auto mode = fromRawValue<DeletionMode>(name);
    if (!mode) {
        fail("unknown mode " + std::string(name));
    }
    return *mode;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.size() == 4 && arguments[0] == "files") {
        makeFiles(arguments[1], std::stol(arguments[2]), std::stoul(arguments[3]));
        return 0;
    }
    if (arguments.size() < 4 || (arguments[0] != "delete" && arguments[0] != "delete-below")) {
        fail("usage: see the head of deletion_bench.cpp");
    }
    std::vector<CleanableItem> items;
    if (arguments[0] == "delete") {
        for (std::size_t index = 3; index < arguments.size(); ++index) {
            items.push_back(itemFor(arguments[index]));
        }
    } else {
        for (const auto& entry : fs::directory_iterator(arguments[3])) {
            items.push_back(itemFor(entry.path()));
        }
    }
    deleteAll(modeNamed(arguments[1]), arguments[2], std::move(items));
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    std::fprintf(stderr, "peak resident size: %ld KiB\n", usage.ru_maxrss);
    return 0;
}
