#include "deletion/ReceiptStore.h"

#include <cstring>
#include <iterator>
#include <nlohmann/json.hpp>

#include "platform/AtomicFile.h"
#include "platform/FileReading.h"
#include "platform/SetAside.h"
#include "platform/StandardDirectories.h"

namespace quillo {

namespace {

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

}  // namespace

std::optional<std::vector<DeletionReceipt>> decodeReceipts(std::string_view text) {
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

namespace {

support::Error unreadable(const std::string& reason) {
    return storeError("Belegdatei nicht lesbar: " + reason);
}

support::Result<LoadedFile> loadFile(const std::filesystem::path& url) {
    auto contents = platform::readWholeFile(url);
    if (!contents) {
        return unreadable(contents.error().description());
    }
    if (!contents.value()) {
        return LoadedFile{};
    }
    auto receipts = decodeReceipts(*contents.value());
    if (!receipts) {
        return LoadedFile{{}, true};
    }
    return LoadedFile{std::move(*receipts), false};
}

// Text that is not UTF-8 (a hash taken from a tool's output) is written with replacement
// characters: refusing it would keep every later append from saving the receipts it holds.
std::string encodeReceipts(const std::vector<DeletionReceipt>& receipts) {
    auto document = nlohmann::ordered_json::array();
    for (const auto& receipt : receipts) {
        document.push_back(encodeReceipt(receipt));
    }
    return document.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
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
    if (auto aside = platform::moveUnreadableFileAside(url, clock_()); !aside) {
        return asideError(aside.error().as<platform::FileWriteError>()->code());
    }
    undecodableFileOnDisk_ = false;
    return support::Unit{};
}

}  // namespace quillo
