#pragma once

#include <functional>
#include <string>

namespace quillo::ui {

/// Opens a location (a web, mail or settings link) with the platform's handler.
using OpenLocation = std::function<void(const std::string& url)>;

/// The desktop's handler for `url`.
OpenLocation desktopOpenLocation();

}  // namespace quillo::ui
