#include "model/CleanableItem.h"

#include "support/Hashing.h"

std::size_t std::hash<quillo::CleanableItem>::operator()(
    const quillo::CleanableItem& item) const noexcept {
    return quillo::support::hashAll(
        item.id, std::filesystem::hash_value(item.url), item.displayName, item.sizeInBytes,
        item.lastModified.time_since_epoch().count(), item.moduleID,
        quillo::support::hashSequence(item.warnings), item.isSafeToDeleteByDefault);
}
