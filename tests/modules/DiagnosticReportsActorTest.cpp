#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "modules/DiagnosticReportsActor.h"
#include "modules/FileModuleTestSupport.h"
#include "modules/FilesystemEnumeration.h"
#include "support/TemporaryDirectory.h"
#include "support/TreeBuilders.h"

namespace quillo {
namespace {

using ::testing::ElementsAre;
using testing::TemporaryDirectory;
using testing::urlsOf;
using Paths = std::vector<std::filesystem::path>;

class DiagnosticReportsActorTest : public ::testing::Test, protected testing::FileModuleFixture {
  protected:
    std::shared_ptr<DiagnosticReportsActor> makeModule() {
        return std::make_shared<DiagnosticReportsActor>(Paths{userReports, systemReports},
                                                        Paths{developerReports, legacyReports},
                                                        depthProvider(), nullptr, environment());
    }

    CleanableItems scanned(ScanDepth scanDepth) {
        depth = scanDepth;
        return scannedItems(*module);
    }

    TemporaryDirectory folder;
    std::filesystem::path userReports = folder / "home/Library/Logs/DiagnosticReports";
    std::filesystem::path systemReports = folder / "Library/Logs/DiagnosticReports";
    std::filesystem::path developerReports = folder / "home/Library/DeveloperDiagnostics";
    std::filesystem::path legacyReports = folder / "Library/Logs/CrashReporter";
    std::shared_ptr<DiagnosticReportsActor> module = makeModule();
};

TEST_F(DiagnosticReportsActorTest, OffersEachReportNamedAfterItsApplicationPreselected) {
    testing::makeFile(userReports / "Safari_2024-05-01-101010_MacBook.ips", 3000);
    testing::makeFile(userReports / "ExcelHang.hang", 5000);
    testing::makeFile(userReports / "_x.crash", 100);
    testing::setAge(userReports / "ExcelHang.hang", 0);
    const auto items = scanned(ScanDepth::standard);

    ASSERT_EQ(items.size(), 3U);
    std::vector<std::string> names;
    for (const auto& item : items) {
        names.push_back(item.displayName);
        const auto entry = makeEntry(item.url);
        ASSERT_TRUE(entry.has_value());
        EXPECT_EQ(item.sizeInBytes, entry->sizeInBytes);
        EXPECT_GT(item.sizeInBytes, 0);
        EXPECT_EQ(item.lastModified, entry->lastModified);
        EXPECT_EQ(item.moduleID, CleaningModuleID::diagnosticReports);
        // Not even the report written this very moment carries a warning.
        EXPECT_TRUE(item.warnings.empty()) << item.url;
        EXPECT_TRUE(item.isSafeToDeleteByDefault) << item.url;
    }
    EXPECT_THAT(names, ElementsAre("ExcelHang.hang", "Safari", ""));
    EXPECT_NE(items[0].id, items[1].id);
    EXPECT_EQ(depthQuestions, 1);
}

TEST_F(DiagnosticReportsActorTest, OnlyTheFourReportExtensionsCountInAnyCase) {
    for (const auto* name : {"a.crash", "b.IPS", "c.Diag", "d.HANG", "e.log", "f.crash.gz", "crash",
                             "g.ips.txt", "h.spin"}) {
        testing::makeFile(userReports / name, 200);
    }
    EXPECT_THAT(urlsOf(scanned(ScanDepth::standard)),
                ElementsAre(userReports / "a.crash", userReports / "b.IPS", userReports / "c.Diag",
                            userReports / "d.HANG"));
}

TEST_F(DiagnosticReportsActorTest, FoldersAreNeitherOfferedNorEntered) {
    testing::makeFile(userReports / "Reports.crash" / "Inner_1.crash", 4000);
    testing::makeFile(userReports / "Retired" / "Old_1.ips", 4000);
    testing::makeFile(userReports / "Top_1.crash", 4000);
    EXPECT_THAT(urlsOf(scanned(ScanDepth::deep)), ElementsAre(userReports / "Top_1.crash"));
}

TEST_F(DiagnosticReportsActorTest, EmptyAndHiddenReportsAreNeverOffered) {
    testing::makeFile(userReports / "Empty_1.crash", 0);
    testing::makeFile(userReports / ".Hidden_1.crash", 300);
    testing::makeFile(legacyReports / "Empty_2.ips", 0);
    EXPECT_TRUE(scanned(ScanDepth::deep).empty());
}

TEST_F(DiagnosticReportsActorTest, TheDeveloperAndLegacyFoldersBelongToDeepScansOnly) {
    testing::makeFile(systemReports / "System_1.diag", 700);
    testing::makeFile(userReports / "User_1.crash", 700);
    testing::makeFile(developerReports / "Dev_1.ips", 700);
    testing::makeFile(legacyReports / "Legacy_1.crash", 700);

    EXPECT_THAT(urlsOf(scanned(ScanDepth::standard)),
                ElementsAre(userReports / "User_1.crash", systemReports / "System_1.diag"));
    EXPECT_THAT(urlsOf(scanned(ScanDepth::deep)),
                ElementsAre(userReports / "User_1.crash", systemReports / "System_1.diag",
                            developerReports / "Dev_1.ips", legacyReports / "Legacy_1.crash"));
}

}  // namespace
}  // namespace quillo
