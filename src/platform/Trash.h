#pragma once

#include <sys/types.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

#include "model/TimePoint.h"
#include "support/Error.h"
#include "support/Result.h"

// Moving files to the freedesktop.org Trash, which the desktops' file managers show and restore
// from. Nothing here ever copies or deletes: an item that cannot be renamed into a trash folder
// on its own file system stays where it is.
namespace quillo::platform {

/// Why an item was not moved to the Trash, in German or in the platform's words.
class TrashError final : public support::ErrorDetail {
  public:
    explicit TrashError(std::string description) : description_(std::move(description)) {}
    /// "In den Papierkorb verschieben fehlgeschlagen: " and the platform's text for `code`.
    static support::Error failed(int code);

    [[nodiscard]] std::string description() const override { return description_; }

  private:
    std::string description_;
};

/// Where and as whom items are moved to the Trash.
struct TrashEnvironment {
    /// The XDG data home: the home trash is its folder "Trash".
    std::filesystem::path dataHome;
    /// Never moved, nor any folder that holds it; neither are the root and the system folders.
    std::filesystem::path home;
    uid_t uid = ::getuid();
    /// The deletion dates of the info files.
    std::function<TimePoint()> clock = [] { return std::chrono::system_clock::now(); };
};

/// This user's: the XDG data home and the home folder of the process's environment.
TrashEnvironment platformTrashEnvironment();

/// Moves `item` (a file, a link itself or a folder with its contents) into the trash of its own
/// file system: the home trash when it is on the home trash's file system, else the trash of its
/// mount point ("$topdir/.Trash/$uid" or "$topdir/.Trash-$uid"). The item's info file is made
/// first, under a name no other item uses, and removed again when the item cannot be moved.
/// Refuses the paths `refusalReason` refuses.
support::Status moveToTrash(const std::filesystem::path& item, const TrashEnvironment& environment);

}  // namespace quillo::platform
