#pragma once

#include <QLabel>
#include <QWidget>

#include "system/AppSettings.h"
#include "ui/Bindings.h"
#include "ui/PlatformActions.h"

namespace quillo::ui {

/// The full-disk-access status, where to grant it, and a fresh check.
class SettingsPermissionsTab final : public QWidget {
    Q_OBJECT

  public:
    SettingsPermissionsTab(AppSettings& settings, OpenLocation openLocation,
                           QWidget* parent = nullptr);

  private:
    void showStatus();

    AppSettings& settings_;
    QLabel* statusSymbol_ = nullptr;
    QLabel* statusText_ = nullptr;
    Bindings bindings_;
};

}  // namespace quillo::ui
