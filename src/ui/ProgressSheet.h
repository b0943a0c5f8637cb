#pragma once

#include <QDialog>
#include <functional>

#include "viewmodels/DeleteViewModel.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace quillo::ui {

/// The running deletion: current item, a bar and the count, and a button that stops the run
/// after its current item; it closes when the run ends.
class ProgressSheet final : public QDialog {
    Q_OBJECT

  public:
    explicit ProgressSheet(std::function<void()> onStop, QWidget* parent = nullptr);

    void show(const DeleteViewModel::Deleting& progress);
    [[nodiscard]] QProgressBar* bar() const { return bar_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QLabel* current_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QLabel* count_ = nullptr;
    QPushButton* stop_ = nullptr;
};

/// `completed` of `total` as a fraction; 0 when there is nothing to do.
double progressFraction(std::size_t completed, std::size_t total);

}  // namespace quillo::ui
