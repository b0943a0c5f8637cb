#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <variant>
#include <vector>

// Property lists and application bundles made at run time, encoded by libplist itself.
namespace quillo::testing {

/// A value of a top-level entry: a string, an integer or a boolean.
using PropertyValue = std::variant<std::string, std::int64_t, bool>;
using PropertyEntries = std::vector<std::pair<std::string, PropertyValue>>;

enum class PropertyListEncoding { xml, binary };

/// The bytes of a property list whose top level is a dictionary of `entries`.
std::string encodePropertyList(const PropertyEntries& entries, PropertyListEncoding encoding);

/// A bundle folder at `bundle` whose "Contents/Info.plist" holds `entries`.
void makeBundle(const std::filesystem::path& bundle, const PropertyEntries& entries,
                PropertyListEncoding encoding = PropertyListEncoding::xml);

/// A bundle folder at `bundle` whose "Contents/Info.plist" holds exactly `bytes`.
void makeBundleWithInfoPlist(const std::filesystem::path& bundle, std::string_view bytes);

}  // namespace quillo::testing
