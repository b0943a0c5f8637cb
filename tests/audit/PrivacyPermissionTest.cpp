#include <gtest/gtest.h>

#include <set>
#include <string>

#include "audit/PrivacyPermission.h"
#include "text/Catalogue.h"

namespace quillo {
namespace {

TEST(PrivacyPermissionTest, SixteenCasesInTableOrderWithExactRawValues) {
    ASSERT_EQ(allPrivacyPermissions.size(), 25U);
    for (std::size_t index = 0; index < allPrivacyPermissions.size(); ++index) {
        EXPECT_EQ(RawValueTable<PrivacyPermission>::cases[index].first,
                  allPrivacyPermissions[index]);
        EXPECT_EQ(fromRawValue<PrivacyPermission>(rawValue(allPrivacyPermissions[index])),
                  allPrivacyPermissions[index]);
    }
    EXPECT_EQ(allPrivacyPermissions.front(), PrivacyPermission::camera);
    EXPECT_EQ(allPrivacyPermissions[15], PrivacyPermission::speechRecognition);
    EXPECT_EQ(allPrivacyPermissions.back(), PrivacyPermission::notifications);
    EXPECT_FALSE(fromRawValue<PrivacyPermission>("Camera"));
    EXPECT_FALSE(fromRawValue<PrivacyPermission>(""));
}

TEST(PrivacyPermissionTest, LabelsAreTheCatalogueEntries) {
    const auto& catalogue = text::catalogue();
    for (const auto permission : allPrivacyPermissions) {
        const auto text = label(permission);
        const auto entry = catalogue.find(text.key);
        ASSERT_NE(entry, catalogue.end()) << text.key;
        EXPECT_EQ(entry->second, text.defaultValue);
    }
    EXPECT_EQ(label(PrivacyPermission::appleEvents).key, "permission.appleEvents");
}

TEST(PrivacyPermissionTest, KeysInLookupOrderNoKeyShared) {
    const auto location = infoPlistKeys(PrivacyPermission::location);
    ASSERT_EQ(location.size(), 4U);
    EXPECT_EQ(location[0], "NSLocationUsageDescription");
    EXPECT_EQ(location[3], "NSLocationAlwaysAndWhenInUseUsageDescription");
    EXPECT_EQ(infoPlistKeys(PrivacyPermission::bluetooth)[1],
              "NSBluetoothPeripheralUsageDescription");
    std::set<std::string_view> seen;
    for (const auto permission : allPrivacyPermissions) {
        for (const auto key : infoPlistKeys(permission)) {
            EXPECT_TRUE(seen.insert(key).second) << key;
        }
    }
    EXPECT_EQ(seen.size(), 21U);
}

TEST(PrivacyPermissionTest, SettingsLinkIsThePrefixAndTheAnchor) {
    EXPECT_EQ(settingsLink(PrivacyPermission::camera),
              "x-apple.systempreferences:com.apple.preference.security?Privacy_Camera");
    EXPECT_EQ(settingsLink(PrivacyPermission::appleEvents),
              "x-apple.systempreferences:com.apple.preference.security?Privacy_Automation");
    EXPECT_EQ(symbolName(PrivacyPermission::microphone), "mic");
}

}  // namespace
}  // namespace quillo
