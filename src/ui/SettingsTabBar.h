#pragma once

#include <QTabBar>

namespace quillo::ui {

/// Tabs drawn as a settings toolbar: each tab's symbol above its label, the chosen one
/// highlighted. Five German labels with symbols fit the settings' width this way.
class SettingsTabBar final : public QTabBar {
    Q_OBJECT

  public:
    explicit SettingsTabBar(QWidget* parent = nullptr);

  protected:
    [[nodiscard]] QSize tabSizeHint(int index) const override;
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace quillo::ui
