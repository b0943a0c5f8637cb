#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "model/TimePoint.h"

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
        std::size_t seed = std::filesystem::hash_value(entry.url);
        const auto combine = [&seed](std::size_t value) {
            seed ^= value + 0x9E3779B97F4A7C15ULL + (seed << 6) + (seed >> 2);
        };
        combine(std::hash<std::int64_t>{}(entry.sizeInBytes));
        combine(std::hash<quillo::TimePoint::rep>{}(entry.lastModified.time_since_epoch().count()));
        combine(std::hash<bool>{}(entry.isDirectory));
        combine(std::hash<std::string>{}(entry.name));
        return seed;
    }
};
