#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/KeptPaths.h"
#include "support/Error.h"

namespace quillo::platform {

/// A place whose contents may be deleted: everything strictly below `path`, and with
/// `includesItself` the path itself (a single file such as the sleep image).
struct DeletionArea {
    std::filesystem::path path;
    bool includesItself = false;

    friend bool operator==(const DeletionArea&, const DeletionArea&) = default;
};

/// Where one deletion may act: its module's areas, and the user's home, which is never removed,
/// nor anything the user's keep-list touches.
struct DeletionScope {
    std::vector<DeletionArea> areas;
    std::filesystem::path home;
    std::shared_ptr<const KeptPaths> kept{};
};

/// The area of `areas` that covers `item` (by the text of both, components compared exactly),
/// the deepest one when several do; nothing when none does.
std::optional<DeletionArea> coveringArea(const std::filesystem::path& item,
                                         const std::vector<DeletionArea>& areas);

/// A German reason why `item` must not be deleted within `scope`, or nothing. Besides the rules of
/// `refusalReason`: the item must lie in one of the scope's areas, and nothing in a system folder
/// ("/usr", "/etc", "/var", …) is deleted unless an area strictly inside that folder covers it,
/// judged here by the item's path as given. A kept path, one below it, or a folder that may hold
/// one is refused.
std::optional<std::string> deletionRefusalReason(const std::filesystem::path& item,
                                                 const DeletionScope& scope);

/// The system-folder rule of `deletionRefusalReason` judged again at the item's real place: in
/// `realFolder`, where its folder really lies, or, when that is unknown, in its parent's path
/// with the links resolved.
std::optional<std::string> realPlaceRefusalReason(const std::filesystem::path& item,
                                                  const std::optional<std::string>& realFolder,
                                                  const DeletionScope& scope);

/// An item that the deletion guard does not touch, with the German reason why.
class RefusedPathError final : public support::ErrorDetail {
  public:
    explicit RefusedPathError(std::string reason) : reason_(std::move(reason)) {}
    [[nodiscard]] std::string description() const override { return reason_; }

  private:
    std::string reason_;
};

}  // namespace quillo::platform
