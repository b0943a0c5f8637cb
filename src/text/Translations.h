#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/Result.h"
#include "text/TextTable.h"

namespace quillo::text {

/// The translation of the current locale for `key`, if one is installed and has the key.
/// Safe from any thread; the text stays valid for the life of the process.
const std::string* translation(std::string_view key);

/// Makes `table` the current translation. Tables are kept until the process ends, so texts
/// handed out earlier stay valid; install at start-up, not in a loop.
void installTranslations(TextTable table);

/// Back to the German defaults.
void clearTranslations();

/// The locale whose translation should be shown, from LC_ALL, LC_MESSAGES or LANG (the first that
/// is set and not empty), without encoding and modifier ("de_CH.UTF-8@euro" → "de_CH"). Nothing
/// for "C", "POSIX" and names that are not plain letters, digits, "_" and "-".
std::optional<std::string> preferredLocale(
    const std::function<const char*(const char*)>& environmentVariable);

/// The file names a translation for `locale` is looked for under, most specific first:
/// "de_CH" → "de_CH.json", "de.json".
std::vector<std::string> translationFileNames(std::string_view locale);

/// Installs the translation for `locale` from `folder`, the first of translationFileNames that
/// exists. Without such a file the German defaults are shown; a file that cannot be read or is
/// not a text table is an error and leaves the current translation as it was.
support::Status loadTranslations(const std::filesystem::path& folder, std::string_view locale);

/// loadTranslations for the preferred locale of this process's environment.
support::Status loadTranslations(const std::filesystem::path& folder);

}  // namespace quillo::text
