#include <algorithm>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>

#include "helper/HelperProtocol.h"
#include "helper/ProtocolFields.h"
#include "model/KeepList.h"
#include "modules/JournalVacuum.h"
#include "modules/SystemLogsActor.h"
#include "support/JsonMembers.h"

namespace quillo {

namespace {

// More module names than modules exist means the request was not made by the application.
constexpr std::size_t kMaxModuleNames = 64;

support::Error malformed(std::string reason) {
    return support::Error::make(HelperProtocolError(std::move(reason)));
}

nlohmann::ordered_json encodeWish(const HelperWish& wish) {
    nlohmann::ordered_json record;
    record["id"] = wish.id.uppercaseString();
    record["moduleID"] = wish.moduleID ? std::string(rawValue(*wish.moduleID)) : std::string();
    record["path"] = wish.path;
    return record;
}

support::Result<HelperWish> decodeWish(const nlohmann::json& record) {
    const auto id = uuidMember(record, "id");
    const auto moduleName = support::stringMember(record, "moduleID");
    auto path = support::stringMember(record, "path");
    if (!id || !moduleName || !path) {
        return malformed("Ein Löschwunsch ist unvollständig.");
    }
    return HelperWish{*id, fromRawValue<CleaningModuleID>(*moduleName), std::move(*path)};
}

// Bounded here, whatever the caller sent: neither the scan nor the vacuum reaches further than a
// year back. Nothing when the member is there but no integer.
std::optional<int> retentionMember(const nlohmann::json& record) {
    const auto* retention = support::jsonMember(record, "logRetentionDays");
    if (retention == nullptr) {
        return kDefaultLogRetentionDays;
    }
    if (!retention->is_number_integer()) {
        return std::nullopt;
    }
    constexpr std::int64_t kMax = kMaxLogRetentionDays;
    return static_cast<int>(
        retention->is_number_unsigned()
            ? std::int64_t(std::min<std::uint64_t>(retention->get<std::uint64_t>(), kMax))
            : std::clamp(retention->get<std::int64_t>(), std::int64_t{0}, kMax));
}

support::Result<HelperRequest> decodeScan(const nlohmann::json& record) {
    const auto* names = support::jsonMember(record, "modules");
    const auto depthName = support::stringMember(record, "depth");
    const auto depth = depthName ? fromRawValue<ScanDepth>(*depthName) : std::nullopt;
    const auto days = retentionMember(record);
    if (names == nullptr || !names->is_array() || names->size() > kMaxModuleNames || !depth ||
        !days) {
        return malformed("Die Scan-Anfrage ist unvollständig.");
    }
    HelperScanRequest request{.modules = {}, .depth = *depth, .logRetentionDays = *days};
    for (const auto& name : *names) {
        if (!name.is_string()) {
            return malformed("Die Scan-Anfrage ist unvollständig.");
        }
        if (const auto id = fromRawValue<CleaningModuleID>(name.get<std::string>())) {
            request.modules.insert(*id);
        }
    }
    return HelperRequest{std::move(request)};
}

support::Result<HelperRequest> decodeDeletion(const nlohmann::json& record) {
    const auto* wishes = support::jsonMember(record, "wishes");
    const auto modeName = support::stringMember(record, "mode");
    const auto mode = modeName ? fromRawValue<DeletionMode>(*modeName) : std::nullopt;
    if (wishes == nullptr || !wishes->is_array() || !mode) {
        return malformed("Die Lösch-Anfrage ist unvollständig.");
    }
    if (wishes->size() > kMaxWishes) {
        return malformed("Die Lösch-Anfrage enthält zu viele Objekte.");
    }
    const auto days = retentionMember(record);
    if (!days) {
        return malformed("Die Lösch-Anfrage ist unvollständig.");
    }
    HelperDeleteRequest request{.mode = *mode, .wishes = {}, .kept = {}, .logRetentionDays = *days};
    // A rule that cannot be read refuses the request: deleting without it could touch what the
    // user keeps.
    if (const auto* kept = support::jsonMember(record, "kept")) {
        if (!kept->is_array() || kept->size() > kMaxKeptRules) {
            return malformed("Die Ausnahmen der Lösch-Anfrage sind unlesbar.");
        }
        for (const auto& rule : *kept) {
            if (!rule.is_string() || KeepList::ruleError(rule.get_ref<const std::string&>())) {
                return malformed("Die Ausnahmen der Lösch-Anfrage sind unlesbar.");
            }
            request.kept.push_back(rule.get<std::string>());
        }
    }
    request.wishes.reserve(wishes->size());
    for (const auto& wish : *wishes) {
        auto decoded = decodeWish(wish);
        if (!decoded) {
            return decoded.error();
        }
        request.wishes.push_back(std::move(decoded).value());
    }
    return HelperRequest{std::move(request)};
}

}  // namespace

std::string encodeRequest(const HelperRequest& request) {
    nlohmann::ordered_json record;
    if (const auto* scan = std::get_if<HelperScanRequest>(&request)) {
        record["request"] = "scan";
        auto modules = nlohmann::ordered_json::array();
        for (const auto id : scan->modules) {
            modules.push_back(std::string(rawValue(id)));
        }
        record["modules"] = std::move(modules);
        record["depth"] = std::string(rawValue(scan->depth));
        record["logRetentionDays"] = scan->logRetentionDays;
    } else {
        const auto& deletion = std::get<HelperDeleteRequest>(request);
        record["request"] = "delete";
        record["mode"] = std::string(rawValue(deletion.mode));
        record["logRetentionDays"] = deletion.logRetentionDays;
        auto wishes = nlohmann::ordered_json::array();
        for (const auto& wish : deletion.wishes) {
            wishes.push_back(encodeWish(wish));
        }
        record["wishes"] = std::move(wishes);
        record["kept"] = deletion.kept;
    }
    return asLine(record);
}

support::Result<HelperRequest> decodeRequest(std::string_view line) {
    if (line.size() > kMaxRequestLineBytes) {
        return malformed("Die Anfrage ist zu groß.");
    }
    const auto record = nlohmann::json::parse(line, nullptr, false);
    if (record.is_discarded() || !record.is_object()) {
        return malformed("Die Anfrage ist kein gültiges JSON-Objekt.");
    }
    const auto kind = support::stringMember(record, "request");
    if (kind == "scan") {
        return decodeScan(record);
    }
    if (kind == "delete") {
        return decodeDeletion(record);
    }
    return malformed("Die Anfrage ist unbekannt.");
}

}  // namespace quillo
