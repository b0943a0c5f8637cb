#pragma once

#include <QDialog>
#include <QPointer>
#include <functional>

namespace quillo::ui {

/// Shows a window-modal dialog exactly while its condition holds. A dismissal by the user
/// (Escape, the close button) is told through `onDismiss`; closing because the condition ended
/// tells nobody.
class SheetPresenter {
  public:
    SheetPresenter(QWidget* window, std::function<QDialog*()> makeSheet,
                   std::function<void()> onDismiss = {});
    SheetPresenter(const SheetPresenter&) = delete;
    SheetPresenter& operator=(const SheetPresenter&) = delete;
    ~SheetPresenter();

    void setShown(bool shown);
    [[nodiscard]] QDialog* sheet() const { return sheet_; }

  private:
    QWidget* window_;
    std::function<QDialog*()> makeSheet_;
    std::function<void()> onDismiss_;
    QPointer<QDialog> sheet_;
};

}  // namespace quillo::ui
