#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "text/Catalogue.h"

namespace quillo::text {
namespace {

struct KeyUse {
    std::string key;
    std::filesystem::path file;
};

/// The first segments of the catalogue's keys ("app", "content", …).
std::set<std::string> keyGroups() {
    std::set<std::string> groups;
    for (const auto& [key, defaultText] : catalogue()) {
        const auto dot = key.find('.');
        if (dot != std::string::npos && key.find(' ') == std::string::npos) {
            groups.insert(key.substr(0, dot));
        }
    }
    return groups;
}

/// Every string literal in the sources under `root` shaped like a key of a known group:
/// lower-camel segments, so identifiers such as "app.quillo.Quillo" are not taken for keys.
std::vector<KeyUse> keyLiterals(const std::filesystem::path& root) {
    std::string alternatives;
    for (const auto& group : keyGroups()) {
        alternatives += (alternatives.empty() ? "" : "|") + group;
    }
    const std::regex literal("\"((?:" + alternatives + ")(?:\\.[a-z][a-zA-Z0-9]*)+)\"");
    std::vector<KeyUse> uses;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        const auto extension = entry.path().extension();
        if (!entry.is_regular_file() || (extension != ".h" && extension != ".cpp")) {
            continue;
        }
        std::ifstream file(entry.path(), std::ios::binary);
        std::ostringstream contents;
        contents << file.rdbuf();
        const std::string source = contents.str();
        for (std::sregex_iterator match(source.begin(), source.end(), literal), end; match != end;
             ++match) {
            uses.push_back({(*match)[1].str(), entry.path()});
        }
    }
    return uses;
}

TEST(KeyUsageTest, EveryKeyInTheSourcesIsInTheCatalogue) {
    const auto uses = keyLiterals(std::filesystem::path(QUILLO_SOURCE_DIR) / "src");
    // The model's warning labels are known users; finding none would mean the scan is blind.
    ASSERT_TRUE(std::any_of(uses.begin(), uses.end(),
                            [](const KeyUse& use) { return use.key == "warning.locked"; }));
    // System symbol names that happen to share a group's prefix.
    const std::set<std::string> symbolNames{"app.badge", "app.dashed"};
    for (const auto& use : uses) {
        if (symbolNames.contains(use.key)) {
            continue;
        }
        EXPECT_TRUE(catalogue().contains(use.key)) << use.key << " in " << use.file;
    }
}

}  // namespace
}  // namespace quillo::text
