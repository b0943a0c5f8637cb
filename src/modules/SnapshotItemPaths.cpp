#include "modules/SnapshotItemPaths.h"

#include "modules/LinuxSnapshotParsing.h"
#include "support/TextPieces.h"

namespace quillo {

namespace {

constexpr std::string_view kPrefix = "/.snapshots/";
constexpr std::string_view kSnapper = "snapper";
constexpr std::string_view kTimeshift = "timeshift";

bool isSnapperNumber(std::string_view text) {
    return support::isAsciiDigits(text) && text.front() != '0';
}

}  // namespace

std::filesystem::path snapshotItemPath(const LocalSnapshot& snapshot) {
    std::string path(kPrefix);
    switch (snapshot.source) {
        case SnapshotSource::timeMachine:
            return path + snapshot.dateToken;
        case SnapshotSource::snapper:
            return path + std::string(kSnapper) + "/" + snapshot.configuration + "/" +
                   snapshot.dateToken;
        case SnapshotSource::timeshift:
            return path + std::string(kTimeshift) + "/" + snapshot.dateToken;
    }
    return path + snapshot.dateToken;
}

std::optional<LocalSnapshot> linuxSnapshotAt(const std::filesystem::path& path) {
    const std::string_view text = path.native();
    if (!text.starts_with(kPrefix)) {
        return std::nullopt;
    }
    const auto parts = support::nonEmptyPieces(text.substr(kPrefix.size()), '/');
    // Empty pieces are dropped above, so "a//b" would pass for "a/b": compare the whole again.
    LocalSnapshot snapshot;
    if (parts.size() == 3 && parts[0] == kSnapper && isPlainConfigurationName(parts[1]) &&
        isSnapperNumber(parts[2])) {
        snapshot.source = SnapshotSource::snapper;
        snapshot.configuration = std::string(parts[1]);
        snapshot.dateToken = std::string(parts[2]);
    } else if (parts.size() == 2 && parts[0] == kTimeshift && isTimeshiftName(parts[1])) {
        snapshot.source = SnapshotSource::timeshift;
        snapshot.dateToken = std::string(parts[1]);
    } else {
        return std::nullopt;
    }
    if (snapshotItemPath(snapshot).native() != path.native()) {
        return std::nullopt;
    }
    return snapshot;
}

bool isSnapshotItemPath(const std::filesystem::path& path) {
    return path.native().starts_with(kPrefix);
}

}  // namespace quillo
