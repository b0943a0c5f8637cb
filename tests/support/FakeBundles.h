#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "support/PropertyListFiles.h"

// Application bundles made at run time inside a test's temporary folder.
namespace quillo::testing {

using PlistEncoding = PropertyListEncoding;

using InfoStrings = std::vector<std::pair<std::string, std::string>>;

/// The property list of a dictionary of `strings`, in `encoding`, written by libplist.
std::string propertyList(const InfoStrings& strings, PlistEncoding encoding);

/// Writes "Contents/Info.plist" of the bundle at `bundle`, its folders made as needed.
void writeInfoPlist(const std::filesystem::path& bundle, const InfoStrings& strings,
                    PlistEncoding encoding = PlistEncoding::xml);

/// A bundle at `bundle` with the information dictionary `strings` and an executable
/// "Contents/MacOS/main" of `executableBytes` bytes; returns the executable's path.
std::filesystem::path makeFakeBundle(const std::filesystem::path& bundle,
                                     const InfoStrings& strings,
                                     PlistEncoding encoding = PlistEncoding::xml,
                                     std::size_t executableBytes = 4096);

}  // namespace quillo::testing
