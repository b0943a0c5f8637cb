#include <gtest/gtest.h>

#include <string>

#include "text/Catalogue.h"
#include "text/Text.h"

namespace quillo::text {
namespace {

TEST(CountFormatTest, OneAndTwoTakeTheirOwnForms) {
    EXPECT_EQ(countFormat("uninstall.ready.count.format", 1, {std::int64_t{1}}), "1 Objekt");
    EXPECT_EQ(countFormat("uninstall.ready.count.format", 2, {std::int64_t{2}}), "2 Objekte");
    EXPECT_EQ(countFormat("settings.retention.days.format", 1, {std::int64_t{1}}), "1 Tag schonen");
    EXPECT_EQ(countFormat("settings.retention.days.format", 0, {std::int64_t{0}}),
              "0 Tage schonen");
    // The noun of the footer follows the total, the second number.
    EXPECT_EQ(countFormat("privacy.audit.footer.format", 1, {std::int64_t{0}, std::int64_t{1}}),
              "0 von 1 Programm");
}

TEST(CountFormatTest, EveryOneFormHasItsOtherFormAndNoTextHedgesItsPlural) {
    std::size_t oneForms = 0;
    for (const auto& [key, defaultText] : catalogue()) {
        EXPECT_EQ(defaultText.find("(e)"), std::string::npos) << key;
        EXPECT_EQ(defaultText.find("(n)"), std::string::npos) << key;
        constexpr std::string_view kOne = ".one.format";
        if (key.ends_with(kOne)) {
            ++oneForms;
            const std::string other = key.substr(0, key.size() - kOne.size()) + ".format";
            ASSERT_TRUE(catalogue().contains(other)) << key;
            EXPECT_EQ(oneFormKey(other), key);
            EXPECT_NE(catalogue().at(other), defaultText) << key;
        }
    }
    EXPECT_GE(oneForms, 7U);
}

}  // namespace
}  // namespace quillo::text
