#include <gtest/gtest.h>

#include "ui/Symbols.h"

namespace quillo::ui {
namespace {

TEST(SymbolsTest, EverySymbolTheViewsUseHasAPicture) {
    useDesktopIconTheme();
    for (const auto* name : {"trash", "doc", "lock.shield", "internaldrive", "camera", "gear"}) {
        EXPECT_FALSE(symbolIcon(name).isNull()) << name;
        EXPECT_FALSE(symbolIcon(name).pixmap(16, 16).isNull()) << name;
    }
    EXPECT_TRUE(symbolIcon("no.such.symbol").isNull());
}

}  // namespace
}  // namespace quillo::ui
