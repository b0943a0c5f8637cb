#pragma once

#include <QDialog>
#include <functional>

#include "ui/Bindings.h"
#include "viewmodels/UninstallViewModel.h"

class QLabel;
class QPushButton;
class QTreeWidget;
class QVBoxLayout;

namespace quillo::ui {

/// The uninstall flow: the plan with a checkbox per item, the removal, and its outcome.
class UninstallSheet final : public QDialog {
    Q_OBJECT

  public:
    explicit UninstallSheet(UninstallViewModel& uninstall, QWidget* parent = nullptr);

  private:
    void rebuild();
    void refreshSelection();
    QWidget* makeReady(const UninstallPlan& plan);
    /// Ends the current page with the close button at the trailing edge.
    void addCloseButton();
    QWidget* makeCloseable(std::string_view symbol, const QColor& tint, const QString& title,
                           const std::vector<QWidget*>& lines);

    UninstallViewModel& uninstall_;
    QVBoxLayout* layout_ = nullptr;
    QWidget* page_ = nullptr;
    QTreeWidget* items_ = nullptr;
    QLabel* selectionSize_ = nullptr;
    QPushButton* confirm_ = nullptr;
    Bindings bindings_;
};

}  // namespace quillo::ui
