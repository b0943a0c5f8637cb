#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "support/TemporaryDirectory.h"
#include "support/TextFiles.h"
#include "ui/SummarySheet.h"

namespace quillo::ui {
namespace {

DeletionReport reportOfOneFile() {
    return DeletionReport{.moduleID = CleaningModuleID::systemLogs,
                          .succeeded = {{.id = Uuid::random(),
                                         .sizeInBytes = 4096,
                                         .receiptHash = std::string(64, 'a')}},
                          .failed = {{.id = Uuid::random(), .reason = "gesperrt"}},
                          .startedAt = {},
                          .completedAt = std::chrono::system_clock::now()};
}

struct ExportFixture {
    std::vector<QString> suggested;
    std::vector<QString> failures;
    std::optional<QString> answer;

    ReceiptExportActions actions() {
        return {.chooseSaveLocation =
                    [this](QWidget*, const QString& name, const QString&) {
                        suggested.push_back(name);
                        return answer;
                    },
                .showFailure = [this](QWidget*,
                                      const QString& message) { failures.push_back(message); }};
    }
};

TEST(SummarySheetTest, TheCSVExportWritesTheRunsReceiptsWhereTheUserChose) {
    const testing::TemporaryDirectory folder;
    ExportFixture exporting;
    exporting.answer = QString::fromStdString((folder / "belege.csv").string());
    SummarySheet sheet(
        {reportOfOneFile()}, [] {}, exporting.actions());
    QTest::mouseClick(sheet.findChild<QPushButton*>("exportCSVButton"), Qt::LeftButton);

    ASSERT_EQ(exporting.suggested.size(), 1U);
    EXPECT_TRUE(exporting.suggested[0].startsWith(QStringLiteral("Quillo-Belege-")));
    const auto contents = testing::readTextFile(folder / "belege.csv");
    EXPECT_EQ(contents.substr(0, 34), "hash,sizeInBytes,deletedAt,moduleI");
    EXPECT_NE(contents.find(std::string(64, 'a') + ",4096,"), std::string::npos);
    EXPECT_TRUE(exporting.failures.empty());
}

TEST(SummarySheetTest, AFailedWriteIsToldAndACancelledDialogWritesNothing) {
    const testing::TemporaryDirectory folder;
    ExportFixture exporting;
    exporting.answer = QString::fromStdString((folder / "missing/belege.csv").string());
    SummarySheet sheet(
        {reportOfOneFile()}, [] {}, exporting.actions());
    sheet.exportCSV();
    ASSERT_EQ(exporting.failures.size(), 1U);
    EXPECT_TRUE(exporting.failures[0].startsWith(
        QString::fromUtf8("Der Beleg konnte nicht gespeichert werden")));

    exporting.answer.reset();
    sheet.exportPDF();
    EXPECT_EQ(exporting.failures.size(), 1U);
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

TEST(SummarySheetTest, SaysWhereReceiptsWentWhenTheirFileCouldNotBeWritten) {
    auto report = reportOfOneFile();
    SummarySheet plain({report}, [] {}, {});
    EXPECT_EQ(plain.findChild<QLabel*>("receiptsElsewhereNotice"), nullptr);

    report.receiptsSavedElsewhere =
        ReceiptsSavedElsewhere{"/home/anna/.local/state/Quillo/receipts-2025-03-14-092653.json",
                               "/home/anna/.local/share/Quillo/receipts.json"};
    SummarySheet sheet({report, report}, [] {}, {});
    const auto notices = sheet.findChildren<QLabel*>("receiptsElsewhereNotice");
    ASSERT_EQ(notices.size(), 1);
    EXPECT_EQ(notices.front()->text(),
              QString::fromUtf8("Die Löschbelege wurden in "
                                "„/home/anna/.local/state/Quillo/receipts-2025-03-14-092653.json“ "
                                "gespeichert, weil „/home/anna/.local/share/Quillo/receipts.json“ "
                                "nicht beschrieben werden konnte."));
}

TEST(SummarySheetTest, DoneAnswersReturn) {
    int done = 0;
    SummarySheet sheet({}, [&done] { ++done; }, {});
    sheet.show();
    QTest::keyClick(&sheet, Qt::Key_Return);
    EXPECT_EQ(done, 1);
}

}  // namespace
}  // namespace quillo::ui
