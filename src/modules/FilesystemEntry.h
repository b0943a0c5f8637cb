#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "model/TimePoint.h"
#include "support/Hashing.h"

namespace quillo {

/// One file or folder as it was when it was read.
struct FilesystemEntry {
    /// The location exactly as it was asked for.
    std::filesystem::path url;
    /// A file's allocated size (its logical size where none is reported); a folder's
    /// `directorySize`.
    std::int64_t sizeInBytes = 0;
    /// Content modification time; `distantPast()` when the file system gives none.
    TimePoint lastModified{};
    bool isDirectory = false;
    /// The last path component, bytes as the file system reports them.
    std::string name;

    friend bool operator==(const FilesystemEntry&, const FilesystemEntry&) = default;
};

}  // namespace quillo

template <>
struct std::hash<quillo::FilesystemEntry> {
    std::size_t operator()(const quillo::FilesystemEntry& entry) const noexcept {
        return quillo::support::hashAll(std::filesystem::hash_value(entry.url), entry.sizeInBytes,
                                        entry.lastModified.time_since_epoch().count(),
                                        entry.isDirectory, entry.name);
    }
};
