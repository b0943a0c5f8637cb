#include "ui/LegalPages.h"

#include <QLabel>
#include <QStringList>
#include <QUrl>
#include <QVBoxLayout>
#include <chrono>
#include <span>

#include "support/Formatting.h"
#include "ui/InlineMarkup.h"
#include "ui/OperatorIdentity.h"
#include "ui/QtText.h"
#include "ui/Style.h"

namespace quillo::ui {

namespace {

// A calendar day, not an instant: the statement carries this date in every time zone.
constexpr std::chrono::year_month_day kPrivacyStatementDate{
    std::chrono::year(2026), std::chrono::June, std::chrono::day(10)};

constexpr int kSpaceBeforeHeading = 14;

QString joinedLines(std::span<const std::string_view> lines) {
    QStringList texts;
    for (const auto line : lines) {
        texts << qtString(line);
    }
    return texts.join(QLatin1Char('\n'));
}

/// Stacks a page's texts from top to bottom; every text can be selected for copying.
class PageBuilder {
  public:
    explicit PageBuilder(const OpenLocation& openLocation)
        : page_(new QWidget), layout_(new QVBoxLayout(page_)), openLocation_(openLocation) {
        layout_->setContentsMargins(20, 16, 20, 20);
        layout_->setSpacing(6);
    }

    void title(std::string_view key) {
        add(makeLabel(catalogueText(key), TextStyle::title2, true));
    }

    void heading(std::string_view key) {
        if (layout_->count() > 0) {
            layout_->addSpacing(kSpaceBeforeHeading);
        }
        add(makeLabel(catalogueText(key), TextStyle::headline));
    }

    void secondaryLine(const QString& text) {
        auto* label = makeLabel(text, TextStyle::callout, false, colors::secondary());
        label->setTextFormat(Qt::PlainText);
        add(label);
    }

    /// A catalogue text with its inline marks rendered.
    void paragraph(std::string_view key) {
        auto* label = makeLabel(richTextFromMarkup(catalogueText(key)), TextStyle::body);
        label->setTextFormat(Qt::RichText);
        add(label);
    }

    /// The operator's own values, shown exactly as written.
    void plainText(const QString& text) {
        auto* label = makeLabel(text, TextStyle::body);
        label->setTextFormat(Qt::PlainText);
        add(label);
    }

    void mailAddress(std::string_view address, const QString& subject = {}) {
        auto* label =
            makeLabel(QStringLiteral("<a href=\"%1\">%2</a>")
                          .arg(mailLink(address, subject), qtString(address).toHtmlEscaped()),
                      TextStyle::body);
        label->setTextFormat(Qt::RichText);
        add(label);
        label->setTextInteractionFlags(Qt::TextBrowserInteraction);
        QObject::connect(label, &QLabel::linkActivated, label,
                         [open = openLocation_](const QString& link) {
                             if (open) {
                                 open(stdString(link));
                             }
                         });
    }

    QWidget* finish() {
        layout_->addStretch();
        return page_;
    }

  private:
    void add(QLabel* label) {
        makeSelectable(label);
        layout_->addWidget(label);
    }

    QWidget* page_;
    QVBoxLayout* layout_;
    OpenLocation openLocation_;
};

QString operatorNameAndAddress() {
    return qtString(operatorIdentity::kName) + QLatin1Char('\n') +
           joinedLines(operatorIdentity::kPostalAddress);
}

}  // namespace

QString mailLink(std::string_view address, const QString& subject) {
    QString link = QStringLiteral("mailto:") +
                   QString::fromLatin1(QUrl::toPercentEncoding(qtString(address), "@"));
    if (!subject.isEmpty()) {
        link += QStringLiteral("?subject=") + QString::fromLatin1(QUrl::toPercentEncoding(subject));
    }
    return link;
}

QWidget* makeImpressumPage(const OpenLocation& openLocation) {
    PageBuilder page(openLocation);
    page.heading("legal.impressum.tmg.heading");
    page.plainText(operatorNameAndAddress());
    page.heading("legal.impressum.rstv.heading");
    page.plainText(qtString(operatorIdentity::kResponsiblePerson) + QLatin1Char('\n') +
                   joinedLines(operatorIdentity::kResponsiblePersonAddress));
    page.heading("legal.impressum.contact.heading");
    page.mailAddress(operatorIdentity::kEmail);
    page.heading("legal.impressum.disclaimer.heading");
    page.paragraph("legal.impressum.disclaimer.body");
    return page.finish();
}

QWidget* makePrivacyPage(const OpenLocation& openLocation) {
    PageBuilder page(openLocation);
    page.title("legal.privacy.title");
    page.secondaryLine(
        catalogueFormat("Stand: %@", {support::formatLongDate(kPrivacyStatementDate)}));
    page.heading("legal.privacy.controller.heading");
    page.plainText(operatorNameAndAddress() + QLatin1Char('\n') +
                   qtString(operatorIdentity::kEmail));
    page.heading("legal.privacy.processing.heading");
    page.paragraph("legal.privacy.processing.body");
    page.heading("legal.privacy.local.heading");
    page.paragraph("legal.privacy.local.intro");
    page.paragraph("legal.privacy.local.item.metadata");
    page.paragraph("legal.privacy.local.item.running");
    page.paragraph("legal.privacy.local.item.receipts");
    page.paragraph("legal.privacy.local.item.defaults");
    page.heading("legal.privacy.storage.heading");
    page.paragraph("legal.privacy.storage.body");
    page.heading("legal.privacy.rights.heading");
    page.paragraph("legal.privacy.rights.body");
    page.heading("legal.privacy.frameworks.heading");
    page.paragraph("legal.privacy.frameworks.item.filetimestamp");
    page.paragraph("legal.privacy.frameworks.item.userdefaults");
    page.heading("legal.privacy.contact.heading");
    page.paragraph("legal.privacy.contact.body");
    const QString subject = catalogueText(LocalizableText::ownKey("Quillo")) +
                            QStringLiteral(" \u2013 ") +
                            catalogueText(LocalizableText::ownKey("Datenschutz"));
    page.mailAddress(operatorIdentity::kEmail, subject);
    return page.finish();
}

}  // namespace quillo::ui
