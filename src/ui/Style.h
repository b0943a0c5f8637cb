#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QString>
#include <string_view>

namespace quillo::ui {

/// The text sizes the views speak of, relative to the application's body font.
enum class TextStyle {
    largeTitle,
    title,
    title2,
    title3,
    headline,
    subheadline,
    body,
    callout,
    caption,
};

QFont font(TextStyle style, bool bold = false);
/// A monospaced face; the generic "monospace" family resolves to a proportional one here.
QFont monospacedFont(TextStyle style);
/// `font(style)` with digits of equal width.
QFont tabularFont(TextStyle style, bool bold = false);

namespace colors {
QColor secondary();
QColor accent();
QColor orange();
QColor green();
/// Destructive actions.
QColor red();
}  // namespace colors

/// `color` with `opacity` as a CSS rgba() value for style sheets.
QString cssColor(const QColor& color, double opacity = 1.0);

/// A label ready for the given style, optionally coloured, with word wrap on.
QLabel* makeLabel(const QString& text, TextStyle style, bool bold = false,
                  const QColor& color = {});
/// A symbol drawn as a picture of `size` pixels, in `tint` when one is given.
QLabel* makeSymbolLabel(std::string_view symbolName, int size, const QColor& tint = {});
/// Shows `symbolName` in `label` instead of what it showed, keeping the label's size.
void setSymbol(QLabel* label, std::string_view symbolName, const QColor& tint = {});
/// Lets the user select the label's text for copying.
void makeSelectable(QLabel* label);

}  // namespace quillo::ui
