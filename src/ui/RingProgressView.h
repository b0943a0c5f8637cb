#pragma once

#include <QColor>
#include <QVariantAnimation>
#include <QWidget>

namespace quillo::ui {

/// A ring: a faint full circle, and over it an arc from the top, clockwise, for the progress.
class RingProgressView final : public QWidget {
    Q_OBJECT

  public:
    RingProgressView(double lineWidth, QColor tint, QWidget* parent = nullptr);

    /// Animates to `progress` (above 1 counts as 1).
    void setProgress(double progress);
    [[nodiscard]] double progress() const { return target_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    double lineWidth_;
    QColor tint_;
    double target_ = 0;
    double shown_ = 0;
    QVariantAnimation animation_;
};

}  // namespace quillo::ui
