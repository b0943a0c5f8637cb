#include "support/OpenedItems.h"

namespace quillo::testing {

support::Result<platform::OpenedItem> openBelow(const std::filesystem::path& area,
                                                const std::filesystem::path& item) {
    return platform::OpenedItem::open(
        item, platform::DeletionScope{.areas = {{.path = area}}, .home = area / "unused-home"});
}

support::Status removeBelow(const std::filesystem::path& area, const std::filesystem::path& item,
                            const platform::BeforeDescent& beforeDescent) {
    const auto opened = openBelow(area, item);
    if (!opened) {
        return opened.error();
    }
    return opened.value().remove(beforeDescent);
}

}  // namespace quillo::testing
