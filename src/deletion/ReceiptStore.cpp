#include "deletion/ReceiptStore.h"

#include <cstring>
#include <iterator>
#include <nlohmann/json.hpp>

#include "platform/AtomicFile.h"
#include "platform/FileReading.h"
#include "platform/SetAside.h"
#include "platform/StandardDirectories.h"
#include "support/Formatting.h"

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
    bool unusable = false;
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

// Whatever cannot be used is set aside later, so reading never fails: unreadable and
// undecodable files alike start an empty list.
LoadedFile loadFile(const std::filesystem::path& url) {
    auto contents = platform::readRegularFile(url);
    if (!contents) {
        return LoadedFile{{}, true};
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

std::string ReceiptResetError::description() const {
    return "Die Löschbelege in „" + file_.string() + "“ konnten nicht entfernt werden: " + reason_;
}

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

std::filesystem::path ReceiptStore::defaultFallbackFolder() {
    return platform::stateFolder() / "Quillo";
}

void ReceiptStore::append(std::vector<DeletionReceipt> receipts,
                          support::Completion<std::optional<ReceiptsSavedElsewhere>> done) {
    context_->post(
        [self = shared_from_this(), receipts = std::move(receipts),
         done = std::move(done)]() mutable { done(self->appendNow(std::move(receipts))); });
}

void ReceiptStore::cachedReceipts(support::Completion<std::vector<DeletionReceipt>> done) {
    context_->post([self = shared_from_this(), done = std::move(done)] {
        done(self->cache_.value_or(std::vector<DeletionReceipt>{}));
    });
}

void ReceiptStore::reset(support::Completion<support::Unit> done) {
    context_->post([self = shared_from_this(), done = std::move(done)] { done(self->resetNow()); });
}

support::Status ReceiptStore::resetNow() {
    if (const auto* disk = std::get_if<OnDisk>(&persistence_)) {
        std::vector<std::filesystem::path> files{disk->url};
        if (savedElsewhere_) {
            files.push_back(*savedElsewhere_);
        }
        for (const auto& file : files) {
            std::error_code error;
            if (!std::filesystem::remove(file, error) && error) {
                return support::Error::make(ReceiptResetError(file, error.message()));
            }
        }
    }
    cache_.emplace();
    unusableFileInPlace_ = false;
    savedElsewhere_.reset();
    return support::Unit{};
}

support::Result<std::optional<ReceiptsSavedElsewhere>> ReceiptStore::appendNow(
    std::vector<DeletionReceipt> receipts) {
    if (receipts.empty()) {
        return std::optional<ReceiptsSavedElsewhere>();
    }
    const auto* disk = std::get_if<OnDisk>(&persistence_);
    if (disk != nullptr) {
        loadIfNeeded(disk->url);
    }
    cache_->insert(cache_->end(), std::make_move_iterator(receipts.begin()),
                   std::make_move_iterator(receipts.end()));
    if (disk == nullptr) {
        return std::optional<ReceiptsSavedElsewhere>();
    }
    return persist(*disk);
}

void ReceiptStore::loadIfNeeded(const std::filesystem::path& url) {
    if (cache_) {
        return;
    }
    auto loaded = loadFile(url);
    cache_ = std::move(loaded.receipts);
    unusableFileInPlace_ = loaded.unusable;
}

support::Result<std::optional<ReceiptsSavedElsewhere>> ReceiptStore::persist(const OnDisk& disk) {
    const std::string contents = encodeReceipts(*cache_);
    const auto inPlace = writeInPlace(disk.url, contents);
    if (inPlace) {
        return std::optional<ReceiptsSavedElsewhere>();
    }
    auto elsewhere = writeElsewhere(disk, contents);
    if (!elsewhere) {
        return inPlace.error();
    }
    return std::optional<ReceiptsSavedElsewhere>(
        ReceiptsSavedElsewhere{std::move(*elsewhere), disk.url});
}

// The old file may hold receipts of earlier runs in a form this version cannot read; it is kept
// under a name of its own instead of being overwritten. Whatever could not be set aside is never
// written over.
support::Status ReceiptStore::writeInPlace(const std::filesystem::path& url,
                                           const std::string& contents) {
    if (auto folder = platform::createFolders(url.parent_path()); !folder) {
        return storeError(folder.error());
    }
    if (unusableFileInPlace_) {
        if (auto aside = platform::moveUnreadableFileAside(url, clock_()); !aside) {
            return asideError(aside.error().as<platform::FileWriteError>()->code());
        }
        unusableFileInPlace_ = false;
    }
    if (auto written = platform::writeFileAtomically(url, contents); !written) {
        return storeError(written.error());
    }
    return support::Unit{};
}

std::optional<std::filesystem::path> ReceiptStore::writeElsewhere(const OnDisk& disk,
                                                                  const std::string& contents) {
    if (savedElsewhere_ && platform::writeFileAtomically(*savedElsewhere_, contents)) {
        return savedElsewhere_;
    }
    const std::string name = "receipts-" + support::formatFileNameTimestamp(clock_());
    for (const auto& folder : {disk.url.parent_path(), disk.fallbackFolder}) {
        if (folder.empty() || !platform::createFolders(folder)) {
            continue;
        }
        if (auto file = platform::writeNewFile(folder / name, ".json", contents)) {
            savedElsewhere_ = std::move(file).value();
            return savedElsewhere_;
        }
    }
    return std::nullopt;
}

}  // namespace quillo
