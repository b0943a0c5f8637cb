#include "model/DeletionReceipt.h"

#include <limits>
#include <optional>

#include "model/ReferenceDate.h"
#include "support/Hashing.h"

namespace quillo {

namespace {

const nlohmann::json* member(const nlohmann::json& record, const char* key) {
    if (!record.is_object()) {
        return nullptr;
    }
    const auto found = record.find(key);
    return found == record.end() ? nullptr : &*found;
}

std::optional<std::string> stringMember(const nlohmann::json& record, const char* key) {
    const auto* value = member(record, key);
    if (value == nullptr || !value->is_string()) {
        return std::nullopt;
    }
    return value->get<std::string>();
}

std::optional<std::int64_t> integerMember(const nlohmann::json& record, const char* key) {
    const auto* value = member(record, key);
    if (value == nullptr) {
        return std::nullopt;
    }
    if (value->is_number_unsigned()) {
        const auto unsignedValue = value->get<std::uint64_t>();
        if (unsignedValue > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
            return std::nullopt;
        }
        return static_cast<std::int64_t>(unsignedValue);
    }
    if (value->is_number_integer()) {
        return value->get<std::int64_t>();
    }
    return std::nullopt;
}

std::optional<double> numberMember(const nlohmann::json& record, const char* key) {
    const auto* value = member(record, key);
    if (value == nullptr || !value->is_number()) {
        return std::nullopt;
    }
    return value->get<double>();
}

support::Error missing(const char* key) {
    return support::Error::make(ReceiptDecodingError(key));
}

}  // namespace

nlohmann::ordered_json encodeReceipt(const DeletionReceipt& receipt) {
    nlohmann::ordered_json record;
    record["id"] = receipt.id.uppercaseString();
    record["hash"] = receipt.hash;
    record["sizeInBytes"] = receipt.sizeInBytes;
    record["deletedAt"] = secondsSinceReferenceDate(receipt.deletedAt);
    record["moduleID"] = std::string(rawValue(receipt.moduleID));
    return record;
}

support::Result<DeletionReceipt> decodeReceipt(const nlohmann::json& record) {
    const auto idText = stringMember(record, "id");
    const auto id = idText ? Uuid::parse(*idText) : std::nullopt;
    if (!id) {
        return missing("id");
    }
    auto hash = stringMember(record, "hash");
    if (!hash) {
        return missing("hash");
    }
    const auto size = integerMember(record, "sizeInBytes");
    if (!size) {
        return missing("sizeInBytes");
    }
    // A date beyond the clock's range cannot be converted without overflow.
    const auto deletedAt = numberMember(record, "deletedAt");
    if (!deletedAt || !isRepresentableSecondsSinceReferenceDate(*deletedAt)) {
        return missing("deletedAt");
    }
    const auto moduleText = stringMember(record, "moduleID");
    const auto moduleID = moduleText ? fromRawValue<CleaningModuleID>(*moduleText) : std::nullopt;
    if (!moduleID) {
        return missing("moduleID");
    }
    return DeletionReceipt{*id, std::move(*hash), *size, fromSecondsSinceReferenceDate(*deletedAt),
                           *moduleID};
}

std::string ReceiptDecodingError::description() const {
    return "Beleg unlesbar: Feld \"" + key_ + "\" fehlt oder ist ungültig.";
}

}  // namespace quillo

std::size_t std::hash<quillo::DeletionReceipt>::operator()(
    const quillo::DeletionReceipt& receipt) const noexcept {
    return quillo::support::hashAll(receipt.id, receipt.hash, receipt.sizeInBytes,
                                    receipt.deletedAt.time_since_epoch().count(), receipt.moduleID);
}
