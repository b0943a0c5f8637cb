#pragma once

#include <QSpinBox>

namespace quillo::ui {

/// Steps the log retention through 0 to 365 days, one at a time, and shows the value as its
/// catalogue text ("7 Tage schonen"). Typing a number works too.
class RetentionStepper final : public QSpinBox {
    Q_OBJECT

  public:
    explicit RetentionStepper(QWidget* parent = nullptr);

  protected:
    [[nodiscard]] QString textFromValue(int days) const override;
    [[nodiscard]] int valueFromText(const QString& text) const override;
    QValidator::State validate(QString& text, int& position) const override;
};

}  // namespace quillo::ui
