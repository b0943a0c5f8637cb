#pragma once

#include <filesystem>
#include <string>

#include "platform/StandardDirectories.h"

namespace quillo::platform {

/// How an item was shown, or that nothing could show it.
enum class RevealOutcome { fileManagerSelected, folderOpened, failed };

/// Shows `item` in the desktop's file manager: selected in its folder through the freedesktop
/// FileManager1 D-Bus interface (by `gdbus`, which comes with GLib), else by opening its folder
/// with `xdg-open`; both are looked up on the `environment`'s PATH. Blocks until the file
/// manager or xdg-open answered, so call it off the window's thread.
RevealOutcome showInFileManager(const std::filesystem::path& item,
                                const EnvironmentLookup& environment = processEnvironment());

/// The GVariant text of a list holding the one text `text`, for gdbus: single-quoted, with "'"
/// and "\" escaped.
std::string variantStringList(std::string_view text);

}  // namespace quillo::platform
