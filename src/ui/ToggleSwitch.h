#pragma once

#include <QCheckBox>

namespace quillo::ui {

/// A check box drawn as an on/off switch: its text on the left, the switch at the right edge.
/// It keeps the check box's behaviour (click, Space, `toggled`), so it works like one everywhere.
class ToggleSwitch final : public QCheckBox {
    Q_OBJECT

  public:
    explicit ToggleSwitch(const QString& text, QWidget* parent = nullptr);

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    [[nodiscard]] bool hitButton(const QPoint& position) const override;

  private:
    [[nodiscard]] QRect trackRect() const;
};

}  // namespace quillo::ui
