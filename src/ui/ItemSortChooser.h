#pragma once

#include <QComboBox>

#include "system/AppSettings.h"
#include "ui/Bindings.h"

namespace quillo::ui {

/// The result list's order, chosen from a menu and kept in the settings, so that it holds for
/// every module and the next start.
class ItemSortChooser final : public QComboBox {
    Q_OBJECT

  public:
    explicit ItemSortChooser(AppSettings& settings, QWidget* parent = nullptr);

  private:
    void showChosen();

    AppSettings& settings_;
    Bindings bindings_;
};

}  // namespace quillo::ui
