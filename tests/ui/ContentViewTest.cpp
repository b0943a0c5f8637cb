#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include "ui/ContentView.h"
#include "ui/ModuleSidebarRow.h"
#include "uninstall/UninstallHarness.h"
#include "viewmodels/ScanViewModelFixture.h"

namespace quillo::testing {
namespace {

class ContentViewTest : public ScanViewModelTest {
  protected:
    void TearDown() override {
        window.reset();
        deletion.reset();
        uninstall.reset();
        privacyAudit.reset();
        uninstalling.drain();
        ScanViewModelTest::TearDown();
    }

    ui::ContentView& makeWindow(std::vector<std::shared_ptr<CleaningModule>> modules) {
        makeViewModel(std::move(modules));
        deletion = std::make_unique<DeleteViewModel>(engine, main);
        uninstall = std::make_unique<UninstallViewModel>(uninstalling.service, uninstalling.main);
        privacyAudit = std::make_unique<PrivacyAuditViewModel>(
            PrivacyAuditService::create({uninstalling.folder / "Applications"},
                                        uninstalling.context),
            uninstalling.main);
        window = std::make_unique<ui::ContentView>(
            *viewModel, *deletion, *uninstall, *privacyAudit, settings,
            ui::ContentViewServices{.isSandboxed = [] { return false; },
                                    .leftOutRoots = leftOutRoots,
                                    .openLocation = [](const std::string&) {},
                                    .exportActions = {},
                                    .chooseApplication = {}});
        window->show();
        return *window;
    }

    /// Lets the queues and then Qt's own posted work (showing new children) run.
    void settleWindow() {
        settle();
        QCoreApplication::processEvents();
    }

    template <class T>
    T* find(const char* name) const {
        auto* found = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    /// The sheet on screen now, if any.
    QDialog* sheet(const char* name) const {
        auto* dialog = window->findChild<QDialog*>(QString::fromLatin1(name));
        return dialog != nullptr && dialog->isVisible() ? dialog : nullptr;
    }

    std::vector<LeftOutRoot> leftOutRoots;
    UninstallHarness uninstalling;
    std::unique_ptr<UninstallViewModel> uninstall;
    std::unique_ptr<PrivacyAuditViewModel> privacyAudit;
    std::unique_ptr<DeleteViewModel> deletion;
    std::unique_ptr<ui::ContentView> window;
};

TEST_F(ContentViewTest, AScanFillsTheSidebarAndTheListAndGatesTheDeleteButton) {
    auto caches = scripted(CleaningModuleID::systemCaches);
    auto logs = scripted(CleaningModuleID::systemLogs);
    makeWindow({caches, logs});
    auto* deleteAction = find<QAction>("deleteAction");
    EXPECT_TRUE(find<QWidget>("scanNowButton")->isVisible()) << "start screen before a scan";

    find<QAction>("scanAction")->trigger();
    settle();
    EXPECT_TRUE(find<QAction>("cancelAction")->isVisible());
    auto big = item(CleaningModuleID::systemCaches, "big.cache", 5'000);
    auto small = item(CleaningModuleID::systemCaches, "small.cache", 700);
    caches->finish(0, CleanableItems{big, small});
    logs->finish(0, CleanableItems{});
    settle();

    auto* sidebar = find<QListWidget>("moduleSidebar");
    ASSERT_EQ(sidebar->count(), 2);
    auto* cachesRow = qobject_cast<ui::ModuleSidebarRow*>(sidebar->itemWidget(sidebar->item(0)));
    auto* logsRow = qobject_cast<ui::ModuleSidebarRow*>(sidebar->itemWidget(sidebar->item(1)));
    EXPECT_EQ(cachesRow->statusText(), QString::fromUtf8("6 kB"));
    EXPECT_EQ(logsRow->statusText(), QString::fromUtf8("Bereit"));

    sidebar->setCurrentRow(0);
    auto* list = find<QTreeView>("itemList");
    ASSERT_TRUE(list->isVisible());
    ASSERT_EQ(list->model()->rowCount(), 2);
    EXPECT_EQ(list->model()->index(0, 0).data().toString(), QString::fromLatin1("big.cache"));
    EXPECT_FALSE(deleteAction->isEnabled()) << "nothing selected";

    list->model()->setData(list->model()->index(1, 0), Qt::Checked, Qt::CheckStateRole);
    EXPECT_TRUE(viewModel->isSelected(small.id));
    EXPECT_TRUE(deleteAction->isEnabled());
    EXPECT_EQ(deleteAction->text(), QString::fromUtf8("Löschen (700 Byte)"));

    // A search that hides every item does not claim that the module found nothing.
    viewModel->setSearchQuery(" zzz ");
    const auto notices = window->findChildren<QLabel*>();
    EXPECT_TRUE(std::ranges::any_of(notices, [](const QLabel* label) {
        return label->isVisible() &&
               label->text() == QString::fromUtf8("Nichts davon passt zu „zzz“.");
    }));
    viewModel->setSearchQuery("");

    deleteAction->trigger();
    EXPECT_NE(sheet("confirmationSheet"), nullptr);
    EXPECT_FALSE(deleteAction->isEnabled()) << "a deletion flow is open";
}

// Where access is decided per root folder, denied access dims no module; the start screen
// names the folders left out instead of asking for full disk access.
TEST_F(ContentViewTest, TheStartScreenNamesTheLeftOutSystemFoldersWhereAccessIsPerFolder) {
    settings.setFullDiskAccessStatus(FullDiskAccessProbe::Status::denied);
    const struct {
        FullDiskAccessProbe::AccessScope scope;
        std::vector<LeftOutRoot> leftOut;
        const char* banner;
        bool cachesDimmed;
    } cases[] = {
        {FullDiskAccessProbe::AccessScope::rootFolders,
         {{CleaningModuleID::systemCaches, "/var/cache"}, {CleaningModuleID::fontCache, "/f"}},
         "systemFoldersNotice",
         false},
        {FullDiskAccessProbe::AccessScope::rootFolders, {}, nullptr, false},
        {FullDiskAccessProbe::AccessScope::modules, {}, "fullDiskAccessBanner", true},
    };
    for (const auto& example : cases) {
        window.reset();
        accessScope = example.scope;
        leftOutRoots = example.leftOut;
        makeWindow({scripted(CleaningModuleID::systemCaches, false, true)});
        auto* notice = window->findChild<QWidget*>(QStringLiteral("systemFoldersNotice"));
        auto* fdaBanner = window->findChild<QWidget*>(QStringLiteral("fullDiskAccessBanner"));
        const std::string banner = notice != nullptr      ? "systemFoldersNotice"
                                   : fdaBanner != nullptr ? "fullDiskAccessBanner"
                                                          : "";
        EXPECT_EQ(banner, example.banner == nullptr ? "" : example.banner);
        EXPECT_EQ(viewModel->isAvailable(viewModel->descriptors().front()), !example.cachesDimmed);
        if (notice != nullptr) {
            const auto texts = notice->findChildren<QLabel*>();
            EXPECT_TRUE(std::ranges::any_of(texts, [](const QLabel* label) {
                return label->text().contains(QString::fromUtf8("/var/cache (System-Caches), /f."));
            }));
        }
    }
}

TEST_F(ContentViewTest, TheTypedPhraseGatesDeletionAndEscapeCancels) {
    makeWindow({scripted(CleaningModuleID::sleepImage)});
    auto irreversible = item(CleaningModuleID::sleepImage, "sleepimage", 8'000'000'000);
    irreversible.warnings = {CleanableItemWarning::irreversible};
    deletion->prepareDeletion({irreversible});

    auto* confirmation = sheet("confirmationSheet");
    ASSERT_NE(confirmation, nullptr);
    auto* deleteButton = confirmation->findChild<QPushButton*>("deleteButton");
    auto* phrase = confirmation->findChild<QLineEdit*>("typedPhrase");
    ASSERT_NE(phrase, nullptr);
    EXPECT_FALSE(deleteButton->isEnabled());
    QTest::keyClicks(phrase, QString::fromUtf8("LÖSCHE"));
    EXPECT_FALSE(deleteButton->isEnabled());
    QTest::keyClicks(phrase, QString::fromUtf8("N"));
    EXPECT_EQ(deletion->typedConfirmation(), "LÖSCHEN");
    EXPECT_TRUE(deleteButton->isEnabled());

    QTest::keyClick(confirmation, Qt::Key_Escape);
    EXPECT_TRUE(std::holds_alternative<DeleteViewModel::Idle>(deletion->phase()));
    EXPECT_EQ(sheet("confirmationSheet"), nullptr);
}

TEST_F(ContentViewTest, AModuleWithoutResultsShowsTheRunningNoticeWhileScanning) {
    auto caches = scripted(CleaningModuleID::systemCaches);
    makeWindow({caches});
    viewModel->startScan();
    settle();
    window->selectModule(CleaningModuleID::systemCaches);
    EXPECT_FALSE(find<QTreeView>("itemList")->isVisible());
    EXPECT_FALSE(find<QWidget>("scanNowButton")->isVisible()) << "not the start screen";
    caches->finish(0, CleanableItems{});
    settleWindow();
    EXPECT_TRUE(find<QWidget>("scanNowButton")->isVisible()) << "a scan that found nothing";
}

TEST_F(ContentViewTest, ADroppedBundleInCapitalsStartsTheUninstallAndADocumentFolderDoesNot) {
    makeWindow({scripted(CleaningModuleID::systemCaches)});
    const auto documents = uninstalling.folder / "Dokumente";
    std::filesystem::create_directories(documents);
    EXPECT_FALSE(window->takeDroppedLocations({documents}));
    EXPECT_TRUE(std::holds_alternative<UninstallViewModel::Idle>(uninstall->phase()));
    EXPECT_EQ(sheet("uninstallSheet"), nullptr);

    const auto bundle =
        uninstalling.makeBundle("Notes.APP", {{"CFBundleIdentifier", "com.example.Notes"}});
    EXPECT_TRUE(window->takeDroppedLocations({documents, bundle}));
    EXPECT_TRUE(std::holds_alternative<UninstallViewModel::Preparing>(uninstall->phase()));
    ASSERT_NE(sheet("uninstallSheet"), nullptr);
    uninstalling.drain();
    ASSERT_TRUE(std::holds_alternative<UninstallViewModel::Ready>(uninstall->phase()));
    auto* confirm = sheet("uninstallSheet")->findChild<QPushButton*>("confirmButton");
    ASSERT_NE(confirm, nullptr);
    EXPECT_TRUE(confirm->isEnabled());
    QTest::mouseClick(sheet("uninstallSheet")->findChild<QPushButton*>("selectNoneButton"),
                      Qt::LeftButton);
    EXPECT_FALSE(confirm->isEnabled());

    QTest::keyClick(sheet("uninstallSheet"), Qt::Key_Escape);
    EXPECT_TRUE(std::holds_alternative<UninstallViewModel::Idle>(uninstall->phase()));
}

TEST_F(ContentViewTest, ThePrivacyAuditButtonOpensTheAuditAndItsCloseButtonEndsIt) {
    makeWindow({scripted(CleaningModuleID::systemCaches)});
    find<QAction>("privacyAuditAction")->trigger();
    EXPECT_TRUE(window->showingPrivacyAudit());
    ASSERT_NE(sheet("privacyAuditSheet"), nullptr);
    EXPECT_TRUE(std::holds_alternative<PrivacyAuditViewModel::Scanning>(privacyAudit->phase()));
    uninstalling.drain();
    EXPECT_TRUE(std::holds_alternative<PrivacyAuditViewModel::Ready>(privacyAudit->phase()));

    QTest::mouseClick(sheet("privacyAuditSheet")->findChild<QPushButton*>("closeButton"),
                      Qt::LeftButton);
    EXPECT_FALSE(window->showingPrivacyAudit());
    EXPECT_EQ(sheet("privacyAuditSheet"), nullptr);
}

}  // namespace
}  // namespace quillo::testing

namespace quillo::testing {
namespace {

// "Nie mehr anbieten" keeps the item's path and drops it from the list; Escape empties the
// search field; Delete opens the confirmation of the selection.
TEST_F(ContentViewTest, TheItemMenuKeepsAPathAndTheKeysActOnSearchAndSelection) {
    auto caches = scripted(CleaningModuleID::systemCaches);
    makeWindow({caches});
    find<QAction>("scanAction")->trigger();
    settle();
    const auto kept = item(CleaningModuleID::systemCaches, "kept.cache", 5'000);
    const auto other = item(CleaningModuleID::systemCaches, "other.cache", 700);
    caches->finish(0, CleanableItems{kept, other});
    settleWindow();
    window->selectModule(CleaningModuleID::systemCaches);
    auto* list = find<QTreeView>("itemList");
    const QPoint firstRow = list->visualRect(list->model()->index(0, 0)).center();
    emit list->customContextMenuRequested(firstRow);
    auto* keep = window->findChild<QAction*>(QStringLiteral("keepItemAction"));
    ASSERT_NE(keep, nullptr);
    keep->trigger();
    window->findChild<QWidget*>(QStringLiteral("itemContextMenu"))->close();
    EXPECT_EQ(settings.keptPaths().rules(), std::vector<std::string>{kept.url.native()});
    ASSERT_EQ(list->model()->rowCount(), 1);
    EXPECT_EQ(list->model()->index(0, 0).data().toString(), QString::fromLatin1("other.cache"));

    auto* search = find<QLineEdit>("searchField");
    search->setText(QStringLiteral("zzz"));
    list->setFocus();
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_TRUE(search->text().isEmpty());

    viewModel->selectAll();
    QTest::keyClick(window.get(), Qt::Key_Delete);
    EXPECT_NE(sheet("confirmationSheet"), nullptr);
}

}  // namespace
}  // namespace quillo::testing
