#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "modules/DiagnosticReportsActor.h"
#include "modules/FileModuleTestSupport.h"
#include "modules/ModuleLocations.h"
#include "support/TemporaryDirectory.h"
#include "support/TreeBuilders.h"

namespace quillo {
namespace {

using ::testing::ElementsAre;

constexpr const char* kBootID = "0123456789abcdef0123456789ABCDEF";

struct Title {
    std::string fileName;
    std::optional<std::string> report;
    std::optional<std::string> coredump;
};

class ReportTitleTest : public ::testing::TestWithParam<Title> {};

TEST_P(ReportTitleTest, NamesTheProgram) {
    EXPECT_EQ(reportName("/var/crash/" + GetParam().fileName), GetParam().report);
    EXPECT_EQ(coredumpProgram("/var/lib/systemd/coredump/" + GetParam().fileName),
              GetParam().coredump);
}

const std::string kCore = std::string("core.gedit.1000.") + kBootID + ".4242.1733650000000000";

INSTANTIATE_TEST_SUITE_P(
    Names, ReportTitleTest,
    ::testing::Values(
        // The crash handler's reports: the program's path, the user's number dropped.
        Title{"_usr_bin_gedit.0.crash", "/usr/bin/gedit", std::nullopt},
        Title{"_opt_my_tool_bin_run.1000.crash", "/opt/my/tool/bin/run", std::nullopt},
        // Not the crash handler's pattern: the first "_" rule stays.
        Title{"_x.crash", "", std::nullopt}, Title{"_usr_bin_gedit.crash", "", std::nullopt},
        Title{"_usr_bin_gedit.1000.ips", "", std::nullopt},
        Title{"Safari_2024-05-01_Mac.ips", "Safari", std::nullopt},
        // Otherwise the name up to the first "_" once the last extension is gone.
        Title{"App_1.IPS", "App", std::nullopt}, Title{"a_b", "a", std::nullopt},
        Title{"com.maker.Mail_2024.cpu_resource.diag", "com.maker.Mail", std::nullopt},
        Title{"Mail.cpu_resource", std::nullopt, std::nullopt},
        Title{"ExcelHang.hang", std::nullopt, std::nullopt},
        Title{"Crash_Reporter/Mail.crash", std::nullopt, std::nullopt},
        // systemd's coredumps in every compression it writes, and uncompressed.
        Title{kCore + ".zst", std::nullopt, "gedit"}, Title{kCore + ".lz4", std::nullopt, "gedit"},
        Title{kCore + ".xz", std::nullopt, "gedit"}, Title{kCore, std::nullopt, "gedit"},
        Title{std::string("core.my\\x2eapp.0.") + kBootID + ".1.2.zst", std::nullopt, "my.app"},
        // Anything else named "core" is no coredump.
        Title{kCore + ".gz", std::nullopt, std::nullopt},
        Title{"core.gedit.1000.shortboot.4242.1.zst", std::nullopt, std::nullopt},
        Title{std::string("core..1000.") + kBootID + ".4242.1.zst", std::nullopt, std::nullopt},
        Title{"core", std::nullopt, std::nullopt}, Title{"core.txt", std::nullopt, std::nullopt}));

class CoredumpScanTest : public ::testing::Test, protected testing::FileModuleFixture {};

TEST_F(CoredumpScanTest, CoredumpsAreOfferedInADeepScanOnly) {
    testing::TemporaryDirectory folder;
    const auto locations = linuxSystemLocations(folder.path());
    const auto crashes = folder / "var/crash";
    const auto coredumps = folder / "var/lib/systemd/coredump";
    testing::makeFile(crashes / "_usr_bin_gedit.1000.crash", 3000);
    testing::makeFile(coredumps / (kCore + ".zst"), 3000);
    testing::makeFile(coredumps / "core.txt", 3000);
    const auto module = std::make_shared<DiagnosticReportsActor>(
        locations.reportRoots, locations.deepReportRoots, depthProvider(), nullptr, environment());

    depth = ScanDepth::standard;
    EXPECT_THAT(testing::displayNamesOf(scannedItems(*module)), ElementsAre("/usr/bin/gedit"));
    depth = ScanDepth::deep;
    const auto items = scannedItems(*module);
    EXPECT_THAT(testing::displayNamesOf(items), ElementsAre("/usr/bin/gedit", "gedit"));
    ASSERT_EQ(items.size(), 2U);
    EXPECT_EQ(items[1].url, coredumps / (kCore + ".zst"));
    EXPECT_EQ(items[1].moduleID, CleaningModuleID::diagnosticReports);
}

}  // namespace
}  // namespace quillo
