#include <gtest/gtest.h>

#include "modules/FakeLinuxSystem.h"
#include "support/TreeBuilders.h"

namespace quillo::testing {
namespace {

// The engine with the default modules over a fake system and a route that answers the system
// folders' scan with what the module also finds and one item only the helper can see.
TEST(ElevatedScanTest, TheSystemFoldersAddOnlyItemsTheModulesDidNotFindAndOnlyWhenChosen) {
    for (const bool include : {true, false}) {
        FakeLinuxSystem fake;
        makeFile(fake.system / "tmp/own", 4096);
        const CleanableItem elevatedOnly{
            .url = "/var/tmp/only-root-sees-this",
            .displayName = "only-root-sees-this",
            .sizeInBytes = 4096,
            .lastModified = {},
            .moduleID = CleaningModuleID::tempFiles,
            .warnings = {CleanableItemWarning::requiresElevatedPrivileges},
            .isSafeToDeleteByDefault = false};
        auto duplicate = elevatedOnly;
        duplicate.url = fake.system / "tmp/own";
        int systemScans = 0;
        CleaningEngine engine(
            fake.engine->modules(), fake.work,
            ElevatedRoute{
                .includeSystemFolders =
                    [include](const std::function<void(bool)>& answer) { answer(include); },
                .scan =
                    [&](std::set<CleaningModuleID> modules, support::Completion<ScanResults> done) {
                        ++systemScans;
                        EXPECT_EQ(modules, std::set{CleaningModuleID::tempFiles});
                        done(ScanResults{{CleaningModuleID::tempFiles, {duplicate, elevatedOnly}}});
                    },
                .deleteItems = {}});
        std::optional<support::Result<ScanResults>> outcome;
        engine.scan(std::set{CleaningModuleID::tempFiles}, {},
                    [&outcome](support::Result<ScanResults> found) { outcome = std::move(found); });
        fake.runBoth();

        ASSERT_TRUE(outcome && outcome->ok());
        std::vector<std::filesystem::path> paths;
        for (const auto& item : outcome->value().at(CleaningModuleID::tempFiles)) {
            paths.push_back(item.url);
        }
        auto expected = std::vector<std::filesystem::path>{fake.system / "tmp/own"};
        if (include) {
            expected.push_back(elevatedOnly.url);
        }
        EXPECT_EQ(paths, expected) << include;
        EXPECT_EQ(systemScans, include ? 1 : 0);
    }
}

}  // namespace
}  // namespace quillo::testing
