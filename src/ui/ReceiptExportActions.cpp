#include "ui/ReceiptExportActions.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QStandardPaths>

namespace quillo::ui {

ReceiptExportActions ReceiptExportActions::desktop() {
    return {
        .chooseSaveLocation = [](QWidget* parent, const QString& suggestedName,
                                 const QString& filter) -> std::optional<QString> {
            // A missing Documents folder would send the dialog to the working directory.
            auto folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
            if (!QDir(folder).exists()) {
                folder = QDir::homePath();
            }
            const auto chosen = QFileDialog::getSaveFileName(
                parent, {}, QDir(folder).filePath(suggestedName), filter);
            if (chosen.isEmpty()) {
                return std::nullopt;
            }
            return chosen;
        },
        .showFailure =
            [](QWidget* parent, const QString& message) {
                QMessageBox::warning(parent, QStringLiteral("Quillo"), message);
            },
    };
}

}  // namespace quillo::ui
