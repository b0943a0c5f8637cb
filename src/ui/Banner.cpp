#include "ui/Banner.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "ui/Style.h"
#include "ui/Symbols.h"

namespace quillo::ui {

QWidget* makeBox(const QColor& background, double opacity, QLayout* content) {
    auto* box = new QFrame;
    box->setObjectName(QStringLiteral("box"));
    box->setStyleSheet(QStringLiteral("QFrame#box { background: %1; border-radius: 8px; }")
                           .arg(cssColor(background, opacity)));
    content->setContentsMargins(14, 14, 14, 14);
    box->setLayout(content);
    return box;
}

QWidget* makeBanner(std::string_view symbol, const QString& title, const QString& body,
                    QLayout* buttons) {
    auto* layout = new QHBoxLayout;
    layout->setAlignment(Qt::AlignTop);
    layout->addWidget(makeSymbolLabel(symbol, 28), 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    texts->addWidget(makeLabel(title, TextStyle::headline, true));
    texts->addWidget(makeLabel(body, TextStyle::callout, false, colors::secondary()));
    if (buttons != nullptr) {
        texts->addLayout(buttons);
    }
    layout->addLayout(texts, 1);
    return makeBox(colors::orange(), 0.08, layout);
}

}  // namespace quillo::ui
