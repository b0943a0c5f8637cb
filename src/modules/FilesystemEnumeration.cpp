#include "modules/FilesystemEnumeration.h"

#include <fcntl.h>

#include <atomic>
#include <memory>
#include <utility>

#include "modules/NameOrder.h"
#include "platform/DirectoryWalker.h"
#include "platform/FileStatus.h"

namespace quillo {

namespace {

// The last component as given; a trailing separator names the folder before it.
std::string lastComponent(const std::filesystem::path& url) {
    const auto withoutTrailingSeparator = url.has_filename() ? url : url.parent_path();
    const auto name = withoutTrailingSeparator.filename();
    return name.empty() ? url.native() : name.native();
}

struct ConcurrentEntriesRun {
    std::vector<std::filesystem::path> urls;
    std::vector<std::optional<FilesystemEntry>> entries;
    support::CancellationToken token;
    support::Completion<std::vector<FilesystemEntry>> done;
    std::atomic<std::size_t> remaining;

    void describe(std::size_t index) {
        if (!token.isCancelled()) {
            entries[index] = makeEntry(urls[index], token);
        }
        if (remaining.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            finish();
        }
    }

    void finish() {
        if (token.isCancelled()) {
            done(support::Error::cancelled());
            return;
        }
        std::vector<FilesystemEntry> described;
        described.reserve(entries.size());
        for (auto& entry : entries) {
            if (entry) {
                described.push_back(std::move(*entry));
            }
        }
        done(std::move(described));
    }
};

}  // namespace

bool isFolder(const std::filesystem::path& url) {
    const auto status = platform::readFileStatus(AT_FDCWD, url.c_str());
    return status && status->isDirectory.value_or(false);
}

std::optional<FilesystemEntry> makeEntry(const std::filesystem::path& url,
                                         const support::CancellationToken& token) {
    const auto status = platform::readFileStatus(AT_FDCWD, url.c_str());
    if (!status) {
        return std::nullopt;
    }
    FilesystemEntry entry;
    entry.url = url;
    entry.isDirectory = status->isDirectory.value_or(false);
    entry.sizeInBytes = entry.isDirectory ? directorySize(url, token) : status->preferredSize();
    entry.lastModified = status->lastModified ? *status->lastModified : distantPast();
    entry.name = lastComponent(url);
    return entry;
}

std::int64_t directorySize(const std::filesystem::path& url,
                           const support::CancellationToken& token) {
    std::int64_t total = 0;
    platform::walkDirectory(
        url, {.readSizes = true, .countHardLinksOnce = true}, token,
        [&total](const platform::WalkedEntry& entry) { total += entry.sizeInBytes; });
    return total;
}

std::vector<std::filesystem::path> recursiveContents(const std::filesystem::path& url,
                                                     const support::CancellationToken& token) {
    std::vector<std::filesystem::path> contents;
    std::string prefix = url.native();
    if (!prefix.empty() && prefix.back() != '/') {
        prefix += '/';
    }
    platform::walkDirectory(url, {}, token, [&](const platform::WalkedEntry& entry) {
        // Built as one string: a path parses its components once per construction.
        std::string path = prefix;
        if (!entry.parentPath.empty()) {
            path.append(entry.parentPath).append(1, '/');
        }
        path.append(entry.name);
        contents.emplace_back(std::move(path));
    });
    return contents;
}

std::vector<std::filesystem::path> sortedChildren(const std::filesystem::path& url) {
    std::vector<std::filesystem::path> children;
    platform::listDirectory(url, [&](std::string_view name) { children.push_back(url / name); });
    sortByName(children);
    return children;
}

void concurrentEntries(std::vector<std::filesystem::path> urls, support::Executor& pool,
                       support::CancellationToken token,
                       support::Completion<std::vector<FilesystemEntry>> done) {
    const std::size_t count = urls.size();
    auto run = std::make_shared<ConcurrentEntriesRun>();
    run->urls = std::move(urls);
    run->entries.resize(count);
    run->token = std::move(token);
    run->done = std::move(done);
    run->remaining = count;
    if (count == 0) {
        pool.post([run] { run->finish(); });
        return;
    }
    for (std::size_t index = 0; index < count; ++index) {
        pool.post([run, index] { run->describe(index); });
    }
}

}  // namespace quillo
