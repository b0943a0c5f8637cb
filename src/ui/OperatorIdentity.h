#pragma once

#include <array>
#include <string_view>

// The operator's identity for the legal notice and the privacy statement.
//
// THE OPERATOR FILLS THESE IN before shipping: the values below are placeholders, marked as such,
// and name no real person or company. The e-mail domain is reserved and never reaches anyone.
namespace quillo::ui::operatorIdentity {

/// Who offers the application (legal notice and data controller).
inline constexpr std::string_view kName = "Betreiber GmbH (bitte eintragen)";
inline constexpr std::array<std::string_view, 2> kPostalAddress{
    "Musterstraße 1 (bitte eintragen)",
    "00000 Musterstadt (bitte eintragen)",
};

/// The person responsible for the content, with the address where they can be reached.
inline constexpr std::string_view kResponsiblePerson = "Vorname Nachname (bitte eintragen)";
inline constexpr std::array<std::string_view, 2> kResponsiblePersonAddress = kPostalAddress;

inline constexpr std::string_view kEmail = "kontakt@betreiber.invalid";

}  // namespace quillo::ui::operatorIdentity
