#include <nlohmann/json.hpp>

#include "helper/HelperProtocol.h"
#include "helper/ProtocolFields.h"
#include "support/JsonMembers.h"

namespace quillo {

namespace {

support::Error malformed() {
    return support::Error::make(
        HelperProtocolError("Der Administrator-Helfer hat eine unlesbare Antwort gegeben."));
}

nlohmann::ordered_json encodeItem(const CleanableItem& item) {
    auto warnings = nlohmann::ordered_json::array();
    for (const auto warning : item.warnings) {
        warnings.push_back(std::string(rawValue(warning)));
    }
    nlohmann::ordered_json record;
    record["id"] = item.id.uppercaseString();
    record["path"] = item.url.native();
    record["displayName"] = item.displayName;
    record["sizeInBytes"] = item.sizeInBytes;
    record["lastModified"] = microsecondsSinceEpoch(item.lastModified);
    record["moduleID"] = std::string(rawValue(item.moduleID));
    record["warnings"] = std::move(warnings);
    record["isSafeToDeleteByDefault"] = item.isSafeToDeleteByDefault;
    return record;
}

std::optional<CleanableItem> decodeItem(const nlohmann::json& record) {
    const auto id = uuidMember(record, "id");
    auto path = support::stringMember(record, "path");
    auto displayName = support::stringMember(record, "displayName");
    const auto size = support::integerMember(record, "sizeInBytes");
    const auto modified = timeMember(record, "lastModified");
    const auto moduleName = support::stringMember(record, "moduleID");
    const auto moduleID = moduleName ? fromRawValue<CleaningModuleID>(*moduleName) : std::nullopt;
    const auto* warningNames = support::jsonMember(record, "warnings");
    const auto safe = support::booleanMember(record, "isSafeToDeleteByDefault");
    if (!id || !path || !displayName || !size || !modified || !moduleID ||
        warningNames == nullptr || !warningNames->is_array() || !safe) {
        return std::nullopt;
    }
    std::vector<CleanableItemWarning> warnings;
    for (const auto& name : *warningNames) {
        if (name.is_string()) {
            if (const auto warning = fromRawValue<CleanableItemWarning>(name.get<std::string>())) {
                warnings.push_back(*warning);
            }
        }
    }
    return CleanableItem{.id = *id,
                         .url = std::move(*path),
                         .displayName = std::move(*displayName),
                         .sizeInBytes = *size,
                         .lastModified = *modified,
                         .moduleID = *moduleID,
                         .warnings = std::move(warnings),
                         .isSafeToDeleteByDefault = *safe};
}

nlohmann::ordered_json encode(const CleanableItem& item) {
    return {{"message", "item"}, {"item", encodeItem(item)}};
}

nlohmann::ordered_json encode(const HelperItemStarted& started) {
    return {{"message", "itemStarted"}, {"id", started.id.uppercaseString()}};
}

nlohmann::ordered_json encode(const DeletedFileRecord& record) {
    return {{"message", "itemCompleted"},
            {"id", record.id.uppercaseString()},
            {"sizeInBytes", record.sizeInBytes},
            {"receiptHash", record.receiptHash}};
}

nlohmann::ordered_json encode(const FailedFileRecord& record) {
    return {
        {"message", "itemFailed"}, {"id", record.id.uppercaseString()}, {"reason", record.reason}};
}

nlohmann::ordered_json encode(const DeletionReceipt& receipt) {
    return {{"message", "receipt"}, {"receipt", encodeReceipt(receipt)}};
}

nlohmann::ordered_json encode(const HelperDone&) {
    return {{"message", "done"}};
}

nlohmann::ordered_json encode(const HelperRefusal& refusal) {
    return {{"message", "refused"}, {"reason", refusal.reason}};
}

std::optional<HelperMessage> decodeKnown(const std::string& kind, const nlohmann::json& record) {
    const auto id = uuidMember(record, "id");
    if (kind == "item") {
        const auto* item = support::jsonMember(record, "item");
        auto decoded = item != nullptr ? decodeItem(*item) : std::nullopt;
        return decoded ? std::optional<HelperMessage>(std::move(*decoded)) : std::nullopt;
    }
    if (kind == "itemStarted" && id) {
        return HelperItemStarted{*id};
    }
    if (kind == "itemCompleted") {
        const auto size = support::integerMember(record, "sizeInBytes");
        auto hash = support::stringMember(record, "receiptHash");
        if (id && size && hash) {
            return DeletedFileRecord{*id, *size, std::move(*hash)};
        }
    }
    if (kind == "itemFailed") {
        auto reason = support::stringMember(record, "reason");
        if (id && reason) {
            return FailedFileRecord{*id, std::move(*reason)};
        }
    }
    if (kind == "receipt") {
        const auto* receipt = support::jsonMember(record, "receipt");
        if (receipt != nullptr) {
            if (auto decoded = decodeReceipt(*receipt)) {
                return HelperMessage{std::move(decoded).value()};
            }
        }
    }
    if (kind == "done") {
        return HelperDone{};
    }
    if (kind == "refused") {
        if (auto reason = support::stringMember(record, "reason")) {
            return HelperRefusal{std::move(*reason)};
        }
    }
    return std::nullopt;
}

}  // namespace

std::string encodeMessage(const HelperMessage& message) {
    return asLine(std::visit([](const auto& value) { return encode(value); }, message));
}

support::Result<HelperMessage> decodeMessage(std::string_view line) {
    if (line.size() > kMaxMessageLineBytes) {
        return malformed();
    }
    const auto record = nlohmann::json::parse(line, nullptr, false);
    const auto kind = support::stringMember(record, "message");
    auto message = kind ? decodeKnown(*kind, record) : std::nullopt;
    if (!message) {
        return malformed();
    }
    return std::move(*message);
}

}  // namespace quillo
