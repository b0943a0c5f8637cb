#include "ui/SummarySheet.h"

#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollArea>
#include <QVBoxLayout>
#include <chrono>

#include "deletion/ReceiptExport.h"
#include "deletion/ReceiptPDF.h"
#include "text/Text.h"
#include "ui/QtText.h"
#include "ui/Style.h"
#include "ui/Symbols.h"
#include "viewmodels/DeleteViewModel.h"

namespace quillo::ui {

namespace {

QWidget* makeFigure(std::int64_t value, std::string_view caption, const QColor& color = {}) {
    auto* figure = new QWidget;
    auto* layout = new QVBoxLayout(figure);
    auto* number = makeLabel(QString::number(value), TextStyle::title, true, color);
    number->setFont(tabularFont(TextStyle::title, true));
    number->setAlignment(Qt::AlignHCenter);
    layout->addWidget(number);
    auto* label = makeLabel(catalogueText(caption), TextStyle::caption, false, colors::secondary());
    label->setAlignment(Qt::AlignHCenter);
    layout->addWidget(label);
    return figure;
}

}  // namespace

SummarySheet::SummarySheet(std::vector<DeletionReport> reports, std::function<void()> onDone,
                           ReceiptExportActions exportActions, QWidget* parent)
    : QDialog(parent), reports_(std::move(reports)), exportActions_(std::move(exportActions)) {
    setObjectName(QStringLiteral("summarySheet"));
    setMinimumSize(560, 380);
    resize(600, 420);
    std::int64_t freed = 0;
    std::int64_t succeeded = 0;
    std::int64_t failed = 0;
    for (const auto& report : reports_) {
        for (const auto& record : report.succeeded) {
            freed += record.sizeInBytes;
        }
        succeeded += static_cast<std::int64_t>(report.succeeded.size());
        failed += static_cast<std::int64_t>(report.failed.size());
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->setSpacing(14);
    auto* header = new QHBoxLayout;
    header->addWidget(makeSymbolLabel("checkmark.seal.fill", 32));
    title_ =
        makeLabel(catalogueText("delete.summary.title"), TextStyle::title, true, colors::green());
    header->addWidget(title_, 1);
    layout->addLayout(header);
    layout->addWidget(
        makeLabel(catalogueFormat("delete.summary.freed.format", {stdString(byteCountText(freed))}),
                  TextStyle::body));
    for (const auto& place : DeleteViewModel::receiptsSavedElsewhere(reports_)) {
        auto* notice = makeLabel(
            catalogueFormat("Die Löschbelege wurden in „%1$@“ gespeichert, weil „%2$@“ nicht "
                            "beschrieben werden konnte.",
                            {place.file.native(), place.receiptsFile.native()}),
            TextStyle::callout, false, colors::orange());
        notice->setObjectName(QStringLiteral("receiptsElsewhereNotice"));
        makeSelectable(notice);
        layout->addWidget(notice);
    }

    auto* figures = new QHBoxLayout;
    figures->addWidget(makeFigure(succeeded, "delete.summary.stat.succeeded"));
    figures->addWidget(makeFigure(failed, "delete.summary.stat.failed",
                                  failed > 0 ? colors::orange() : colors::secondary()));
    figures->addWidget(
        makeFigure(static_cast<std::int64_t>(reports_.size()), "delete.summary.stat.modules"));
    layout->addLayout(figures);

    layout->addWidget(
        makeLabel(catalogueText("delete.summary.receipts.heading"), TextStyle::subheadline, true));
    auto* receipts = new QScrollArea;
    receipts->setWidgetResizable(true);
    receipts->setMinimumHeight(120);
    receipts->setMaximumHeight(200);
    auto* hashes = new QWidget;
    auto* hashLines = new QVBoxLayout(hashes);
    if (succeeded == 0) {
        hashLines->addWidget(makeLabel(catalogueText("delete.summary.receipts.none"),
                                       TextStyle::caption, false, colors::secondary()));
    }
    for (const auto& report : reports_) {
        for (const auto& record : report.succeeded) {
            auto* hash = new QLabel(qtString(record.receiptHash));
            hash->setFont(monospacedFont(TextStyle::caption));
            makeSelectable(hash);
            hashLines->addWidget(hash);
        }
    }
    hashLines->addStretch();
    receipts->setWidget(hashes);
    layout->addWidget(receipts);

    auto* buttons = new QHBoxLayout;
    auto* pdf =
        new QPushButton(symbolIcon("doc.richtext"), catalogueText("delete.summary.export.pdf"));
    pdf->setAutoDefault(false);
    auto* csv =
        new QPushButton(symbolIcon("tablecells"), catalogueText("delete.summary.export.csv"));
    csv->setObjectName(QStringLiteral("exportCSVButton"));
    csv->setAutoDefault(false);
    auto* done = new QPushButton(catalogueText("delete.summary.done"));
    done->setObjectName(QStringLiteral("doneButton"));
    done->setDefault(true);
    connect(pdf, &QPushButton::clicked, this, &SummarySheet::exportPDF);
    connect(csv, &QPushButton::clicked, this, &SummarySheet::exportCSV);
    connect(done, &QPushButton::clicked, this, [onDone = std::move(onDone)] { onDone(); });
    buttons->addWidget(pdf);
    buttons->addWidget(csv);
    buttons->addStretch();
    buttons->addWidget(done);
    layout->addLayout(buttons);
    exportOutcome_ = makeLabel({}, TextStyle::caption, false, colors::secondary());
    exportOutcome_->setObjectName(QStringLiteral("exportOutcome"));
    exportOutcome_->setWordWrap(true);
    makeSelectable(exportOutcome_);
    exportOutcome_->hide();
    layout->addWidget(exportOutcome_);
}

void SummarySheet::markStopped() {
    title_->setText(catalogueText("delete.summary.title.stopped"));
}

void SummarySheet::exportPDF() {
    const auto now = std::chrono::system_clock::now();
    const auto data = pdfData(exportReceipts(reports_), now);
    if (!data) {
        exportActions_.showFailure(
            this, catalogueFormat("Der Beleg konnte nicht gespeichert werden: %@",
                                  {text::text("delete.summary.export.pdf.failed")}));
        return;
    }
    save(QByteArray::fromStdString(*data), qtString(pdfFileName(now)),
         QStringLiteral("PDF (*.pdf)"));
}

void SummarySheet::exportCSV() {
    const auto now = std::chrono::system_clock::now();
    save(QByteArray::fromStdString(csvText(exportReceipts(reports_))), qtString(csvFileName(now)),
         QStringLiteral("CSV (*.csv)"));
}

void SummarySheet::save(const QByteArray& data, const QString& suggestedName,
                        const QString& filter) {
    const auto location = exportActions_.chooseSaveLocation(this, suggestedName, filter);
    if (!location) {
        return;
    }
    // Written beside the target and renamed over it, so a failed export never leaves a
    // truncated file where an earlier one stood.
    QSaveFile file(*location);
    const bool written =
        file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit();
    if (!written) {
        exportActions_.showFailure(this,
                                   catalogueFormat("Der Beleg konnte nicht gespeichert werden: %@",
                                                   {stdString(file.errorString())}));
        return;
    }
    exportOutcome_->setText(
        catalogueFormat("delete.summary.export.saved.format", {stdString(*location)}));
    exportOutcome_->show();
}

}  // namespace quillo::ui
