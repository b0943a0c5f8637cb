#include "text/TextTable.h"

#include <nlohmann/json.hpp>

namespace quillo::text {

std::string TextTableError::description() const {
    return "Texttabelle unlesbar: " + reason_;
}

support::Result<TextTable> parseTextTable(std::string_view json) {
    const auto document = nlohmann::json::parse(json, nullptr, false);
    if (document.is_discarded()) {
        return support::Error::make(TextTableError("kein gültiges JSON"));
    }
    if (!document.is_object()) {
        return support::Error::make(TextTableError("kein JSON-Objekt"));
    }
    TextTable table;
    for (const auto& [key, value] : document.items()) {
        if (!value.is_string()) {
            return support::Error::make(TextTableError("Wert von \"" + key + "\" ist kein Text"));
        }
        table.emplace(key, value.get<std::string>());
    }
    return table;
}

}  // namespace quillo::text
