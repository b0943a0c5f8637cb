#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "modules/ScanReport.h"

namespace quillo {
namespace {

CleaningModuleDescriptor describe(CleaningModuleID id, const char* name) {
    return CleaningModuleDescriptor{.id = id,
                                    .displayName = LocalizableText::ownKey(name),
                                    .explanation = LocalizableText::ownKey("Test."),
                                    .symbolName = "testtube",
                                    .isDestructive = false,
                                    .estimatedScanDuration = 1.0,
                                    .isAvailableInSandbox = false,
                                    .requiresFullDiskAccess = true};
}

ScanSummary summaryOfTwoModules() {
    const auto logID = *Uuid::parse("E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
    CleanableItem log{.id = logID,
                      .url = "/var/log/\xC3\xA4lt.log",
                      .displayName = "\xC3\xA4lt.log",
                      .sizeInBytes = 1'500'000,
                      .lastModified = TimePoint(std::chrono::seconds(1'700'000'000)),
                      .moduleID = CleaningModuleID::systemLogs,
                      .warnings = {CleanableItemWarning::kernelPanic},
                      .isSafeToDeleteByDefault = false};
    CleanableItem notUtf8 = log;
    notUtf8.url = "/var/log/bad-\xFF.log";
    notUtf8.warnings = {};
    notUtf8.isSafeToDeleteByDefault = true;
    return ScanSummary{.depth = ScanDepth::deep,
                       .modules = {describe(CleaningModuleID::systemCaches, "System-Caches"),
                                   describe(CleaningModuleID::systemLogs, "System-Logs"),
                                   describe(CleaningModuleID::sleepImage, "Ruhezustand-Abbild")},
                       .results = {{CleaningModuleID::systemCaches, {}},
                                   {CleaningModuleID::systemLogs, {log, notUtf8}}},
                       .leftOut = {{CleaningModuleID::sleepImage, "Festplattenvollzugriff fehlt"}},
                       .elapsed = std::chrono::milliseconds(1'260)};
}

TEST(ScanReportTest, TextGivesEachModuleItsCountTotalAndPreselectionThenTheLeftOut) {
    EXPECT_EQ(scanReportText(summaryOfTwoModules()),
              "Quillo – Tiefenscan\n"
              "  System-Caches: 0 Objekte, 0 Byte (0 sicher löschbar)\n"
              "  System-Logs: 2 Objekte, 3 MB (1 sicher löschbar)\n"
              "  Ruhezustand-Abbild: nicht untersucht (Festplattenvollzugriff fehlt)\n"
              "Gesamt: 2 Objekte, 3 MB, Dauer 1,26 s\n");
}

TEST(ScanReportTest, JsonListsEveryItemWithItsFieldsAndSurvivesPathsThatAreNotUtf8) {
    const auto items = nlohmann::json::parse(scanReportJSON(summaryOfTwoModules()));
    ASSERT_EQ(items.size(), 2U);
    EXPECT_EQ(items[0], nlohmann::json::parse(R"({"id": "E621E1F8-C36C-495A-93FC-0C247A3E6E5F",
                                        "path": "/var/log/\u00e4lt.log",
                                        "sizeInBytes": 1500000,
                                        "lastModified": "2023-11-14T22:13:20Z",
                                        "moduleID": "systemLogs",
                                        "warnings": ["kernelPanic"],
                                        "isSafeToDeleteByDefault": false})"));
    EXPECT_EQ(items[1]["path"], "/var/log/bad-\xEF\xBF\xBD.log");
    EXPECT_EQ(items[1]["isSafeToDeleteByDefault"], true);
}

}  // namespace
}  // namespace quillo
