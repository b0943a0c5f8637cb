#include <gtest/gtest.h>

#include <string>

#include "platform/ApplicationBundle.h"
#include "support/FakeBundles.h"
#include "support/TemporaryDirectory.h"
#include "support/TextFiles.h"
#include "support/TreeBuilders.h"

namespace quillo::platform {
namespace {

using testing::PlistEncoding;
using testing::TemporaryDirectory;

class ApplicationBundleTest : public ::testing::TestWithParam<PlistEncoding> {
  protected:
    TemporaryDirectory folder;
    std::filesystem::path bundle = folder / "Notes.app";
};

TEST_P(ApplicationBundleTest, ReadsIdentifierAndNamesInEitherEncoding) {
    testing::writeInfoPlist(bundle,
                            {{"CFBundleIdentifier", "com.example.Notes"},
                             {"CFBundleDisplayName", "Notizen"},
                             {"CFBundleName", "Notes"}},
                            GetParam());
    const auto info = readInfoDictionary(bundle);
    ASSERT_TRUE(info);
    EXPECT_EQ(bundleIdentifier(*info), "com.example.Notes");
    EXPECT_EQ(bundleDisplayName(*info, bundle), "Notizen");
}

TEST_P(ApplicationBundleTest, DisplayNameFallsBackToTheBundleNameThenTheFileName) {
    testing::writeInfoPlist(
        bundle, {{"CFBundleIdentifier", "com.example.Notes"}, {"CFBundleDisplayName", ""}},
        GetParam());
    EXPECT_EQ(bundleDisplayName(*readInfoDictionary(bundle), folder / "Big.Notes.app"),
              "Big.Notes");
    testing::writeInfoPlist(bundle, {{"CFBundleDisplayName", ""}, {"CFBundleName", "Notes Pro"}},
                            GetParam());
    const auto info = readInfoDictionary(bundle);
    EXPECT_EQ(bundleDisplayName(*info, bundle), "Notes Pro");
    EXPECT_FALSE(bundleIdentifier(*info));
}

INSTANTIATE_TEST_SUITE_P(Encodings, ApplicationBundleTest,
                         ::testing::Values(PlistEncoding::xml, PlistEncoding::binary));

TEST(ApplicationBundleReadingTest, AnIdentifierOfAnotherTypeIsNone) {
    const auto info = InfoDictionary::parse(
        "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>CFBundleIdentifier</key>"
        "<integer>7</integer></dict></plist>");
    ASSERT_TRUE(info);
    EXPECT_FALSE(bundleIdentifier(*info));
}

TEST(ApplicationBundleReadingTest, ANulByteInAStringIsKeptNotFatal) {
    const std::string xml = std::string(
                                "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict>"
                                "<key>CFBundleIdentifier</key><string>com.evil") +
                            '\0' + "/x</string></dict></plist>";
    const auto info = InfoDictionary::parse(xml);
    ASSERT_TRUE(info);
    const auto identifier = bundleIdentifier(*info);
    ASSERT_TRUE(identifier);
    EXPECT_NE(identifier->find('\0'), std::string::npos);
}

TEST(ApplicationBundleReadingTest, NoDictionaryNoListAndNoFileGiveNothing) {
    EXPECT_FALSE(InfoDictionary::parse("<plist version=\"1.0\"><array/></plist>"));
    EXPECT_FALSE(InfoDictionary::parse("not a property list"));
    EXPECT_FALSE(InfoDictionary::parse(""));
    const TemporaryDirectory folder;
    EXPECT_FALSE(readInfoDictionary(folder / "Missing.app"));
}

TEST(ApplicationBundleReadingTest, AnOversizedListIsNotRead) {
    const TemporaryDirectory folder;
    std::string xml =
        testing::propertyList({{"CFBundleIdentifier", "com.example.Big"}}, PlistEncoding::xml);
    const auto bundle = folder / "Big.app";
    xml.resize(InfoDictionary::kMaximumBytes, ' ');
    testing::writeTextFile(bundle / "Contents" / "Info.plist", xml);
    EXPECT_TRUE(readInfoDictionary(bundle)) << "exactly at the limit is read";
    xml += ' ';
    testing::writeTextFile(bundle / "Contents" / "Info.plist", xml);
    EXPECT_FALSE(readInfoDictionary(bundle));
}

TEST(ApplicationBundleReadingTest, ALinkInPlaceOfTheListIsNotFollowed) {
    const TemporaryDirectory folder;
    testing::writeInfoPlist(folder / "Real.app", {{"CFBundleIdentifier", "com.example.Real"}});
    std::filesystem::create_directories(folder / "Linked.app" / "Contents");
    testing::makeSymlink(folder / "Real.app" / "Contents" / "Info.plist",
                         folder / "Linked.app" / "Contents" / "Info.plist");
    EXPECT_FALSE(readInfoDictionary(folder / "Linked.app"));
}

TEST(ApplicationBundleReadingTest, TheExtensionIsComparedInLowerCase) {
    EXPECT_TRUE(hasApplicationExtension("/Applications/Notes.APP"));
    EXPECT_TRUE(hasApplicationExtension("/Applications/Notes.App/"));
    EXPECT_FALSE(hasApplicationExtension("/Applications/Notes.apps"));
    EXPECT_FALSE(hasApplicationExtension("/Applications/app"));
    EXPECT_FALSE(hasApplicationExtension("/Applications/.app"));
}

}  // namespace
}  // namespace quillo::platform
