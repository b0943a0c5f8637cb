#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "audit/PrivacyAuditService.h"
#include "support/ManualExecutor.h"
#include "support/PropertyListFiles.h"
#include "support/TemporaryDirectory.h"
#include "support/TextFiles.h"

namespace quillo {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::makeBundle;
using testing::makeBundleWithInfoPlist;
using testing::PropertyEntries;
using testing::PropertyListEncoding;
namespace fs = std::filesystem;

class PrivacyAuditServiceTest : public ::testing::Test {
  protected:
    std::vector<InstalledApp> audit(
        const support::CancellationToken& token = {},
        PrivacyAuditService::InfoPlistReader reader = PrivacyAuditService::readInfoPlistFile) {
        const auto service =
            PrivacyAuditService::create({systemApps, userApps}, context, std::move(reader));
        std::optional<std::vector<InstalledApp>> found;
        service->audit(token, [&](std::vector<InstalledApp> apps) { found = std::move(apps); });
        context->runAll();
        EXPECT_TRUE(found) << "the audit did not complete";
        return found.value_or(std::vector<InstalledApp>{});
    }

    static std::vector<std::string> names(const std::vector<InstalledApp>& apps) {
        std::vector<std::string> result;
        result.reserve(apps.size());
        for (const auto& app : apps) {
            result.push_back(app.displayName);
        }
        return result;
    }

    /// A bundle in the system root declaring the camera, named `name` in its Info.plist.
    void makeNamedApp(const fs::path& root, const std::string& file, const std::string& name) {
        makeBundle(root / file,
                   {{"CFBundleName", name}, {"NSCameraUsageDescription", std::string("Fotos")}});
    }

    testing::TemporaryDirectory temp;
    fs::path systemApps = temp / "Applications";
    fs::path userApps = temp / "home" / "Applications";
    std::shared_ptr<support::ManualExecutor> context = std::make_shared<support::ManualExecutor>();
};

class DeclarationRuleTest : public PrivacyAuditServiceTest,
                            public ::testing::WithParamInterface<PropertyListEncoding> {
  protected:
    /// The one app audited from a bundle with `entries`.
    InstalledApp auditOne(const PropertyEntries& entries) {
        makeBundle(systemApps / "Probe.app", entries, GetParam());
        const auto apps = audit();
        EXPECT_EQ(apps.size(), 1U);
        return apps.empty() ? InstalledApp{} : apps.front();
    }

    static std::vector<std::pair<PrivacyPermission, std::string>> declarations(
        const InstalledApp& app) {
        std::vector<std::pair<PrivacyPermission, std::string>> result;
        for (const auto& declaration : app.declaredPermissions) {
            result.emplace_back(declaration.permission, declaration.usageDescription);
        }
        return result;
    }
};

TEST_P(DeclarationRuleTest, KeyWithoutTextDeclaresWithoutDescription) {
    const auto app = auditOne({{"NSCameraUsageDescription", std::string()},
                               {"NSMicrophoneUsageDescription", std::int64_t{42}},
                               {"NSContactsUsageDescription", true}});
    EXPECT_THAT(declarations(app), ElementsAre(std::pair(PrivacyPermission::camera, ""),
                                               std::pair(PrivacyPermission::microphone, ""),
                                               std::pair(PrivacyPermission::contacts, "")));
}

TEST_P(DeclarationRuleTest, FirstNonEmptyTextDecidesInKeyOrder) {
    const auto app = auditOne({{"NSBluetoothAlwaysUsageDescription", std::string()},
                               {"NSBluetoothPeripheralUsageDescription", std::string("Zubehör")},
                               {"NSScreenCaptureUsageDescription", std::string("Erste")},
                               {"NSScreenCaptureDescription", std::string("Zweite")}});
    EXPECT_THAT(declarations(app), ElementsAre(std::pair(PrivacyPermission::screenCapture, "Erste"),
                                               std::pair(PrivacyPermission::bluetooth, "Zubehör")));
}

// The location is declared by the third of its keys alone: any of a permission's keys declares it.
TEST_P(DeclarationRuleTest, DeclarationsInTableOrderEachWithItsOwnID) {
    const auto app = auditOne({{"NSSpeechRecognitionUsageDescription", std::string("c")},
                               {"NSDesktopFolderUsageDescription", std::string("b")},
                               {"NSLocationAlwaysUsageDescription", std::string("Für die Karte")},
                               {"NSCameraUsageDescription", std::string("a")}});
    EXPECT_THAT(declarations(app),
                ElementsAre(std::pair(PrivacyPermission::camera, "a"),
                            std::pair(PrivacyPermission::location, "Für die Karte"),
                            std::pair(PrivacyPermission::desktopFolder, "b"),
                            std::pair(PrivacyPermission::speechRecognition, "c")));
    ASSERT_EQ(app.declaredPermissions.size(), 4U);
    EXPECT_NE(app.declaredPermissions[0].id, app.declaredPermissions[1].id);
    EXPECT_NE(app.declaredPermissions[1].id, app.declaredPermissions[2].id);
}

TEST_P(DeclarationRuleTest, NameFallsBackFromDisplayNameToNameToFileName) {
    makeBundle(systemApps / "A.app",
               {{"CFBundleDisplayName", std::string("Anzeige")},
                {"CFBundleName", std::string("Name")},
                {"CFBundleIdentifier", std::string("org.example.a")},
                {"NSCameraUsageDescription", std::string()}},
               GetParam());
    makeBundle(systemApps / "B.app",
               {{"CFBundleDisplayName", std::string()},
                {"CFBundleName", std::string("Bname")},
                {"CFBundleIdentifier", std::int64_t{5}},
                {"NSCameraUsageDescription", std::string()}},
               GetParam());
    makeBundle(systemApps / "Werk.zeug.app",
               {{"CFBundleName", std::string()}, {"NSCameraUsageDescription", std::string()}},
               GetParam());
    const auto apps = audit();
    EXPECT_THAT(names(apps), ElementsAre("Anzeige", "Bname", "Werk.zeug"));
    ASSERT_EQ(apps.size(), 3U);
    EXPECT_EQ(apps[0].bundleID, "org.example.a");
    EXPECT_EQ(apps[1].bundleID, "");
    EXPECT_EQ(apps[2].url, systemApps / "Werk.zeug.app");
}

INSTANTIATE_TEST_SUITE_P(BothEncodings, DeclarationRuleTest,
                         ::testing::Values(PropertyListEncoding::xml,
                                           PropertyListEncoding::binary));

TEST_F(PrivacyAuditServiceTest, OnlyBundlesThatDeclareSomethingAreListed) {
    makeNamedApp(systemApps, "Gross.APP", "Gross");
    makeNamedApp(systemApps, "Notiz.txt", "Text");
    makeNamedApp(systemApps, "app", "Ohne Punkt");
    makeNamedApp(systemApps, ".Versteckt.app", "Versteckt");
    makeNamedApp(systemApps / "Ordner", "Tief.app", "Tief");
    makeBundle(systemApps / "Still.app", {{"CFBundleName", std::string("Still")}});
    testing::writeTextFile(systemApps / "Datei.app", "keine Bundle");
    EXPECT_THAT(names(audit()), ElementsAre("Gross"));
}

TEST_F(PrivacyAuditServiceTest, UnreadableInfoPlistsAreSkippedAndTheRestIsListed) {
    makeNamedApp(systemApps, "Gut.app", "Gut");
    makeBundleWithInfoPlist(systemApps / "Kaputt.app", "<?xml version=\"1.0\"?><plist><dict><key>");
    makeBundleWithInfoPlist(systemApps / "Liste.app",
                            "<?xml version=\"1.0\"?><plist version=\"1.0\"><array><string>"
                            "NSCameraUsageDescription</string></array></plist>");
    makeBundleWithInfoPlist(systemApps / "Leer.app", "");
    fs::create_directories(systemApps / "Ohne.app" / "Contents");
    // A valid list with a declaration, padded past the size cap.
    const std::string padding(PrivacyAuditService::kMaxInfoPlistBytes, ' ');
    makeBundleWithInfoPlist(systemApps / "Riesig.app",
                            "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>"
                            "NSCameraUsageDescription</key><string>x</string></dict>" +
                                padding + "</plist>");
    EXPECT_THAT(names(audit()), ElementsAre("Gut"));
}

TEST_F(PrivacyAuditServiceTest, MissingRootsContributeNothing) {
    makeNamedApp(userApps, "Nur.app", "Nur");
    EXPECT_THAT(names(audit()), ElementsAre("Nur"));
    fs::remove_all(userApps);
    EXPECT_THAT(audit(), IsEmpty());
}

TEST_F(PrivacyAuditServiceTest, SortedByLowerCasedNameEqualNamesInTheOrderFound) {
    // Found in this order: the system root by file name (bytes: "B" before "a"), then the user's.
    makeNamedApp(systemApps, "B.app", "mail");
    makeNamedApp(systemApps, "a.app", "Mail");
    makeNamedApp(userApps, "0.app", "MAIL");
    makeNamedApp(userApps, "1.app", "Kalender");
    const auto apps = audit();
    EXPECT_THAT(names(apps), ElementsAre("Kalender", "mail", "Mail", "MAIL"));
    EXPECT_EQ(apps[1].url, systemApps / "B.app");
}

TEST_F(PrivacyAuditServiceTest, UmlautsAreLowerCasedSoThatCaseVariantsStayTogether) {
    makeNamedApp(systemApps, "1.app", "öffi");
    makeNamedApp(systemApps, "2.app", "Übung");
    makeNamedApp(systemApps, "3.app", "Öffi");
    makeNamedApp(systemApps, "4.app", "O\u0308FFI");  // the umlaut decomposed
    EXPECT_THAT(names(audit()), ElementsAre("öffi", "Öffi", "O\u0308FFI", "Übung"));
}

TEST_F(PrivacyAuditServiceTest, SameApplicationInBothRootsIsListedTwice) {
    makeNamedApp(systemApps, "Doppelt.app", "Doppelt");
    makeNamedApp(userApps, "Doppelt.app", "Doppelt");
    const auto apps = audit();
    ASSERT_EQ(apps.size(), 2U);
    EXPECT_NE(apps[0].id, apps[1].id);
    EXPECT_NE(apps[0].declaredPermissions[0].id, apps[1].declaredPermissions[0].id);
    EXPECT_EQ(apps[0].url, systemApps / "Doppelt.app");
    EXPECT_EQ(apps[1].url, userApps / "Doppelt.app");
}

TEST_F(PrivacyAuditServiceTest, CancellationEndsWithWhatWasFound) {
    makeNamedApp(systemApps, "A.app", "A");
    makeNamedApp(systemApps, "B.app", "B");
    makeNamedApp(userApps, "C.app", "C");
    support::CancellationSource cancellation;
    std::vector<fs::path> read;
    const auto cancelAfterFirst = [&](const fs::path& infoPlist) {
        read.push_back(infoPlist);
        cancellation.cancel();
        return PrivacyAuditService::readInfoPlistFile(infoPlist);
    };
    EXPECT_THAT(names(audit(cancellation.token(), cancelAfterFirst)), ElementsAre("A"));
    EXPECT_THAT(read, ElementsAre(systemApps / "A.app" / "Contents" / "Info.plist"));

    read.clear();
    EXPECT_THAT(audit(cancellation.token(), cancelAfterFirst), IsEmpty());
    EXPECT_THAT(read, IsEmpty());
}

TEST(DefaultAppRootsTest, SystemFolderThenTheHomeFolders) {
    EXPECT_THAT(defaultAppRoots("/home/anna"),
                ElementsAre(fs::path("/Applications"), fs::path("/home/anna/Applications")));
}

}  // namespace
}  // namespace quillo
