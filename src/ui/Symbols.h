#pragma once

#include <QIcon>
#include <string_view>

namespace quillo::ui {

/// The icon for one of the system symbol names the views use: from the desktop icon theme,
/// else a picture bundled with Qt. An unknown name gives an empty icon.
QIcon symbolIcon(std::string_view symbolName);

/// The symbol's one-colour variant, which keeps its detail when tinted; `symbolIcon` where the
/// theme has none.
QIcon monochromeSymbolIcon(std::string_view symbolName);

/// Picks a desktop icon theme when the platform names none, so that theme icons are found.
void useDesktopIconTheme();

}  // namespace quillo::ui
