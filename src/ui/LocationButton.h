#pragma once

#include <QPushButton>
#include <optional>
#include <string>

#include "ui/PlatformActions.h"

namespace quillo::ui {

/// A button that opens `url` with `open`. Where the platform has no such location the button
/// stays visible but disabled, so the view keeps its shape and the user sees there is nothing.
QPushButton* makeLocationButton(const QString& title, const std::optional<std::string>& url,
                                OpenLocation open);

}  // namespace quillo::ui
