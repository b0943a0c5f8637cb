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
#include "model/ReceiptsSavedElsewhere.h"
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
        /// Where receipts go when neither the receipts file nor its folder can take them; none
        /// when empty.
        std::filesystem::path fallbackFolder{};
    };
    struct InMemory {};
    using Persistence = std::variant<OnDisk, InMemory>;

    static std::shared_ptr<ReceiptStore> create(
        Persistence persistence, support::ExecutorRef context,
        std::function<TimePoint()> clock = [] { return std::chrono::system_clock::now(); });

    /// "<application support>/Quillo/receipts.json".
    static std::filesystem::path defaultURL();
    /// "<state folder>/Quillo": the user's own, not cleared at start-up like the temporary
    /// folder, and no module offers what it holds.
    static std::filesystem::path defaultFallbackFolder();

    /// Adds `receipts` after the known ones and rewrites the whole file atomically. The file is
    /// read once, at the first non-empty append. A file that cannot be used (not decodable, not
    /// readable, no regular file) is moved aside (to "receipts.json.unreadable-<time>") before
    /// the new one is written. Where the file cannot be set aside or written, every known
    /// receipt goes to a new file "receipts-<time>.json" in the file's folder or else in the
    /// fallback folder, and the answer says where; only when that fails too, the append fails
    /// and the receipts wait in memory for the next one.
    void append(std::vector<DeletionReceipt> receipts,
                support::Completion<std::optional<ReceiptsSavedElsewhere>> done);

    /// The receipts known so far.
    void cachedReceipts(support::Completion<std::vector<DeletionReceipt>> done);

    /// Forgets every receipt: removes the receipts file and the file of its own this store
    /// wrote elsewhere, so later appends start afresh. Where a file cannot be removed the store
    /// forgets nothing and fails with the reason.
    void reset(support::Completion<support::Unit> done);

    ReceiptStore(Persistence persistence, support::ExecutorRef context,
                 std::function<TimePoint()> clock);

  private:
    support::Result<std::optional<ReceiptsSavedElsewhere>> appendNow(
        std::vector<DeletionReceipt> receipts);
    support::Status resetNow();
    void loadIfNeeded(const std::filesystem::path& url);
    support::Result<std::optional<ReceiptsSavedElsewhere>> persist(const OnDisk& disk);
    support::Status writeInPlace(const std::filesystem::path& url, const std::string& contents);
    std::optional<std::filesystem::path> writeElsewhere(const OnDisk& disk,
                                                        const std::string& contents);

    Persistence persistence_;
    support::ExecutorRef context_;
    std::function<TimePoint()> clock_;
    std::optional<std::vector<DeletionReceipt>> cache_;
    // What stands at the file's place was not usable and must be set aside before writing there.
    bool unusableFileInPlace_ = false;
    // The file of its own this store wrote last; later fallbacks rewrite it, so that one file
    // holds every receipt.
    std::optional<std::filesystem::path> savedElsewhere_;
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

/// Why the receipts could not be forgotten; the description is German and names the file.
class ReceiptResetError final : public support::ErrorDetail {
  public:
    ReceiptResetError(std::filesystem::path file, std::string reason)
        : file_(std::move(file)), reason_(std::move(reason)) {}
    [[nodiscard]] std::string description() const override;

  private:
    std::filesystem::path file_;
    std::string reason_;
};

}  // namespace quillo
