#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>

#include "modules/FileCleaningModule.h"

namespace quillo {

/// The system's hibernation mode: none when it cannot be read, 0 when
/// hibernation is off.
using HibernateModeProvider = support::Provider<std::optional<std::int32_t>>;

/// Offers the system's hibernation image, the copy of main memory written for
/// deep sleep. It is preselected only while hibernation is off. Deletion goes
/// through the deletion service.
class SleepImageActor final : public FileCleaningModule {
  public:
    /// Without an image path the module offers nothing (a platform without a
    /// separate image).
    SleepImageActor(std::optional<std::filesystem::path> sleepImageURL,
                    HibernateModeProvider hibernateMode,
                    std::shared_ptr<SecureDeletionService> deletionService,
                    ModuleEnvironment environment);

    [[nodiscard]] const std::optional<std::filesystem::path>& sleepImageURL() const {
        return sleepImageURL_;
    }

    /// At most one item; fails only by cancellation.
    void scan(support::CancellationToken token, support::Completion<CleanableItems> done) override;

  private:
    std::optional<std::filesystem::path> sleepImageURL_;
    HibernateModeProvider hibernateMode_;
};

/// The item offered for the image described by `entry`, given the hibernation
/// mode; none for a folder or an image of no bytes.
std::optional<CleanableItem> sleepImageItem(const FilesystemEntry& entry,
                                            std::optional<std::int32_t> hibernateMode);

}  // namespace quillo
