#pragma once

#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace quillo::ui {

/// What the summary's exports ask of the desktop: where to save, and telling of a failed
/// write. Tests put their own in place of the dialogs.
struct ReceiptExportActions {
    /// The chosen file, or nothing when the user cancelled.
    std::function<std::optional<QString>(QWidget* parent, const QString& suggestedName,
                                         const QString& filter)>
        chooseSaveLocation;
    std::function<void(QWidget* parent, const QString& message)> showFailure;

    /// A save dialog starting in the documents folder, and a warning box.
    static ReceiptExportActions desktop();
};

}  // namespace quillo::ui
