#pragma once

#include <QColor>
#include <QString>
#include <QWidget>
#include <string_view>

class QLayout;

namespace quillo::ui {

/// A rounded box tinted with `background` at `opacity`, holding `content`.
QWidget* makeBox(const QColor& background, double opacity, QLayout* content);

/// The start screen's orange banner: a symbol, a bold title, the explanation and, below it,
/// `buttons` if given.
QWidget* makeBanner(std::string_view symbol, const QString& title, const QString& body,
                    QLayout* buttons = nullptr);

}  // namespace quillo::ui
