#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <variant>

#include "deletion/ReceiptStore.h"
#include "modules/FakeLinuxSystem.h"
#include "support/TreeBuilders.h"
#include "viewmodels/DeleteViewModel.h"
#include "viewmodels/ScanViewModel.h"

namespace quillo {
namespace {

namespace fs = std::filesystem;

/// Both view models over the real default module set of a fake Linux system, the receipts in
/// a file of the test's own.
class ViewModelsEndToEndTest : public ::testing::Test {
  protected:
    testing::TemporaryDirectory folder;
    testing::FakeLinuxSystem machine{ReceiptStore::OnDisk{folder / "Quillo/receipts.json"}};
    ScanViewModel scan{machine.engine, machine.settings, machine.main, [] { return false; }};
    DeleteViewModel deletion{machine.engine, machine.main};
};

TEST_F(ViewModelsEndToEndTest, ScanSelectSafeDeleteSecurelyAndRemoveWhatWasDeleted) {
    const auto cacheApp = machine.home / ".cache/org.example.viewer";
    testing::makeFile(cacheApp / "thumbnails/a.png", 40'000);
    testing::makeFile(machine.system / "var/cache/apt/pkgcache.bin", 90'000);
    testing::makeFile(machine.system / "tmp/leftover.bin", 12'000);
    testing::makeFile(machine.system / "var/crash/_usr_bin_tool.0.crash", 3'000);
    // Offered, but not preselected: a kernel panic log and a cache modified just now.
    const auto panicLog = machine.system / "var/log/kernel-panic.log";
    testing::makeFile(panicLog, 5'000);
    testing::makeFile(machine.system / "var/cache/man/index.db", 8'000);
    for (const auto& old : {panicLog, cacheApp, machine.system / "var/cache/apt",
                            machine.system / "tmp/leftover.bin"}) {
        testing::setAgeByTheClock(old, 30 * std::int64_t{86'400});
    }
    machine.settings.setDeletionMode(DeletionMode::secureOverwrite);

    scan.startScan();
    machine.runBoth();
    ASSERT_EQ(scan.phase(), ScanViewModel::Phase{ScanViewModel::Completed{}});
    scan.selectSafe();
    const auto selected = scan.selectedItems();
    std::set<fs::path> selectedPaths;
    for (const auto& item : selected) {
        selectedPaths.insert(item.url);
    }
    ASSERT_EQ(selectedPaths.size(), 4U) << "caches folder, apt, leftover, crash report";

    deletion.prepareDeletion(selected);
    ASSERT_TRUE(deletion.canConfirm());
    deletion.confirm();
    machine.runBoth();
    ASSERT_TRUE(std::holds_alternative<DeleteViewModel::Summary>(deletion.phase()));
    const auto reports = std::get<DeleteViewModel::Summary>(deletion.phase()).reports;
    const auto deleted = DeleteViewModel::deletedItemIDs(reports);
    EXPECT_EQ(deleted.size(), selected.size());
    for (const auto& report : reports) {
        EXPECT_TRUE(report.failed.empty());
    }
    for (const auto& path : selectedPaths) {
        EXPECT_FALSE(fs::exists(fs::symlink_status(path))) << path;
    }
    EXPECT_TRUE(fs::exists(panicLog));
    EXPECT_TRUE(fs::exists(machine.system / "var/cache/man/index.db"));

    const auto itemsBefore = scan.cachedAllItems().size();
    scan.removeDeletedItems(deleted);
    deletion.reset();
    EXPECT_EQ(scan.cachedAllItems().size(), itemsBefore - selected.size());
    EXPECT_TRUE(scan.selectedItemIDs().empty());
    EXPECT_EQ(scan.selectedBytes(), 0);
    std::set<fs::path> left;
    for (const auto* item : scan.cachedAllItems()) {
        left.insert(item->url);
    }
    EXPECT_EQ(left, (std::set<fs::path>{panicLog, machine.system / "var/cache/man"}));

    // The receipts file holds one receipt per deleted item, each hash one of the records'.
    std::set<std::string> hashes;
    for (const auto& report : reports) {
        for (const auto& record : report.succeeded) {
            hashes.insert(record.receiptHash);
        }
    }
    std::ifstream file(folder / "Quillo/receipts.json");
    const auto stored = nlohmann::json::parse(file, nullptr, false);
    ASSERT_TRUE(stored.is_array());
    ASSERT_EQ(stored.size(), selected.size());
    for (const auto& receipt : stored) {
        EXPECT_TRUE(hashes.contains(receipt.at("hash").get<std::string>()));
    }
}

}  // namespace
}  // namespace quillo
