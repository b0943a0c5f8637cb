#include "ui/Style.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>

#include "ui/Symbols.h"

namespace quillo::ui {

namespace {

double scale(TextStyle style) {
    switch (style) {
        case TextStyle::largeTitle:
            return 2.0;
        case TextStyle::title:
            return 1.6;
        case TextStyle::title2:
            return 1.35;
        case TextStyle::title3:
            return 1.2;
        case TextStyle::headline:
        case TextStyle::body:
            return 1.0;
        case TextStyle::subheadline:
        case TextStyle::callout:
            return 0.93;
        case TextStyle::caption:
            return 0.82;
    }
    return 1.0;
}

}  // namespace

QFont font(TextStyle style, bool bold) {
    QFont result = QApplication::font();
    const double base = result.pointSizeF() > 0 ? result.pointSizeF() : 10.0;
    result.setPointSizeF(base * scale(style));
    result.setBold(bold || style == TextStyle::headline);
    return result;
}

QFont monospacedFont(TextStyle style) {
    QFont result = font(style);
    result.setFamilies({QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Monospace")});
    result.setStyleHint(QFont::Monospace);
    return result;
}

QFont tabularFont(TextStyle style, bool bold) {
    // DejaVu Sans draws every digit at the same width; Qt 6.4 cannot ask a font for it.
    QFont result = font(style, bold);
    result.setFamilies({QStringLiteral("DejaVu Sans")});
    return result;
}

namespace colors {
QColor secondary() {
    return QApplication::palette().color(QPalette::PlaceholderText);
}
QColor accent() {
    return QApplication::palette().color(QPalette::Highlight);
}
QColor orange() {
    return {0xE6, 0x7E, 0x00};
}
QColor green() {
    return {0x2E, 0x9E, 0x44};
}
QColor red() {
    return {0xD7, 0x26, 0x1E};
}
}  // namespace colors

QString cssColor(const QColor& color, double opacity) {
    return QStringLiteral("rgba(%1, %2, %3, %4)")
        .arg(color.red())
        .arg(color.green())
        .arg(color.blue())
        .arg(opacity * color.alphaF());
}

QLabel* makeLabel(const QString& text, TextStyle style, bool bold, const QColor& color) {
    auto* label = new QLabel(text);
    label->setFont(font(style, bold));
    label->setWordWrap(true);
    // A wrapped label lays its first line out flush with its top edge, which cuts off the dots
    // of capital umlauts ("LÖSCHEN") at the smaller text sizes.
    label->setContentsMargins(0, 2, 0, 0);
    if (color.isValid()) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, color);
        label->setPalette(palette);
    }
    return label;
}

QLabel* makeSymbolLabel(std::string_view symbolName, int size, const QColor& tint) {
    auto* label = new QLabel;
    label->setFixedSize(size, size);
    setSymbol(label, symbolName, tint);
    return label;
}

void setSymbol(QLabel* label, std::string_view symbolName, const QColor& tint) {
    if (!tint.isValid()) {
        label->setPixmap(symbolIcon(symbolName).pixmap(label->size()));
        return;
    }
    QPixmap picture = monochromeSymbolIcon(symbolName).pixmap(label->size());
    {
        // Keeps the symbol's shape and paints it over in the tint.
        QPainter painter(&picture);
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(picture.rect(), tint);
    }
    label->setPixmap(picture);
}

void makeSelectable(QLabel* label) {
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    label->setCursor(Qt::IBeamCursor);
}

}  // namespace quillo::ui
