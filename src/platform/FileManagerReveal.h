#pragma once

#include <filesystem>

#include "platform/StandardDirectories.h"

namespace quillo::platform {

/// How an item was shown, or that nothing could show it.
enum class RevealOutcome { fileManagerSelected, folderOpened, failed };

/// Shows `item` in the desktop's file manager: selected in its folder through the freedesktop
/// FileManager1 D-Bus interface on the session bus that `environment` names, else by opening its
/// folder with `xdg-open` from the `environment`'s PATH. Blocks until the file manager or
/// xdg-open answered, so call it off the window's thread.
RevealOutcome showInFileManager(const std::filesystem::path& item,
                                const EnvironmentLookup& environment = processEnvironment());

}  // namespace quillo::platform
