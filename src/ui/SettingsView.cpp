#include "ui/SettingsView.h"

#include <QShortcut>
#include <QVBoxLayout>

#include "ui/LegalView.h"
#include "ui/QtText.h"
#include "ui/SettingsAdvancedTab.h"
#include "ui/SettingsGeneralTab.h"
#include "ui/SettingsModulesTab.h"
#include "ui/SettingsPermissionsTab.h"
#include "ui/SettingsTabBar.h"
#include "ui/Symbols.h"

namespace quillo::ui {

namespace {

QWidget* makeLegalTab(const OpenLocation& openLocation) {
    auto* tab = new QWidget;
    auto* layout = new QVBoxLayout(tab);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->addWidget(new LegalView(openLocation));
    return tab;
}

}  // namespace

SettingsView::SettingsView(AppSettings& settings, SettingsServices services, QWidget* parent)
    : QTabWidget(parent) {
    setObjectName(QStringLiteral("settingsView"));
    setMinimumSize(600, 480);
    resize(640, 540);
    setTabBar(new SettingsTabBar);
    // The tabs stand together in the middle, like a settings toolbar, above a plain page.
    setStyleSheet(
        QStringLiteral("QTabWidget::tab-bar { alignment: center; } "
                       "QTabWidget::pane { border: none; border-top: 1px solid "
                       "palette(midlight); }"));
    addTab(
        new SettingsGeneralTab(settings, std::move(services.notifications), services.mainExecutor),
        symbolIcon("gear"), catalogueText("settings.tab.general"));
    addTab(new SettingsModulesTab(settings), symbolIcon("list.bullet"),
           catalogueText("settings.tab.modules"));
    addTab(new SettingsKeepListTab(settings, std::move(services.chooseKeptPath)),
           symbolIcon("lock.shield"), catalogueText("settings.tab.kept"));
    addTab(new SettingsPermissionsTab(settings, services.openLocation), symbolIcon("lock"),
           catalogueText("settings.tab.permissions"));
    addTab(new SettingsAdvancedTab(settings, std::move(services.receipts),
                                   std::move(services.mainExecutor)),
           symbolIcon("wrench.and.screwdriver"), catalogueText("settings.tab.advanced"));
    addTab(makeLegalTab(services.openLocation), symbolIcon("shield.lefthalf.filled"),
           catalogueText("settings.tab.legal"));

    setWindowTitle(catalogueText("settings.window.title"));
    // Closed by the keys a desktop's settings windows answer to.
    for (const QKeySequence& key :
         {QKeySequence(Qt::Key_Escape), QKeySequence(QKeySequence::Close)}) {
        auto* shortcut = new QShortcut(key, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, &QWidget::close);
    }
}

}  // namespace quillo::ui
