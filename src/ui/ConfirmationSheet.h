#pragma once

#include <QDialog>
#include <functional>

#include "ui/Bindings.h"
#include "viewmodels/DeleteViewModel.h"

class QLineEdit;
class QPushButton;

namespace quillo::ui {

/// Asks before a deletion run: what will go, by module, and for irreversible items the typed
/// phrase. Escape cancels, Return deletes once allowed.
class ConfirmationSheet final : public QDialog {
    Q_OBJECT

  public:
    ConfirmationSheet(DeleteViewModel& deletion, std::function<void()> onConfirm,
                      QWidget* parent = nullptr);

  private:
    void refresh();

    DeleteViewModel& deletion_;
    QLineEdit* phrase_ = nullptr;
    QPushButton* deleteButton_ = nullptr;
    Bindings bindings_;
};

}  // namespace quillo::ui
