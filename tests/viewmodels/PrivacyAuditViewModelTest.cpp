#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/ManualExecutor.h"
#include "support/PropertyListFiles.h"
#include "support/TemporaryDirectory.h"
#include "viewmodels/PrivacyAuditViewModel.h"

namespace quillo {
namespace {

namespace fs = std::filesystem;
using Phase = PrivacyAuditViewModel::Phase;
using Ready = PrivacyAuditViewModel::Ready;
using Scanning = PrivacyAuditViewModel::Scanning;
using testing::PropertyEntries;

class PrivacyAuditViewModelTest : public ::testing::Test {
  protected:
    PrivacyAuditViewModelTest() {
        makeApp("Kamera.app", "com.example.Camera", {{"NSCameraUsageDescription", "Fotos"}});
        makeApp("Studio.app", "com.example.Studio",
                {{"NSCameraUsageDescription", "Video"}, {"NSMicrophoneUsageDescription", "Ton"}});
        makeApp("Diktat.app", "org.sample.Dictation", {{"NSMicrophoneUsageDescription", ""}});
        makeApp("Blende.app", "org.sample.Aperture", {{"NSCameraUsageDescription", "Bilder"}});
        makeApp("Karte.app", "com.example.Maps", {{"NSHumanReadableCopyright", "© Beispiel"}});
        subscription = viewModel->observe([this](std::string_view field) {
            if (field == "phase") {
                phases.push_back(viewModel->phase());
            }
        });
    }

    void makeApp(const std::string& file, const std::string& bundleID,
                 const std::vector<std::pair<std::string, std::string>>& declarations) const {
        PropertyEntries entries{{"CFBundleIdentifier", bundleID}};
        for (const auto& [key, text] : declarations) {
            entries.emplace_back(key, text);
        }
        testing::makeBundle(apps / file, entries);
    }

    void audit() {
        viewModel->startAudit();
        context->runAll();
        main->runAll();
    }

    [[nodiscard]] std::vector<std::string> shownNames() const {
        std::vector<std::string> names;
        for (const auto& app : viewModel->filteredApps()) {
            names.push_back(app.displayName);
        }
        return names;
    }

    testing::TemporaryDirectory temp;
    fs::path apps = temp / "Applications";
    std::shared_ptr<support::ManualExecutor> context = std::make_shared<support::ManualExecutor>();
    std::shared_ptr<support::ManualExecutor> main = std::make_shared<support::ManualExecutor>();
    std::unique_ptr<PrivacyAuditViewModel> viewModel =
        std::make_unique<PrivacyAuditViewModel>(PrivacyAuditService::create({apps}, context), main);
    std::vector<Phase> phases;
    support::ChangeNotifier::Subscription subscription;
};

TEST_F(PrivacyAuditViewModelTest, OutsideReadyEveryCountIsZeroAndNothingIsShown) {
    EXPECT_EQ(viewModel->phase(), Phase(PrivacyAuditViewModel::Idle{}));
    EXPECT_TRUE(viewModel->filteredApps().empty());
    EXPECT_EQ(viewModel->count(PrivacyPermission::camera), 0U);

    viewModel->startAudit();
    EXPECT_EQ(viewModel->phase(), Phase(Scanning{}));
    EXPECT_TRUE(viewModel->scanTask());
    context->runAll();
    EXPECT_EQ(viewModel->phase(), Phase(Scanning{})) << "the answer waits for the main thread";
    EXPECT_TRUE(viewModel->allApps().empty());
    EXPECT_EQ(viewModel->count(PrivacyPermission::camera), 0U);
    EXPECT_EQ(viewModel->footerText(), "0 von 0 Programmen");

    main->runAll();
    EXPECT_FALSE(viewModel->scanTask());
    EXPECT_EQ(viewModel->allApps().size(), 4U) << "an app declaring nothing is not listed";
}

TEST_F(PrivacyAuditViewModelTest, CountsIgnoreTheFilterAndTheSearch) {
    audit();
    viewModel->toggleFilter(PrivacyPermission::microphone);
    viewModel->setSearchQuery("kamera");
    EXPECT_EQ(viewModel->count(PrivacyPermission::camera), 3U);
    EXPECT_EQ(viewModel->count(PrivacyPermission::microphone), 2U)
        << "a present but empty text declares too";
    EXPECT_EQ(viewModel->count(PrivacyPermission::contacts), 0U);
}

TEST_F(PrivacyAuditViewModelTest, FilterAndSearchBothApplyAndTheFooterCountsBoth) {
    audit();
    EXPECT_EQ(shownNames(), (std::vector<std::string>{"Blende", "Diktat", "Kamera", "Studio"}));
    EXPECT_EQ(viewModel->footerText(), "4 von 4 Programmen");

    viewModel->toggleFilter(PrivacyPermission::camera);
    EXPECT_EQ(shownNames(), (std::vector<std::string>{"Blende", "Kamera", "Studio"}));
    viewModel->setSearchQuery("example");
    EXPECT_EQ(shownNames(), (std::vector<std::string>{"Kamera", "Studio"}));
    EXPECT_EQ(viewModel->footerText(), "2 von 4 Programmen");
}

TEST_F(PrivacyAuditViewModelTest, TogglingTheSameChipTwiceReturnsToAllAndAnotherChipReplacesIt) {
    viewModel->toggleFilter(PrivacyPermission::camera);
    viewModel->toggleFilter(PrivacyPermission::microphone);
    EXPECT_EQ(viewModel->selectedFilter(), PrivacyPermission::microphone);
    viewModel->toggleFilter(PrivacyPermission::microphone);
    EXPECT_FALSE(viewModel->selectedFilter());
    viewModel->toggleFilter(PrivacyPermission::camera);
    viewModel->clearFilter();
    EXPECT_FALSE(viewModel->selectedFilter());
}

TEST_F(PrivacyAuditViewModelTest, BlanksDoNotFilterAndCapitalsMatchALowerCaseIdentifier) {
    audit();
    viewModel->setSearchQuery(" \t\n ");
    EXPECT_EQ(viewModel->filteredApps().size(), 4U);
    viewModel->setSearchQuery("  ORG.SAMPLE\n");
    EXPECT_EQ(shownNames(), (std::vector<std::string>{"Blende", "Diktat"}));
    viewModel->setSearchQuery("STUD");
    EXPECT_EQ(shownNames(), (std::vector<std::string>{"Studio"}));
}

TEST_F(PrivacyAuditViewModelTest, ASecondAuditDropsTheFirstsLateAnswer) {
    viewModel->startAudit();
    const auto first = viewModel->scanTask()->serial;
    viewModel->startAudit();
    EXPECT_NE(viewModel->scanTask()->serial, first);
    context->runAll();
    main->runAll();

    ASSERT_EQ(phases.size(), 2U) << "scanning once, ready once";
    EXPECT_EQ(phases[0], Phase(Scanning{}));
    EXPECT_EQ(std::get<Ready>(phases[1]).apps.size(), 4U);
}

TEST_F(PrivacyAuditViewModelTest, AnAnswerArrivingAfterTheModelIsGoneIsDropped) {
    viewModel->startAudit();
    context->runAll();
    viewModel.reset();
    main->runAll();
    EXPECT_EQ(phases, std::vector<Phase>{Phase(Scanning{})});
}

}  // namespace
}  // namespace quillo
