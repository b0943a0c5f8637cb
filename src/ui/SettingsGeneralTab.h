#pragma once

#include <QButtonGroup>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>
#include <memory>

#include "platform/NotificationService.h"
#include "support/Executor.h"
#include "system/AppSettings.h"
#include "ui/Bindings.h"

namespace quillo::ui {

class RetentionStepper;
class ToggleSwitch;

/// The deletion method, deep scan, log retention and daily reminder.
class SettingsGeneralTab final : public QWidget {
    Q_OBJECT

  public:
    SettingsGeneralTab(AppSettings& settings, std::shared_ptr<NotificationService> notifications,
                       std::shared_ptr<support::MainExecutor> mainExecutor,
                       QWidget* parent = nullptr);

  private:
    void addDeletionMethod(QVBoxLayout* column);
    void addDeepScan(QVBoxLayout* column);
    void addRetention(QVBoxLayout* column);
    void addReminder(QVBoxLayout* column);
    void switchReminder(bool enabled);
    void showSettings();

    AppSettings& settings_;
    std::shared_ptr<NotificationService> notifications_;
    std::shared_ptr<support::MainExecutor> mainExecutor_;
    QButtonGroup* methods_ = nullptr;
    ToggleSwitch* deepScan_ = nullptr;
    RetentionStepper* retention_ = nullptr;
    ToggleSwitch* reminder_ = nullptr;
    QLabel* reminderFailure_ = nullptr;
    Bindings bindings_;
};

}  // namespace quillo::ui
