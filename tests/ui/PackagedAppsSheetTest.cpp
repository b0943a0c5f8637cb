#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

#include "WidgetSearch.h"
#include "support/ManualExecutor.h"
#include "ui/PrivacyAuditSheet.h"
#include "ui/UninstallSheet.h"
#include "uninstall/UninstallHarness.h"

namespace quillo {
namespace {

using ui::testing::findWithKey;

class PackagedAppsSheetTest : public ::testing::Test {
  protected:
    void settle() const {
        while (context->runAll() + main->runAll() > 0) {
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
    std::shared_ptr<PrivacyAuditService> auditing(AuditFindings findings) const {
        return PrivacyAuditService::create(
            {}, context, PrivacyAuditService::readInfoPlistFile,
            [findings](const support::CancellationToken&) { return findings; });
    }

    std::shared_ptr<support::ManualExecutor> context = std::make_shared<support::ManualExecutor>();
    std::shared_ptr<support::ManualExecutor> main = std::make_shared<support::ManualExecutor>();
};

TEST_F(PackagedAppsSheetTest, AnAuditThatExaminedNothingClaimsNothing) {
    PrivacyAuditViewModel model(auditing({}), main);
    ui::PrivacyAuditSheet sheet(model, [](const std::string&) {});
    sheet.show();
    settle();
    EXPECT_NE(findWithKey<QLabel>(sheet, "privacy.audit.nothingExamined.title"), nullptr);
    EXPECT_EQ(findWithKey<QLabel>(sheet, "privacy.audit.empty.title"), nullptr);
}

TEST_F(PackagedAppsSheetTest, APackagedAppShowsItsInstallationAndItsPermissionLines) {
    PrivacyAuditViewModel model(
        auditing(
            {{InstalledApp{Uuid::random(),
                           "/var/lib/flatpak/app/org.example.Tool/current/active",
                           "org.example.Tool",
                           "Werkzeug",
                           {{Uuid::random(), PrivacyPermission::microphone, "sockets=pulseaudio"}},
                           "system"}},
             1}),
        main);
    ui::PrivacyAuditSheet sheet(model, [](const std::string&) {});
    sheet.show();
    settle();
    const auto* lines = sheet.findChild<QLabel*>(QStringLiteral("rationaleLines"));
    ASSERT_NE(lines, nullptr);
    EXPECT_EQ(lines->text(), QStringLiteral("Mikrofon: sockets=pulseaudio"));
    EXPECT_NE(ui::testing::findWithText<QLabel>(sheet, QStringLiteral("org.example.Tool · system")),
              nullptr);
}

TEST_F(PackagedAppsSheetTest, TheUninstallSheetListsTheAppsAndPlansTheChosenOne) {
    const std::vector<platform::PackagedApplication> installed{
        {.kind = platform::PackageKind::flatpak,
         .id = "org.example.Tool",
         .name = "Werkzeug",
         .sizeInBytes = 5000,
         .installation = "user",
         .installationLabel = "user",
         .installationPath = "/nonexistent"}};
    UninstallViewModel model(testing::packageListingService(installed, context, main), main);
    bool choseBundle = false;
    ui::UninstallSheet sheet(model, [&](QWidget*) {
        choseBundle = true;
        return std::optional<std::filesystem::path>();
    });
    model.showApplications();
    settle();
    auto* list = sheet.findChild<QTreeWidget*>(QStringLiteral("installedApplications"));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(list->topLevelItem(0)->text(1), QStringLiteral("Flatpak · user"));
    sheet.findChild<QPushButton*>(QStringLiteral("chooseBundleButton"))->click();
    EXPECT_TRUE(choseBundle);
    auto* next = sheet.findChild<QPushButton*>(QStringLiteral("nextButton"));
    EXPECT_FALSE(next->isEnabled());
    list->setCurrentItem(list->topLevelItem(0));
    ASSERT_TRUE(next->isEnabled());
    next->click();
    settle();
    const auto* ready = std::get_if<UninstallViewModel::Ready>(&model.phase());
    ASSERT_NE(ready, nullptr);
    EXPECT_EQ(ready->plan.bundleID, "org.example.Tool");
}

}  // namespace
}  // namespace quillo
