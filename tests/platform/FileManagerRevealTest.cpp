#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/FileManagerReveal.h"
#include "support/TemporaryDirectory.h"

namespace quillo::platform {
namespace {

// Without a session bus the item's folder is opened with the xdg-open on PATH; a fake one
// records what it was given.
TEST(FileManagerRevealTest, WithoutTheFileManagerServiceItOpensTheItemsFolder) {
    testing::TemporaryDirectory folder;
    const auto tools = folder / "bin";
    std::filesystem::create_directories(tools);
    const auto record = folder / "opened";
    {
        std::ofstream script(tools / "xdg-open");
        script << "#!/bin/sh\nprintf '%s' \"$1\" > '" << record.string() << "'\n";
    }
    ::chmod((tools / "xdg-open").c_str(), 0755);
    const std::string path = tools.string();
    const auto environment = [&path](const char* name) -> const char* {
        return std::string(name) == "PATH" ? path.c_str() : nullptr;
    };

    EXPECT_EQ(showInFileManager("/home/anna/.cache/editor", environment),
              RevealOutcome::folderOpened);
    std::ifstream opened(record);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(opened), {}), "/home/anna/.cache");

    const auto nowhere = [](const char*) -> const char* { return "/nonexistent"; };
    EXPECT_EQ(showInFileManager("/home/anna/.cache/editor", nowhere), RevealOutcome::failed);
}

}  // namespace
}  // namespace quillo::platform
