#pragma once

#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "model/CleanableItem.h"
#include "model/CleaningModuleID.h"
#include "model/DeletionMode.h"
#include "model/DeletionReceipt.h"
#include "model/DeletionReport.h"
#include "model/ScanDepth.h"
#include "model/Uuid.h"
#include "support/Error.h"
#include "support/Result.h"

// The administrator helper's conversation: one request line on its standard input, answered by
// message lines on its standard output, each a JSON object ending in "\n".
namespace quillo {

/// The longest request line the helper reads; anything longer is refused unread.
inline constexpr std::size_t kMaxRequestLineBytes = std::size_t{8} << 20;
/// The most paths one deletion request may wish for.
inline constexpr std::size_t kMaxWishes = 100'000;
/// The most keep-list rules one deletion request may carry.
inline constexpr std::size_t kMaxKeptRules = 10'000;
/// The longest answer line the application reads from the helper.
inline constexpr std::size_t kMaxMessageLineBytes = std::size_t{64} << 10;

/// Scan these modules' system roots; a standard scan offers logs older than the retention,
/// which is always within 0 … 365 days once read.
struct HelperScanRequest {
    std::set<CleaningModuleID> modules;
    ScanDepth depth = ScanDepth::standard;
    int logRetentionDays = 7;
    friend bool operator==(const HelperScanRequest&, const HelperScanRequest&) = default;
};

/// One path the caller would like deleted. The id labels the answers about it and is what the
/// receipt names; nothing else of the caller's item crosses over.
struct HelperWish {
    Uuid id;
    /// Nothing when the request named a module this build does not know.
    std::optional<CleaningModuleID> moduleID;
    std::string path;
    friend bool operator==(const HelperWish&, const HelperWish&) = default;
};

/// Delete these wished paths in this mode, touching nothing the user's keep-list touches; the
/// archived journals are vacuumed with the retention, which is always within 0 … 365 days once
/// read.
struct HelperDeleteRequest {
    DeletionMode mode = DeletionMode::standard;
    std::vector<HelperWish> wishes;
    /// The keep-list's rules; it can only narrow what is deleted, so it is taken as sent.
    std::vector<std::string> kept{};
    int logRetentionDays = 7;
    friend bool operator==(const HelperDeleteRequest&, const HelperDeleteRequest&) = default;
};

using HelperRequest = std::variant<HelperScanRequest, HelperDeleteRequest>;

/// The helper began deleting the wish with this id.
struct HelperItemStarted {
    Uuid id;
    friend bool operator==(const HelperItemStarted&, const HelperItemStarted&) = default;
};

/// The last message of a request the helper answered to its end.
struct HelperDone {
    friend bool operator==(const HelperDone&, const HelperDone&) = default;
};

/// The whole request was refused; nothing was touched.
struct HelperRefusal {
    std::string reason;
    friend bool operator==(const HelperRefusal&, const HelperRefusal&) = default;
};

/// One answer line: a found item (scan); an item's start, its removal or failure, the receipt
/// of a removed item (deletion); the end; or why the request, or what was left of it, was not
/// carried out. Items are named by the wish's id only: the caller knows the rest.
using HelperMessage = std::variant<CleanableItem, HelperItemStarted, DeletedFileRecord,
                                   FailedFileRecord, DeletionReceipt, HelperDone, HelperRefusal>;

/// A request or message that could not be read; the description is German.
class HelperProtocolError final : public support::ErrorDetail {
  public:
    explicit HelperProtocolError(std::string reason) : reason_(std::move(reason)) {}
    [[nodiscard]] std::string description() const override { return reason_; }

  private:
    std::string reason_;
};

/// The request as one line. Paths are UTF-8 text: a path that is not cannot be wished for.
std::string encodeRequest(const HelperRequest& request);

/// Fails with a `HelperProtocolError` for anything but one well-formed request within the caps.
/// A wish for an unknown module is kept (without module) so that it can be refused by itself.
support::Result<HelperRequest> decodeRequest(std::string_view line);

/// The message as one line.
std::string encodeMessage(const HelperMessage& message);

/// Fails with a `HelperProtocolError` for anything but one well-formed message.
support::Result<HelperMessage> decodeMessage(std::string_view line);

}  // namespace quillo
