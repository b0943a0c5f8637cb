#pragma once

#include <QWidget>
#include <array>

#include "model/CleaningModuleID.h"
#include "system/AppSettings.h"
#include "ui/Bindings.h"

namespace quillo::ui {

class ToggleSwitch;

/// One switch per module, in the modules' order: on while the module is enabled.
class SettingsModulesTab final : public QWidget {
    Q_OBJECT

  public:
    explicit SettingsModulesTab(AppSettings& settings, QWidget* parent = nullptr);

  private:
    void showSettings();

    AppSettings& settings_;
    std::array<ToggleSwitch*, allCleaningModuleIDs.size()> switches_{};
    Bindings bindings_;
};

}  // namespace quillo::ui
