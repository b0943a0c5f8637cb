#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/FileManagerReveal.h"
#include "support/TemporaryDirectory.h"

namespace quillo::platform {
namespace {

TEST(FileManagerRevealTest, TheURIReachesGdbusAsOneQuotedText) {
    EXPECT_EQ(variantStringList("file:///home/a'b\\c"), "['file:///home/a\\'b\\\\c']");
}

// Where gdbus fails (no file manager answers), the item's folder is opened with the xdg-open on
// PATH; fakes of both record what they were given.
TEST(FileManagerRevealTest, WithoutTheFileManagerServiceItOpensTheItemsFolder) {
    testing::TemporaryDirectory folder;
    const auto tools = folder / "bin";
    std::filesystem::create_directories(tools);
    const auto record = folder / "opened";
    {
        std::ofstream script(tools / "xdg-open");
        script << "#!/bin/sh\nprintf '%s' \"$1\" > '" << record.string() << "'\n";
    }
    {
        std::ofstream script(tools / "gdbus");
        script << "#!/bin/sh\nprintf '%s ' \"$@\" > '" << (folder / "called").string()
               << "'\nexit 1\n";
    }
    ::chmod((tools / "xdg-open").c_str(), 0755);
    ::chmod((tools / "gdbus").c_str(), 0755);
    const std::string path = tools.string();
    const auto environment = [&path](const char* name) -> const char* {
        return std::string(name) == "PATH" ? path.c_str() : nullptr;
    };

    EXPECT_EQ(showInFileManager("/home/anna/.cache/editor", environment),
              RevealOutcome::folderOpened);
    std::ifstream opened(record);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(opened), {}), "/home/anna/.cache");
    std::ifstream called(folder / "called");
    EXPECT_NE(std::string(std::istreambuf_iterator<char>(called), {})
                  .find("ShowItems ['file:///home/anna/.cache/editor'] ''"),
              std::string::npos);

    const auto nowhere = [](const char* name) -> const char* {
        return std::string(name) == "PATH" ? "/nonexistent" : nullptr;
    };
    EXPECT_EQ(showInFileManager("/home/anna/.cache/editor", nowhere), RevealOutcome::failed);
}

}  // namespace
}  // namespace quillo::platform
