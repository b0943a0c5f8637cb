#include <gtest/gtest.h>

#include <vector>

#include "uninstall/BundleDrop.h"

namespace quillo {
namespace {

namespace fs = std::filesystem;

TEST(BundleDropTest, TheFirstLocationWithAnAppExtensionInAnyCaseIsTaken) {
    const std::vector<fs::path> drop{"/home/anna/notes.txt", "/home/anna/Tool.App",
                                     "/home/anna/Other.app"};
    EXPECT_EQ(firstDroppedApplication(drop), fs::path("/home/anna/Tool.App"));
}

TEST(BundleDropTest, ADropWithoutApplicationIsRefused) {
    const std::vector<fs::path> drop{"/home/anna/notes.txt", "/home/anna/app", "/home/anna/.app"};
    EXPECT_FALSE(firstDroppedApplication(drop));
    EXPECT_FALSE(firstDroppedApplication({}));
}

}  // namespace
}  // namespace quillo
