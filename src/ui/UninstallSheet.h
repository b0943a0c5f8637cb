#pragma once

#include <QDialog>
#include <filesystem>
#include <functional>
#include <optional>

#include "ui/Bindings.h"
#include "viewmodels/UninstallViewModel.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QVBoxLayout;

namespace quillo::ui {

/// The uninstall flow: the installed applications to choose from, the plan with a checkbox per
/// item, the removal, and its outcome.
class UninstallSheet final : public QDialog {
    Q_OBJECT

  public:
    /// Asks the user for an application bundle; none when the dialog was cancelled.
    using ChooseBundle = std::function<std::optional<std::filesystem::path>(QWidget* parent)>;

    explicit UninstallSheet(UninstallViewModel& uninstall, ChooseBundle chooseBundle = {},
                            QWidget* parent = nullptr);

  private:
    void rebuild();
    void refreshSelection();
    void refreshApplications();
    QWidget* makeChoosing(const UninstallViewModel::Choosing& choosing);
    QWidget* makeReady(const UninstallPlan& plan);
    /// Ends the current page with the close button at the trailing edge.
    void addCloseButton();
    QWidget* makeCloseable(std::string_view symbol, const QColor& tint, const QString& title,
                           const std::vector<QWidget*>& lines);

    UninstallViewModel& uninstall_;
    ChooseBundle chooseBundle_;
    QVBoxLayout* layout_ = nullptr;
    QTreeWidget* applications_ = nullptr;
    QPushButton* next_ = nullptr;
    std::vector<platform::PackagedApplication> shownApplications_;
    QWidget* page_ = nullptr;
    QTreeWidget* items_ = nullptr;
    QLabel* selectionSize_ = nullptr;
    QPushButton* confirm_ = nullptr;
    Bindings bindings_;
};

}  // namespace quillo::ui
