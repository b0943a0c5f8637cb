#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <memory>
#include <string>
#include <vector>

#include "WidgetSearch.h"
#include "support/ManualExecutor.h"
#include "support/PropertyListFiles.h"
#include "support/TemporaryDirectory.h"
#include "system/FullDiskAccessProbe.h"
#include "ui/PrivacyAuditSheet.h"

namespace quillo {
namespace {

using ui::testing::findWithKey;
using ui::testing::findWithText;

class PrivacyAuditSheetTest : public ::testing::Test {
  protected:
    void makeApp(const std::string& name, const ::quillo::testing::PropertyEntries& entries) const {
        ::quillo::testing::makeBundle(temp / "Applications" / (name + ".app"), entries);
    }

    /// Shows the sheet and lets the audit it starts run to its end.
    ui::PrivacyAuditSheet& showAudited() {
        sheet = std::make_unique<ui::PrivacyAuditSheet>(
            viewModel, [this](const std::string& url) { opened.push_back(url); });
        sheet->show();
        EXPECT_TRUE(std::holds_alternative<PrivacyAuditViewModel::Scanning>(viewModel.phase()));
        settle();
        return *sheet;
    }

    void settle() const {
        context->runAll();
        main->runAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    template <class T>
    T* find(const char* name) const {
        return sheet->findChild<T*>(QString::fromLatin1(name));
    }

    [[nodiscard]] int shownApps() const {
        return static_cast<int>(sheet->findChildren<QWidget*>(QStringLiteral("auditedApp")).size());
    }

    ::quillo::testing::TemporaryDirectory temp;
    std::shared_ptr<support::ManualExecutor> context = std::make_shared<support::ManualExecutor>();
    std::shared_ptr<support::ManualExecutor> main = std::make_shared<support::ManualExecutor>();
    PrivacyAuditViewModel viewModel{PrivacyAuditService::create({temp / "Applications"}, context),
                                    main};
    std::vector<std::string> opened;
    std::unique_ptr<ui::PrivacyAuditSheet> sheet;
};

TEST_F(PrivacyAuditSheetTest, AnAuditWithoutDeclarationsShowsTheEmptyNoticeNotAnEmptyList) {
    makeApp("Rechner", {{"CFBundleIdentifier", std::string("com.example.Calculator")}});
    auto& shown = showAudited();
    EXPECT_NE(findWithKey<QLabel>(shown, "privacy.audit.empty.title"), nullptr);
    EXPECT_EQ(find<QLineEdit>("auditSearchField"), nullptr);
    EXPECT_EQ(find<QLabel>("footerLabel")->text(), QStringLiteral("0 von 0 Programmen"));
}

TEST_F(PrivacyAuditSheetTest, ChipsStandOnlyForDeclaredPermissionsAndASecondClickClearsTheFilter) {
    makeApp("Studio", {{"CFBundleIdentifier", std::string("com.example.Studio")},
                       {"NSCameraUsageDescription", std::string("Video")},
                       {"NSMicrophoneUsageDescription", std::string("Ton")}});
    makeApp("Blende", {{"CFBundleIdentifier", std::string("com.example.Aperture")},
                       {"NSCameraUsageDescription", std::string("Bilder")}});
    showAudited();
    ASSERT_NE(find<QToolButton>("chip.camera"), nullptr);
    EXPECT_EQ(find<QToolButton>("chip.camera")->text(), QStringLiteral("Kamera (2)"));
    EXPECT_NE(find<QToolButton>("chip.microphone"), nullptr);
    EXPECT_EQ(find<QToolButton>("chip.contacts"), nullptr);
    EXPECT_EQ(shownApps(), 2);

    QTest::mouseClick(find<QToolButton>("chip.microphone"), Qt::LeftButton);
    settle();
    EXPECT_EQ(viewModel.selectedFilter(), PrivacyPermission::microphone);
    EXPECT_EQ(shownApps(), 1);
    EXPECT_EQ(find<QLabel>("footerLabel")->text(), QStringLiteral("1 von 2 Programmen"));
    QTest::mouseClick(find<QToolButton>("chip.microphone"), Qt::LeftButton);
    settle();
    EXPECT_FALSE(viewModel.selectedFilter());
    EXPECT_EQ(shownApps(), 2);
}

TEST_F(PrivacyAuditSheetTest, ASearchMatchingNothingKeepsTheFilterBarAndCountsZero) {
    makeApp("Studio", {{"CFBundleIdentifier", std::string("com.example.Studio")},
                       {"NSCameraUsageDescription", std::string("Video")}});
    showAudited();
    auto* search = find<QLineEdit>("auditSearchField");
    ASSERT_NE(search, nullptr);
    QTest::keyClicks(search, "nichts");
    settle();
    EXPECT_EQ(viewModel.searchQuery(), "nichts");
    EXPECT_EQ(find<QLineEdit>("auditSearchField"), search) << "typing keeps the field";
    EXPECT_EQ(shownApps(), 0);
    EXPECT_EQ(find<QLabel>("footerLabel")->text(), QStringLiteral("0 von 1 Programm"));
}

// Where the platform has no settings pages, pressing a permission opens nothing.
TEST_F(PrivacyAuditSheetTest, APermissionTellsItsRationaleAndOpensItsSettingsPageWhereThereIsOne) {
    makeApp("Diktat", {{"CFBundleIdentifier", std::string("org.sample.Dictation")},
                       {"NSMicrophoneUsageDescription", std::string("")},
                       {"NSCameraUsageDescription", std::string("Für Videonotizen")}});
    showAudited();
    auto* camera = find<QToolButton>("permission.camera");
    auto* microphone = find<QToolButton>("permission.microphone");
    ASSERT_NE(camera, nullptr);
    ASSERT_NE(microphone, nullptr);
    EXPECT_EQ(camera->toolTip(), QStringLiteral("Für Videonotizen"));
    EXPECT_EQ(microphone->toolTip(), ui::catalogueText("privacy.audit.noRationale"));
    QTest::mouseClick(microphone, Qt::LeftButton);
    EXPECT_EQ(opened, FullDiskAccessProbe::settingsURL()
                          ? std::vector<std::string>{settingsLink(PrivacyPermission::microphone)}
                          : std::vector<std::string>{});
}

TEST_F(PrivacyAuditSheetTest, ReopeningShowsTheLastResultWithoutANewAudit) {
    makeApp("Studio", {{"CFBundleIdentifier", std::string("com.example.Studio")},
                       {"NSCameraUsageDescription", std::string("Video")}});
    showAudited();
    sheet.reset();
    sheet = std::make_unique<ui::PrivacyAuditSheet>(viewModel, [](const std::string&) {});
    sheet->show();
    EXPECT_TRUE(std::holds_alternative<PrivacyAuditViewModel::Ready>(viewModel.phase()));
    EXPECT_EQ(shownApps(), 1);
    EXPECT_EQ(findWithText<QLabel>(*sheet, QStringLiteral("Studio"))->isVisible(), true);
}

}  // namespace
}  // namespace quillo
