#include "ui/QuilloApp.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QKeySequence>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "helper/HelperRoute.h"
#include "helper/InstalledHelper.h"
#include "modules/DefaultModuleSet.h"
#include "platform/ApplicationTermination.h"
#include "platform/FileManagerReveal.h"
#include "platform/PlatformNotificationService.h"
#include "platform/StandardDirectories.h"
#include "platform/Trash.h"
#include "support/Sleeper.h"
#include "system/FileDefaultsStore.h"
#include "ui/LegalView.h"
#include "ui/OnboardingView.h"
#include "ui/QtMainExecutor.h"
#include "ui/QtText.h"
#include "ui/SettingsView.h"
#include "uninstall/PlatformPackages.h"

namespace quillo::ui {

namespace {

// The platform's preferences shortcut where it has one, and Ctrl+, everywhere: desktops without
// a preferences binding would otherwise leave the settings without a shortcut.
QList<QKeySequence> settingsShortcuts() {
    QList<QKeySequence> shortcuts = QKeySequence::keyBindings(QKeySequence::Preferences);
    const QKeySequence comma(Qt::CTRL | Qt::Key_Comma);
    if (!shortcuts.contains(comma)) {
        shortcuts.append(comma);
    }
    return shortcuts;
}

}  // namespace

QuilloAppEnvironment QuilloAppEnvironment::standard() {
    return {
        .makeSettings =
            [] {
                return std::make_unique<AppSettings>(
                    std::make_unique<FileDefaultsStore>(FileDefaultsStore::defaultURL()));
            },
        .makeReceiptStore =
            [](const std::shared_ptr<support::ThreadPool>& pool) {
                return ReceiptStore::create(
                    ReceiptStore::OnDisk{ReceiptStore::defaultURL(),
                                         ReceiptStore::defaultFallbackFolder()},
                    pool->makeStrand());
            },
        .makeEngine =
            [](AppSettings& settings, const std::shared_ptr<ReceiptStore>& receipts,
               const std::shared_ptr<support::MainExecutor>& main,
               const std::shared_ptr<support::ThreadPool>& pool) {
                auto services = platformModuleServices(pool);
                services.keptPaths = keptPathsProvider(settings, main);
                services.logRetentionDays = [main,
                                             &settings](const std::function<void(int)>& answer) {
                    main->post([&settings, answer] { answer(settings.logRetentionDays()); });
                };
                // Root removes everything itself; anyone else reaches the system folders through
                // the administrator helper.
                if (needsAdministratorHelper()) {
                    services.makeElevatedRoute =
                        helperRoute({}, [main, &settings](const std::function<void(bool)>& answer) {
                            main->post(
                                [&settings, answer] { answer(settings.includeSystemFolders()); });
                        });
                }
                // Read on the main thread, like every use of the settings.
                return makeDefault(
                    [main, &settings](const support::Completion<DeletionMode>& answer) {
                        main->post([&settings, answer] { answer(settings.deletionMode()); });
                    },
                    [main, &settings](const std::function<void(ScanDepth)>& answer) {
                        main->post([&settings, answer] {
                            answer(settings.deepScanEnabled() ? ScanDepth::deep
                                                              : ScanDepth::standard);
                        });
                    },
                    std::move(services), receipts);
            },
        .makeUninstallService =
            [](AppSettings& settings, const std::shared_ptr<support::MainExecutor>& main,
               const std::shared_ptr<support::ThreadPool>& pool) {
                return AppUninstallService::create({
                    .locations = platformUninstallLocations(),
                    .quitRunningApp = platform::quitRunningApplications,
                    .moveToTrash =
                        [trash = platform::platformTrashEnvironment()](
                            const std::filesystem::path& item) {
                            return platform::moveToTrash(item, trash);
                        },
                    .sleeper = support::makeSteadySleeper(pool),
                    .clock = [] { return std::chrono::system_clock::now(); },
                    .context = pool->makeStrand(),
                    .mainExecutor = main,
                    .packages = platformPackageServices(),
                    .keptPaths = keptPathsProvider(settings, main),
                });
            },
        .makePrivacyAuditService =
            [](const std::shared_ptr<support::ThreadPool>& pool) {
                return PrivacyAuditService::create(
                    defaultAppRoots(platform::homeFolder().string()), pool->makeStrand(),
                    PrivacyAuditService::readInfoPlistFile,
                    [sources =
                         defaultPackagedAuditSources()](const support::CancellationToken& token) {
                        return auditPackagedApplications(sources, token);
                    });
            },
        .isSandboxed = [] { return FullDiskAccessProbe::isSandboxed(); },
        .leftOutRoots = platformLeftOutRoots,
        .openLocation = desktopOpenLocation(),
        .exportActions = ReceiptExportActions::desktop(),
        .chooseApplication = ContentViewServices::desktopApplicationChooser(),
        .makeNotificationService =
            [](const std::shared_ptr<support::MainExecutor>& main,
               const std::shared_ptr<support::ThreadPool>& pool) {
                return platform::makePlatformNotificationService(main, pool->makeStrand());
            },
    };
}

QuilloApp::QuilloApp(QuilloAppEnvironment environment)
    : environment_(std::move(environment)),
      mainExecutor_(std::make_shared<QtMainExecutor>(this)),
      pool_(support::ThreadPool::create()) {
    settings_ = environment_.makeSettings();
    receipts_ = environment_.makeReceiptStore(pool_);
    engine_ = environment_.makeEngine(*settings_, receipts_, mainExecutor_, pool_);
    scanViewModel_ = std::make_unique<ScanViewModel>(
        engine_, *settings_, mainExecutor_, environment_.isSandboxed,
        FullDiskAccessProbe::platformAccessScope(), pool_);
    deleteViewModel_ = std::make_unique<DeleteViewModel>(engine_, mainExecutor_);
    uninstallViewModel_ = std::make_unique<UninstallViewModel>(
        environment_.makeUninstallService(*settings_, mainExecutor_, pool_), mainExecutor_);
    privacyAuditViewModel_ = std::make_unique<PrivacyAuditViewModel>(
        environment_.makePrivacyAuditService(pool_), mainExecutor_);
    window_ = std::make_unique<ContentView>(
        *scanViewModel_, *deleteViewModel_, *uninstallViewModel_, *privacyAuditViewModel_,
        *settings_,
        ContentViewServices{.isSandboxed = environment_.isSandboxed,
                            .leftOutRoots = environment_.leftOutRoots(),
                            .openLocation = environment_.openLocation,
                            .exportActions = environment_.exportActions,
                            .chooseApplication = environment_.chooseApplication,
                            .showInFileManager = [pool = pool_](const std::filesystem::path& item) {
                                // The file manager may take its time to answer.
                                pool->post([item] { platform::showInFileManager(item); });
                            }});
    showingOnboarding_ = !settings_->onboardingCompleted();
    onboarding_ = std::make_unique<SheetPresenter>(window_.get(), [this] {
        return new OnboardingView([this] { acceptOnboarding(); }, environment_.openLocation);
    });
    buildMenus();
}

QuilloApp::~QuilloApp() {
    // The sheet goes before the window it hangs on, the window before the models it observes.
    onboarding_.reset();
    window_.reset();
}

void QuilloApp::show() {
    window_->show();
    onboarding_->setShown(showingOnboarding_);
}

void QuilloApp::acceptOnboarding() {
    settings_->setOnboardingCompleted(true);
    showingOnboarding_ = false;
    onboarding_->setShown(false);
}

void QuilloApp::buildMenus() {
    auto* menus = window_->menuBar();
    auto* application = menus->addMenu(QStringLiteral("Quillo"));
    auto* preferences =
        application->addAction(catalogueText("Einstellungen…"), [this] { showSettings(); });
    preferences->setObjectName(QStringLiteral("settingsMenuAction"));
    preferences->setShortcuts(settingsShortcuts());
    application->addSeparator();
    auto* quit = application->addAction(catalogueText("Beenden"), [] { QApplication::quit(); });
    quit->setShortcut(QKeySequence::Quit);

    auto* scan = menus->addMenu(catalogueText("app.menu.scan.title"));
    auto* scanNow = scan->addAction(catalogueText("app.menu.scan.now"),
                                    [this] { scanViewModel_->startScan(); });
    scanNow->setObjectName(QStringLiteral("scanNowMenuAction"));
    scanNow->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    auto* cancel = scan->addAction(catalogueText("app.menu.scan.cancel"),
                                   [this] { scanViewModel_->cancelScan(); });
    cancel->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Period));

    auto* help = menus->addMenu(catalogueText("Hilfe"));
    help->addSeparator();
    // A single "&" would mark the next letter as the menu's accelerator and vanish.
    help->addAction(
        catalogueText("app.menu.help.legal").replace(QLatin1Char('&'), QStringLiteral("&&")),
        [this] { showLegal(); });
}

void QuilloApp::showSettings() {
    if (settingsWindow_ == nullptr) {
        settingsWindow_ = new SettingsView(
            *settings_,
            {.openLocation = environment_.openLocation,
             .notifications = environment_.makeNotificationService(mainExecutor_, pool_),
             .mainExecutor = mainExecutor_,
             .receipts = receipts_},
            window_.get());
        settingsWindow_->setWindowFlag(Qt::Window);
    }
    settingsWindow_->show();
    settingsWindow_->raise();
    settingsWindow_->activateWindow();
}

void QuilloApp::showLegal() {
    if (legal_ != nullptr) {
        legal_->raise();
        return;
    }
    legal_ = new QDialog(window_.get());
    legal_->setObjectName(QStringLiteral("legalSheet"));
    legal_->setWindowModality(Qt::WindowModal);
    legal_->setAttribute(Qt::WA_DeleteOnClose);
    legal_->setMinimumSize(560, 600);
    auto* layout = new QVBoxLayout(legal_);
    layout->addWidget(new LegalView(environment_.openLocation), 1);
    auto* buttons = new QDialogButtonBox;
    auto* done = buttons->addButton(catalogueText("app.button.done"), QDialogButtonBox::AcceptRole);
    done->setObjectName(QStringLiteral("doneButton"));
    connect(buttons, &QDialogButtonBox::accepted, legal_, &QDialog::accept);
    layout->addWidget(buttons);
    legal_->show();
}

}  // namespace quillo::ui
