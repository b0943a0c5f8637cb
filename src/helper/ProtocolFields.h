#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "model/TimePoint.h"
#include "model/Uuid.h"

// What the request and message codecs share.
namespace quillo {

/// The record as one line; text that is not UTF-8 is replaced rather than thrown on.
std::string asLine(const nlohmann::ordered_json& record);

std::optional<Uuid> uuidMember(const nlohmann::json& record, const char* key);

/// Times cross as whole microseconds since 1970, the precision receipts keep.
std::int64_t microsecondsSinceEpoch(TimePoint time);
std::optional<TimePoint> timeMember(const nlohmann::json& record, const char* key);

}  // namespace quillo
