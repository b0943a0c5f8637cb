#include "ui/ToggleSwitch.h"

#include <QPainter>
#include <QStyleOptionFocusRect>
#include <algorithm>

#include "ui/Style.h"

namespace quillo::ui {

namespace {

constexpr int kTrackWidth = 34;
constexpr int kTrackHeight = 20;
constexpr int kKnobInset = 2;
constexpr int kTextGap = 12;

}  // namespace

ToggleSwitch::ToggleSwitch(const QString& text, QWidget* parent) : QCheckBox(text, parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
}

QSize ToggleSwitch::sizeHint() const {
    const QFontMetrics metrics(font());
    const int textWidth = text().isEmpty() ? 0 : metrics.horizontalAdvance(text()) + kTextGap;
    return {textWidth + kTrackWidth, std::max(kTrackHeight, metrics.height()) + 4};
}

QSize ToggleSwitch::minimumSizeHint() const {
    return sizeHint();
}

QRect ToggleSwitch::trackRect() const {
    return {width() - kTrackWidth, (height() - kTrackHeight) / 2, kTrackWidth, kTrackHeight};
}

// The whole row answers a click, like a check box's label does.
bool ToggleSwitch::hitButton(const QPoint& position) const {
    return rect().contains(position);
}

void ToggleSwitch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    const QRect track = trackRect();
    const QRect textArea(0, 0, std::max(0, track.left() - kTextGap), height());
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(textArea, Qt::AlignLeft | Qt::AlignVCenter,
                     fontMetrics().elidedText(text(), Qt::ElideRight, textArea.width()));

    QColor trackColor = isChecked() ? colors::accent() : palette().color(QPalette::Mid);
    if (!isEnabled()) {
        trackColor.setAlphaF(0.4);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(trackColor);
    painter.drawRoundedRect(track, kTrackHeight / 2.0, kTrackHeight / 2.0);

    const int knobSize = kTrackHeight - 2 * kKnobInset;
    const int knobLeft =
        isChecked() ? track.right() - kKnobInset - knobSize + 1 : track.left() + kKnobInset;
    painter.setBrush(QColor(Qt::white));
    painter.drawEllipse(QRect(knobLeft, track.top() + kKnobInset, knobSize, knobSize));

    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = track.adjusted(-2, -2, 2, 2);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

}  // namespace quillo::ui
