#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/TimePoint.h"
#include "platform/SafeFileOperations.h"
#include "platform/SecureRandom.h"
#include "platform/StandardDirectories.h"
#include "platform/SystemLog.h"
#include "support/Result.h"

namespace quillo {

/// The file-system operations of a deletion, as fields so that tests can watch or fail them.
struct DeletionFileOperations {
    std::function<platform::PathKind(const std::filesystem::path&)> pathKind = platform::pathKind;
    std::function<std::vector<std::filesystem::path>(const std::filesystem::path&)>
        regularFilesBelow = platform::regularFilesBelow;
    std::function<support::Result<platform::OverwriteOutcome>(const std::filesystem::path& file,
                                                              const platform::RandomFill&)>
        overwriteFile = platform::overwriteFileOnce;
    std::function<support::Result<platform::OverwriteOutcome>(const std::filesystem::path& root,
                                                              const std::filesystem::path& file,
                                                              const platform::RandomFill&)>
        overwriteFileBelow = platform::overwriteFileBelow;
    std::function<support::Status(const std::filesystem::path&)> removePermanently =
        platform::removePermanently;
    std::function<bool(const std::filesystem::path&)> pathExists = platform::pathExists;
};

/// Everything through which the deletion service reaches the system.
struct DeletionEnvironment {
    // Out of line: g++ 12 takes the inlined defaults for uninitialised function objects.
    DeletionEnvironment();

    std::function<TimePoint()> clock = [] { return std::chrono::system_clock::now(); };
    platform::RandomFill randomFill = platform::secureRandomFill;
    DeletionFileOperations files;
    platform::SystemLogOptions log;
    /// Never deleted, nor any folder that holds it.
    std::filesystem::path homeFolder = platform::homeFolder();
};

}  // namespace quillo
