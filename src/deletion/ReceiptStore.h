#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "model/DeletionReceipt.h"
#include "model/TimePoint.h"
#include "support/Error.h"
#include "support/Executor.h"
#include "support/Result.h"

namespace quillo {

/// Keeps the receipts of every deletion, in append order, in "receipts.json". A serialised
/// object: its operations run one at a time on its context and call back there.
class ReceiptStore final : public std::enable_shared_from_this<ReceiptStore> {
  public:
    struct OnDisk {
        std::filesystem::path url;
    };
    struct InMemory {};
    using Persistence = std::variant<OnDisk, InMemory>;

    static std::shared_ptr<ReceiptStore> create(
        Persistence persistence, support::ExecutorRef context,
        std::function<TimePoint()> clock = [] { return std::chrono::system_clock::now(); });

    /// "<application support>/Quillo/receipts.json".
    static std::filesystem::path defaultURL();

    /// Adds `receipts` after the known ones and rewrites the whole file atomically. The file is
    /// read once, at the first non-empty append. A file that cannot be decoded is moved aside
    /// (to "receipts.json.unreadable-<time>") before the new one is written; a file that cannot
    /// be read fails the append and stays as it is, and the receipts wait in memory for the
    /// next append.
    void append(std::vector<DeletionReceipt> receipts, support::Completion<support::Unit> done);

    /// The receipts known so far: the cache, or those appended but not yet saved.
    void cachedReceipts(support::Completion<std::vector<DeletionReceipt>> done);

    ReceiptStore(Persistence persistence, support::ExecutorRef context,
                 std::function<TimePoint()> clock);

  private:
    support::Status appendNow(std::vector<DeletionReceipt> receipts);
    support::Status loadIfNeeded();
    support::Status persist(const std::filesystem::path& url);
    support::Status moveUnreadableAside(const std::filesystem::path& url);

    Persistence persistence_;
    support::ExecutorRef context_;
    std::function<TimePoint()> clock_;
    std::optional<std::vector<DeletionReceipt>> cache_;
    // Appended while the file could not be read; saved with the next append that can.
    std::vector<DeletionReceipt> unsaved_;
    bool undecodableFileOnDisk_ = false;
};

/// The receipts of the text of a "receipts.json": nothing unless it is a JSON array whose every
/// element decodes as a receipt.
std::optional<std::vector<DeletionReceipt>> decodeReceipts(std::string_view text);

/// Why receipts could not be stored; the description is German and names the reason.
class ReceiptStoreError final : public support::ErrorDetail {
  public:
    explicit ReceiptStoreError(std::string reason) : reason_(std::move(reason)) {}
    [[nodiscard]] std::string description() const override;

  private:
    std::string reason_;
};

}  // namespace quillo
