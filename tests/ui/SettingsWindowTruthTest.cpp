#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QtTest/QTest>
#include <memory>

#include "WidgetSearch.h"
#include "system/FakeNotificationService.h"
#include "ui/QtText.h"
#include "ui/SettingsView.h"

namespace quillo::ui {
namespace {

using testing::findWithKey;

class SettingsWindowTruthTest : public ::testing::Test {
  protected:
    template <class T>
    T* find(const char* name) const {
        auto* found = view.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    std::shared_ptr<support::ManualExecutor> main = std::make_shared<support::ManualExecutor>();
    std::shared_ptr<quillo::testing::FakeNotificationService> notifications =
        std::make_shared<quillo::testing::FakeNotificationService>(main);
    AppSettings settings{std::make_unique<InMemoryDefaultsStore>(),
                         SettingsEnvironment{.checkFullDiskAccess =
                                                 [] { return FullDiskAccessProbe::Status::denied; },
                                             .reportStoreFailure = [](const support::Error&) {}}};
    std::optional<std::string> chosen;
    SettingsView view{settings,
                      {.openLocation = {},
                       .notifications = notifications,
                       .mainExecutor = main,
                       .receipts = ReceiptStore::create(ReceiptStore::InMemory{}, main),
                       .chooseKeptPath = [this](QWidget*, KeptPathChoice) { return chosen; }}};
};

TEST_F(SettingsWindowTruthTest, AReminderTheServiceDeniesTurnsTheSwitchBackOffAndSaysWhy) {
    notifications->status = NotificationAuthorizationStatus::denied;
    auto* reminder = findWithKey<QCheckBox>(view, "settings.reminder.toggle");
    ASSERT_NE(reminder, nullptr);
    reminder->click();
    EXPECT_TRUE(settings.dailyReminderEnabled()) << "stored first, as always";
    main->runAll();
    EXPECT_FALSE(settings.dailyReminderEnabled());
    EXPECT_FALSE(reminder->isChecked());
    EXPECT_TRUE(notifications->pending.empty());
    EXPECT_EQ(find<QLabel>("reminderFailure")->text(),
              catalogueText("settings.reminder.unavailable.denied"));
    EXPECT_FALSE(find<QLabel>("reminderFailure")->isHidden());

    notifications->status = NotificationAuthorizationStatus::authorized;
    reminder->click();
    main->runAll();
    EXPECT_TRUE(settings.dailyReminderEnabled());
    EXPECT_TRUE(find<QLabel>("reminderFailure")->isHidden());
}

TEST_F(SettingsWindowTruthTest, TheWindowIsTitledOnceResizesAndClosesOnEscapeAndCtrlW) {
    view.show();
    EXPECT_EQ(view.windowTitle(), QString::fromUtf8("Quillo – Einstellungen"));
    view.setCurrentIndex(1);
    EXPECT_EQ(view.windowTitle(), QString::fromUtf8("Quillo – Einstellungen"));
    EXPECT_LT(view.minimumSize().width(), view.maximumSize().width());
    for (const auto& key : {QKeySequence(Qt::Key_Escape), QKeySequence(QKeySequence::Close)}) {
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        QTest::keySequence(&view, key);
        EXPECT_FALSE(view.isVisible()) << key.toString().toStdString();
    }
}

TEST_F(SettingsWindowTruthTest, TheKeepListAddsRefusesAndRemoves) {
    auto* list = find<QListWidget>("keptPathsList");
    chosen = "/home/anna/.cache/editor/";
    find<QPushButton>("addKeptFolderButton")->click();
    chosen = "~/relative";
    find<QPushButton>("addKeptPatternButton")->click();
    EXPECT_EQ(settings.keptPaths().rules(), std::vector<std::string>{"/home/anna/.cache/editor"});
    ASSERT_EQ(list->count(), 1);
    EXPECT_FALSE(find<QLabel>("keptPathRefusal")->isHidden());

    list->setCurrentRow(0);
    find<QPushButton>("removeKeptPathButton")->click();
    EXPECT_TRUE(settings.keptPaths().empty());
    EXPECT_EQ(list->count(), 0);
}

}  // namespace
}  // namespace quillo::ui
