#include <gtest/gtest.h>

#include <vector>

#include "uninstall/BundleDrop.h"

namespace quillo {
namespace {

namespace fs = std::filesystem;

TEST(BundleDropTest, TheFirstLocationWithAnAppExtensionInAnyCaseIsTakenOrNone) {
    const std::vector<fs::path> drop{"/home/anna/notes.txt", "/home/anna/Tool.App",
                                     "/home/anna/Other.app"};
    EXPECT_EQ(firstDroppedApplication(drop), fs::path("/home/anna/Tool.App"));
    // A drop without an application is refused.
    const std::vector<fs::path> without{"/home/anna/notes.txt", "/home/anna/app",
                                        "/home/anna/.app"};
    EXPECT_FALSE(firstDroppedApplication(without));
    EXPECT_FALSE(firstDroppedApplication({}));
}

}  // namespace
}  // namespace quillo
