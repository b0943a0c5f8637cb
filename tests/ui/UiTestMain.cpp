// Widget tests run on Qt's offscreen platform with home and runtime folders of their own, so
// that nothing a widget reaches by default can touch the user's files.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>

#include "support/TemporaryDirectory.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const quillo::testing::TemporaryDirectory sandbox;
    const auto home = sandbox / "home";
    const auto runtime = sandbox / "runtime";
    std::filesystem::create_directories(home);
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home / ".local/share").c_str(), 1);
    setenv("XDG_CACHE_HOME", (home / ".cache").c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
