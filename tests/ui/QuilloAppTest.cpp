#include <gtest/gtest.h>

#include <QApplication>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include "ui/QuilloApp.h"
#include "uninstall/UninstallHarness.h"
#include "viewmodels/ScanViewModelFixture.h"

namespace quillo::testing {
namespace {

/// The application over one scripted module whose context the test drives; the view models'
/// answers arrive through Qt's event loop, which the test lets run.
class QuilloAppTest : public ::testing::Test {
  protected:
    QuilloAppTest() {
        module = std::make_shared<ScriptedScanModule>(
            mockProperties(CleaningModuleID::systemCaches), background);
        app = std::make_unique<ui::QuilloApp>(ui::QuilloAppEnvironment{
            .makeSettings =
                [] {
                    return std::make_unique<AppSettings>(
                        std::make_unique<InMemoryDefaultsStore>(),
                        SettingsEnvironment{.checkFullDiskAccess =
                                                [] { return FullDiskAccessProbe::Status::granted; },
                                            .receiptsFile = {},
                                            .reportStoreFailure = [](const support::Error&) {}});
                },
            .makeEngine =
                [this](AppSettings&, const std::shared_ptr<support::MainExecutor>&,
                       const std::shared_ptr<support::ThreadPool>&) {
                    return std::make_shared<CleaningEngine>(
                        std::vector<std::shared_ptr<CleaningModule>>{module}, background);
                },
            .makeUninstallService = [this](const auto&,
                                           const auto&) { return uninstalling.service; },
            .makePrivacyAuditService =
                [this](const auto&) {
                    return PrivacyAuditService::create({uninstalling.folder / "Applications"},
                                                       background);
                },
            .isSandboxed = [] { return false; },
            .openLocation = [](const std::string&) {},
            .exportActions = {},
            .chooseApplication = {},
        });
        app->show();
        QApplication::setActiveWindow(&app->window());
    }

    ~QuilloAppTest() override {
        app.reset();
        settle();
    }

    void settle() {
        do {
            QCoreApplication::processEvents();
        } while (background->runAll() > 0);
        QCoreApplication::processEvents();
    }

    std::shared_ptr<support::ManualExecutor> background =
        std::make_shared<support::ManualExecutor>();
    std::shared_ptr<ScriptedScanModule> module;
    UninstallHarness uninstalling;
    std::unique_ptr<ui::QuilloApp> app;
};

TEST_F(QuilloAppTest, TheScanShortcutRestartsARunningScan) {
    QTest::keyClick(&app->window(), Qt::Key_R, Qt::ControlModifier);
    settle();
    ASSERT_EQ(module->scanCount(), 1U);
    EXPECT_TRUE(std::holds_alternative<ScanViewModel::Scanning>(app->scanViewModel().phase()));

    QTest::keyClick(&app->window(), Qt::Key_R, Qt::ControlModifier);
    settle();
    ASSERT_EQ(module->scanCount(), 2U);
    EXPECT_TRUE(module->isCancelled(0));
    EXPECT_FALSE(module->isCancelled(1));

    QTest::keyClick(&app->window(), Qt::Key_Period, Qt::ControlModifier);
    settle();
    EXPECT_TRUE(module->isCancelled(1));
}

TEST_F(QuilloAppTest, TheLegalSheetClosesWithItsDoneButtonAndLeavesTheWindowAlone) {
    app->window().selectModule(CleaningModuleID::systemCaches);
    app->showLegal();
    ASSERT_NE(app->legalSheet(), nullptr);
    EXPECT_TRUE(app->legalSheet()->isVisible());
    QTest::mouseClick(app->legalSheet()->findChild<QPushButton*>("doneButton"), Qt::LeftButton);
    settle();
    EXPECT_EQ(app->legalSheet(), nullptr);
    EXPECT_EQ(app->window().selectedModuleID(), CleaningModuleID::systemCaches);
}

}  // namespace
}  // namespace quillo::testing
