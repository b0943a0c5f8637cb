#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/TrashInfo.h"
#include "support/ScopedTimeZone.h"

namespace quillo::platform {
namespace {

TEST(TrashInfoTest, PathsKeepSlashesAndUnreservedCharactersAndEscapeTheRest) {
    EXPECT_EQ(percentEncodedPath("/home/anna/Mein Ordner/100%/a+b=c;d.txt"),
              "/home/anna/Mein%20Ordner/100%25/a%2Bb%3Dc%3Bd.txt");
    EXPECT_EQ(percentEncodedPath("/x/-_.!~*'()"), "/x/-_.!~*'()");
    EXPECT_EQ(percentEncodedPath("/x/Größe"), "/x/Gr%C3%B6%C3%9Fe");
}

TEST(TrashInfoTest, EveryByteSurvivesTheRoundTrip) {
    std::string path = "/weird/";
    for (int byte = 1; byte < 256; ++byte) {
        path += static_cast<char>(byte);
    }
    const std::string encoded = percentEncodedPath(path);
    EXPECT_TRUE(std::all_of(encoded.begin(), encoded.end(), [](char c) {
        return c > ' ' && c < 127;
    })) << "an info file's line holds only printable ASCII";
    EXPECT_EQ(percentDecodedPath(encoded), path);
}

TEST(TrashInfoTest, MalformedEscapesDecodeToNothing) {
    EXPECT_FALSE(percentDecodedPath("/a%2"));
    EXPECT_FALSE(percentDecodedPath("/a%zz"));
    EXPECT_EQ(percentDecodedPath("/a%2fb"), "/a/b");
}

TEST(TrashInfoTest, InfoTextHasTheGroupThePathAndTheLocalDate) {
    const testing::ScopedTimeZone zone("Europe/Berlin");
    const TimePoint deletedAt(std::chrono::seconds(1'741'944'413));
    EXPECT_EQ(trashInfoText("/home/anna/Alte App.app", deletedAt),
              "[Trash Info]\nPath=/home/anna/Alte%20App.app\nDeletionDate=2025-03-14T10:26:53\n");
}

TEST(TrashInfoTest, FurtherAttemptsNumberTheName) {
    EXPECT_EQ(trashName("Notes.app", 1), "Notes.app");
    EXPECT_EQ(trashName("Notes.app", 2), "Notes.app.2");
    EXPECT_EQ(trashName("Notes.app", 13), "Notes.app.13");
}

TEST(TrashInfoTest, LongNamesAreShortenedAtACharacterBoundaryToLeaveRoomForTheInfoSuffix) {
    std::string name(244, 'a');
    name += "ä";  // bytes 244 and 245 of the name
    name += std::string(10, 'b');
    const std::string first = trashName(name, 1);
    EXPECT_EQ(first.size(), 244U) << "245 would fit, but not half of the two-byte character";
    const std::string numbered = trashName(name, 2);
    EXPECT_LE(numbered.size() + std::string(".trashinfo").size(), 255U);
    EXPECT_TRUE(numbered.ends_with(".2"));
    EXPECT_EQ(trashName(std::string(245, 'c'), 1).size(), 245U);
}

}  // namespace
}  // namespace quillo::platform
