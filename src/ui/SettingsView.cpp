#include "ui/SettingsView.h"

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

QWidget* makeLegalTab(OpenLocation openLocation) {
    auto* tab = new QWidget;
    auto* layout = new QVBoxLayout(tab);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->addWidget(new LegalView(std::move(openLocation)));
    return tab;
}

}  // namespace

SettingsView::SettingsView(AppSettings& settings, SettingsServices services, QWidget* parent)
    : QTabWidget(parent) {
    setObjectName(QStringLiteral("settingsView"));
    setFixedSize(520, 480);
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
    addTab(new SettingsPermissionsTab(settings, services.openLocation), symbolIcon("lock"),
           catalogueText("settings.tab.permissions"));
    addTab(new SettingsAdvancedTab(settings, std::move(services.receipts),
                                   std::move(services.mainExecutor)),
           symbolIcon("wrench.and.screwdriver"), catalogueText("settings.tab.advanced"));
    addTab(makeLegalTab(services.openLocation), symbolIcon("shield.lefthalf.filled"),
           catalogueText("settings.tab.legal"));

    setWindowTitle(tabText(0));
    connect(this, &QTabWidget::currentChanged, this,
            [this](int index) { setWindowTitle(tabText(index)); });
}

}  // namespace quillo::ui
