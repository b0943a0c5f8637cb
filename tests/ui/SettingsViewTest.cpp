#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest/QTest>
#include <memory>

#include "WidgetSearch.h"
#include "system/FakeNotificationService.h"
#include "ui/QtText.h"
#include "ui/RetentionStepper.h"
#include "ui/SettingsView.h"

namespace quillo::ui {
namespace {

using testing::findWithKey;
using testing::findWithText;
using Status = FullDiskAccessProbe::Status;

/// The settings view over settings in memory, a probe whose answer the test sets, and a fake
/// notification service whose main queue the test runs.
class SettingsViewTest : public ::testing::Test {
  protected:
    QCheckBox* moduleSwitch(CleaningModuleID id) const {
        return findWithText<QCheckBox>(view, catalogueText(displayName(id)));
    }

    Status probed = Status::denied;
    std::shared_ptr<support::ManualExecutor> main = std::make_shared<support::ManualExecutor>();
    std::shared_ptr<quillo::testing::FakeNotificationService> notifications =
        std::make_shared<quillo::testing::FakeNotificationService>(main);
    AppSettings settings{std::make_unique<InMemoryDefaultsStore>(),
                         SettingsEnvironment{.checkFullDiskAccess = [this] { return probed; },
                                             .reportStoreFailure = [](const support::Error&) {}}};
    std::shared_ptr<ReceiptStore> receipts = ReceiptStore::create(ReceiptStore::InMemory{}, main);
    SettingsView view{settings,
                      {.openLocation = {},
                       .notifications = notifications,
                       .mainExecutor = main,
                       .receipts = receipts}};
};

TEST_F(SettingsViewTest, SwitchingOffEveryModuleDisablesAllEight) {
    for (const auto id : allCleaningModuleIDs) {
        ASSERT_NE(moduleSwitch(id), nullptr);
        EXPECT_TRUE(moduleSwitch(id)->isChecked());
        moduleSwitch(id)->click();
    }
    EXPECT_EQ(settings.disabledModuleIDs(),
              std::set<CleaningModuleID>(allCleaningModuleIDs.begin(), allCleaningModuleIDs.end()));
    EXPECT_TRUE(settings.enabledModuleIDs().empty());
    for (const auto id : allCleaningModuleIDs) {
        EXPECT_FALSE(moduleSwitch(id)->isChecked());
    }

    moduleSwitch(CleaningModuleID::tempFiles)->click();
    EXPECT_EQ(settings.enabledModuleIDs(), std::set{CleaningModuleID::tempFiles});
}

TEST_F(SettingsViewTest, TheStepperStopsAtZeroAndAt365) {
    auto* stepper = view.findChild<RetentionStepper*>();
    ASSERT_NE(stepper, nullptr);
    EXPECT_EQ(stepper->text(), QStringLiteral("7 Tage schonen"));

    settings.setLogRetentionDays(1);
    EXPECT_EQ(stepper->value(), 1);
    stepper->stepDown();
    stepper->stepDown();
    EXPECT_EQ(settings.logRetentionDays(), 0);
    EXPECT_EQ(stepper->text(), QStringLiteral("0 Tage schonen"));

    settings.setLogRetentionDays(364);
    stepper->stepUp();
    stepper->stepUp();
    EXPECT_EQ(settings.logRetentionDays(), 365);
    EXPECT_EQ(stepper->text(), QStringLiteral("365 Tage schonen"));
}

TEST_F(SettingsViewTest, TheReminderSwitchStoresFirstThenSchedulesForNineOrCancels) {
    notifications->status = NotificationAuthorizationStatus::authorized;
    auto* reminder = findWithKey<QCheckBox>(view, "settings.reminder.toggle");
    ASSERT_NE(reminder, nullptr);

    reminder->click();
    EXPECT_TRUE(settings.dailyReminderEnabled());
    EXPECT_TRUE(notifications->pending.empty());
    main->runAll();
    ASSERT_EQ(notifications->pending.size(), 1U);
    EXPECT_EQ(notifications->pending.front().identifier, "quillo.daily-reminder");
    EXPECT_EQ(notifications->pending.front().trigger.hour, 9);

    reminder->click();
    EXPECT_FALSE(settings.dailyReminderEnabled());
    EXPECT_EQ(notifications->pending.size(), 1U);
    main->runAll();
    EXPECT_TRUE(notifications->pending.empty());
}

/// Clicks the reset button, then presses Escape at its question or its destructive button.
void resetAnswering(SettingsView& view, Qt::Key key) {
    bool asked = false;
    QTimer::singleShot(0, [&asked, key] {
        auto* question = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(question, nullptr);
        EXPECT_EQ(question->text(),
                  QStringLiteral("Alle Einstellungen und Löschbelege zurücksetzen?"));
        asked = true;
        if (key == Qt::Key_Escape) {
            QTest::keyClick(question, key);
            return;
        }
        for (auto* button : question->buttons()) {
            if (question->buttonRole(button) == QMessageBox::DestructiveRole) {
                button->click();
            }
        }
    });
    view.findChild<QPushButton*>(QStringLiteral("resetButton"))->click();
    EXPECT_TRUE(asked);
}

TEST_F(SettingsViewTest, EscapeAtTheResetQuestionKeepsEverything) {
    settings.setDeepScanEnabled(true);
    resetAnswering(view, Qt::Key_Escape);
    main->runAll();
    EXPECT_TRUE(settings.deepScanEnabled());
}

TEST_F(SettingsViewTest, AResetShowsTheDefaultsOnEveryTab) {
    settings.setOnboardingCompleted(true);
    settings.setDeepScanEnabled(true);
    settings.setDeletionMode(DeletionMode::secureOverwriteThreePass);
    settings.setModuleEnabled(CleaningModuleID::fontCache, false);
    auto* onboarding = findWithKey<QCheckBox>(view, "settings.onboarding.toggle");
    auto* deepScan = findWithKey<QCheckBox>(view, "settings.deepScan.toggle");
    ASSERT_NE(onboarding, nullptr);
    ASSERT_NE(deepScan, nullptr);
    EXPECT_TRUE(onboarding->isChecked());
    EXPECT_TRUE(deepScan->isChecked());
    EXPECT_TRUE(findWithKey<QRadioButton>(view, "settings.method.dod")->isChecked());
    EXPECT_FALSE(moduleSwitch(CleaningModuleID::fontCache)->isChecked());

    resetAnswering(view, Qt::Key_Return);
    main->runAll();

    EXPECT_FALSE(settings.onboardingCompleted());
    EXPECT_FALSE(onboarding->isChecked());
    EXPECT_FALSE(deepScan->isChecked());
    EXPECT_TRUE(findWithKey<QRadioButton>(view, "settings.method.standard")->isChecked());
    EXPECT_TRUE(moduleSwitch(CleaningModuleID::fontCache)->isChecked());
}

TEST_F(SettingsViewTest, TheRecheckStoresAChangedStatus) {
    auto* status = view.findChild<QLabel*>(QStringLiteral("fullDiskAccessStatus"));
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->text(), catalogueText("settings.fda.status.denied"));

    probed = Status::granted;
    findWithKey<QPushButton>(view, "settings.fda.recheck")->click();
    EXPECT_EQ(settings.fullDiskAccessStatus(), Status::granted);
    EXPECT_EQ(status->text(), catalogueText("settings.fda.status.granted"));
}

TEST_F(SettingsViewTest, ChoosingAMethodStoresIt) {
    findWithKey<QRadioButton>(view, "settings.method.bsi")->click();
    EXPECT_EQ(settings.deletionMode(), DeletionMode::secureOverwrite);
}

}  // namespace
}  // namespace quillo::ui
