#include "ui/SettingsTabBar.h"

#include <QPainter>
#include <QStyleOptionFocusRect>
#include <algorithm>

#include "ui/Style.h"

namespace quillo::ui {

namespace {

constexpr int kSymbolSize = 22;
constexpr int kPadding = 6;
constexpr int kMinimumTabWidth = 76;

}  // namespace

SettingsTabBar::SettingsTabBar(QWidget* parent) : QTabBar(parent) {
    setDrawBase(false);
    setExpanding(true);
    setIconSize({kSymbolSize, kSymbolSize});
}

QSize SettingsTabBar::tabSizeHint(int index) const {
    const int textWidth = fontMetrics().horizontalAdvance(tabText(index));
    return {std::max(kMinimumTabWidth, textWidth + 2 * kPadding),
            kSymbolSize + fontMetrics().height() + 3 * kPadding};
}

void SettingsTabBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int index = 0; index < count(); ++index) {
        const QRect tab = tabRect(index).adjusted(2, 2, -2, -2);
        const bool chosen = index == currentIndex();
        if (chosen) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(colors::accent().lighter(190));
            painter.drawRoundedRect(tab, 6, 6);
        }
        const QIcon::Mode mode = isTabEnabled(index) ? QIcon::Normal : QIcon::Disabled;
        const QRect symbol(tab.center().x() - kSymbolSize / 2, tab.top() + kPadding, kSymbolSize,
                           kSymbolSize);
        tabIcon(index).paint(&painter, symbol, Qt::AlignCenter, mode);
        const QRect label(tab.left(), symbol.bottom() + kPadding / 2, tab.width(),
                          tab.bottom() - symbol.bottom() - kPadding / 2);
        painter.setPen(chosen ? colors::accent().darker(130)
                              : palette().color(QPalette::WindowText));
        painter.drawText(label, Qt::AlignHCenter | Qt::AlignTop,
                         fontMetrics().elidedText(tabText(index), Qt::ElideRight, tab.width()));
        if (chosen && hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = tab;
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
        }
    }
}

}  // namespace quillo::ui
