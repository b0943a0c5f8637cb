#include <gtest/gtest.h>

#include "text/Text.h"
#include "text/Translations.h"

namespace quillo::text {
namespace {

class TextTest : public ::testing::Test {
  protected:
    void TearDown() override { clearTranslations(); }
};

TEST_F(TextTest, TypedHintShowsTheConfirmationPhrase) {
    EXPECT_EQ(format("delete.confirm.typed.hint.format", {text("deletion.confirmation.phrase")}),
              "Tippe \"LÖSCHEN\" zur Bestätigung:");
}

TEST_F(TextTest, FormatKeysFillTheirArguments) {
    EXPECT_EQ(format("content.subtitle.completed.format", {"1,5 GB", "200 MB"}),
              "1,5 GB gefunden · 200 MB ausgewählt");
    EXPECT_EQ(format("delete.progress.count.format", {std::int64_t{3}, std::int64_t{10}}),
              "3 / 10");
    EXPECT_EQ(format("uninstall.summary.moved.format", {std::int64_t{12}, "3 MB"}),
              "12 Objekte in den Papierkorb verschoben · 3 MB");
    EXPECT_EQ(format("settings.retention.days.format", {std::int64_t{7}}), "7 Tage schonen");
    EXPECT_EQ(format("Stand: %@", {"1. März 2025"}), "Stand: 1. März 2025");
}

TEST_F(TextTest, TranslationOverridesTheDefault) {
    installTranslations({{"content.toolbar.scan", "Scan"}});
    EXPECT_EQ(text("content.toolbar.scan"), "Scan");
    EXPECT_EQ(text("content.toolbar.cancel"), "Abbrechen");
    clearTranslations();
    EXPECT_EQ(text("content.toolbar.scan"), "Scannen");
}

TEST_F(TextTest, TranslationThatSwapsPositionsSwapsThePlacesOfTheArguments) {
    installTranslations({{"content.subtitle.completed.format", "%2$@ selected of %1$@ found"}});
    EXPECT_EQ(format("content.subtitle.completed.format", {"1.5 GB", "200 MB"}),
              "200 MB selected of 1.5 GB found");
}

TEST_F(TextTest, TextsHandedOutStayValidWhenTheTranslationChanges) {
    installTranslations({{"app.button.done", "Done"}});
    const std::string& done = text("app.button.done");
    installTranslations({{"app.button.done", "Terminé"}});
    EXPECT_EQ(done, "Done");
    EXPECT_EQ(text("app.button.done"), "Terminé");
}

TEST_F(TextTest, ValueWithItsOwnDefaultUsesItUnlessTranslated) {
    const auto moduleName = LocalizableText::ownKey("System-Caches");
    EXPECT_EQ(text(moduleName), "System-Caches");
    installTranslations({{"System-Caches", "System caches"}});
    EXPECT_EQ(text(moduleName), "System caches");
}

TEST_F(TextTest, UnknownKeyIsAProgrammingError) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // Debug builds stop at once; release builds show the key rather than nothing.
    EXPECT_DEBUG_DEATH(EXPECT_EQ(text("content.noSuchKey"), "content.noSuchKey"),
                       "content.noSuchKey");
}

}  // namespace
}  // namespace quillo::text
