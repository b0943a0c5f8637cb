#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QtTest/QTest>
#include <string>
#include <vector>

#include "WidgetSearch.h"
#include "ui/LegalView.h"
#include "ui/OperatorIdentity.h"

namespace quillo::ui {
namespace {

using testing::findWithKey;

/// The shown page's labels that carry a link.
std::vector<QLabel*> linkLabels(const LegalView& view) {
    std::vector<QLabel*> labels;
    auto* page = view.findChild<QStackedWidget*>()->currentWidget();
    for (auto* label : page->findChildren<QLabel*>()) {
        if (label->text().contains(QStringLiteral("href="))) {
            labels.push_back(label);
        }
    }
    return labels;
}

QString expectedLink(const std::string& query) {
    return QStringLiteral("mailto:") + qtString(operatorIdentity::kEmail) + qtString(query);
}

TEST(LegalViewTest, PickerSwitchesBetweenNoticeAndPrivacyStatement) {
    LegalView view(nullptr);
    EXPECT_EQ(view.section(), LegalView::Section::impressum);
    auto* visiblePage = view.findChild<QStackedWidget*>();
    EXPECT_EQ(visiblePage->currentWidget()->objectName(), QStringLiteral("impressum"));
    EXPECT_NE(findWithKey<QLabel>(*visiblePage->currentWidget(), "legal.impressum.tmg.heading"),
              nullptr);

    QTest::mouseClick(view.findChild<QPushButton*>(QStringLiteral("privacy")), Qt::LeftButton);
    EXPECT_EQ(view.section(), LegalView::Section::privacy);
    EXPECT_EQ(visiblePage->currentWidget()->objectName(), QStringLiteral("privacy"));
    EXPECT_NE(testing::findWithText<QLabel>(*visiblePage->currentWidget(),
                                            QStringLiteral("Stand: 10. Juni 2026")),
              nullptr);
    EXPECT_FALSE(view.findChild<QPushButton*>(QStringLiteral("impressum"))->isChecked());

    view.setSection(LegalView::Section::impressum);
    EXPECT_TRUE(view.findChild<QPushButton*>(QStringLiteral("impressum"))->isChecked());
    EXPECT_EQ(visiblePage->currentWidget()->objectName(), QStringLiteral("impressum"));
}

TEST(LegalViewTest, MailLinksOpenThroughThePlatformWithTheEncodedSubject) {
    std::vector<std::string> opened;
    LegalView view([&](const std::string& url) { opened.push_back(url); });

    auto impressumLinks = linkLabels(view);
    ASSERT_EQ(impressumLinks.size(), 1U);
    EXPECT_TRUE(
        impressumLinks[0]->text().contains(QStringLiteral("href=\"%1\"").arg(expectedLink(""))));

    view.setSection(LegalView::Section::privacy);
    auto privacyLinks = linkLabels(view);
    ASSERT_EQ(privacyLinks.size(), 1U);
    const QString contact = expectedLink("?subject=Quillo%20%E2%80%93%20Datenschutz");
    EXPECT_TRUE(privacyLinks[0]->text().contains(QStringLiteral("href=\"%1\"").arg(contact)))
        << privacyLinks[0]->text().toStdString();

    view.show();
    privacyLinks[0]->setFocus();
    QTest::keyClick(privacyLinks[0], Qt::Key_Tab);
    QTest::keyClick(privacyLinks[0], Qt::Key_Return);
    EXPECT_EQ(opened, (std::vector<std::string>{stdString(contact)}));
}

TEST(LegalViewTest, MarksOfTheStatementAreRenderedNotShown) {
    LegalView view(nullptr);
    view.setSection(LegalView::Section::privacy);
    const auto* page = view.findChild<QStackedWidget*>()->currentWidget();
    for (const auto* label : page->findChildren<QLabel*>()) {
        EXPECT_FALSE(label->text().contains(QStringLiteral("**"))) << label->text().toStdString();
        EXPECT_FALSE(label->text().contains(QLatin1Char('`'))) << label->text().toStdString();
        EXPECT_TRUE(label->textInteractionFlags().testFlag(Qt::TextSelectableByMouse));
    }
}

}  // namespace
}  // namespace quillo::ui
