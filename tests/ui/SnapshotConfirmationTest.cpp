#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "modules/CleaningEngine.h"
#include "modules/LinuxSnapshotTools.h"
#include "modules/LocalSnapshotsActor.h"
#include "support/FakeTools.h"
#include "support/TemporaryDirectory.h"
#include "support/WaitingExecutor.h"
#include "ui/ConfirmationSheet.h"
#include "viewmodels/DeleteViewModel.h"

namespace quillo::testing {
namespace {

// Snapshots listed by fake snapper and Timeshift tools ask for the typed word before the tools
// are asked to delete them.
TEST(SnapshotConfirmationTest, ListedSnapshotsNeedTheTypedWordAndThenTheirToolDeletes) {
    TemporaryDirectory folder;
    const FakeTool snapper(folder.path(), "snapper");
    const FakeTool timeshift(folder.path(), "timeshift");
    snapper.answer({"list-configs"}, "Config | Subvolume\n-------+----------\nroot   | /\n");
    snapper.answer({"--jsonout", "-c", "root", "list"},
                   R"({"root": [{"number": 7, "date": "2026-11-01 10:00:01", "user": "root",)"
                   R"( "description": "vor Upgrade", "default": false, "active": false}]})");
    timeshift.answer({"--list"},
                     "Num  Name  Tags  Description\n------\n"
                     "0    >  2026-11-02_10-00-01  O     nach Upgrade\n");
    const LinuxSnapshotTools tools{.snapper = snapper.path(),
                                   .timeshift = timeshift.path(),
                                   .mayRunTools = [] { return true; }};
    auto main = std::make_shared<WaitingExecutor>();
    auto module = std::make_shared<LocalSnapshotsActor>(
        linuxSnapshotLister(tools), linuxSnapshotDeleter(tools),
        LocalSnapshotsActor::Environment{.context = main});
    auto engine = std::make_shared<const CleaningEngine>(
        std::vector<std::shared_ptr<CleaningModule>>{module}, main);
    std::optional<support::Result<ScanResults>> found;
    engine->scan(std::nullopt, {}, [&](support::Result<ScanResults> result) { found = result; });
    ASSERT_TRUE(main->runUntil([&] { return found.has_value(); }));
    ASSERT_TRUE(found->ok());
    const auto items = found->value().at(CleaningModuleID::localSnapshots);
    ASSERT_EQ(items.size(), 2U);

    DeleteViewModel deletion(engine, main);
    deletion.prepareDeletion(items);
    ui::ConfirmationSheet sheet(deletion, [&deletion] { deletion.confirm(); });
    sheet.show();
    auto* phrase = sheet.findChild<QLineEdit*>("typedPhrase");
    auto* deleteButton = sheet.findChild<QPushButton*>("deleteButton");
    ASSERT_NE(phrase, nullptr);
    ASSERT_TRUE(phrase->isVisible());
    EXPECT_FALSE(deleteButton->isEnabled());
    QTest::keyClicks(phrase, QString::fromUtf8("LÖSCHEN"));
    ASSERT_TRUE(deleteButton->isEnabled());
    QTest::mouseClick(deleteButton, Qt::LeftButton);

    ASSERT_TRUE(main->runUntil(
        [&] { return std::holds_alternative<DeleteViewModel::Summary>(deletion.phase()); }));
    const auto snapperCalls = snapper.calls();
    const auto timeshiftCalls = timeshift.calls();
    EXPECT_EQ(snapperCalls.back(), (std::vector<std::string>{"-c", "root", "delete", "7"}));
    EXPECT_EQ(
        timeshiftCalls.back(),
        (std::vector<std::string>{"--delete", "--snapshot", "2026-11-02_10-00-01", "--scripted"}));
    main->runPending();
}

}  // namespace
}  // namespace quillo::testing
