#pragma once

#include <QWidget>

#include "system/AppSettings.h"
#include "ui/Bindings.h"

namespace quillo::ui {

class ToggleSwitch;

/// Whether onboarding counts as completed, and the reset of every setting.
class SettingsAdvancedTab final : public QWidget {
    Q_OBJECT

  public:
    explicit SettingsAdvancedTab(AppSettings& settings, QWidget* parent = nullptr);

  private:
    AppSettings& settings_;
    ToggleSwitch* onboarding_ = nullptr;
    Bindings bindings_;
};

}  // namespace quillo::ui
