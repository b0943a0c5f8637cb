#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "support/TemporaryDirectory.h"
#include "text/Text.h"
#include "text/Translations.h"

namespace quillo::text {
namespace {

class TranslationsTest : public ::testing::Test {
  protected:
    void TearDown() override { clearTranslations(); }

    void write(const std::string& name, const std::string& contents) const {
        std::ofstream(folder / name, std::ios::binary) << contents;
    }

    testing::TemporaryDirectory folder;
};

TEST_F(TranslationsTest, LoadsTheFileOfTheLocale) {
    write("en.json", R"({"content.toolbar.scan": "Scan", "app.button.done": "Done"})");
    ASSERT_TRUE(loadTranslations(folder.path(), "en"));
    EXPECT_EQ(text("content.toolbar.scan"), "Scan");
    EXPECT_EQ(text("app.button.done"), "Done");
    EXPECT_EQ(text("content.toolbar.cancel"), "Abbrechen");
}

TEST_F(TranslationsTest, PrefersTheTerritoryAndFallsBackToTheLanguage) {
    write("fr.json", R"({"app.button.done": "Terminé"})");
    write("fr_CA.json", R"({"app.button.done": "Fini"})");
    ASSERT_TRUE(loadTranslations(folder.path(), "fr_CA"));
    EXPECT_EQ(text("app.button.done"), "Fini");
    ASSERT_TRUE(loadTranslations(folder.path(), "fr_CH"));
    EXPECT_EQ(text("app.button.done"), "Terminé");
}

TEST_F(TranslationsTest, WithoutAFileTheGermanDefaultsAreShown) {
    installTranslations({{"app.button.done", "Done"}});
    ASSERT_TRUE(loadTranslations(folder.path(), "it_IT"));
    EXPECT_EQ(text("app.button.done"), "Fertig");
}

TEST_F(TranslationsTest, ReorderedPlaceholdersInAFile) {
    write("en.json", R"({"delete.confirm.count.format": "%2$@ in %1$lld items"})");
    ASSERT_TRUE(loadTranslations(folder.path(), "en"));
    EXPECT_EQ(format("delete.confirm.count.format", {std::int64_t{5}, "3 MB"}), "3 MB in 5 items");
}

TEST_F(TranslationsTest, BrokenFileIsAnErrorAndChangesNothing) {
    installTranslations({{"app.button.done", "Done"}});
    for (const std::string contents :
         {R"({"app.button.done": )", R"(["Done"])", R"({"app.button.done": 1})", ""}) {
        write("en.json", contents);
        const auto status = loadTranslations(folder.path(), "en");
        ASSERT_FALSE(status) << contents;
        EXPECT_NE(status.error().description().find("en.json"), std::string::npos);
        EXPECT_EQ(text("app.button.done"), "Done");
    }
}

TEST_F(TranslationsTest, FolderInPlaceOfAFileIsAnError) {
    std::filesystem::create_directory(folder / "en.json");
    EXPECT_FALSE(loadTranslations(folder.path(), "en"));
}

TEST_F(TranslationsTest, LocaleThatIsNotAPlainNameReadsNoFile) {
    std::filesystem::create_directory(folder / "inner");
    write("secret.json", R"({"app.button.done": "Leaked"})");
    ASSERT_TRUE(loadTranslations(folder / "inner", "../secret"));
    EXPECT_EQ(text("app.button.done"), "Fertig");
}

TEST(TranslationFileNamesTest, MostSpecificFirst) {
    EXPECT_EQ(translationFileNames("de_CH"), (std::vector<std::string>{"de_CH.json", "de.json"}));
    EXPECT_EQ(translationFileNames("pt-BR"), (std::vector<std::string>{"pt-BR.json", "pt.json"}));
    EXPECT_EQ(translationFileNames("en"), (std::vector<std::string>{"en.json"}));
}

TEST(PreferredLocaleTest, ReadsTheVariablesInPriorityOrder) {
    const auto localeOf = [](std::map<std::string, std::string> environment) {
        return preferredLocale([environment = std::move(environment)](const char* name) {
            const auto entry = environment.find(name);
            return entry == environment.end() ? nullptr : entry->second.c_str();
        });
    };
    EXPECT_EQ(localeOf({{"LANG", "fr_FR.UTF-8"}}), "fr_FR");
    EXPECT_EQ(localeOf({{"LANG", "fr_FR.UTF-8"}, {"LC_MESSAGES", "en_GB"}}), "en_GB");
    EXPECT_EQ(localeOf({{"LANG", "fr_FR"}, {"LC_MESSAGES", "en_GB"}, {"LC_ALL", "it_IT@euro"}}),
              "it_IT");
    EXPECT_EQ(localeOf({{"LC_ALL", ""}, {"LANG", "nl_NL"}}), "nl_NL");
    EXPECT_EQ(localeOf({{"LANG", "C.UTF-8"}}), std::nullopt);
    EXPECT_EQ(localeOf({{"LANG", "POSIX"}}), std::nullopt);
    EXPECT_EQ(localeOf({{"LANG", "../../etc/x"}}), std::nullopt);
    EXPECT_EQ(localeOf({}), std::nullopt);
}

}  // namespace
}  // namespace quillo::text
