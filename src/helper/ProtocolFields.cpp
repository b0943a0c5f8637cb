#include "helper/ProtocolFields.h"

#include <chrono>

#include "support/JsonMembers.h"

namespace quillo {

std::string asLine(const nlohmann::ordered_json& record) {
    return record.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

std::optional<Uuid> uuidMember(const nlohmann::json& record, const char* key) {
    const auto text = support::stringMember(record, key);
    return text ? Uuid::parse(*text) : std::nullopt;
}

std::int64_t microsecondsSinceEpoch(TimePoint time) {
    return std::chrono::duration_cast<std::chrono::microseconds>(time.time_since_epoch()).count();
}

std::optional<TimePoint> timeMember(const nlohmann::json& record, const char* key) {
    const auto micros = support::integerMember(record, key);
    if (!micros) {
        return std::nullopt;
    }
    return TimePoint(
        std::chrono::duration_cast<TimePoint::duration>(std::chrono::microseconds(*micros)));
}

}  // namespace quillo
