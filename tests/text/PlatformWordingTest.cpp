#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>
#include <vector>

#include "audit/PrivacyPermission.h"
#include "modules/FakeLinuxSystem.h"
#include "text/Catalogue.h"
#include "text/ModelLabels.h"
#include "text/Text.h"
#include "text/Translations.h"

namespace quillo::text {
namespace {

// The texts that live with their owners rather than in the catalogue, as the window and the
// headless report show them.
std::vector<LocalizableText> ownedTexts() {
    testing::FakeLinuxSystem fake;
    std::vector<LocalizableText> texts;
    for (const auto& module : fake.engine->descriptors()) {
        texts.push_back(module.displayName);
        texts.push_back(module.explanation);
    }
    for (const auto id : allCleaningModuleIDs) {
        texts.push_back(displayName(id));
    }
    for (auto& modelLabel : testing::modelLabels()) {
        texts.push_back(std::move(modelLabel));
    }
    for (const auto permission : allPrivacyPermissions) {
        texts.push_back(label(permission));
    }
    return texts;
}

class PlatformWordingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (platformWording().empty()) {
            GTEST_SKIP() << "this platform uses the catalogue's own wording";
        }
        clearTranslations();
    }
};

TEST_F(PlatformWordingTest, NoTextALinuxUserSeesSpeaksOfTheMac) {
    std::vector<std::pair<std::string, std::string>> shown;
    for (const auto& [key, defaultText] : catalogue()) {
        shown.emplace_back(key, text(key));
    }
    for (const auto& owned : ownedTexts()) {
        shown.emplace_back(owned.key, text(owned));
    }
    for (const std::string word : {"Mac", "macOS", "Apple", "Finder", "Systemeinstellungen",
                                   "~/Library", "Time Machine", "TCC", "UserDefaults"}) {
        for (const auto& [key, shownText] : shown) {
            EXPECT_EQ(shownText.find(word), std::string::npos) << word << " in " << key;
        }
    }
}

TEST_F(PlatformWordingTest, EachLinuxTextReplacesAKnownTextAndKeepsItsPlaceholders) {
    std::set<std::string> ownKeys;
    for (const auto& owned : ownedTexts()) {
        ownKeys.insert(owned.key);
    }
    const std::regex placeholder("%(\\d\\$)?(@|lld)");
    const auto placeholders = [&](const std::string& value) {
        std::multiset<std::string> found;
        for (auto match = std::sregex_iterator(value.begin(), value.end(), placeholder);
             match != std::sregex_iterator(); ++match) {
            found.insert(match->str());
        }
        return found;
    };
    for (const auto& [key, worded] : platformWording()) {
        const auto entry = catalogue().find(key);
        EXPECT_TRUE(entry != catalogue().end() || ownKeys.contains(key))
            << "no text has the key " << key;
        EXPECT_EQ(placeholders(worded),
                  placeholders(entry != catalogue().end() ? entry->second : key))
            << key;
    }
}

}  // namespace
}  // namespace quillo::text
