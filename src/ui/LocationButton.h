#pragma once

#include <QPushButton>
#include <optional>
#include <string>

#include "ui/PlatformActions.h"

namespace quillo::ui {

/// A button that opens `url` with `open`; hidden where the platform has no such location.
QPushButton* makeLocationButton(const QString& title, const std::optional<std::string>& url,
                                OpenLocation open);

}  // namespace quillo::ui
