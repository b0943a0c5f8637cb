#include "modules/SleepImageActor.h"

#include <utility>

#include "modules/FilesystemEnumeration.h"

namespace quillo {

namespace {

constexpr std::int64_t kLargeImageBytes = 1'000'000'000;

CleaningModuleDescriptor sleepImageProperties() {
    return CleaningModuleDescriptor{
        .id = CleaningModuleID::sleepImage,
        .displayName = displayName(CleaningModuleID::sleepImage),
        .explanation = LocalizableText::ownKey("Abbild des Arbeitsspeichers für den "
                                               "Tiefschlaf. Nur sicher zu löschen, wenn "
                                               "Tiefschlaf deaktiviert ist."),
        .symbolName = "powersleep",
        .isDestructive = true,
        .estimatedScanDuration = 0.3,
        .isAvailableInSandbox = false,
        .requiresFullDiskAccess = true,
    };
}

bool isOfferableImage(const FilesystemEntry& entry) {
    return !entry.isDirectory && entry.sizeInBytes >= 1;
}

}  // namespace

std::optional<CleanableItem> sleepImageItem(const FilesystemEntry& entry,
                                            std::optional<std::int32_t> hibernateMode) {
    if (!isOfferableImage(entry)) {
        return std::nullopt;
    }
    // A mode that cannot be read counts as hibernation being off.
    const bool hibernationActive = hibernateMode.value_or(0) != 0;
    std::vector<CleanableItemWarning> warnings{CleanableItemWarning::irreversible};
    if (hibernationActive) {
        warnings.push_back(CleanableItemWarning::hibernationActive);
    }
    if (entry.sizeInBytes > kLargeImageBytes) {
        warnings.push_back(CleanableItemWarning::largeFile);
    }
    return offeredItem(entry, CleaningModuleID::sleepImage, entry.name, std::move(warnings),
                       !hibernationActive);
}

SleepImageActor::SleepImageActor(std::optional<std::filesystem::path> sleepImageURL,
                                 HibernateModeProvider hibernateMode,
                                 std::shared_ptr<SecureDeletionService> deletionService,
                                 ModuleEnvironment environment)
    : FileCleaningModule(sleepImageProperties(), std::move(deletionService),
                         std::move(environment)),
      sleepImageURL_(std::move(sleepImageURL)),
      hibernateMode_(std::move(hibernateMode)) {}

void SleepImageActor::scan(support::CancellationToken token,
                           support::Completion<CleanableItems> done) {
    auto self = std::static_pointer_cast<SleepImageActor>(shared_from_this());
    context()->post([self, token = std::move(token), done = std::move(done)] {
        if (token.isCancelled()) {
            done(support::Error::cancelled());
            return;
        }
        auto entry = self->sleepImageURL_ ? makeEntry(*self->sleepImageURL_, token) : std::nullopt;
        if (!entry || !isOfferableImage(*entry)) {
            done(CleanableItems{});
            return;
        }
        self->hibernateMode_(
            [self, token, done, entry = std::move(*entry)](std::optional<std::int32_t> mode) {
                self->context()->post([self, token, done, entry, mode] {
                    if (token.isCancelled()) {
                        done(support::Error::cancelled());
                        return;
                    }
                    done(CleanableItems{*sleepImageItem(entry, mode)});
                });
            });
    });
}

}  // namespace quillo
