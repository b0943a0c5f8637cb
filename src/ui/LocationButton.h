#pragma once

#include <QPushButton>
#include <functional>
#include <optional>
#include <string>

namespace quillo::ui {

/// The platform's way of opening a link (a settings page, a "mailto:" address).
using OpenLocation = std::function<void(const std::string& url)>;

/// A button that opens `url` with `open`. Where the platform has no such location the button
/// stays visible but disabled, so the view keeps its shape and the user sees there is nothing.
QPushButton* makeLocationButton(const QString& title, const std::optional<std::string>& url,
                                OpenLocation open);

}  // namespace quillo::ui
