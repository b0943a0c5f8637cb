#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "model/DeletionReport.h"
#include "ui/ReceiptExportActions.h"

class QLabel;

namespace quillo::ui {

/// The outcome of a deletion run: space freed, where the receipts went when their file could not
/// take them, the counts, the receipt hashes, and the PDF and CSV exports of the run's receipts.
class SummarySheet final : public QDialog {
    Q_OBJECT

  public:
    SummarySheet(std::vector<DeletionReport> reports, std::function<void()> onDone,
                 ReceiptExportActions exportActions, QWidget* parent = nullptr);

    void exportPDF();
    void exportCSV();
    /// Titles the sheet as a run the user stopped before its end.
    void markStopped();

  private:
    /// Asks where to save `data` and writes it there; a failed write is told to the user.
    void save(const QByteArray& data, const QString& suggestedName, const QString& filter);

    std::vector<DeletionReport> reports_;
    ReceiptExportActions exportActions_;
    QLabel* title_ = nullptr;
    QLabel* exportOutcome_ = nullptr;
};

}  // namespace quillo::ui
