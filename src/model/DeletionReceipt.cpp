#include "model/DeletionReceipt.h"

#include <optional>

#include "model/ReferenceDate.h"
#include "support/Hashing.h"
#include "support/JsonMembers.h"

namespace quillo {

using support::integerMember;
using support::numberMember;
using support::stringMember;

namespace {

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
