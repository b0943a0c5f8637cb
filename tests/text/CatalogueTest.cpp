#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "text/Catalogue.h"
#include "text/CatalogueSource.h"
#include "text/ModelLabels.h"
#include "text/Text.h"
#include "text/Translations.h"

namespace quillo::text {
namespace {

const std::regex& keyShape() {
    // ASCII, dot-separated lower-camel segments.
    static const std::regex shape("[a-z][a-zA-Z0-9]*(\\.[a-z][a-zA-Z0-9]*)+");
    return shape;
}

bool isKey(const std::string& name) {
    return std::regex_match(name, keyShape());
}

std::string group(const std::string& key) {
    return key.substr(0, key.find('.'));
}

TEST(CatalogueTest, EachGroupHasItsNumberOfKeys) {
    const std::map<std::string, std::size_t> expected{
        {"app", 5},         {"warning", 7},  {"uninstall", 16}, {"content", 31}, {"onboarding", 14},
        {"settings", 34},   {"legal", 26},   {"scanEmpty", 19}, {"delete", 19},  {"privacy", 14},
        {"permission", 16}, {"deletion", 1}, {"helper", 10},    {"cli", 32},
    };
    std::map<std::string, std::size_t> counted;
    for (const auto& [key, defaultText] : catalogue()) {
        if (isKey(key)) {
            ++counted[group(key)];
        }
    }
    EXPECT_EQ(counted, expected);
}

TEST(CatalogueTest, TextsThatAreTheirOwnKeysMapToThemselves) {
    std::vector<std::string> ownKeys;
    for (const auto& [key, defaultText] : catalogue()) {
        if (!isKey(key)) {
            EXPECT_EQ(defaultText, key);
            ownKeys.push_back(key);
        }
    }
    EXPECT_EQ(ownKeys, (std::vector<std::string>{
                           "Beenden",
                           "Bereit",
                           "Der Beleg konnte nicht gespeichert werden: %@",
                           "Die Löschbelege wurden in „%1$@“ gespeichert, weil „%2$@“ nicht "
                           "beschrieben werden konnte.",
                           "Einstellungen…",
                           "Hilfe",
                           // NOLINTNEXTLINE(bugprone-suspicious-missing-comma): one text
                           "Im App-Sandbox-Build nicht zugänglich. Verwende die "
                           "Direct-Distribution-Variante.",
                           "Nicht verfügbar (Sandbox)",
                           "Scannen…",
                           "Stand: %@",
                       }));
}

TEST(CatalogueTest, TypographicCharactersAreKeptByteForByte) {
    clearTranslations();
    // Spelled as UTF-8 bytes so that the check does not depend on how this file is decoded.
    EXPECT_EQ(text("app.menu.help.legal"), "Impressum & Datenschutz\xE2\x80\xA6");
    EXPECT_EQ(text("content.subtitle.completed.format"),
              "%1$@ gefunden \xC2\xB7 %2$@ ausgew\xC3\xA4hlt");
    EXPECT_EQ(text("onboarding.header.subtitle"),
              "Systemdaten sicher entfernen \xE2\x80\x94 kostenlos, ohne Netzwerk.");
    EXPECT_EQ(catalogue().at("legal.privacy.local.item.defaults"),
              "\xE2\x80\xA2 Nutzereinstellungen (in UserDefaults)");
    EXPECT_EQ(text("deletion.confirmation.phrase"), "L\xC3\x96SCHEN");
    EXPECT_NE(text("legal.privacy.storage.body")
                  .find("(Einstellungen \xE2\x86\x92 Erweitert \xE2\x86\x92 Alle Einstellungen "
                        "zur\xC3\xBC"
                        "cksetzen)"),
              std::string::npos);
    EXPECT_NE(text("legal.privacy.rights.body")
                  .find("Art. 15\xE2\x80\x93"
                        "22"),
              std::string::npos);
    EXPECT_EQ(text("Scannen…"), "Scannen\xE2\x80\xA6");
}

TEST(CatalogueTest, QuotesAndMarksAreTextNotEscapes) {
    clearTranslations();
    EXPECT_EQ(text("privacy.audit.idle.start"), "Klicke auf \"Audit starten\".");
    EXPECT_EQ(text("legal.privacy.processing.body").substr(0, 44),
              "Quillo verarbeitet **keine personenbezogenen");
    EXPECT_EQ(catalogue().at("legal.privacy.frameworks.item.userdefaults"),
              "\xE2\x80\xA2 `NSPrivacyAccessedAPICategoryUserDefaults` (Grund CA92.1) \xE2\x80\x94 "
              "Speicherung von Einstellungen");
}

TEST(CatalogueTest, WithoutTranslationsEveryKeyYieldsThePlatformsWordingElseItsDefault) {
    clearTranslations();
    for (const auto& [key, defaultText] : catalogue()) {
        const auto worded = platformWording().find(key);
        EXPECT_EQ(text(key), worded == platformWording().end() ? defaultText : worded->second)
            << key;
    }
}

TEST(CatalogueTest, ValuesOfTheModelCarryTheCatalogueDefaults) {
    const auto labels = testing::modelLabels();
    for (const auto& value : labels) {
        const auto entry = catalogue().find(value.key);
        ASSERT_NE(entry, catalogue().end()) << value.key;
        EXPECT_EQ(entry->second, value.defaultValue) << value.key;
    }
}

TEST(CatalogueTest, BuiltInDataIsTheRepositoryFiles) {
    for (const auto& [name, source] :
         {std::pair{"catalogue.json", catalogueSource()},
          std::pair{"catalogue-linux.json", platformWordingSource()}}) {
        std::ifstream file(std::string(QUILLO_SOURCE_DIR) + "/src/text/" + name, std::ios::binary);
        ASSERT_TRUE(file) << name << " not found under " << QUILLO_SOURCE_DIR;
        std::ostringstream contents;
        contents << file.rdbuf();
        EXPECT_EQ(source, contents.str()) << name;
    }
}

}  // namespace
}  // namespace quillo::text
