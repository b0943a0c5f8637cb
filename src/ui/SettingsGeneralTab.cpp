#include "ui/SettingsGeneralTab.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QPointer>
#include <QRadioButton>
#include <QSignalBlocker>

#include "system/DailyReminder.h"
#include "ui/QtText.h"
#include "ui/RetentionStepper.h"
#include "ui/SettingsForm.h"
#include "ui/Style.h"
#include "ui/ToggleSwitch.h"

namespace quillo::ui {

namespace {

constexpr int kReminderHour = 9;

}  // namespace

SettingsGeneralTab::SettingsGeneralTab(AppSettings& settings,
                                       std::shared_ptr<NotificationService> notifications,
                                       std::shared_ptr<support::MainExecutor> mainExecutor,
                                       QWidget* parent)
    : QWidget(parent),
      settings_(settings),
      notifications_(std::move(notifications)),
      mainExecutor_(std::move(mainExecutor)) {
    auto* column = makeFormColumn(this);
    addDeletionMethod(column);
    addDeepScan(column);
    addRetention(column);
    addReminder(column);
    showSettings();
    bindings_.onChange(
        settings_, {"deletionMode", "deepScanEnabled", "logRetentionDays", "dailyReminderEnabled"},
        [this] { showSettings(); });
}

void SettingsGeneralTab::addDeletionMethod(QVBoxLayout* column) {
    auto* section = addFormSection(column, "settings.section.deletionMethod");
    auto* choices = new QVBoxLayout;
    choices->setSpacing(4);
    methods_ = new QButtonGroup(this);
    for (const auto mode : allDeletionModes) {
        auto* choice = new QRadioButton(catalogueText(label(mode)));
        methods_->addButton(choice, static_cast<int>(mode));
        choices->addWidget(choice);
    }
    connect(methods_, &QButtonGroup::idClicked, this,
            [this](int mode) { settings_.setDeletionMode(static_cast<DeletionMode>(mode)); });
    auto* picker = new QFormLayout;
    picker->setLabelAlignment(Qt::AlignLeft | Qt::AlignTop);
    picker->addRow(catalogueText("settings.method.label"), choices);
    section->addLayout(picker);
    section->addWidget(makeHint("settings.method.hint"));
}

void SettingsGeneralTab::addDeepScan(QVBoxLayout* column) {
    deepScan_ = addSwitchSection(column, "settings.section.deepScan", "settings.deepScan.toggle",
                                 "settings.deepScan.hint");
    connect(deepScan_, &ToggleSwitch::clicked, this,
            [this](bool enabled) { settings_.setDeepScanEnabled(enabled); });
}

void SettingsGeneralTab::addRetention(QVBoxLayout* column) {
    auto* section = addFormSection(column, "settings.section.retention");
    retention_ = new RetentionStepper;
    connect(retention_, &RetentionStepper::valueChanged, this,
            [this](int days) { settings_.setLogRetentionDays(days); });
    auto* row = new QHBoxLayout;
    row->addWidget(retention_);
    row->addStretch();
    section->addLayout(row);
    section->addWidget(makeHint("settings.retention.hint"));
}

void SettingsGeneralTab::addReminder(QVBoxLayout* column) {
    auto* section = addFormSection(column, "settings.section.reminder");
    reminder_ = new ToggleSwitch(catalogueText("settings.reminder.toggle"));
    section->addWidget(reminder_);
    reminderFailure_ = makeLabel({}, TextStyle::caption, false, colors::orange());
    reminderFailure_->setObjectName(QStringLiteral("reminderFailure"));
    reminderFailure_->setWordWrap(true);
    reminderFailure_->hide();
    section->addWidget(reminderFailure_);
    section->addWidget(makeHint("settings.reminder.hint"));
    connect(reminder_, &ToggleSwitch::clicked, this, &SettingsGeneralTab::switchReminder);
}

// A reminder that cannot be scheduled turns the switch back off and says why below it: a switch
// left on would promise a notification that never comes.
void SettingsGeneralTab::switchReminder(bool enabled) {
    settings_.setDailyReminderEnabled(enabled);
    reminderFailure_->hide();
    // A task of its own, so the service hears of the switch only once the value is stored.
    mainExecutor_->post([notifications = notifications_, enabled, tab = QPointer(this)] {
        if (!enabled) {
            DailyReminder::cancel(*notifications);
            return;
        }
        DailyReminder::schedule(notifications, kReminderHour, [notifications, tab](bool scheduled) {
            if (scheduled || tab == nullptr) {
                return;
            }
            tab->settings_.setDailyReminderEnabled(false);
            notifications->unavailabilityReason([tab](const std::string& reason) {
                if (tab != nullptr && !tab->settings_.dailyReminderEnabled()) {
                    tab->reminderFailure_->setText(qtString(reason));
                    tab->reminderFailure_->show();
                }
            });
        });
    });
}

void SettingsGeneralTab::showSettings() {
    methods_->button(static_cast<int>(settings_.deletionMode()))->setChecked(true);
    deepScan_->setChecked(settings_.deepScanEnabled());
    {
        // The stepper reports its own changes only; this one came from the settings.
        const QSignalBlocker quiet(retention_);
        retention_->setValue(settings_.logRetentionDays());
    }
    reminder_->setChecked(settings_.dailyReminderEnabled());
}

}  // namespace quillo::ui
