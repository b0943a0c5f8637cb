#include "deletion/ReceiptStore.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <sstream>

#include "platform/AtomicFile.h"
#include "platform/StandardDirectories.h"
#include "support/Formatting.h"

namespace quillo {

namespace {

constexpr int kMaxAsideAttempts = 100;

support::Error storeError(std::string reason) {
    return support::Error::make(ReceiptStoreError(std::move(reason)));
}

support::Error storeError(const support::Error& cause) {
    return storeError(cause.description());
}

support::Error asideError(int code) {
    return storeError(std::string("unlesbare Belegdatei konnte nicht beiseitegelegt werden: ") +
                      std::strerror(code));
}

struct LoadedFile {
    std::vector<DeletionReceipt> receipts;
    bool undecodable = false;
};

std::optional<std::vector<DeletionReceipt>> decodeReceipts(const std::string& text) {
    const auto document = nlohmann::json::parse(text, nullptr, false);
    if (document.is_discarded() || !document.is_array()) {
        return std::nullopt;
    }
    std::vector<DeletionReceipt> receipts;
    receipts.reserve(document.size());
    for (const auto& element : document) {
        auto receipt = decodeReceipt(element);
        if (!receipt) {
            return std::nullopt;
        }
        receipts.push_back(std::move(receipt).value());
    }
    return receipts;
}

support::Result<LoadedFile> loadFile(const std::filesystem::path& url) {
    struct stat status {};
    if (::stat(url.c_str(), &status) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return LoadedFile{};
        }
        return storeError(std::string("Belegdatei nicht lesbar: ") + std::strerror(errno));
    }
    std::ifstream input(url, std::ios::binary);
    std::ostringstream contents;
    if (!S_ISREG(status.st_mode) || !input || !(contents << input.rdbuf())) {
        const int code = S_ISDIR(status.st_mode) ? EISDIR : (errno != 0 ? errno : EIO);
        return storeError(std::string("Belegdatei nicht lesbar: ") + std::strerror(code));
    }
    auto receipts = decodeReceipts(contents.str());
    if (!receipts) {
        return LoadedFile{{}, true};
    }
    return LoadedFile{std::move(*receipts), false};
}

std::string encodeReceipts(const std::vector<DeletionReceipt>& receipts) {
    auto document = nlohmann::ordered_json::array();
    for (const auto& receipt : receipts) {
        document.push_back(encodeReceipt(receipt));
    }
    return document.dump();
}

}  // namespace

std::string ReceiptStoreError::description() const {
    return "Löschbelege konnten nicht gespeichert werden: " + reason_;
}

ReceiptStore::ReceiptStore(Persistence persistence, support::ExecutorRef context,
                           std::function<TimePoint()> clock)
    : persistence_(std::move(persistence)), context_(std::move(context)), clock_(std::move(clock)) {
    if (std::holds_alternative<InMemory>(persistence_)) {
        cache_.emplace();
    }
}

std::shared_ptr<ReceiptStore> ReceiptStore::create(Persistence persistence,
                                                   support::ExecutorRef context,
                                                   std::function<TimePoint()> clock) {
    return std::make_shared<ReceiptStore>(std::move(persistence), std::move(context),
                                          std::move(clock));
}

std::filesystem::path ReceiptStore::defaultURL() {
    return platform::applicationSupportFolder() / "Quillo" / "receipts.json";
}

void ReceiptStore::append(std::vector<DeletionReceipt> receipts,
                          support::Completion<support::Unit> done) {
    context_->post(
        [self = shared_from_this(), receipts = std::move(receipts),
         done = std::move(done)]() mutable { done(self->appendNow(std::move(receipts))); });
}

void ReceiptStore::cachedReceipts(support::Completion<std::vector<DeletionReceipt>> done) {
    context_->post([self = shared_from_this(), done = std::move(done)] {
        done(self->cache_ ? *self->cache_ : self->unsaved_);
    });
}

support::Status ReceiptStore::appendNow(std::vector<DeletionReceipt> receipts) {
    if (receipts.empty()) {
        return support::Unit{};
    }
    if (auto loaded = loadIfNeeded(); !loaded) {
        unsaved_.insert(unsaved_.end(), std::make_move_iterator(receipts.begin()),
                        std::make_move_iterator(receipts.end()));
        return loaded;
    }
    cache_->insert(cache_->end(), std::make_move_iterator(receipts.begin()),
                   std::make_move_iterator(receipts.end()));
    if (const auto* disk = std::get_if<OnDisk>(&persistence_)) {
        return persist(disk->url);
    }
    return support::Unit{};
}

support::Status ReceiptStore::loadIfNeeded() {
    if (cache_) {
        return support::Unit{};
    }
    auto loaded = loadFile(std::get<OnDisk>(persistence_).url);
    if (!loaded) {
        return loaded.error();
    }
    cache_ = std::move(loaded.value().receipts);
    undecodableFileOnDisk_ = loaded.value().undecodable;
    cache_->insert(cache_->end(), std::make_move_iterator(unsaved_.begin()),
                   std::make_move_iterator(unsaved_.end()));
    unsaved_.clear();
    return support::Unit{};
}

support::Status ReceiptStore::persist(const std::filesystem::path& url) {
    if (auto folder = platform::createFolders(url.parent_path()); !folder) {
        return storeError(folder.error());
    }
    if (undecodableFileOnDisk_) {
        if (auto aside = moveUnreadableAside(url); !aside) {
            return aside;
        }
    }
    if (auto written = platform::writeFileAtomically(url, encodeReceipts(*cache_)); !written) {
        return storeError(written.error());
    }
    return support::Unit{};
}

// The old file may hold receipts of earlier runs in a form this version cannot read; it is kept
// under a name of its own instead of being overwritten.
support::Status ReceiptStore::moveUnreadableAside(const std::filesystem::path& url) {
    const std::string base =
        url.native() + ".unreadable-" + support::formatFileNameTimestamp(clock_());
    for (int attempt = 1; attempt <= kMaxAsideAttempts; ++attempt) {
        const std::string aside = attempt == 1 ? base : base + "-" + std::to_string(attempt);
        if (::renameat2(AT_FDCWD, url.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) == 0 ||
            errno == ENOENT) {
            undecodableFileOnDisk_ = false;
            return support::Unit{};
        }
        if (errno != EEXIST) {
            return asideError(errno);
        }
    }
    return asideError(EEXIST);
}

}  // namespace quillo
