// Folder sizing benchmark, driven by run-enumeration-bench.sh.
//   quillo-enumeration-bench create ROOT         builds the synthetic tree below ROOT
//   quillo-enumeration-bench size ROOT           prints directorySize(ROOT)
//   quillo-enumeration-bench concurrent ROOT     prints the sum of concurrentEntries over the
//                                                children of ROOT, on the shared thread pool
//   quillo-enumeration-bench caches ROOT         prints the bytes of a standard caches-module scan
//                                                with ROOT as its only root
// Timing is left to the script, so that du and these commands are measured the same way.

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <random>
#include <string>
#include <string_view>

#include "modules/FilesystemEnumeration.h"
#include "modules/SystemCachesActor.h"
#include "support/ThreadPool.h"

namespace {

namespace fs = std::filesystem;

constexpr int kTopFolders = 40;
constexpr int kMiddleFolders = 10;
constexpr int kLeafFolders = 24;
constexpr int kFilesPerFolder = 20;  // 40 × 251 folders, 200,800 files

class TreeWriter {
  public:
    TreeWriter() : buffer_(512 * 1024, 'q') {}

    void fillFolder(const fs::path& folder) {
        fs::create_directories(folder);
        for (int index = 0; index < kFilesPerFolder; ++index) {
            writeFile(folder / ("file-" + std::to_string(index) + ".dat"));
        }
        // A few hard links and links per folder; hard links stay inside the folder, so every
        // top-level folder holds all names of its files.
        if (folderCount_++ % 50 == 0) {
            fs::create_hard_link(folder / "file-0.dat", folder / "file-0.hardlink");
            fs::create_symlink("file-1.dat", folder / "file-1.symlink");
        }
    }

  private:
    // Mostly small files, some medium, a few large and a few sparse ones.
    void writeFile(const fs::path& path) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) {
            std::perror(path.c_str());
            std::exit(1);
        }
        const auto pick = std::uniform_int_distribution<int>(0, 999)(random_);
        std::size_t bytes = 0;
        if (pick < 300) {
            bytes = 0;
        } else if (pick < 900) {
            bytes = std::uniform_int_distribution<std::size_t>(1, 4096)(random_);
        } else if (pick < 990) {
            bytes = std::uniform_int_distribution<std::size_t>(4097, 32 * 1024)(random_);
        } else if (pick < 998) {
            bytes = std::uniform_int_distribution<std::size_t>(32 * 1024, 256 * 1024)(random_);
        } else {
            bytes = 4096;
            if (::ftruncate(fd, 8 * 1024 * 1024) != 0) {
                std::perror("ftruncate");
                std::exit(1);
            }
        }
        if (bytes > 0 && ::write(fd, buffer_.data(), bytes) != static_cast<ssize_t>(bytes)) {
            std::perror("write");
            std::exit(1);
        }
        ::close(fd);
    }

    std::string buffer_;
    std::mt19937_64 random_{20240601};
    int folderCount_ = 0;
};

int create(const fs::path& root) {
    TreeWriter writer;
    for (int top = 0; top < kTopFolders; ++top) {
        const auto topFolder = root / ("app-" + std::to_string(top));
        writer.fillFolder(topFolder);
        for (int middle = 0; middle < kMiddleFolders; ++middle) {
            const auto middleFolder = topFolder / ("cache " + std::to_string(middle));
            writer.fillFolder(middleFolder);
            for (int leaf = 0; leaf < kLeafFolders; ++leaf) {
                writer.fillFolder(middleFolder / ("entry-" + std::to_string(leaf)));
            }
        }
    }
    return 0;
}

int size(const fs::path& root) {
    std::printf("%lld\n", static_cast<long long>(quillo::directorySize(root)));
    return 0;
}

int concurrent(const fs::path& root) {
    auto pool = quillo::support::ThreadPool::create();
    std::promise<quillo::support::Result<std::vector<quillo::FilesystemEntry>>> promise;
    quillo::concurrentEntries(quillo::sortedChildren(root), *pool, {},
                              [&promise](auto result) { promise.set_value(std::move(result)); });
    const auto result = promise.get_future().get();
    if (!result.ok()) {
        std::fprintf(stderr, "%s\n", result.error().description().c_str());
        return 1;
    }
    std::int64_t total = 0;
    for (const auto& entry : result.value()) {
        total += entry.sizeInBytes;
    }
    std::printf("%lld\n", static_cast<long long>(total));
    return 0;
}

int caches(const fs::path& root) {
    auto pool = quillo::support::ThreadPool::create();
    auto module = std::make_shared<quillo::SystemCachesActor>(
        std::vector{root},
        [](const std::function<void(std::set<std::string>)>& answer) { answer({}); },
        [](const std::function<void(quillo::ScanDepth)>& answer) {
            answer(quillo::ScanDepth::standard);
        },
        nullptr, quillo::ModuleEnvironment{.context = pool->makeStrand(), .pool = pool});
    std::promise<quillo::support::Result<quillo::CleanableItems>> promise;
    module->scan({}, [&promise](auto result) { promise.set_value(std::move(result)); });
    const auto result = promise.get_future().get();
    if (!result.ok()) {
        std::fprintf(stderr, "%s\n", result.error().description().c_str());
        return 1;
    }
    std::int64_t total = 0;
    for (const auto& item : result.value()) {
        total += item.sizeInBytes;
    }
    std::printf("%lld\n", static_cast<long long>(total));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s create|size|concurrent|caches ROOT\n", argv[0]);
        return 2;
    }
    const std::string_view command = argv[1];
    const fs::path root = argv[2];
    if (command == "create") {
        return create(root);
    }
    if (command == "size") {
        return size(root);
    }
    if (command == "concurrent") {
        return concurrent(root);
    }
    if (command == "caches") {
        return caches(root);
    }
    std::fprintf(stderr, "unknown command %s\n", argv[1]);
    return 2;
}
