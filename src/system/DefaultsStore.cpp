#include "system/DefaultsStore.h"

namespace quillo {

std::optional<nlohmann::json> InMemoryDefaultsStore::value(std::string_view key) const {
    const auto found = values_.find(key);
    if (found == values_.end()) {
        return std::nullopt;
    }
    return found->second;
}

support::Status InMemoryDefaultsStore::setValue(std::string_view key, nlohmann::json value) {
    values_.insert_or_assign(std::string(key), std::move(value));
    return support::Unit{};
}

support::Status InMemoryDefaultsStore::removeValue(std::string_view key) {
    if (const auto found = values_.find(key); found != values_.end()) {
        values_.erase(found);
    }
    return support::Unit{};
}

}  // namespace quillo
