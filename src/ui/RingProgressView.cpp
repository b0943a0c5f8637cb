#include "ui/RingProgressView.h"

#include <QPainter>
#include <algorithm>

#include "ui/Style.h"

namespace quillo::ui {

RingProgressView::RingProgressView(double lineWidth, QColor tint, QWidget* parent)
    : QWidget(parent), lineWidth_(lineWidth), tint_(tint) {
    animation_.setDuration(250);
    animation_.setEasingCurve(QEasingCurve::OutCubic);
    connect(&animation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        shown_ = value.toDouble();
        update();
    });
}

void RingProgressView::setProgress(double progress) {
    target_ = std::clamp(progress, 0.0, 1.0);
    animation_.stop();
    animation_.setStartValue(shown_);
    animation_.setEndValue(target_);
    animation_.start();
}

void RingProgressView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double side = std::min(width(), height());
    const double inset = lineWidth_ / 2;
    const QRectF square((width() - side) / 2 + inset, (height() - side) / 2 + inset,
                        side - lineWidth_, side - lineWidth_);
    QColor background = colors::secondary();
    background.setAlphaF(0.18);
    painter.setPen(QPen(background, lineWidth_));
    painter.drawEllipse(square);
    if (shown_ > 0) {
        QPen arc(tint_, lineWidth_);
        arc.setCapStyle(Qt::RoundCap);
        painter.setPen(arc);
        // Qt counts angles in sixteenths of a degree, counter-clockwise from three o'clock.
        painter.drawArc(square, 90 * 16, -static_cast<int>(shown_ * 360 * 16));
    }
}

}  // namespace quillo::ui
