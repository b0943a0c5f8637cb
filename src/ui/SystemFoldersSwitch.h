#pragma once

#include "system/AppSettings.h"
#include "ui/Bindings.h"
#include "ui/ToggleSwitch.h"

namespace quillo::ui {

/// "Systemordner einbeziehen": a switch that shows and sets the session's choice to take in the
/// system folders through the administrator helper. The owner keeps `bindings`.
ToggleSwitch* makeSystemFoldersSwitch(AppSettings& settings, Bindings& bindings);

}  // namespace quillo::ui
