#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include "system/FakeNotificationService.h"
#include "ui/QuilloApp.h"
#include "uninstall/UninstallHarness.h"
#include "viewmodels/ScanViewModelFixture.h"

namespace quillo::testing {
namespace {

/// The application over one scripted module whose context the test drives; the view models'
/// answers arrive through Qt's event loop, which the test lets run.
class QuilloAppTest : public ::testing::Test {
  protected:
    /// Launches with the onboarding completed, as every launch after the first.
    QuilloAppTest() { launch(true); }

    void launch(bool onboardingCompleted) {
        app.reset();
        module = std::make_shared<ScriptedScanModule>(
            mockProperties(CleaningModuleID::systemCaches), background);
        app = std::make_unique<ui::QuilloApp>(ui::QuilloAppEnvironment{
            .makeSettings =
                [onboardingCompleted] {
                    return std::make_unique<AppSettings>(
                        std::make_unique<InMemoryDefaultsStore>(
                            std::map<std::string, nlohmann::json, std::less<>>{
                                {"quillo.onboardingCompleted", onboardingCompleted}}),
                        SettingsEnvironment{.checkFullDiskAccess =
                                                [] { return FullDiskAccessProbe::Status::granted; },
                                            .reportStoreFailure = [](const support::Error&) {}});
                },
            .makeReceiptStore =
                [this](const auto&) {
                    return ReceiptStore::create(ReceiptStore::InMemory{}, background);
                },
            .makeEngine =
                [this](AppSettings&, const auto&, const std::shared_ptr<support::MainExecutor>&,
                       const std::shared_ptr<support::ThreadPool>&) {
                    return std::make_shared<CleaningEngine>(
                        std::vector<std::shared_ptr<CleaningModule>>{module}, background);
                },
            .makeUninstallService = [this](const auto&, const auto&,
                                           const auto&) { return uninstalling.service; },
            .makePrivacyAuditService =
                [this](const auto&) {
                    return PrivacyAuditService::create({uninstalling.folder / "Applications"},
                                                       background);
                },
            .isSandboxed = [] { return false; },
            .leftOutRoots = [] { return std::vector<LeftOutRoot>{}; },
            .openLocation = [](const std::string&) {},
            .exportActions = {},
            .chooseApplication = {},
            .makeNotificationService =
                [this](const auto&, const auto&) {
                    return std::make_shared<FakeNotificationService>(notificationQueue);
                },
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
    std::shared_ptr<support::ManualExecutor> notificationQueue =
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

TEST_F(QuilloAppTest, AFirstLaunchShowsTheOnboardingUntilItIsAccepted) {
    EXPECT_EQ(app->onboardingSheet(), nullptr);

    launch(false);
    auto* sheet = app->onboardingSheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);
    QTest::keyClick(sheet, Qt::Key_Escape);
    settle();
    EXPECT_EQ(app->onboardingSheet(), sheet);
    EXPECT_FALSE(app->settings().onboardingCompleted());

    QTest::keyClick(sheet, Qt::Key_Return);
    settle();
    EXPECT_TRUE(app->settings().onboardingCompleted());
    EXPECT_EQ(app->onboardingSheet(), nullptr);
}

TEST_F(QuilloAppTest, ThePreferencesShortcutOpensOneSettingsWindow) {
    EXPECT_EQ(app->settingsWindow(), nullptr);
    QTest::keyClick(&app->window(), Qt::Key_Comma, Qt::ControlModifier);
    settle();
    auto* settings = app->settingsWindow();
    ASSERT_NE(settings, nullptr);
    EXPECT_TRUE(settings->isVisible());
    EXPECT_TRUE(settings->isWindow());
    EXPECT_EQ(settings->windowModality(), Qt::NonModal);

    settings->close();
    app->window().findChild<QAction*>(QStringLiteral("settingsMenuAction"))->trigger();
    settle();
    EXPECT_EQ(app->settingsWindow(), settings);
    EXPECT_TRUE(settings->isVisible());
}

}  // namespace
}  // namespace quillo::testing
