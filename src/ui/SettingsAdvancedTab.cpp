#include "ui/SettingsAdvancedTab.h"

#include <QHBoxLayout>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

#include "ui/QtText.h"
#include "ui/SettingsForm.h"
#include "ui/Style.h"
#include "ui/ToggleSwitch.h"
#include "viewmodels/SettingsReset.h"

namespace quillo::ui {

SettingsAdvancedTab::SettingsAdvancedTab(AppSettings& settings,
                                         std::shared_ptr<ReceiptStore> receipts,
                                         std::shared_ptr<support::MainExecutor> mainExecutor,
                                         QWidget* parent)
    : QWidget(parent),
      settings_(settings),
      receipts_(std::move(receipts)),
      mainExecutor_(std::move(mainExecutor)) {
    auto* column = makeFormColumn(this);

    onboarding_ = addSwitchSection(column, "settings.section.onboarding",
                                   "settings.onboarding.toggle", "settings.onboarding.hint");
    connect(onboarding_, &ToggleSwitch::clicked, this,
            [this](bool completed) { settings_.setOnboardingCompleted(completed); });

    auto* reset = addFormSection(column, "settings.section.reset");
    auto* button = new QPushButton(catalogueText("settings.reset.button"));
    button->setObjectName(QStringLiteral("resetButton"));
    button->setAutoDefault(false);
    QPalette destructive = button->palette();
    destructive.setColor(QPalette::ButtonText, colors::red());
    button->setPalette(destructive);
    connect(button, &QPushButton::clicked, this, [this] { confirmReset(); });
    auto* row = new QHBoxLayout;
    row->addWidget(button);
    row->addStretch();
    reset->addLayout(row);

    onboarding_->setChecked(settings_.onboardingCompleted());
    bindings_.onChange(settings_, {"onboardingCompleted"},
                       [this] { onboarding_->setChecked(settings_.onboardingCompleted()); });
}

void SettingsAdvancedTab::confirmReset() {
    QMessageBox question(QMessageBox::Warning, QStringLiteral("Quillo"),
                         catalogueText("settings.reset.confirm.title"), QMessageBox::NoButton,
                         this);
    question.setObjectName(QStringLiteral("resetConfirmation"));
    question.setInformativeText(catalogueText("settings.reset.confirm.body"));
    auto* reset = question.addButton(catalogueText("settings.reset.confirm.button"),
                                     QMessageBox::DestructiveRole);
    auto* cancel =
        question.addButton(catalogueText("settings.reset.confirm.cancel"), QMessageBox::RejectRole);
    question.setDefaultButton(cancel);
    question.setEscapeButton(cancel);
    question.exec();
    if (question.clickedButton() != reset) {
        return;
    }
    QPointer<SettingsAdvancedTab> self(this);
    resetSettingsAndReceipts(settings_, receipts_, mainExecutor_,
                             [self](const std::optional<std::string>& failure) {
                                 if (self != nullptr && failure) {
                                     QMessageBox::warning(self, QStringLiteral("Quillo"),
                                                          QString::fromStdString(*failure));
                                 }
                             });
}

}  // namespace quillo::ui
