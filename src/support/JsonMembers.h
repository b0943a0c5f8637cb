#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

// Typed reads of one member of a JSON object: nothing when the value is not an object, the key
// is absent or its value is of another kind.
namespace quillo::support {

const nlohmann::json* jsonMember(const nlohmann::json& object, const char* key);
std::optional<std::string> stringMember(const nlohmann::json& object, const char* key);
/// Only integers that fit a signed 64-bit value.
std::optional<std::int64_t> integerMember(const nlohmann::json& object, const char* key);
std::optional<double> numberMember(const nlohmann::json& object, const char* key);
std::optional<bool> booleanMember(const nlohmann::json& object, const char* key);

}  // namespace quillo::support
