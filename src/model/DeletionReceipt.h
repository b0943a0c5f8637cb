#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>

#include "model/CleaningModuleID.h"
#include "model/TimePoint.h"
#include "model/Uuid.h"
#include "support/Error.h"
#include "support/Result.h"

namespace quillo {

/// The stored proof that one item was deleted. It holds no path.
struct DeletionReceipt {
    /// The receipt's own id, not the item's.
    Uuid id;
    /// 64 lowercase hexadecimal digits.
    std::string hash;
    std::int64_t sizeInBytes = 0;
    TimePoint deletedAt;
    CleaningModuleID moduleID = CleaningModuleID::systemCaches;

    friend bool operator==(const DeletionReceipt&, const DeletionReceipt&) = default;
};

/// The record {"id", "hash", "sizeInBytes", "deletedAt", "moduleID"}, keys in that order; the date
/// as seconds since 2001-01-01 00:00:00 UTC.
nlohmann::ordered_json encodeReceipt(const DeletionReceipt& receipt);

/// Fails with a `ReceiptDecodingError` when a key is missing or holds a value of the wrong kind.
support::Result<DeletionReceipt> decodeReceipt(const nlohmann::json& record);

class ReceiptDecodingError final : public support::ErrorDetail {
  public:
    explicit ReceiptDecodingError(std::string key) : key_(std::move(key)) {}

    /// The key whose value was missing or unusable.
    [[nodiscard]] const std::string& key() const { return key_; }
    [[nodiscard]] std::string description() const override;

  private:
    std::string key_;
};

}  // namespace quillo

template <>
struct std::hash<quillo::DeletionReceipt> {
    std::size_t operator()(const quillo::DeletionReceipt& receipt) const noexcept;
};
